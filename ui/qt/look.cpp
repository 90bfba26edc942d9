#include "look.hpp"

#include <QImageReader>

#include <algorithm>
#include <cmath>

namespace tavrin::ui {

namespace {

double channel(double c) {
  c /= 255.0;
  return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& c) {
  return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

// Each family list starts with the font the window was designed in, so a
// desktop that has it uses it, then names the nearest font in Debian's
// fonts-liberation and fonts-urw-base35 packages (both installed by
// scripts/setup.sh), then a generic family.
QFont font_of(QStringList families, double points, int weight, bool italic) {
  QFont font;
  font.setFamilies(families);
  font.setPointSizeF(points);
  font.setWeight(static_cast<QFont::Weight>(weight));
  font.setItalic(italic);
  return font;
}

} // namespace

QImage artwork(const QString& name) {
  // Read as PNG by name and nothing else: left to guess, Qt would load every
  // image-format plugin it has to ask each whether it reads the file, which
  // costs the start-up more than drawing the window.
  QImageReader reader(QStringLiteral(":/tavrin/") + name, "png");
  reader.setAutoDetectImageFormat(false);
  return reader.read();
}

double contrast_ratio(const QColor& a, const QColor& b) {
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readable_on(const QColor& colour, const QColor& backdrop, double ratio) {
  // Walk the colour's lightness towards black (or white over a dark
  // backdrop) keeping its hue, and stop at the first step that reads.
  const bool darken = luminance(backdrop) > 0.18;
  QColor c = colour.toHsl();
  for (int step = 0; step <= 100 && contrast_ratio(c, backdrop) < ratio; ++step) {
    const double l = c.lightnessF();
    c.setHslF(c.hslHueF(), c.hslSaturationF(), darken ? l * 0.95 : l + (1.0 - l) * 0.05);
  }
  return c.toRgb();
}

QColor system_colour(SystemColour which, const QPalette& palette) {
  switch (which) {
  case SystemColour::active_caption:
    return palette.color(QPalette::Active, QPalette::Highlight);
  case SystemColour::inactive_caption:
    // Inactive captions are a paler version of the active one.
    return QColor::fromHslF(palette.color(QPalette::Active, QPalette::Highlight).hslHueF(), 0.45,
                            0.82);
  case SystemColour::inactive_border:
    return palette.color(QPalette::Inactive, QPalette::Mid);
  }
  return palette.color(QPalette::WindowText);
}

QFont window_font() {
  return font_of({"Times New Roman", "Liberation Serif", "serif"}, 8.25, 400, false);
}

QFont list_font() {
  return font_of({"MS Sans Serif", "Liberation Sans", "Nimbus Sans", "sans-serif"}, 8.25, 400,
                 false);
}

QFont value_font() {
  return font_of({"Times New Roman", "Liberation Serif", "serif"}, 9.0, 700, false);
}

QFont credit_font() {
  return font_of({"Script", "Z003", "URW Chancery L", "cursive"}, 8.25, 400, true);
}

} // namespace tavrin::ui
