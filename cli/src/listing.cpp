#include "tavrin/cli/listing.hpp"

#include "tavrin/cli/text.hpp"
#include "tavrin/convert.hpp"
#include "tavrin/rule.hpp"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace tavrin::cli {

Outcome list_categories() {
  Outcome o;
  for (std::string_view name : category_names()) {
    o.out += name;
    o.out += '\n';
  }
  return o;
}

Outcome list_units(std::string_view category) {
  std::string message;
  const auto index = resolve_category(category, message);
  if (!index) return {Exit::usage, {}, std::move(message)};
  const UnitLists lists = units_at(*index);
  const bool same = std::equal(lists.sources.begin(), lists.sources.end(),
                               lists.targets.begin(), lists.targets.end());
  Outcome o;
  if (same) {
    for (std::string_view unit : lists.sources) (o.out += unit) += '\n';
    return o;
  }
  o.out += "sources (FROM):\n";
  for (std::string_view unit : lists.sources) ((o.out += "  ") += unit) += '\n';
  o.out += "targets (TO):\n";
  for (std::string_view unit : lists.targets) ((o.out += "  ") += unit) += '\n';
  return o;
}

Outcome unit_table(std::string_view category, std::string_view value, bool exact,
                   TableForm form) {
  std::string message;
  const auto index = resolve_category(category, message);
  if (!index) return {Exit::usage, {}, std::move(message)};
  const StrictValue v = read_value(value);
  if (!v.number) return {Exit::usage, {}, not_a_number(value)};
  if (v.fault) return {Exit::fault, {}, fault_message(*v.fault)};

  const UnitLists lists = units_at(*index);
  const std::size_t rows = lists.sources.size(), cols = lists.targets.size();

  // cells[r][c]; row 0 holds the column headings and column 0 the row names.
  std::vector<std::vector<std::string>> cells(rows + 1, std::vector<std::string>(cols + 1));
  cells[0][0] = "from \\ to";
  for (std::size_t c = 0; c < cols; ++c) cells[0][c + 1] = lists.targets[c];
  std::uint64_t faults = 0;
  for (std::size_t r = 0; r < rows; ++r) {
    cells[r + 1][0] = lists.sources[r];
    for (std::size_t c = 0; c < cols; ++c) {
      const Rule* rule = find_rule(lists.sources[r], lists.targets[c]);
      try {
        cells[r + 1][c + 1] = number_text(apply(*rule, v.value), exact);
      } catch (const ArithmeticFault& fault) {
        cells[r + 1][c + 1] = fault_name(fault.kind());
        ++faults;
      }
    }
  }

  Outcome o;
  if (form == TableForm::csv) {
    for (const auto& row : cells) {
      for (std::size_t c = 0; c < row.size(); ++c) {
        if (c > 0) o.out += ',';
        o.out += csv_field(row[c]);
      }
      o.out += '\n';
    }
  } else {
    // Unit names are ASCII, so bytes are columns on a terminal.
    std::vector<std::size_t> width(cols + 1, 0);
    for (const auto& row : cells)
      for (std::size_t c = 0; c < row.size(); ++c) width[c] = std::max(width[c], row[c].size());
    o.out += std::string(category_names()[*index]) + ": " + number_text(v.value, exact) +
             " from each unit on the left to each unit above\n";
    for (const auto& row : cells) {
      std::string line = row[0];
      line.append(width[0] - row[0].size(), ' ');
      for (std::size_t c = 1; c < row.size(); ++c) {
        line.append(2 + width[c] - row[c].size(), ' ');  // numbers line up on the right
        line += row[c];
      }
      o.out += line + '\n';
    }
  }
  if (faults > 0) {
    o.status = Exit::fault;
    o.err = count_text(faults) + " of " + count_text(rows * cols) +
            " cells gave an arithmetic fault";
  }
  return o;
}

} // namespace tavrin::cli
