#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPalette>
#include <QString>

namespace tavrin::ui {

/// The colours the window is designed in, by their classic system-colour index.
enum class SystemColour {
  active_caption = 2,   ///< "To:" over the near-white panel
  inactive_caption = 3, ///< the input box's background
  inactive_border = 11, ///< the other labels, over the light-blue paper
};

/// One of the window's images, read from the resources (":/tavrin/" + `name`).
QImage artwork(const QString& name);

/// WCAG contrast ratio of two colours (1 to 21).
double contrast_ratio(const QColor& a, const QColor& b);

/// `colour`, darkened (or lightened over a dark backdrop) just enough to reach
/// `ratio` against `backdrop`; unchanged when it already does.
QColor readable_on(const QColor& colour, const QColor& backdrop, double ratio = 4.5);

/// The desktop colour that stands for a classic system colour, taken from `palette`.
QColor system_colour(SystemColour which, const QPalette& palette);

/// The window's font: "Times New Roman" 8.25 pt, or the metric twin Debian ships.
QFont window_font();
/// The unit lists' font: "MS Sans Serif" 8.25 pt, or a sans serif Debian ships.
QFont list_font();
/// The input and output boxes' font: "Times New Roman" 9 pt bold.
QFont value_font();
/// The credit line's font: "Script" 8.25 pt italic, or a cursive Debian ships.
QFont credit_font();

} // namespace tavrin::ui
