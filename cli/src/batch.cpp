#include "tavrin/cli/batch.hpp"

#include "tavrin/cli/conversion.hpp"
#include "tavrin/cli/output.hpp"
#include "tavrin/cli/text.hpp"

#include <cerrno>
#include <cstring>
#include <system_error>
#include <vector>

#include <unistd.h>

namespace tavrin::cli {

namespace {

// Appends the output line for one input line (without its '\n') to `out` and
// reports whether the line converted.
bool append_line(std::string_view line, bool exact, std::string& out) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

  std::string_view field[3];
  std::size_t fields = 0, tabs = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= line.size(); ++i) {
    if (i == line.size() || line[i] == '\t') {
      if (fields < 3) field[fields] = line.substr(start, i - start);
      ++fields;
      if (i < line.size()) ++tabs;
      start = i + 1;
    }
  }
  if (tabs != 2) {
    out += "error: expected VALUE<TAB>FROM<TAB>TO, found ";
    out += line.empty() ? std::string("an empty line") : count_text(fields) + (fields == 1 ? " field" : " fields");
    out += '\n';
    return false;
  }
  Outcome o = convert_one(field[0], field[1], field[2], exact);
  if (o.status != Exit::ok) {
    out += "error: ";
    out += o.err;
    out += '\n';
    return false;
  }
  out += o.out;  // already ends in '\n'
  return true;
}

void append_overlong(std::string& out) {
  out += "error: line longer than " + count_text(max_batch_line) + " bytes\n";
}

void write_out(int fd, std::string_view data) {
  if (!write_all(fd, data))
    throw std::system_error(errno, std::generic_category(), "cannot write standard output");
}

} // namespace

LineResult convert_batch_line(std::string_view line, bool exact) {
  LineResult r;
  r.ok = append_line(line, exact, r.text);
  r.text.pop_back();  // the '\n'
  return r;
}

void BatchConverter::emit(std::string_view line, std::string& out) {
  ++counts_.lines;
  if (line.size() > max_batch_line) {
    append_overlong(out);
    ++counts_.failed;
    return;
  }
  if (!append_line(line, exact_, out)) ++counts_.failed;
}

void BatchConverter::keep(std::string_view part) {
  if (part.empty()) return;
  pending_ = true;
  if (overlong_) return;
  if (carry_.size() + part.size() > max_batch_line) {
    overlong_ = true;
    std::string().swap(carry_);  // let the memory go
    return;
  }
  carry_.append(part);
}

void BatchConverter::feed(std::string_view block, std::string& out) {
  while (!block.empty()) {
    const void* nl = std::memchr(block.data(), '\n', block.size());
    if (nl == nullptr) {
      keep(block);
      return;
    }
    const auto at = static_cast<std::size_t>(static_cast<const char*>(nl) - block.data());
    const std::string_view part = block.substr(0, at);
    if (!pending_) {
      emit(part, out);  // the common case: the whole line is in this block
    } else {
      keep(part);
      if (overlong_) {
        ++counts_.lines;
        ++counts_.failed;
        append_overlong(out);
      } else {
        emit(carry_, out);
      }
      carry_.clear();
      pending_ = overlong_ = false;
    }
    block.remove_prefix(at + 1);
  }
}

void BatchConverter::finish(std::string& out) {
  if (!pending_) return;
  feed("\n", out);
}

BatchCounts run_batch(int in_fd, int out_fd, bool exact) {
  // Large blocks both ways: one read and one write per 64 KiB, not per line.
  constexpr std::size_t block_size = std::size_t{1} << 16;
  std::vector<char> buffer(block_size);
  std::string out;
  out.reserve(2 * block_size);
  BatchConverter converter(exact);
  for (;;) {
    const ssize_t n = ::read(in_fd, buffer.data(), buffer.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      throw std::system_error(errno, std::generic_category(), "cannot read standard input");
    }
    if (n == 0) break;
    converter.feed(std::string_view(buffer.data(), static_cast<std::size_t>(n)), out);
    if (out.size() >= block_size) {
      write_out(out_fd, out);
      out.clear();
    }
  }
  converter.finish(out);
  write_out(out_fd, out);
  return converter.counts();
}

} // namespace tavrin::cli
