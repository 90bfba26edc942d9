#include "accessible.hpp"

#include "output_box.hpp"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAbstractItemView>
#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>

namespace tavrin::ui {

namespace {

// The output box reads as a read-only text field: its name is the one of
// the controls table whether it shows a line or not, and its text (what
// AT-SPI's Text interface and a screen reader's caret read) and value are
// the shown line, empty while the box is cleared.
class OutputBoxAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
  explicit OutputBoxAccessible(OutputBox* box) : QAccessibleWidget(box, QAccessible::EditableText) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }

  QString text(QAccessible::Text t) const override {
    return t == QAccessible::Value ? line() : QAccessibleWidget::text(t);
  }

  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.readOnly = true;
    s.editable = false;
    return s;
  }

  QString text(int start, int end) const override {
    const QString all = line();
    start = qBound(0, start, int(all.size()));
    end = end < 0 ? int(all.size()) : qBound(start, end, int(all.size()));
    return all.mid(start, end - start);
  }
  int characterCount() const override { return int(line().size()); }

  // Where each character is drawn, in screen coordinates, so that a
  // magnifier or a braille display can follow the line.
  QRect characterRect(int offset) const override {
    const QString all = line();
    if (offset < 0 || offset >= all.size()) return {};
    const QFontMetrics metrics(box()->font());
    const int x = metrics.horizontalAdvance(all.left(offset));
    const QRect in_box(box()->line_origin() + QPoint(x, 0),
                       QSize(metrics.horizontalAdvance(all.at(offset)), metrics.height()));
    return QRect(box()->mapToGlobal(in_box.topLeft()), in_box.size());
  }
  int offsetAtPoint(const QPoint& point) const override {
    const QString all = line();
    const QFontMetrics metrics(box()->font());
    const QPoint at = box()->mapFromGlobal(point) - box()->line_origin();
    if (at.y() < 0 || at.y() >= metrics.height()) return -1;
    for (int i = 0; i < all.size(); ++i)
      if (at.x() >= 0 && at.x() < metrics.horizontalAdvance(all.left(i + 1))) return i;
    return -1;
  }

  // Nothing to select, no caret to move and nothing to scroll: the box
  // shows one short line and takes no typing.
  void selection(int, int* start, int* end) const override { *start = *end = 0; }
  int selectionCount() const override { return 0; }
  void addSelection(int, int) override {}
  void removeSelection(int) override {}
  void setSelection(int, int, int) override {}
  int cursorPosition() const override { return 0; }
  void setCursorPosition(int) override {}
  void scrollToSubstring(int, int) override {}
  QString attributes(int, int* start, int* end) const override {
    *start = 0;
    *end = characterCount();
    return {};
  }

private:
  OutputBox* box() const { return static_cast<OutputBox*>(widget()); }
  QString line() const { return box()->line(); }
};

// A list keeps the name of its label whatever it shows. Qt's own
// description of an editable combo box on Linux gives its current text as
// its name ("Inches"), so nothing would say which list is From and which
// is To; the rest is as Qt describes a combo box: the popup list and the
// text field as children, expandable, opened by its action.
class ListAccessible final : public QAccessibleWidget {
public:
  explicit ListAccessible(QComboBox* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return list()->currentText();
    return QAccessibleWidget::text(t);
  }

  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.expandable = true;
    s.expanded = list()->view()->isVisible();
    s.editable = list()->isEditable();
    return s;
  }

  int childCount() const override { return list()->lineEdit() ? 2 : 1; }
  QAccessibleInterface* child(int index) const override {
    if (index == 0) return QAccessible::queryAccessibleInterface(list()->view());
    if (index == 1 && list()->lineEdit())
      return QAccessible::queryAccessibleInterface(list()->lineEdit());
    return nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    if (child->object() == list()->view()) return 0;
    if (list()->lineEdit() && child->object() == list()->lineEdit()) return 1;
    return -1;
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    QLineEdit* edit = list()->lineEdit();
    if (edit && QRect(edit->mapToGlobal(QPoint(0, 0)), edit->size()).contains(x, y))
      return child(1);
    return nullptr;
  }
  // The list is the focus proxy of its text field, which takes the typing.
  QAccessibleInterface* focusChild() const override { return list()->lineEdit() ? child(1) : nullptr; }

  QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
  void doAction(const QString& action) override {
    if (action != showMenuAction() && action != pressAction()) return;
    if (list()->view()->isVisible())
      list()->hidePopup();
    else
      list()->showPopup();
  }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
  QComboBox* list() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* window_controls(const QString& class_name, QObject* object) {
  if (!object || !object->isWidgetType()) return nullptr;
  if (class_name == QLatin1String("tavrin::ui::OutputBox"))
    return new OutputBoxAccessible(static_cast<OutputBox*>(object));
  // The window's three lists are its only combo boxes.
  if (class_name == QLatin1String("QComboBox"))
    return new ListAccessible(static_cast<QComboBox*>(object));
  return nullptr;
}

} // namespace

void install_accessibility() {
  // Qt asks the factories installed last first, so these descriptions take
  // the place of Qt's own for these controls.
  static const bool installed = (QAccessible::installFactory(window_controls), true);
  (void)installed;
}

} // namespace tavrin::ui
