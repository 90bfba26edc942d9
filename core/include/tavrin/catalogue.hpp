#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace tavrin {

/// Number of unit categories.
inline constexpr std::size_t category_count = 15;

/// The source and target unit lists of one category, in list order.
struct UnitLists {
  std::span<const std::string_view> sources;  ///< as the source list shows them
  std::span<const std::string_view> targets;  ///< as the target list shows them
};

/// Where a unit name stands: its category (catalogue order) and its place in the list.
struct UnitRef {
  std::size_t category = 0;  ///< index into category_names()
  std::size_t index = 0;     ///< row (source) or column (target) in the category's table
};

/// The 15 category names in catalogue order, "Length" first, "Low Pressure" last.
std::span<const std::string_view> category_names();

/// The unit lists of the category whose name equals `category` exactly; two
/// empty lists when no name matches.
UnitLists units_of(std::string_view category);

/// The unit lists of the category at `index` in catalogue order.
UnitLists units_at(std::size_t index);

/// Finds a name in the source lists, exactly and case-sensitively.
std::optional<UnitRef> find_source(std::string_view unit);

/// Finds a name in the target lists, exactly and case-sensitively.
std::optional<UnitRef> find_target(std::string_view unit);

} // namespace tavrin
