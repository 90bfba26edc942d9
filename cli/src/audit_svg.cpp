// The audit as a picture: one heat map a category, packed into rows in
// catalogue order, with the figure in every cell so that it reads without the
// legend. The text is built with integers and std::to_chars only, so the same
// build writes the same bytes whatever the locale.
#include "tavrin/cli/audit.hpp"

#include "tavrin/cli/output.hpp"
#include "tavrin/cli/text.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace tavrin::cli {

namespace {

// Geometry in pixels. Text widths are estimated from the character count:
// 6.4 px a character is a little over the average of DejaVu Sans and
// Liberation Sans at 11 px, so labels never run into each other.
constexpr int margin = 24;
constexpr int max_width = 1300;
constexpr int cell_w = 58;
constexpr int cell_h = 22;
constexpr int gap = 36;
constexpr int title_h = 24;
constexpr double char_w = 6.4;
constexpr double diagonal = 0.7071;  // cos 45°: column labels rise at 45°

// The colour scale: |deviation| in percent from 10^-5 to 10 on a log scale,
// through the nine steps of a yellow-orange-red ramp. The table's factors
// have six or seven significant digits, so below 10^-5 % nothing differs
// enough to matter, and 0.01 % (orange) to 10 % (dark red) spreads over most
// of the ramp.
constexpr int decade_low = -5, decade_high = 1;
constexpr std::array<unsigned, 9> ramp{0xffffcc, 0xffeda0, 0xfed976, 0xfeb24c, 0xfd8d3c,
                                       0xfc4e2a, 0xe31a1c, 0xbd0026, 0x800026};
constexpr unsigned exact_fill = 0xc7e9c0, exact_ink = 0x00441b;
constexpr unsigned identity_fill = 0xeeeeee, identity_ink = 0x888888;

std::string num(int v) {
  return v < 0 ? "-" + count_text(static_cast<std::uint64_t>(-v)) : count_text(static_cast<std::uint64_t>(v));
}

std::string colour(unsigned rgb) {
  static constexpr char hex[] = "0123456789abcdef";
  std::string out = "#";
  for (int shift = 20; shift >= 0; shift -= 4) out.push_back(hex[(rgb >> shift) & 0xF]);
  return out;
}

int text_width(std::string_view text) {
  return static_cast<int>(std::ceil(static_cast<double>(text_columns(text)) * char_w));
}

// Where |deviation| (a fraction, not yet in percent) falls on the scale, 0 to 1.
double scale_position(const Rational& relative) {
  const double percent = nearest_double(abs(relative) * 100);
  const double t = (std::log10(percent) - decade_low) / (decade_high - decade_low);
  return std::clamp(t, 0.0, 1.0);
}

unsigned ramp_colour(double t) {
  const double at = t * static_cast<double>(ramp.size() - 1);
  const std::size_t i = std::min(static_cast<std::size_t>(at), ramp.size() - 2);
  const double f = at - static_cast<double>(i);
  unsigned out = 0;
  for (int shift = 16; shift >= 0; shift -= 8) {
    const double a = (ramp[i] >> shift) & 0xFF, b = (ramp[i + 1] >> shift) & 0xFF;
    out |= static_cast<unsigned>(std::lround(a + (b - a) * f)) << shift;
  }
  return out;
}

// Dark cells take white figures.
unsigned ink_for(double t) { return t >= 0.6 ? 0xffffff : 0x222222; }

// A cell's figure: the deviation in percent to two significant digits,
// "+6.9", "−16", "+0.011", "+3.2e-6".
std::string cell_figure(const Rational& relative) {
  const Rational percent = abs(relative) * 100;
  std::string text;
  if (percent >= Rational(1, 1000)) {
    text = decimal_text(percent, 2);
  } else {
    const RoundedDecimal r = round_decimal(percent, 2);
    std::string digits = count_text(r.digits);
    text = digits.substr(0, 1) + (digits[1] != '0' ? "." + digits.substr(1) : "") + "e" +
           num(r.exponent + 1);
  }
  return (relative.sign() < 0 ? "−" : "+") + text;
}

struct Text {
  int x, y;
  std::string body;
  std::string attributes;  // extra attributes, each with its leading blank
};

void put_text(std::string& svg, const Text& t) {
  svg += "<text x=\"" + num(t.x) + "\" y=\"" + num(t.y) + "\"" + t.attributes + ">" +
         markup_text(t.body) + "</text>\n";
}

void put_rect(std::string& svg, int x, int y, int w, int h, unsigned fill,
              std::string_view tooltip = {}) {
  svg += "<rect x=\"" + num(x) + "\" y=\"" + num(y) + "\" width=\"" + num(w) + "\" height=\"" +
         num(h) + "\" fill=\"" + colour(fill) + "\"";
  if (tooltip.empty()) {
    svg += "/>\n";
  } else {
    svg += "><title>" + markup_text(tooltip) + "</title></rect>\n";
  }
}

// One category's heat map, measured before it is drawn.
struct Panel {
  std::size_t category = 0;
  int label_w = 0;   // the row labels
  int header_h = 0;  // the rotated column labels
  int width = 0;
  int height = 0;
};

Panel measure(std::size_t category) {
  const UnitLists lists = units_at(category);
  const int n = static_cast<int>(lists.sources.size());
  Panel p;
  p.category = category;
  for (std::string_view s : lists.sources) p.label_w = std::max(p.label_w, text_width(s) + 10);
  p.label_w = std::max(p.label_w, text_width(category_names()[category]) - n * cell_w + 10);
  int overhang = 0;
  for (int j = 0; j < n; ++j) {
    const int rise = static_cast<int>(text_width(lists.targets[static_cast<std::size_t>(j)]) * diagonal);
    p.header_h = std::max(p.header_h, rise + 12);
    overhang = std::max(overhang, rise - (n - j) * cell_w + cell_w / 2 + 8);
  }
  p.width = p.label_w + n * cell_w + overhang;
  p.height = title_h + p.header_h + n * cell_h;
  return p;
}

void draw(std::string& svg, const Panel& p, int x0, int y0, const std::vector<RuleAudit>& audits) {
  const UnitLists lists = units_at(p.category);
  const int n = static_cast<int>(lists.sources.size());
  put_text(svg, {x0, y0 + 16, std::string(category_names()[p.category]),
                 " font-size=\"14\" font-weight=\"bold\""});
  const int grid_x = x0 + p.label_w, grid_y = y0 + title_h + p.header_h;
  put_text(svg, {grid_x - 6, grid_y - 6, "from ↓ to →",
                 " text-anchor=\"end\" font-size=\"10\" fill=\"#666666\""});
  for (int j = 0; j < n; ++j) {
    const int cx = grid_x + j * cell_w + cell_w / 2;
    put_text(svg, {cx - 2, grid_y - 6, std::string(lists.targets[static_cast<std::size_t>(j)]),
                   " transform=\"rotate(-45 " + num(cx - 2) + " " + num(grid_y - 6) + ")\""});
  }
  for (int i = 0; i < n; ++i) {
    const int y = grid_y + i * cell_h;
    put_text(svg, {grid_x - 6, y + 15, std::string(lists.sources[static_cast<std::size_t>(i)]),
                   " text-anchor=\"end\""});
    for (int j = 0; j < n; ++j) {
      const int x = grid_x + j * cell_w;
      const int mid = x + cell_w / 2;
      if (i == j) {
        put_rect(svg, x, y, cell_w - 1, cell_h - 1, identity_fill, "the same unit");
        put_text(svg, {mid, y + 15, "=", " text-anchor=\"middle\" fill=\"" + colour(identity_ink) + "\""});
        continue;
      }
      const auto found = std::find_if(audits.begin(), audits.end(), [&](const RuleAudit& a) {
        return a.from.category == p.category && a.from.index == static_cast<std::size_t>(i) &&
               a.to.index == static_cast<std::size_t>(j);
      });
      const RuleAudit& a = *found;
      const std::string tooltip = std::string(lists.sources[static_cast<std::size_t>(i)]) +
                                  " to " + std::string(lists.targets[static_cast<std::size_t>(j)]) +
                                  ": " + a.rule->text() + "; exact " +
                                  relation_text(a.deviation.exact, 10) + "; " +
                                  (a.deviation.is_exact ? "exact" : percent_text(a.deviation.relative, 4) + " %");
      if (a.deviation.is_exact) {
        put_rect(svg, x, y, cell_w - 1, cell_h - 1, exact_fill, tooltip);
        put_text(svg, {mid, y + 15, "exact",
                       " text-anchor=\"middle\" font-size=\"10\" fill=\"" + colour(exact_ink) + "\""});
      } else {
        const double t = scale_position(a.deviation.relative);
        put_rect(svg, x, y, cell_w - 1, cell_h - 1, ramp_colour(t), tooltip);
        put_text(svg, {mid, y + 15, cell_figure(a.deviation.relative),
                       " text-anchor=\"middle\" fill=\"" + colour(ink_for(t)) + "\""});
      }
    }
  }
}

// The key: exact, one swatch a decade, and the identity, with their meanings.
int draw_legend(std::string& svg, int x, int y) {
  constexpr int w = 64, h = 18;
  put_rect(svg, x, y, w - 1, h, exact_fill);
  put_text(svg, {x + w / 2, y + 13, "exact", " text-anchor=\"middle\" font-size=\"10\" fill=\"" + colour(exact_ink) + "\""});
  put_text(svg, {x + w / 2, y + h + 14, "0", " text-anchor=\"middle\" font-size=\"10\""});
  x += w + 12;
  static constexpr std::array<std::string_view, decade_high - decade_low + 1> labels{
      "≤ 0.00001 %", "0.0001 %", "0.001 %", "0.01 %", "0.1 %", "1 %", "≥ 10 %"};
  for (int d = decade_low; d <= decade_high; ++d) {
    const double t = static_cast<double>(d - decade_low) / (decade_high - decade_low);
    put_rect(svg, x, y, w * 5 / 4 - 1, h, ramp_colour(t));
    put_text(svg, {x + w * 5 / 8, y + h + 14, std::string(labels[static_cast<std::size_t>(d - decade_low)]),
                   " text-anchor=\"middle\" font-size=\"10\""});
    x += w * 5 / 4;
  }
  x += 12;
  put_rect(svg, x, y, w - 1, h, identity_fill);
  put_text(svg, {x + w / 2, y + 13, "=", " text-anchor=\"middle\" fill=\"" + colour(identity_ink) + "\""});
  put_text(svg, {x + w / 2, y + h + 14, "same unit", " text-anchor=\"middle\" font-size=\"10\""});
  return y + h + 22;
}

} // namespace

