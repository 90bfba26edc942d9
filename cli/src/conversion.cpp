#include "tavrin/cli/conversion.hpp"

#include "tavrin/cli/audit.hpp"
#include "tavrin/cli/text.hpp"
#include "tavrin/convert.hpp"
#include "tavrin/number_text.hpp"
#include "tavrin/rule.hpp"

#include <algorithm>
#include <vector>

namespace tavrin::cli {

namespace {

// Every source name, or every target name, of the catalogue in catalogue
// order: the candidates for a spelling suggestion.
const std::vector<std::string_view>& all_names(bool sources) {
  static const auto build = [](bool src) {
    std::vector<std::string_view> names;
    for (std::size_t c = 0; c < category_count; ++c) {
      const UnitLists lists = units_at(c);
      const auto& list = src ? lists.sources : lists.targets;
      names.insert(names.end(), list.begin(), list.end());
    }
    return names;
  };
  static const std::vector<std::string_view> source_names = build(true);
  static const std::vector<std::string_view> target_names = build(false);
  return sources ? source_names : target_names;
}

std::string unknown(std::string_view what, std::string_view name,
                    std::span<const std::string_view> candidates, std::string_view hint) {
  std::string message = "unknown " + std::string(what) + " " + in_quotes(name);
  if (auto near = nearest_name(name, candidates))
    message += "; did you mean " + in_quotes(*near) + "?";
  else
    message += " (" + std::string(hint) + ")";
  return message;
}

std::string_view source_name(UnitRef ref) { return units_at(ref.category).sources[ref.index]; }
std::string_view target_name(UnitRef ref) { return units_at(ref.category).targets[ref.index]; }

// The rule of a (source, target) place pair. Both come from the catalogue's
// own lists and one category, so the rule exists.
const Rule& rule_between(UnitRef from, UnitRef to) { return *rule_at(from, to); }

} // namespace

StrictValue read_value(std::string_view text) {
  try {
    const ParsedNumber parsed = parse_number(text);
    return {parsed.whole, parsed.value, std::nullopt};
  } catch (const ArithmeticFault& fault) {
    // The reader stops at the out-of-range number; whether anything follows
    // it decides between "not a number" and the fault.
    return {is_number_text(text), 0.0, fault.kind()};
  }
}

std::string not_a_number(std::string_view text) { return "not a number: " + in_quotes(text); }

std::string fault_message(FaultKind kind) {
  std::string message = "arithmetic fault: " + std::string(fault_name(kind));
  if (kind == FaultKind::overflow) message += " (beyond the range of a double)";
  return message;
}

std::optional<UnitPair> resolve_pair(std::string_view from, std::string_view to,
                                     std::string& message) {
  // A category name where a unit belongs: point at its units rather than
  // at whichever unit is spelt most like it.
  for (std::string_view name : {from, to}) {
    const auto categories = category_names();
    if (std::find(categories.begin(), categories.end(), name) != categories.end() &&
        !find_source(name) && !find_target(name)) {
      message = "unknown unit " + in_quotes(name) + ": it is a category (tavrin-convert --list " +
                in_quotes(name) + " shows its units)";
      return std::nullopt;
    }
  }
  const auto source = find_source(from);
  if (!source) {
    message = unknown("unit", from, all_names(true), "tavrin-convert --list shows the units");
    return std::nullopt;
  }
  const auto target = find_target(to);
  if (!target) {
    message = unknown("unit", to, all_names(false), "tavrin-convert --list shows the units");
    return std::nullopt;
  }
  if (source->category != target->category) {
    message = in_quotes(from) + " is a unit of " + in_quotes(category_names()[source->category]) +
              " and " + in_quotes(to) + " a unit of " +
              in_quotes(category_names()[target->category]) +
              "; only units of one category convert";
    return std::nullopt;
  }
  return UnitPair{*source, *target};
}

std::optional<std::size_t> resolve_category(std::string_view name, std::string& message) {
  const auto names = category_names();
  for (std::size_t i = 0; i < names.size(); ++i)
    if (names[i] == name) return i;
  message = unknown("category", name, names, "tavrin-convert --list shows the categories");
  return std::nullopt;
}

std::string number_text(double value, bool exact) {
  return exact ? exact_form(value) : display_form(value);
}

namespace {

// The checks that convert_one and explain_one share, in the order a user
// would fix them: the number, the names, then the range.
struct Prepared {
  Outcome failure;  // status ok when everything checked out
  double x = 0.0;
  UnitPair pair{};
};

Prepared prepare(std::string_view value, std::string_view from, std::string_view to) {
  Prepared p;
  const StrictValue v = read_value(value);
  if (!v.number) {
    p.failure = {Exit::usage, {}, not_a_number(value)};
    return p;
  }
  std::string message;
  const auto pair = resolve_pair(from, to, message);
  if (!pair) {
    p.failure = {Exit::usage, {}, std::move(message)};
    return p;
  }
  if (v.fault) {
    p.failure = {Exit::fault, {}, fault_message(*v.fault)};
    return p;
  }
  p.x = v.value;
  p.pair = *pair;
  return p;
}

} // namespace

Outcome convert_one(std::string_view value, std::string_view from, std::string_view to,
                    bool exact) {
  Prepared p = prepare(value, from, to);
  if (p.failure.status != Exit::ok) return std::move(p.failure);
  try {
    const double result = apply(rule_between(p.pair.from, p.pair.to), p.x);
    return {Exit::ok, number_text(result, exact) + "\n", {}};
  } catch (const ArithmeticFault& fault) {
    return {Exit::fault, {}, fault_message(fault.kind())};
  }
}

Outcome explain_one(std::string_view value, std::string_view from, std::string_view to,
                    bool exact) {
  Prepared p = prepare(value, from, to);
  if (p.failure.status != Exit::ok) return std::move(p.failure);
  const UnitPair& u = p.pair;
  const Rule& forward = rule_between(u.from, u.to);
  // The reverse runs from the target unit back to the source unit; in Torque
  // their spellings differ between the lists, so go by place, not by name.
  const UnitRef back_from{u.to.category, u.to.index};
  const UnitRef back_to{u.from.category, u.from.index};
  const Rule& reverse = rule_between(back_from, back_to);

  double result = 0.0;
  try {
    result = apply(forward, p.x);
  } catch (const ArithmeticFault& fault) {
    return {Exit::fault, {}, fault_message(fault.kind())};
  }

  std::string out = number_text(result, exact) + "\n";
  out += "rule: " + std::string(source_name(u.from)) + " to " +
         std::string(target_name(u.to)) + ": " + forward.text() + "\n";
  out += "reverse rule: " + std::string(source_name(back_from)) + " to " +
         std::string(target_name(back_to)) + ": " + reverse.text() + "\n";
  out += "round trip: " + number_text(p.x, exact) + " " + std::string(source_name(u.from)) +
         " -> " + number_text(result, exact) + " " + std::string(target_name(u.to)) + " -> ";
  try {
    const double again = apply(reverse, result);
    out += number_text(again, exact) + " " + std::string(target_name(back_to));
    if (again == p.x)
      out += " (the same double)";
    else if (number_text(again, exact) == number_text(p.x, exact))
      out += " (not the same double: " + exact_form(again) + ")";
  } catch (const ArithmeticFault& fault) {
    out += std::string(fault_name(fault.kind()));
  }
  out += "\n" + definition_lines(u.from, u.to);
  return {Exit::ok, std::move(out), {}};
}

} // namespace tavrin::cli
