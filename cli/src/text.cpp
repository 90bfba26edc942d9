#include "tavrin/cli/text.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <vector>

namespace tavrin::cli {

namespace {

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string lowered(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = lower(c);
  return out;
}

bool same_ignoring_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

// Edit distance with adjacent swaps counted as one edit (the optimal string
// alignment distance) from `a`, in lower case, to `b`, compared ignoring case.
// With `anywhere`, leading and trailing letters of `b` are free, which gives
// the distance from `a` to its nearest copy inside `b`.
//
// The caller only wants a distance below `cut` (the best so far), so this
// returns `cut` as soon as the distance cannot be less: the lengths differ by
// `cut` or more, or a row holds nothing below it. (A cell comes from the row
// before, or through a swap costing one from two rows before, and a row's
// smallest cell is at most one above the row before's, so once a row is all
// `cut` or more, every later row is too.)
// A suggestion is sought for every failing batch line, so this allocates
// nothing for any catalogue name (at most 22 bytes).
std::size_t distance(std::string_view a, std::string_view b, bool anywhere, std::size_t cut) {
  const std::size_t n = a.size(), m = b.size();
  if (!anywhere && (n > m ? n - m : m - n) >= cut) return cut;
  constexpr std::size_t stack_width = 64;
  std::array<std::size_t, 3 * (stack_width + 1)> stack_cells;
  std::vector<std::size_t> heap_cells;
  std::size_t* cells = stack_cells.data();
  if (m > stack_width) {
    heap_cells.resize(3 * (m + 1));
    cells = heap_cells.data();
  }
  std::size_t* before = cells;          // row i - 2
  std::size_t* prev = cells + m + 1;    // row i - 1
  std::size_t* cur = cells + 2 * (m + 1);
  for (std::size_t j = 0; j <= m; ++j) prev[j] = anywhere ? 0 : j;
  for (std::size_t i = 1; i <= n; ++i) {
    cur[0] = i;
    std::size_t row_min = i;
    for (std::size_t j = 1; j <= m; ++j) {
      const char bj = lower(b[j - 1]);
      const std::size_t cost = a[i - 1] == bj ? 0 : 1;
      std::size_t d = std::min({prev[j] + 1, cur[j - 1] + 1, prev[j - 1] + cost});
      if (i > 1 && j > 1 && a[i - 1] == lower(b[j - 2]) && a[i - 2] == bj)
        d = std::min(d, before[j - 2] + 1);
      cur[j] = d;
      row_min = std::min(row_min, d);
    }
    if (row_min >= cut) return cut;
    std::size_t* const oldest = before;
    before = prev;
    prev = cur;
    cur = oldest;
  }
  if (!anywhere) return prev[m];
  return *std::min_element(prev, prev + m + 1);
}

// The first of `names` at the smallest distance from `want`, when that
// distance is at most `within`.
std::optional<std::string_view> first_nearest(std::string_view want,
                                              std::span<const std::string_view> names,
                                              bool anywhere, std::size_t within) {
  std::optional<std::string_view> best;
  std::size_t cut = within + 1;
  for (std::string_view candidate : names) {
    const std::size_t d = distance(want, candidate, anywhere, cut);
    if (d < cut) {
      cut = d;
      best = candidate;
    }
  }
  return best;
}

} // namespace

std::optional<std::string_view> nearest_name(std::string_view name,
                                             std::span<const std::string_view> names) {
  if (name.empty() || name.size() > max_suggested_length) return std::nullopt;
  const std::string want = lowered(name);

  for (std::string_view candidate : names)
    if (same_ignoring_case(want, candidate)) return candidate;

  // Whole names: a few edits for a short name, about one in three letters for a longer one.
  if (auto best = first_nearest(want, names, false, std::max<std::size_t>(2, want.size() / 3)))
    return best;

  // Part of a name ("celsius" in "Degrees Celcius"): only for four letters or
  // more, since shorter texts are inside too many names to mean one of them.
  if (want.size() < 4) return std::nullopt;
  return first_nearest(want, names, true, want.size() >= 8 ? 2 : 1);
}

namespace {

// The length of the well-formed UTF-8 sequence `text` starts with, 0 when it
// starts with none.
std::size_t valid_utf8_length(std::string_view text) {
  if (text.empty()) return 0;
  const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return 1;
  // The lead byte gives the length and the range of the second byte, which
  // rules out overlong forms, surrogates and code points past U+10FFFF.
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() < length || byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i)
    if ((byte(i) & 0xC0) != 0x80) return 0;
  return length;
}

} // namespace

std::string escaped_text(std::string_view text) {
  static constexpr char hex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  auto escape = [&out](unsigned char u) {
    out += "\\x";
    out.push_back(hex[u >> 4]);
    out.push_back(hex[u & 0xF]);
  };
  while (!text.empty()) {
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t n = valid_utf8_length(text);
    // C0 controls and DEL, bytes that are no UTF-8, and the C1 controls
    // (U+0080 to U+009F, C2 80 to C2 9F), which a terminal may obey too
    // (U+009B starts an escape sequence).
    const bool control = n == 1 ? (lead < 0x20 || lead == 0x7F)
                                : n == 2 && lead == 0xC2 && static_cast<unsigned char>(text[1]) < 0xA0;
    if (n == 0 || control) {
      if (n == 0) n = 1;
      for (std::size_t i = 0; i < n; ++i) escape(static_cast<unsigned char>(text[i]));
    } else {
      out.append(text.substr(0, n));
    }
    text.remove_prefix(n);
  }
  return out;
}

std::string in_quotes(std::string_view text) {
  // Enough for every catalogue name and any number someone would type.
  constexpr std::size_t shown = 80;
  std::string_view head = text;
  if (head.size() > shown) {
    std::size_t cut = shown;
    // Do not split a UTF-8 sequence: back up over its continuation bytes.
    // A sequence is at most four bytes; a run of stray continuation bytes is cut anywhere.
    while (cut > shown - 3 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    head = text.substr(0, cut);
  }
  std::string out = "'" + escaped_text(head) + "'";
  if (head.size() < text.size()) {
    out += "... (" + count_text(text.size()) + " bytes)";
  }
  return out;
}

std::string csv_field(std::string_view text) {
  const bool needs_quotes =
      text.find_first_of(",\"\r\n") != std::string_view::npos ||
      (!text.empty() && (text.front() == ' ' || text.back() == ' '));
  if (!needs_quotes) return std::string(text);
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  out.push_back('"');
  return out;
}

std::string markup_text(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
    case '&': out += "&amp;"; break;
    case '<': out += "&lt;"; break;
    case '>': out += "&gt;"; break;
    case '"': out += "&quot;"; break;
    default: out.push_back(c);
    }
  }
  return out;
}

std::size_t text_columns(std::string_view text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;  // not a continuation byte
  }));
}

std::string count_text(std::uint64_t count) {
  std::array<char, 24> buf{};
  const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), count);
  return std::string(buf.data(), res.ptr);
}

bool is_number_text(std::string_view text) {
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && blank(text[i])) ++i;
  if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < n && digit(text[i])) { ++i; ++digits; }
  if (i < n && text[i] == '.') {
    ++i;
    while (i < n && digit(text[i])) { ++i; ++digits; }
  }
  if (digits == 0) return false;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < n && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < n && digit(text[j])) {
      while (j < n && digit(text[j])) ++j;
      i = j;
    }
  }
  while (i < n && blank(text[i])) ++i;
  return i == n;
}

} // namespace tavrin::cli
