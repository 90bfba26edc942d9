#include "output_box.hpp"

#include "form1_layout.hpp"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>

namespace tavrin::ui {

namespace {

// Screen readers read a read-only text field's value; the box reports its
// printed line as that value.
class OutputBoxAccessible : public QAccessibleWidget {
public:
  explicit OutputBoxAccessible(OutputBox* box) : QAccessibleWidget(box, QAccessible::StaticText) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return static_cast<OutputBox*>(widget())->line();
    return QAccessibleWidget::text(t);
  }

  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.readOnly = true;
    return s;
  }
};

QAccessibleInterface* output_box_factory(const QString& class_name, QObject* object) {
  if (class_name == QLatin1String("tavrin::ui::OutputBox") && object && object->isWidgetType())
    return new OutputBoxAccessible(static_cast<OutputBox*>(object));
  return nullptr;
}

} // namespace

OutputBox::OutputBox(const QPixmap& bitmap, QWidget* parent) : QFrame(parent), bitmap_(bitmap) {
  static const bool installed = (QAccessible::installFactory(output_box_factory), true);
  (void)installed;
  setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
  setFocusPolicy(Qt::StrongFocus);
}

void OutputBox::clear() {
  line_.clear();
  announce();
}

void OutputBox::print(const QString& line) {
  line_ = line;
  announce();
}

void OutputBox::announce() {
  update();
  QAccessibleValueChangeEvent event(this, line_);
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
  painter.drawPixmap(inner.topLeft(), bitmap_);
  if (!line_.isEmpty()) {
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::Text));
    const QFontMetrics metrics(font());
    painter.drawText(inner.left(), inner.top() + metrics.ascent(), line_);
  }
  if (hasFocus()) {
    // A dotted ring inside the border shows where the keyboard is.
    painter.setPen(QPen(palette().color(QPalette::Text), 1, Qt::DotLine));
    painter.drawRect(inner.adjusted(0, 0, -1, -1));
  }
}

} // namespace tavrin::ui
