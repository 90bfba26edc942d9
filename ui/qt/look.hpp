#pragma once

#include "form1_layout.hpp"
#include "readable.hpp"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPalette>
#include <QString>

namespace tavrin::ui {

/// One of the window's images, read from the resources (":/tavrin/" + `name`).
QImage artwork(const QString& name);

/// WCAG contrast ratio of two colours (1 to 21), by the shared rule.
double contrast_ratio(const QColor& a, const QColor& b);

/// `colour` made readable on `backdrop` by the shared rule (readable.hpp).
QColor readable_on(const QColor& colour, const QColor& backdrop,
                   double ratio = readable_contrast);

/// The desktop colour that stands for a classic system colour, taken from `palette`.
QColor system_colour(SystemColour which, const QPalette& palette);

/// A font of the controls table as Qt names it: its faces, then a generic family.
QFont font_for(FontRole role);

/// The darkest pixel of `image` under `area` (pixels).
QColor darkest_under(const QImage& image, const QRect& area);

} // namespace tavrin::ui