std::string audit_svg(std::optional<std::size_t> category) {
  const std::vector<RuleAudit> audits = audit_rules(category);

  // Pack the panels into rows, in catalogue order.
  std::vector<std::vector<Panel>> rows;
  int row_w = 0;
  for (std::size_t c = 0; c < category_count; ++c) {
    if (category && *category != c) continue;
    const Panel p = measure(c);
    if (rows.empty() || row_w + gap + p.width > max_width - 2 * margin) {
      rows.emplace_back();
      row_w = -gap;
    }
    rows.back().push_back(p);
    row_w += gap + p.width;
  }

  std::string body;
  int y = margin;
  put_text(body, {margin, y + 18, "How far each rule of Tavrin's table is from the exact definitions of its units",
                  " font-size=\"18\" font-weight=\"bold\""});
  y += 28;
  put_text(body, {margin, y + 14,
                  "Each cell: the rule from the row's unit to the column's unit, its deviation in percent "
                  "(the rule's result ÷ the exact result − 1; + too high, − too low), coloured on a log scale.",
                  ""});
  y += 26;
  y = draw_legend(body, margin, y) + 16;

  int width = 0;
  for (const auto& row : rows) {
    int x = margin, height = 0;
    for (const Panel& p : row) {
      draw(body, p, x, y, audits);
      x += p.width + gap;
      height = std::max(height, p.height);
    }
    width = std::max(width, x - gap + margin);
    y += height + gap;
  }
  put_text(body, {margin, y, "Exact definitions: inch 0.0254 m and pound 0.45359237 kg (1959), standard "
                             "gravity 9.80665 m/s², US gallon 231 in³, imperial gallon 4.54609 L, barrel "
                             "42 US gallons, NIST SP 811 Appendix B.",
                  " font-size=\"11\" fill=\"#444444\""});
  // Two lines, so that neither runs past the right edge of the picture.
  put_text(body, {margin, y + 16,
                  "Conventions: water and mercury columns conventional; Ton / hr the metric tonne.",
                  " font-size=\"11\" fill=\"#444444\""});
  std::string gas = "Gas flows: both units at one reference condition, as the table's factors have it";
  for (std::size_t c = 0; c < category_count; ++c)
    if (const auto check = check_conditions(c))
      gas += " (between each unit's customary conditions they are up to " +
             decimal_text(check->worst_customary * 100, 2) + " % off)";
  put_text(body, {margin, y + 32, gas + ".", " font-size=\"11\" fill=\"#444444\""});
  y += 32 + margin;
  width = std::max(width, max_width);

  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + num(width) + "\" height=\"" +
         num(y) + "\" viewBox=\"0 0 " + num(width) + " " + num(y) +
         "\" font-family=\"DejaVu Sans, Liberation Sans, Arial, sans-serif\" font-size=\"11\">\n"
         "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n" + body + "</svg>\n";
}

Outcome write_audit_svg(std::optional<std::string_view> category, std::string_view path) {
  std::optional<std::size_t> index;
  if (category) {
    std::string message;
    index = resolve_category(*category, message);
    if (!index) return {Exit::usage, {}, std::move(message)};
  }
  std::string svg = audit_svg(index);
  if (path == "-") return {Exit::ok, std::move(svg), {}};
  if (const auto error = replace_file(std::string(path), svg))
    return {Exit::fault, {}, "cannot write " + in_quotes(path) + ": " + error.message()};
  return {};
}

} // namespace tavrin::cli
