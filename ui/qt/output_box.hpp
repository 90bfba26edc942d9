#pragma once

#include <QFrame>
#include <QImage>
#include <QString>

namespace tavrin::ui {

/// The output box: its bitmap behind one printed line, with a sunken border.
///
/// The line is kept, so it survives every repaint, and is offered to
/// assistive technology as the box's text and value (accessible.hpp); each
/// change of it tells screen readers what was removed and what was printed.
/// With the focus, the platform's copy key copies it; a right-click offers
/// the same as "Copy". The line and the focus ring are drawn in the
/// palette's text colour, which the window makes readable over the bitmap.
class OutputBox : public QFrame {
  Q_OBJECT
public:
  /// An empty box showing `bitmap` unscaled at its inner top-left corner.
  explicit OutputBox(const QImage& bitmap, QWidget* parent = nullptr);

  /// Erases what was printed and moves the print position back to the top-left.
  void clear();
  /// Prints one line at the print position, and announces it to a screen
  /// reader where Qt can (from 6.8) while the focus is elsewhere.
  void print(const QString& line);
  /// The line the box shows; empty after clear().
  QString line() const { return line_; }
  /// Puts the shown line on the clipboard; does nothing while the box is empty.
  void copy() const;
  /// The bitmap behind the line.
  const QImage& bitmap() const { return bitmap_; }
  /// Where the line's box starts (its top-left corner), in the box's coordinates.
  QPoint line_origin() const { return contentsRect().topLeft(); }

protected:
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

private:
  void show_line(const QString& line);

  QImage bitmap_;
  QString line_;
};

} // namespace tavrin::ui
