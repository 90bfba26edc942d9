#include "tavrin/audit.hpp"

#include "tavrin/convert.hpp"
#include "tavrin/exact_units.hpp"

#include <algorithm>

namespace tavrin {

namespace {

// The relation from a reading of the unit with definition `from` to one with
// definition `to`: both give the SI value s·x + o, so y = (s_f·x + o_f − o_t) / s_t.
Affine between(const Affine& from, const Affine& to) {
  return {from.slope / to.slope, (from.offset - to.offset) / to.slope};
}

// A definition as the relation from a reading to SI: a value without x is the
// size of one unit (x units are x times it); a temperature is written in x.
Affine definition(std::string_view text) {
  const Affine a = parse_exact(text);
  return a.slope.is_zero() ? Affine{a.offset, 0} : a;
}

Deviation against(const Affine& written, const Affine& exact) {
  return {exact, written.slope / exact.slope - 1, written == exact};
}

} // namespace

Affine written_relation(const Rule& rule) {
  switch (rule.kind) {
  case RuleKind::scale: return {exact_decimal(rule.factor_text), 0};
  case RuleKind::formula: return parse_exact(rule.formula->text);
  case RuleKind::identity:
  case RuleKind::none: break;
  }
  return {};
}

RuleAudit audit_rule(UnitRef from, UnitRef to) {
  RuleAudit a;
  a.from = from;
  a.to = to;
  a.rule = rule_at(from, to);
  a.written = written_relation(*a.rule);
  const ExactUnit& f = exact_unit(from);
  const ExactUnit& t = exact_unit(to);
  a.deviation = against(a.written, between(definition(f.value), definition(t.value)));
  // The reverse rule runs between the same places the other way.
  const Rule& reverse = *rule_at({to.category, to.index}, {from.category, from.index});
  a.round_trip = compose(written_relation(reverse), a.written);
  if (!f.customary.empty() && !t.customary.empty())
    a.customary = against(a.written, between(definition(f.customary), definition(t.customary)));
  return a;
}

std::vector<RuleAudit> audit_rules(std::optional<std::size_t> category) {
  std::vector<RuleAudit> out;
  for (std::size_t c = 0; c < category_count; ++c) {
    if (category && *category != c) continue;
    const std::size_t n = units_at(c).sources.size();
    for (std::size_t i = 0; i < n; ++i)
      for (std::size_t j = 0; j < n; ++j)
        if (i != j) out.push_back(audit_rule({c, i}, {c, j}));
  }
  std::stable_sort(out.begin(), out.end(), [](const RuleAudit& a, const RuleAudit& b) {
    return abs(a.deviation.relative) > abs(b.deviation.relative);
  });
  return out;
}

std::optional<ConditionsCheck> check_conditions(std::size_t index) {
  std::optional<ConditionsCheck> check;
  for (const RuleAudit& a : audit_rules(index)) {
    if (!a.customary) continue;
    if (!check) check.emplace();
    check->worst_common = std::max<Rational>(check->worst_common, abs(a.deviation.relative));
    check->worst_customary = std::max<Rational>(check->worst_customary, abs(a.customary->relative));
  }
  return check;
}

} // namespace tavrin
