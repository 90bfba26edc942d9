#pragma once

#include "tavrin/arithmetic_fault.hpp"
#include "tavrin/catalogue.hpp"

#include <optional>
#include <string>
#include <string_view>

namespace tavrin::cli {

/// The exit statuses of tavrin-convert.
enum class Exit : int {
  ok = 0,     ///< done
  fault = 1,  ///< an arithmetic fault, a failed batch line or an output error
  usage = 2,  ///< a usage error, an unknown name, a cross-category pair or not a number
};

/// What a command produced: text for stdout and, when something went wrong,
/// one message for stderr (without the program name or the '\n').
struct Outcome {
  Exit status = Exit::ok;  ///< the exit status the command asks for
  std::string out;         ///< for stdout, each line ending in '\n'
  std::string err;         ///< empty, or one line for stderr
};

/// A VALUE argument read strictly: the whole text (less surrounding blanks) must be a number.
struct StrictValue {
  bool number = false;                ///< false: "not a number"
  double value = 0.0;                 ///< the number, when it is in range
  std::optional<FaultKind> fault;     ///< set when the number is beyond the double range
};

/// Reads a VALUE argument; never depends on the process locale.
StrictValue read_value(std::string_view text);

/// The message for a VALUE that is not a number: "not a number: 'abc'".
std::string not_a_number(std::string_view text);

/// The message for an arithmetic fault, naming it ("Overflow").
std::string fault_message(FaultKind kind);

/// A source unit (FROM) and a target unit (TO) of one category.
struct UnitPair {
  UnitRef from;  ///< in the source lists
  UnitRef to;    ///< in the target lists
};

/// Looks up FROM among the source units and TO among the target units, of
/// one category. On failure returns the message: the unknown name with the
/// nearest spelling, or both names with their two categories.
std::optional<UnitPair> resolve_pair(std::string_view from, std::string_view to,
                                     std::string& message);

/// Finds a category by its exact name; on failure sets the message with the nearest spelling.
std::optional<std::size_t> resolve_category(std::string_view name, std::string& message);

/// The number as printed: the exact form when `exact`, else the display form.
std::string number_text(double value, bool exact);

/// Converts VALUE from FROM to TO: the result as one line, or the error.
Outcome convert_one(std::string_view value, std::string_view from, std::string_view to,
                    bool exact);

/// Converts as convert_one and adds the rule, the reverse rule and what the
/// value comes back as through the reverse rule.
Outcome explain_one(std::string_view value, std::string_view from, std::string_view to,
                    bool exact);

} // namespace tavrin::cli
