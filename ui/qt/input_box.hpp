#pragma once

#include <QLineEdit>

namespace tavrin::ui {

/// A single-line text box with no length limit that stays quick with a huge text.
///
/// QLineEdit measures its whole text on every repaint (for the line's
/// height), which for a pasted text of megabytes takes seconds a repaint and
/// freezes the window while the cursor blinks. Past `long_text` characters
/// this box draws only a window of text around the cursor; shorter texts are
/// drawn by QLineEdit itself.
class InputBox : public QLineEdit {
  Q_OBJECT
public:
  /// A box without length limit.
  explicit InputBox(QWidget* parent = nullptr);

  /// Texts longer than this are drawn from a window around the cursor.
  static constexpr qsizetype long_text = 4096;

protected:
  void paintEvent(QPaintEvent* event) override;
};

} // namespace tavrin::ui
