#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tavrin::cli {

/// The outcome of one batch line: the text to print and whether it succeeded.
struct LineResult {
  std::string text;  ///< the result, or "error: MESSAGE"
  bool ok = false;   ///< false when the line failed
};

/// Converts one batch line "VALUE<TAB>FROM<TAB>TO" (no '\n'; a trailing '\r' is dropped).
/// On failure `text` is "error: MESSAGE".
LineResult convert_batch_line(std::string_view line, bool exact);

/// Lines longer than this many bytes (before the '\n') fail with one error
/// line without being kept whole: no batch line of the catalogue's names comes
/// near it, and it bounds the memory one line can take.
inline constexpr std::size_t max_batch_line = std::size_t{1} << 20;

/// How many lines a batch has converted and how many of them failed.
struct BatchCounts {
  std::uint64_t lines = 0;   ///< output lines written, one per input line
  std::uint64_t failed = 0;  ///< lines whose output is "error: ..."
};

/// Splits a byte stream into batch lines and converts each one.
///
/// Feed it the stream in blocks of any size, in order; each complete line's
/// output, with its '\n', is appended to `out`. The output is the same however
/// the stream is cut into blocks. A line that runs across blocks is kept only
/// up to max_batch_line bytes, so memory stays bounded.
///
/// The stream is UTF-8, or what Windows editors and shells write: UTF-8
/// after a byte-order mark (EF BB BF), or UTF-16 LE or BE after theirs (FF FE,
/// FE FF), which is read as the same lines in UTF-8. A UTF-16 line that does
/// not decode (an unpaired surrogate, an odd byte at the end) gives an error
/// line that names the encoding.
class BatchConverter {
public:
  /// A converter printing results in the exact form when `exact`, else the display form.
  explicit BatchConverter(bool exact) : exact_(exact) {}

  /// Converts every line that `block` completes and appends their output to `out`.
  void feed(std::string_view block, std::string& out);

  /// Converts the last line when the stream did not end with '\n'.
  void finish(std::string& out);

  /// The lines converted so far.
  BatchCounts counts() const { return counts_; }

private:
  enum class Encoding { unknown, utf8, utf16le, utf16be };

  void settle(std::string& out);
  void decode(std::string_view block, std::string& out);
  void split(std::string_view block, std::string& out);
  void emit(std::string_view line, std::string& out);
  void keep(std::string_view part);

  bool exact_;
  Encoding encoding_ = Encoding::unknown;
  std::string head_;       // the stream's first bytes, until they tell the encoding
  std::string decoded_;    // UTF-16: the block being read, in UTF-8
  int odd_byte_ = -1;      // UTF-16: the first byte of a unit the block cut in two
  unsigned high_ = 0;      // UTF-16: a high surrogate waiting for its low half
  std::string carry_;      // the start of a line that runs across blocks
  bool pending_ = false;   // bytes of an unfinished line have been seen
  bool overlong_ = false;  // the unfinished line is past max_batch_line
  BatchCounts counts_;
};

/// Reads batch lines from `in_fd` to its end and writes one output line per
/// input line to `out_fd`, in large blocks (no write per line). Throws
/// std::system_error when reading or writing fails.
BatchCounts run_batch(int in_fd, int out_fd, bool exact);

} // namespace tavrin::cli
