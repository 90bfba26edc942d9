// Hash indexes from a unit name to its category and list position, built at
// compile time from the catalogue, so a lookup hashes the name once and
// compares it with the one or two names in its slot, instead of testing every
// rule in turn.
#pragma once

#include "rule_tables.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

namespace tavrin::detail {

struct IndexEntry {
  std::string_view name;
  UnitRef ref;
  bool used = false;
};

inline constexpr std::size_t unit_count = [] {
  std::size_t n = 0;
  for (const auto& c : data::catalogue) n += c.size;
  return n;
}();
static_assert(unit_count == 80, "80 source units and 80 target units");

// The longest name in either list: anything longer is no unit, whatever it
// holds, and is turned away before it is hashed.
inline constexpr std::size_t longest_name = [] {
  std::size_t n = 0;
  for (const auto& c : data::catalogue)
    for (std::size_t i = 0; i < c.size; ++i)
      n = std::max({n, c.sources[i].size(), c.targets[i].size()});
  return n;
}();

// 256 slots for 80 names keeps the open-addressing chains short.
inline constexpr std::size_t slot_count = 256;
static_assert((slot_count & (slot_count - 1)) == 0 && slot_count >= 3 * unit_count);

/// FNV-1a over the name's bytes.
constexpr std::uint64_t name_hash(std::string_view name) {
  std::uint64_t h = 14695981039346656037ull;
  for (char c : name) {
    h ^= static_cast<unsigned char>(c);
    h *= 1099511628211ull;
  }
  return h;
}

using Index = std::array<IndexEntry, slot_count>;

struct BuiltIndex {
  Index slots{};
  bool unique = true;  ///< no name was inserted twice
};

constexpr BuiltIndex make_index(bool targets) {
  BuiltIndex out;
  for (std::size_t ci = 0; ci < data::catalogue.size(); ++ci) {
    const auto& c = data::catalogue[ci];
    for (std::size_t i = 0; i < c.size; ++i) {
      const std::string_view name = targets ? c.targets[i] : c.sources[i];
      std::size_t k = name_hash(name) & (slot_count - 1);
      while (out.slots[k].used) {
        if (out.slots[k].name == name) out.unique = false;
        k = (k + 1) & (slot_count - 1);
      }
      out.slots[k] = {name, {ci, i}, true};
    }
  }
  return out;
}

inline constexpr BuiltIndex built_sources = make_index(false);
inline constexpr BuiltIndex built_targets = make_index(true);
static_assert(built_sources.unique, "every source unit belongs to one category");
static_assert(built_targets.unique, "every target unit belongs to one category");
inline constexpr const Index& source_index = built_sources.slots;
inline constexpr const Index& target_index = built_targets.slots;

inline std::optional<UnitRef> lookup(const Index& index, std::string_view name) {
  if (name.size() > longest_name) return std::nullopt;
  for (std::size_t k = name_hash(name) & (slot_count - 1);; k = (k + 1) & (slot_count - 1)) {
    const IndexEntry& e = index[k];
    if (!e.used) return std::nullopt;
    if (e.name == name) return e.ref;
  }
}

} // namespace tavrin::detail
