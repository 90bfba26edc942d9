#include "input_box.hpp"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTextLayout>

#include <algorithm>
#include <limits>

namespace tavrin::ui {

namespace {
// Characters drawn on each side of the cursor: far more than a box shows.
constexpr qsizetype reach = 512;
// QLineEdit's own inner margins, so both drawings put the text in one place.
constexpr int horizontal_margin = 2;
} // namespace

InputBox::InputBox(QWidget* parent) : QLineEdit(parent) {
  setMaxLength(std::numeric_limits<int>::max());
}

void InputBox::paintEvent(QPaintEvent* event) {
  const QString all = text();
  if (all.size() <= long_text || echoMode() != Normal) {
    QLineEdit::paintEvent(event);
    return;
  }
  QPainter painter(this);
  QStyleOptionFrame panel;
  initStyleOption(&panel);
  style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);
  QRect area = style()->subElementRect(QStyle::SE_LineEditContents, &panel, this);
  area = area.marginsRemoved(textMargins()).adjusted(horizontal_margin, 0, -horizontal_margin, 0);
  painter.setClipRect(area);

  const qsizetype cursor = cursorPosition();
  const qsizetype from = std::max<qsizetype>(0, cursor - reach);
  const qsizetype to = std::min(all.size(), cursor + reach);
  QTextLayout layout(all.mid(from, to - from), font(), this);
  layout.beginLayout();
  QTextLine line = layout.createLine();
  layout.endLayout();

  // Left-aligned while the cursor is in the first box-width of the text;
  // past that, the cursor stands at the right edge, as QLineEdit scrolls.
  const int cursor_x = qRound(line.cursorToX(static_cast<int>(cursor - from)));
  const int scroll = from == 0 ? std::max(0, cursor_x - area.width() + 1) : cursor_x - area.width() + 1;
  const QFontMetrics metrics(font());
  const QPoint origin(area.left() - scroll, area.top() + (area.height() - metrics.height() + 1) / 2);

  QList<QTextLayout::FormatRange> selections;
  if (hasSelectedText()) {
    const qsizetype start = std::clamp<qsizetype>(selectionStart() - from, 0, to - from);
    const qsizetype end =
        std::clamp<qsizetype>(selectionStart() + selectionLength() - from, 0, to - from);
    QTextLayout::FormatRange range;
    range.start = static_cast<int>(start);
    range.length = static_cast<int>(end - start);
    range.format.setBackground(palette().brush(QPalette::Highlight));
    range.format.setForeground(palette().brush(QPalette::HighlightedText));
    selections << range;
  }
  painter.setPen(palette().color(QPalette::Text));
  layout.draw(&painter, origin, selections, area);
  if (hasFocus() && !isReadOnly())
    layout.drawCursor(&painter, origin, static_cast<int>(cursor - from),
                      style()->pixelMetric(QStyle::PM_TextCursorWidth, &panel, this));
}

} // namespace tavrin::ui
