#include "readable.hpp"

#include <algorithm>
#include <cmath>

namespace tavrin::ui {

namespace {

double channel(int c8) {
  const double c = c8 / 255.0;
  return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(Rgb c) {
  return 0.2126 * channel(c.red) + 0.7152 * channel(c.green) + 0.0722 * channel(c.blue);
}

struct Hsl {
  double h, s, l; // hue in turns, saturation and lightness 0 to 1
};

Hsl to_hsl(Rgb c) {
  const double r = c.red / 255.0, g = c.green / 255.0, b = c.blue / 255.0;
  const double mx = std::max({r, g, b}), mn = std::min({r, g, b});
  const double l = (mx + mn) / 2, d = mx - mn;
  if (d == 0) return {0, 0, l};
  const double s = l > 0.5 ? d / (2 - mx - mn) : d / (mx + mn);
  double h = mx == r ? (g - b) / d + (g < b ? 6 : 0) : mx == g ? (b - r) / d + 2 : (r - g) / d + 4;
  return {h / 6, s, l};
}

double hue_part(double p, double q, double t) {
  if (t < 0) t += 1;
  if (t > 1) t -= 1;
  if (t < 1.0 / 6) return p + (q - p) * 6 * t;
  if (t < 0.5) return q;
  if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
  return p;
}

Rgb to_rgb(Hsl c) {
  auto byte = [](double v) { return static_cast<int>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
  if (c.s == 0) return {byte(c.l), byte(c.l), byte(c.l)};
  const double q = c.l < 0.5 ? c.l * (1 + c.s) : c.l + c.s - c.l * c.s, p = 2 * c.l - q;
  return {byte(hue_part(p, q, c.h + 1.0 / 3)), byte(hue_part(p, q, c.h)),
          byte(hue_part(p, q, c.h - 1.0 / 3))};
}

} // namespace

double lightness(Rgb c) {
  return (std::max({c.red, c.green, c.blue}) + std::min({c.red, c.green, c.blue})) / 510.0;
}

Rgb inactive_caption_from(Rgb highlight) {
  const Hsl c = to_hsl(highlight);
  return to_rgb({c.h, c.s == 0 ? 0.0 : 0.45, 0.82});
}

double contrast_ratio(Rgb a, Rgb b) {
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Rgb readable_on(Rgb colour, Rgb backdrop, double ratio) {
  // Walk the colour's lightness towards black (or white over a dark
  // backdrop) keeping its hue, and stop at the first step that reads.
  const bool darken = luminance(backdrop) > 0.18;
  Hsl c = to_hsl(colour);
  Rgb out = colour;
  for (int step = 0; step <= 100 && contrast_ratio(out, backdrop) < ratio; ++step) {
    c.l = darken ? c.l * 0.95 : c.l + (1.0 - c.l) * 0.05;
    out = to_rgb(c);
  }
  return out;
}

} // namespace tavrin::ui
