// Sorted indexes from a unit name to its category and list position, built at
// compile time from the catalogue, so a lookup is a binary search over 80
// names instead of a test of every rule in turn.
#pragma once

#include "rule_tables.hpp"

#include <algorithm>
#include <array>
#include <optional>

namespace tavrin::detail {

struct IndexEntry {
  std::string_view name;
  UnitRef ref;
};

inline constexpr std::size_t unit_count = [] {
  std::size_t n = 0;
  for (const auto& c : data::catalogue) n += c.size;
  return n;
}();
static_assert(unit_count == 80, "80 source units and 80 target units");

using Index = std::array<IndexEntry, unit_count>;

constexpr Index make_index(bool targets) {
  Index out{};
  std::size_t k = 0;
  for (std::size_t ci = 0; ci < data::catalogue.size(); ++ci) {
    const auto& c = data::catalogue[ci];
    for (std::size_t i = 0; i < c.size; ++i)
      out[k++] = {targets ? c.targets[i] : c.sources[i], {ci, i}};
  }
  std::sort(out.begin(), out.end(),
            [](const IndexEntry& a, const IndexEntry& b) { return a.name < b.name; });
  return out;
}

constexpr bool names_unique(const Index& index) {
  for (std::size_t i = 1; i < index.size(); ++i)
    if (index[i - 1].name == index[i].name) return false;
  return true;
}

inline constexpr Index source_index = make_index(false);
inline constexpr Index target_index = make_index(true);
static_assert(names_unique(source_index), "every source unit belongs to one category");
static_assert(names_unique(target_index), "every target unit belongs to one category");

inline std::optional<UnitRef> lookup(const Index& index, std::string_view name) {
  auto it = std::lower_bound(index.begin(), index.end(), name,
                             [](const IndexEntry& e, std::string_view n) { return e.name < n; });
  if (it == index.end() || it->name != name) return std::nullopt;
  return it->ref;
}

} // namespace tavrin::detail
