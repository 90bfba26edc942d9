#include "output_box.hpp"

#include "form1_layout.hpp"

#include <QAccessible>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>

#include <utility>

namespace tavrin::ui {

OutputBox::OutputBox(const QImage& bitmap, QWidget* parent) : QFrame(parent), bitmap_(bitmap) {
  setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
  setFocusPolicy(Qt::StrongFocus);
}

void OutputBox::clear() { show_line(QString()); }

void OutputBox::print(const QString& line) {
  show_line(line);
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
  // The focus is on Convert (or wherever Alt+C was pressed), so a screen
  // reader would not read the box's change by itself; with the focus on the
  // box, it reads the text change already.
  if (!hasFocus() && !line_.isEmpty()) {
    QAccessibleAnnouncementEvent event(this, line_);
    event.setPoliteness(QAccessible::AnnouncementPoliteness::Polite);
    QAccessible::updateAccessibility(&event);
  }
#endif
}

// One text-update event a change: AT-SPI passes it on as the removal of the
// old line and the insertion of the new one (object:text-changed), so a
// conversion, which clears the box and then prints, reads as one deletion
// and one insertion. Qt passes nothing on while no screen reader listens.
void OutputBox::show_line(const QString& line) {
  if (line == line_) return;
  const QString old = std::exchange(line_, line);
  update();
  QAccessibleTextUpdateEvent event(this, 0, old, line_);
  QAccessible::updateAccessibility(&event);
}

void OutputBox::copy() const {
  if (!line_.isEmpty()) QGuiApplication::clipboard()->setText(line_);
}

bool OutputBox::event(QEvent* event) {
  // The copy key belongs to the box while it has the focus, whatever
  // shortcuts the window may gain.
  if (event->type() == QEvent::ShortcutOverride &&
      static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
    event->accept();
    return true;
  }
  return QFrame::event(event);
}

void OutputBox::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    copy();
    event->accept();
    return;
  }
  QFrame::keyPressEvent(event);
}

void OutputBox::contextMenuEvent(QContextMenuEvent* event) {
  // Shown without blocking and deleted once closed; one entry, and nothing
  // to copy while the box is empty.
  auto* menu = new QMenu(this);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  QAction* copy_action = menu->addAction(
      QString::fromUtf8(copy_caption.data(), static_cast<qsizetype>(copy_caption.size())), this,
      &OutputBox::copy);
  copy_action->setEnabled(!line_.isEmpty());
  menu->popup(event->globalPos());
  event->accept();
}

void OutputBox::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter painter(this);
  const QRect inner = contentsRect();
  painter.setClipRect(inner);
  painter.drawImage(inner.topLeft(), bitmap_);
  if (!line_.isEmpty()) {
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::Text));
    const QPoint origin = line_origin();
    painter.drawText(origin.x(), origin.y() + QFontMetrics(font()).ascent(), line_);
  }
  if (hasFocus()) {
    // A dotted ring inside the border shows where the keyboard is.
    painter.setPen(QPen(palette().color(QPalette::Text), 1, Qt::DotLine));
    painter.drawRect(inner.adjusted(0, 0, -1, -1));
  }
}

} // namespace tavrin::ui
