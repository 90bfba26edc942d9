#include "tavrin/catalogue.hpp"

#include "rule_tables.hpp"
#include "unit_index.hpp"

#include <algorithm>
#include <array>

namespace tavrin {

namespace {

constexpr std::array<std::size_t, category_count> expected_sizes{8, 6, 8, 7, 4, 6, 4, 3,
                                                                 3, 4, 7, 3, 4, 7, 6};
static_assert([] {
  for (std::size_t i = 0; i < category_count; ++i)
    if (data::catalogue[i].size != expected_sizes[i]) return false;
  return true;
}());

constexpr auto names = [] {
  std::array<std::string_view, category_count> out{};
  for (std::size_t i = 0; i < category_count; ++i) out[i] = data::catalogue[i].name;
  return out;
}();

// No unit is also a category name, so neither list can be mistaken for the other.
static_assert([] {
  for (const auto& c : data::catalogue)
    for (std::size_t i = 0; i < c.size; ++i)
      if (std::find(names.begin(), names.end(), c.sources[i]) != names.end() ||
          std::find(names.begin(), names.end(), c.targets[i]) != names.end())
        return false;
  return true;
}());

} // namespace

std::span<const std::string_view> category_names() { return names; }

UnitLists units_at(std::size_t index) {
  if (index >= category_count) return {};
  const auto& c = data::catalogue[index];
  return {std::span(c.sources).first(c.size), std::span(c.targets).first(c.size)};
}

UnitLists units_of(std::string_view category) {
  for (std::size_t i = 0; i < category_count; ++i)
    if (names[i] == category) return units_at(i);
  return {};
}

std::optional<UnitRef> find_source(std::string_view unit) {
  return detail::lookup(detail::source_index, unit);
}

std::optional<UnitRef> find_target(std::string_view unit) {
  return detail::lookup(detail::target_index, unit);
}

} // namespace tavrin
