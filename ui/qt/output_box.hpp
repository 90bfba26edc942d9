#pragma once

#include <QFrame>
#include <QPixmap>
#include <QString>

namespace tavrin::ui {

/// The output box: its bitmap behind one printed line, with a sunken border.
///
/// The line is kept, so it survives every repaint, and is offered to
/// assistive technology as the box's accessible value. With the focus, the
/// platform's copy key copies it; a right-click offers the same as "Copy".
class OutputBox : public QFrame {
  Q_OBJECT
public:
  /// An empty box showing `bitmap` unscaled at its inner top-left corner.
  explicit OutputBox(const QPixmap& bitmap, QWidget* parent = nullptr);

  /// Erases what was printed and moves the print position back to the top-left.
  void clear();
  /// Prints one line at the print position.
  void print(const QString& line);
  /// The line the box shows; empty after clear().
  QString line() const { return line_; }
  /// Puts the shown line on the clipboard; does nothing while the box is empty.
  void copy() const;

protected:
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

private:
  void announce();

  QPixmap bitmap_;
  QString line_;
};

} // namespace tavrin::ui
