#include "tavrin/convert.hpp"

#include "tavrin/arithmetic_fault.hpp"
#include "tavrin/catalogue.hpp"
#include "tavrin/number_text.hpp"

#include "rule_tables.hpp"

namespace tavrin {

std::string Rule::text() const {
  switch (kind) {
  case RuleKind::identity: return "x";
  case RuleKind::scale: return "x × " + std::string(factor_text);
  case RuleKind::formula: return std::string(formula->text);
  case RuleKind::none: break;
  }
  return {};
}

double apply(const Rule& rule, double x) {
  switch (rule.kind) {
  case RuleKind::identity: return x;
  case RuleKind::scale: return checked(x * rule.factor);
  case RuleKind::formula: return checked(rule.formula->apply(x));
  case RuleKind::none: break;
  }
  return 0.0;
}

const Rule* rule_at(UnitRef from, UnitRef to) {
  if (from.category != to.category) return nullptr;
  return &data::catalogue[from.category].rules[from.index][to.index];
}

const Rule* find_rule(std::string_view source, std::string_view target) {
  const auto from = find_source(source);
  const auto to = find_target(target);
  return from && to ? rule_at(*from, *to) : nullptr;
}

double convert(std::string_view input, std::string_view source, std::string_view target) {
  const double x = parse_number(input).value;
  const Rule* rule = find_rule(source, target);
  return rule ? apply(*rule, x) : 0.0;
}

} // namespace tavrin
