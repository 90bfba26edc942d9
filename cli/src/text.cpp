#include "tavrin/cli/text.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <vector>

namespace tavrin::cli {

namespace {

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string lowered(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = lower(c);
  return out;
}

// Edit distance with adjacent swaps counted as one edit (the optimal string
// alignment distance). With `anywhere`, leading and trailing letters of `b`
// are free, which gives the distance from `a` to its nearest copy inside `b`.
// Both texts are at most max_suggested_length bytes here, so the three rows
// stay small.
std::size_t distance(std::string_view a, std::string_view b, bool anywhere) {
  const std::size_t m = b.size();
  std::vector<std::size_t> before(m + 1), prev(m + 1), cur(m + 1);
  for (std::size_t j = 0; j <= m; ++j) prev[j] = anywhere ? 0 : j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    cur[0] = i;
    for (std::size_t j = 1; j <= m; ++j) {
      const std::size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
      std::size_t d = std::min({prev[j] + 1, cur[j - 1] + 1, prev[j - 1] + cost});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
        d = std::min(d, before[j - 2] + 1);
      cur[j] = d;
    }
    std::swap(before, prev);
    std::swap(prev, cur);
  }
  if (!anywhere) return prev[m];
  return *std::min_element(prev.begin(), prev.end());
}

} // namespace

std::optional<std::string_view> nearest_name(std::string_view name,
                                             std::span<const std::string_view> names) {
  if (name.empty() || name.size() > max_suggested_length) return std::nullopt;
  const std::string want = lowered(name);

  for (std::string_view candidate : names)
    if (lowered(candidate) == want) return candidate;

  // Whole names: a few edits for a short name, about one in three letters for a longer one.
  const std::size_t limit = std::max<std::size_t>(2, want.size() / 3);
  std::optional<std::string_view> best;
  std::size_t best_distance = std::numeric_limits<std::size_t>::max();
  for (std::string_view candidate : names) {
    const std::size_t d = distance(want, lowered(candidate), false);
    if (d < best_distance) { best_distance = d; best = candidate; }
  }
  if (best && best_distance <= limit) return best;

  // Part of a name ("celsius" in "Degrees Celcius"): only for four letters or
  // more, since shorter texts are inside too many names to mean one of them.
  if (want.size() < 4) return std::nullopt;
  const std::size_t part_limit = want.size() >= 8 ? 2 : 1;
  best.reset();
  best_distance = std::numeric_limits<std::size_t>::max();
  for (std::string_view candidate : names) {
    const std::size_t d = distance(want, lowered(candidate), true);
    if (d < best_distance) { best_distance = d; best = candidate; }
  }
  if (best && best_distance <= part_limit) return best;
  return std::nullopt;
}

std::string in_quotes(std::string_view text) {
  // Enough for every catalogue name and any number someone would type.
  constexpr std::size_t shown = 80;
  std::string_view head = text;
  if (head.size() > shown) {
    std::size_t cut = shown;
    // Do not split a UTF-8 sequence: back up over its continuation bytes.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    head = text.substr(0, cut);
  }
  static constexpr char hex[] = "0123456789ABCDEF";
  std::string out = "'";
  for (char c : head) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) {
      out += "\\x";
      out.push_back(hex[u >> 4]);
      out.push_back(hex[u & 0xF]);
    } else {
      out.push_back(c);
    }
  }
  out += "'";
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
