#pragma once

#include "tavrin/cli/conversion.hpp"

#include <string_view>

namespace tavrin::cli {

/// The 15 category names in catalogue order, one a line.
Outcome list_categories();

/// One category's source units in order; where the target list differs (as
/// for Torque) both lists, each under a heading.
Outcome list_units(std::string_view category);

/// How the table is laid out.
enum class TableForm {
  aligned,  ///< columns padded with blanks, for people
  csv,      ///< comma-separated values with RFC 4180 quoting
};

/// The matrix of a category: VALUE converted from every source unit (rows)
/// to every target unit (columns). A cell that faults shows the fault's name
/// and the table goes on; the outcome's status is then a fault.
Outcome unit_table(std::string_view category, std::string_view value, bool exact,
                   TableForm form);

} // namespace tavrin::cli
