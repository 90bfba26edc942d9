#include "tavrin/cli/audit.hpp"

#include "tavrin/cli/text.hpp"
#include "tavrin/exact_units.hpp"

#include <algorithm>
#include <vector>

namespace tavrin::cli {

namespace {

// Figures of the exact factors and formulas; the round trip is the product
// of two table constants, a finite decimal of at most 14 digits, shown whole.
constexpr int exact_digits = 10;
constexpr int round_trip_digits = 17;

std::string_view source_name(UnitRef ref) { return units_at(ref.category).sources[ref.index]; }
std::string_view target_name(UnitRef ref) { return units_at(ref.category).targets[ref.index]; }

// "+6.865 %", "-2.753 %" or "exact", for the aligned listing.
std::string deviation_cell(const Deviation& d) {
  return d.is_exact ? "exact" : percent_text(d.relative, 4) + " %";
}

// "this rule is exact" or "this rule is 6.865 % high".
std::string verdict(const Deviation& d) {
  if (d.is_exact) return "this rule is exact";
  return "this rule is " + decimal_text(abs(d.relative) * 100, 4, true) + " % " +
         (d.relative.sign() < 0 ? "low" : "high");
}

// The short name a convention goes by in the note column; the two gas
// conditions share one note.
std::string_view note_key(Convention c) {
  switch (c) {
  case Convention::water_column: return "water";
  case Convention::mercury_column: return "mercury";
  case Convention::metric_ton: return "tonne";
  case Convention::normal_gas:
  case Convention::standard_gas: return "gas";
  case Convention::none: break;
  }
  return {};
}

// Every convention, each once, in the order the notes list them.
constexpr Convention conventions[] = {Convention::water_column, Convention::mercury_column,
                                      Convention::metric_ton, Convention::normal_gas,
                                      Convention::standard_gas};

std::string note_cell(const RuleAudit& a) {
  std::string out;
  for (Convention c : {exact_unit(a.from).convention, exact_unit(a.to).convention}) {
    const std::string_view key = note_key(c);
    if (key.empty() || out.find(key) != std::string::npos) continue;
    if (!out.empty()) out += ',';
    out += key;
  }
  return out;
}

// The units of a convention in one category or all: "Ft of Water, Inches of Water".
std::string units_with(Convention c, std::optional<std::size_t> category) {
  std::string out;
  for (std::size_t cat = 0; cat < category_count; ++cat) {
    if (category && *category != cat) continue;
    for (const ExactUnit& u : exact_units_at(cat).units) {
      if (u.convention != c) continue;
      if (!out.empty()) out += ", ";
      out += u.unit;
    }
  }
  return out;
}

// What the table's gas-flow factors match, in one sentence; with the
// largest deviations under both readings when `figures`.
std::string conditions_sentence(std::size_t category, bool figures) {
  const auto check = check_conditions(category);
  if (!check) return {};
  const bool common = check->worst_common <= check->worst_customary;
  std::string out = std::string("the table's factors ") +
                    (common ? "convert the volume alone, as if both units were at one condition"
                            : "convert between the customary conditions");
  if (figures)
    out += " (largest deviation " + decimal_text(check->worst_common * 100, 4) +
           " % at one condition, " + decimal_text(check->worst_customary * 100, 4) +
           " % at the customary conditions)";
  return out + "; the deviations shown take one condition";
}

} // namespace

std::string relation_text(const Affine& a, int digits) {
  if (a.offset.is_zero()) return decimal_text(a.slope, digits);
  std::string out = "x";
  if (a.slope != 1) out += " × " + decimal_text(a.slope, digits);
  out += a.offset.sign() < 0 ? " − " : " + ";
  return out + decimal_text(abs(a.offset), digits);
}

std::string percent_text(const Rational& relative, int significant) {
  if (relative.is_zero()) return "0";
  const std::string magnitude = decimal_text(abs(relative) * 100, significant, true);
  return (relative.sign() < 0 ? "-" : "+") + magnitude;
}

Outcome audit_listing(std::optional<std::string_view> category, TableForm form) {
  std::optional<std::size_t> index;
  if (category) {
    std::string message;
    index = resolve_category(*category, message);
    if (!index) return {Exit::usage, {}, std::move(message)};
  }
  const std::vector<RuleAudit> audits = audit_rules(index);

  Outcome o;
  if (form == TableForm::csv) {
    o.out = std::string(audit_csv_header) + "\n";
    for (const RuleAudit& a : audits) {
      const std::string fields[] = {
          std::string(category_names()[a.from.category]), std::string(source_name(a.from)),
          std::string(target_name(a.to)), a.rule->text(),
          relation_text(a.deviation.exact, exact_digits),
          a.deviation.is_exact ? "0" : decimal_text(a.deviation.relative * 100, 6, true),
          relation_text(a.round_trip, round_trip_digits)};
      for (std::size_t i = 0; i < std::size(fields); ++i) {
        if (i > 0) o.out += ',';
        o.out += csv_field(fields[i]);
      }
      o.out += '\n';
    }
    return o;
  }

  // cells[r][c]; row 0 holds the headings.
  std::vector<std::vector<std::string>> cells{
      {"category", "from", "to", "rule", "exact", "deviation", "round trip", "note"}};
  std::vector<Convention> used;
  for (const RuleAudit& a : audits) {
    cells.push_back({std::string(category_names()[a.from.category]),
                     std::string(source_name(a.from)), std::string(target_name(a.to)),
                     a.rule->text(), relation_text(a.deviation.exact, exact_digits),
                     deviation_cell(a.deviation), relation_text(a.round_trip, round_trip_digits),
                     note_cell(a)});
    used.push_back(exact_unit(a.from).convention);
    used.push_back(exact_unit(a.to).convention);
  }
  constexpr std::size_t first_number = 5, last_number = 5;  // the deviation is right-aligned
  std::vector<std::size_t> width(cells[0].size(), 0);
  for (const auto& row : cells)
    for (std::size_t c = 0; c < row.size(); ++c) width[c] = std::max(width[c], text_columns(row[c]));

  o.out = "How far each rule is from the exact definitions of its units, worst first (" +
          count_text(audits.size()) + " rules; deviation = the rule's result / the exact "
          "result - 1)\n";
  for (const auto& row : cells) {
    std::string line;
    for (std::size_t c = 0; c < row.size(); ++c) {
      const std::size_t pad = width[c] - text_columns(row[c]);
      if (c > 0) line += "  ";
      if (c >= first_number && c <= last_number) line.append(pad, ' ');
      line += row[c];
      if ((c < first_number || c > last_number) && c + 1 < row.size()) line.append(pad, ' ');
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    o.out += line + '\n';
  }

  // The notes of the conventions the listed figures assume, each once.
  std::string notes;
  for (Convention c : conventions) {
    if (std::find(used.begin(), used.end(), c) == used.end()) continue;
    notes += "  " + std::string(note_key(c)) + ": " + units_with(c, index) + ": " +
             std::string(convention_text(c)) + "\n";
  }
  for (std::size_t cat = 0; cat < category_count; ++cat) {
    const std::string sentence = conditions_sentence(cat, true);
    if (sentence.empty() || (index && *index != cat)) continue;
    notes += "  gas: " + sentence + ".\n  gas: at the customary conditions:\n";
    for (const RuleAudit& a : audits)
      if (a.from.category == cat && a.customary)
        notes += "    " + std::string(source_name(a.from)) + " to " +
                 std::string(target_name(a.to)) + ": x × " +
                 relation_text(a.customary->exact, exact_digits) + " (" +
                 verdict(*a.customary) + ")\n";
  }
  if (!notes.empty()) o.out += "\nnotes:\n" + notes;
  return o;
}

std::string definition_lines(UnitRef from, UnitRef to) {
  const RuleAudit a = audit_rule(from, to);
  const std::string exact = relation_text(a.deviation.exact, exact_digits);
  std::string out = std::string("by definition: ") + (a.deviation.exact.offset.is_zero() ? "x × " : "") +
                    exact + " (" + verdict(a.deviation) + ")\n";
  if (from.index == to.index) out = "by definition: x (the same unit)\n";
  auto note = [&out](std::string_view name, Convention c) {
    if (c != Convention::none) out += "note: " + std::string(name) + ": " + std::string(convention_text(c)) + "\n";
  };
  note(source_name(from), exact_unit(from).convention);
  if (to.index != from.index) note(target_name(to), exact_unit(to).convention);
  if (a.customary)
    out += "note: " + conditions_sentence(from.category, false) +
           "\nat the customary conditions: x × " + relation_text(a.customary->exact, exact_digits) +
           " (" + verdict(*a.customary) + ")\n";
  return out;
}

} // namespace tavrin::cli
