// Any bytes as a batch stream for tavrin-convert. The first byte chooses the
// exact form (bit 0) and seeds where the stream is cut into blocks; the rest
// is the stream (UTF-8, or UTF-16 after a byte-order mark). Checked: one
// output line per input line, each either a number text or "error: ..."; the
// same output whether the stream comes whole, in fuzzer-chosen blocks or line
// by line through convert_batch_line; and counts that match the output.
#include "tavrin/arithmetic_fault.hpp"
#include "tavrin/cli/batch.hpp"
#include "tavrin/number_text.hpp"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

[[noreturn]] void fail(const char* what, std::string_view stream) {
  std::fprintf(stderr, "batch: %s (stream of %zu bytes: \"%.*s\")\n", what, stream.size(),
               static_cast<int>(std::min<std::size_t>(stream.size(), 200)), stream.data());
  std::abort();
}

bool starts_with(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// The output of one line as the converter must print it, checked on its own.
std::string line_output(std::string_view line, bool exact, std::string_view stream,
                        std::uint64_t& failed) {
  const auto result = tavrin::cli::convert_batch_line(line, exact);
  if (result.text.find('\n') != std::string::npos) fail("a line's output holds a newline", stream);
  if (result.ok == starts_with(result.text, "error: "))
    fail("'ok' disagrees with the error prefix", stream);
  if (result.ok) {
    try {
      if (!tavrin::parse_number(result.text).whole) fail("a result that is not a number text", stream);
    } catch (const tavrin::ArithmeticFault&) {
      fail("a result that reads back as an overflow", stream);
    }
  } else {
    ++failed;
  }
  return result.text + '\n';
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const bool exact = (data[0] & 1) != 0;
  std::uint32_t cut_seed = data[0] | 1u;
  const std::string_view stream(reinterpret_cast<const char*>(data) + 1, size - 1);

  // The whole stream in one block.
  std::string whole;
  tavrin::cli::BatchConverter one(exact);
  one.feed(stream, whole);
  one.finish(whole);

  // The same stream cut into blocks of 0 to 15 bytes (empty blocks too).
  std::string cut;
  tavrin::cli::BatchConverter blocks(exact);
  for (std::size_t at = 0; at < stream.size();) {
    cut_seed = cut_seed * 1103515245u + 12345u;
    const std::size_t n = std::min<std::size_t>((cut_seed >> 16) % 16, stream.size() - at);
    blocks.feed(stream.substr(at, n), cut);
    at += n;
  }
  blocks.finish(cut);
  if (cut != whole) fail("the output depends on how the stream is cut", stream);

  // Line by line: a last line without its '\n' is still a line. A UTF-8
  // byte-order mark is no part of the first line; the lines of a UTF-16
  // stream are the decoded ones, which this does not redo.
  const bool utf16 = starts_with(stream, "\xFF\xFE") || starts_with(stream, "\xFE\xFF");
  std::string_view text = stream;
  if (starts_with(text, "\xEF\xBB\xBF")) text.remove_prefix(3);
  if (utf16) text = {};
  std::string by_line;
  std::uint64_t lines = 0, failed = 0;
  for (std::string_view rest = text; !rest.empty();) {
    const auto end = rest.find('\n');
    const std::string_view line = rest.substr(0, end);
    if (line.size() <= tavrin::cli::max_batch_line) by_line += line_output(line, exact, stream, failed);
    ++lines;
    rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
  }
  if (!utf16 && stream.size() <= tavrin::cli::max_batch_line && by_line != whole)
    fail("the stream's output differs from its lines' outputs", stream);

  const auto counts = one.counts();
  if (!utf16 && counts.lines != lines) fail("the line count is wrong", stream);
  if (counts.lines != static_cast<std::uint64_t>(std::count(whole.begin(), whole.end(), '\n')))
    fail("the line count differs from the output lines", stream);
  if (!utf16 && stream.size() <= tavrin::cli::max_batch_line && counts.failed != failed)
    fail("the failed count is wrong", stream);
  return 0;
}
