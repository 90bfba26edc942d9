#include "look.hpp"

#include <QImageReader>

namespace tavrin::ui {

namespace {

Rgb rgb_of(const QColor& c) { return {c.red(), c.green(), c.blue()}; }
QColor colour_of(Rgb c) { return QColor(c.red, c.green, c.blue); }

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
  return contrast_ratio(rgb_of(a), rgb_of(b));
}

QColor readable_on(const QColor& colour, const QColor& backdrop, double ratio) {
  return colour_of(readable_on(rgb_of(colour), rgb_of(backdrop), ratio));
}

QColor darkest_under(const QImage& image, const QRect& area) {
  return colour_of(ui::darkest_under([&](int x, int y) { return rgb_of(image.pixelColor(x, y)); },
                                     image.width(), image.height(), area.x(), area.y(),
                                     area.width(), area.height()));
}

QColor system_colour(SystemColour which, const QPalette& palette) {
  switch (which) {
  case SystemColour::active_caption:
    return palette.color(QPalette::Active, QPalette::Highlight);
  case SystemColour::inactive_caption:
    return colour_of(inactive_caption_from(rgb_of(palette.color(QPalette::Active, QPalette::Highlight))));
  case SystemColour::inactive_border:
    return palette.color(QPalette::Inactive, QPalette::Mid);
  case SystemColour::standard:
    break;
  }
  return palette.color(QPalette::WindowText);
}

QFont font_for(FontRole role) {
  // The table names a desktop that has the designed face first, then the
  // nearest faces Debian ships (installed by scripts/setup.sh).
  const FontSpec& design = font_of(role);
  QStringList families;
  for (std::string_view face : design.faces)
    if (!face.empty()) families << QString::fromUtf8(face.data(), static_cast<qsizetype>(face.size()));
  switch (design.generic) {
  case GenericFamily::serif: families << QStringLiteral("serif"); break;
  case GenericFamily::sans_serif: families << QStringLiteral("sans-serif"); break;
  case GenericFamily::cursive: families << QStringLiteral("cursive"); break;
  }
  QFont font;
  font.setFamilies(families);
  font.setPointSizeF(design.points);
  font.setWeight(static_cast<QFont::Weight>(design.weight));
  font.setItalic(design.italic);
  return font;
}

} // namespace tavrin::ui
