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

// What a UTF-16 stream's undecodable parts become in the UTF-8 it is read
// as: two bytes that well-formed UTF-8, and so any decoded text, never holds.
// The line that holds one fails with the reason.
constexpr char unpaired_mark = '\xFF';  // a surrogate without its other half
constexpr char cut_mark = '\xFE';       // the stream ended inside a code unit

void append_utf8(unsigned code, std::string& out) {
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code >> 6)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (code >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (code >> 18)));
    out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
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
  if (encoding_ == Encoding::utf16le || encoding_ == Encoding::utf16be) {
    const auto bad = line.find_first_of(std::string_view("\xFF\xFE", 2));
    if (bad != std::string_view::npos) {
      out += "error: cannot read the line as UTF-16 ";
      out += encoding_ == Encoding::utf16le ? "LE" : "BE";
      out += line[bad] == unpaired_mark ? ": a surrogate without its other half\n"
                                        : ": the input ends inside a character (an odd number of bytes)\n";
      ++counts_.failed;
      return;
    }
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

void BatchConverter::split(std::string_view block, std::string& out) {
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

// Reads UTF-16 code units, two bytes each, into UTF-8 and splits that into
// lines. A unit or a surrogate pair cut by the end of the block waits for the
// next; the UTF-8 of a block is at most half as long again as the block.
void BatchConverter::decode(std::string_view block, std::string& out) {
  decoded_.clear();
  const bool little = encoding_ == Encoding::utf16le;
  for (const char c : block) {
    const auto byte = static_cast<unsigned char>(c);
    if (odd_byte_ < 0) {
      odd_byte_ = byte;
      continue;
    }
    const unsigned unit = little ? (byte << 8 | static_cast<unsigned>(odd_byte_))
                                 : (static_cast<unsigned>(odd_byte_) << 8 | byte);
    odd_byte_ = -1;
    if (high_ != 0) {
      if (unit >= 0xDC00 && unit <= 0xDFFF) {
        append_utf8(0x10000 + ((high_ - 0xD800) << 10) + (unit - 0xDC00), decoded_);
        high_ = 0;
        continue;
      }
      decoded_.push_back(unpaired_mark);
      high_ = 0;
    }
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      high_ = unit;
    } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
      decoded_.push_back(unpaired_mark);
    } else {
      append_utf8(unit, decoded_);
    }
  }
  split(decoded_, out);
}

// Decides the encoding from the stream's first bytes (a byte-order mark or
// none) and passes on what follows the mark.
void BatchConverter::settle(std::string& out) {
  std::string_view head = head_;
  encoding_ = Encoding::utf8;
  if (head.substr(0, 3) == "\xEF\xBB\xBF") {
    head.remove_prefix(3);
  } else if (head.substr(0, 2) == "\xFF\xFE") {
    encoding_ = Encoding::utf16le;
    head.remove_prefix(2);
  } else if (head.substr(0, 2) == "\xFE\xFF") {
    encoding_ = Encoding::utf16be;
    head.remove_prefix(2);
  }
  if (encoding_ == Encoding::utf8)
    split(head, out);
  else
    decode(head, out);
  std::string().swap(head_);
}

void BatchConverter::feed(std::string_view block, std::string& out) {
  if (encoding_ == Encoding::unknown) {
    // Bytes are taken while they may still begin a mark: EF BB BF, FF FE, FE FF.
    static constexpr std::string_view marks[] = {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"};
    auto undecided = [this] {
      for (std::string_view mark : marks)
        if (head_.size() < mark.size() && mark.substr(0, head_.size()) == head_) return true;
      return false;
    };
    while (!block.empty() && undecided()) {
      head_.push_back(block.front());
      block.remove_prefix(1);
    }
    if (undecided()) return;
    settle(out);
  }
  if (encoding_ == Encoding::utf8)
    split(block, out);
  else
    decode(block, out);
}

void BatchConverter::finish(std::string& out) {
  if (encoding_ == Encoding::unknown) settle(out);
  std::string tail;
  if (high_ != 0) tail.push_back(unpaired_mark);
  if (odd_byte_ >= 0) tail.push_back(cut_mark);
  high_ = 0;
  odd_byte_ = -1;
  split(tail, out);
  if (!pending_) return;
  split("\n", out);
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
