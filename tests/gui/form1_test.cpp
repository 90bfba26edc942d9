// Drives the real window with key and mouse events, under the offscreen
// platform (QT_QPA_PLATFORM=offscreen), as a user would.
#include "form1.hpp"
#include "look.hpp"
#include "output_box.hpp"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include <memory>

using tavrin::ui::contrast_ratio;
using tavrin::ui::Form1;
using tavrin::ui::OutputBox;

class Form1Test : public QObject {
  Q_OBJECT

  std::unique_ptr<Form1> form;

  template <class T> T* control(const char* name) {
    T* found = form->findChild<T*>(QString::fromLatin1(name));
    if (!found) qFatal("no control %s", name);
    return found;
  }
  QComboBox* list(const char* name) { return control<QComboBox>(name); }
  QLineEdit* input() { return control<QLineEdit>("txtOriginal"); }
  OutputBox* output() { return control<OutputBox>("picConverted"); }
  QPushButton* button(const char* name) { return control<QPushButton>(name); }

  // Chooses an item the way a user does: opens the list and clicks the item.
  void choose(QComboBox* box, const QString& item) {
    const int row = box->findText(item, Qt::MatchExactly | Qt::MatchCaseSensitive);
    QVERIFY2(row >= 0, qPrintable(item));
    box->showPopup();
    QAbstractItemView* view = box->view();
    QTRY_VERIFY(view->isVisible());
    const QModelIndex index = view->model()->index(row, 0);
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
    QTRY_VERIFY(!view->isVisible());
    // The offscreen platform activates the popup late and leaves it active
    // once closed; a desktop hands activation back to the window, as this
    // does once the platform's late events are in.
    QTest::qWait(20);
    form->activateWindow();
    QTRY_VERIFY(form->isActiveWindow());
  }

  // Chooses a category and both units from their lists, and types a value.
  void set_up(const char* category, const char* from, const char* to, const char* value) {
    choose(list("cboType"), QString::fromUtf8(category));
    choose(list("cboOriginal"), QString::fromUtf8(from));
    choose(list("cboConverted"), QString::fromUtf8(to));
    type_into(input(), QString::fromUtf8(value));
  }

  static void type_into(QWidget* widget, const QString& text) {
    widget->setFocus();
    QTest::keyClicks(widget, text);
  }

  void convert_by_mouse() { QTest::mouseClick(button("cmdConvert"), Qt::LeftButton); }

  QString focused_name() const {
    for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget())
      if (!w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_")))
        return w->objectName();
    return {};
  }

  void labels_and_input_read_over_what_is_behind_them(const char* palette) {
    const QImage art(QStringLiteral(":/tavrin/background.png"));
    for (const char* name : {"Label1", "Label2", "Label3", "Label4"}) {
      QLabel* label = control<QLabel>(name);
      const QColor text = label->palette().color(QPalette::WindowText);
      const QRect r = label->geometry().intersected(art.rect());
      for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
          QVERIFY2(contrast_ratio(text, art.pixelColor(x, y)) >= 4.5, palette);
    }
    const QPalette p = input()->palette();
    QVERIFY2(contrast_ratio(p.color(QPalette::Text), p.color(QPalette::Base)) >= 4.5, palette);
  }

  // Calls f(x, y) on each pixel where two grabs of a control differ.
  template <class F> static void each_change(const QImage& a, const QImage& b, F f) {
    for (int y = 0; y < a.height(); ++y)
      for (int x = 0; x < a.width(); ++x)
        if (a.pixel(x, y) != b.pixel(x, y)) f(x, y);
  }

  static QStringList items(QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i) out << box->itemText(i);
    return out;
  }

private slots:
  void init() {
    form = std::make_unique<Form1>();
    form->show();
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
  }
  void cleanup() {
    if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    form.reset();
  }

  void startsWithTheCategoriesListedAndNothingChosen() {
    QCOMPARE(form->windowTitle(), QStringLiteral("Tavrin"));
    QCOMPARE(list("cboType")->count(), 15);
    QCOMPARE(list("cboType")->itemText(0), QStringLiteral("Length"));
    QCOMPARE(list("cboType")->itemText(14), QStringLiteral("Low Pressure"));
    QCOMPARE(list("cboType")->currentText(), QString());
    QCOMPARE(list("cboOriginal")->count(), 0);
    QCOMPARE(list("cboConverted")->count(), 0);
    QCOMPARE(input()->text(), QString());
    QCOMPARE(output()->line(), QString());
    QCOMPARE(focused_name(), QStringLiteral("cboType"));
  }

  void windowHasItsFixedSizeAndPlaceAndNoMinimiseOrMaximise() {
    QCOMPARE(form->size(), QSize(316, 142));
    QCOMPARE(form->minimumSize(), form->maximumSize());
    QCOMPARE(form->geometry().topLeft(), QPoint(49, 95));
    const Qt::WindowFlags flags = form->windowFlags();
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(flags & Qt::WindowSystemMenuHint);
    QVERIFY(!form->windowIcon().isNull());
    QCOMPARE(button("cmdConvert")->geometry(), QRect(8, 120, 57, 17));
    QCOMPARE(output()->geometry(), QRect(168, 88, 145, 25));
    QCOMPARE(control<QLabel>("Label1")->geometry(), QRect(96, 128, 169, 17));
  }

  void choosingTorqueFillsBothListsWithTheirOwnSpellings() {
    choose(list("cboType"), QStringLiteral("Torque"));
    QCOMPARE(list("cboOriginal")->count(), 4);
    QCOMPARE(list("cboOriginal")->itemText(3), QStringLiteral("Inch Pound"));
    QCOMPARE(list("cboConverted")->itemText(3), QStringLiteral("Inch pound"));
    QCOMPARE(list("cboOriginal")->currentText(), QString());
    QCOMPARE(list("cboConverted")->currentText(), QString());
  }

  void choosingTheSameCategoryTwiceGivesOneCopy() {
    choose(list("cboType"), QStringLiteral("Length"));
    choose(list("cboType"), QStringLiteral("Length"));
    QCOMPARE(list("cboOriginal")->count(), 8);
    QCOMPARE(items(list("cboConverted")).count(QStringLiteral("Miles")), 1);
  }

  void arrowKeysInTheCategoryListChooseToo() {
    list("cboType")->setFocus();
    QTest::keyClick(list("cboType"), Qt::Key_Down);
    QCOMPARE(list("cboType")->currentText(), QStringLiteral("Length"));
    QCOMPARE(list("cboOriginal")->count(), 8);
  }

  void typingACategoryNameAndEnterChangesNothing() {
    choose(list("cboType"), QStringLiteral("Length"));
    choose(list("cboOriginal"), QStringLiteral("Inches"));
    QComboBox* type = list("cboType");
    type->lineEdit()->selectAll();
    type_into(type->lineEdit(), QStringLiteral("Torque"));
    QTest::keyClick(type->lineEdit(), Qt::Key_Return);
    QTest::keyClick(type->lineEdit(), Qt::Key_Tab);
    QCOMPARE(type->count(), 15);
    QCOMPARE(type->currentText(), QStringLiteral("Torque"));
    QCOMPARE(list("cboOriginal")->count(), 8);
    QCOMPARE(list("cboOriginal")->currentText(), QStringLiteral("Inches"));
  }

  void typingNeverAddsCompletesOrRecasesAnItem() {
    choose(list("cboType"), QStringLiteral("Length"));
    QComboBox* from = list("cboOriginal");
    type_into(from->lineEdit(), QStringLiteral("inc"));
    QTest::keyClick(from->lineEdit(), Qt::Key_Return);
    QCOMPARE(from->currentText(), QStringLiteral("inc"));
    QCOMPARE(from->count(), 8);
  }

  void theTypicalRunPrintsThirtyPointFourEight() {
    set_up("Length", "Inches", "Centimetres", "12");
    convert_by_mouse();
    QCOMPARE(output()->line(), QStringLiteral("30.48"));
    // A screen reader reads the same line.
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(output());
    QVERIFY(a);
    QCOMPARE(a->text(QAccessible::Value), QStringLiteral("30.48"));
    QCOMPARE(a->text(QAccessible::Name), QStringLiteral("Converted value"));
  }

  void everyControlCarriesTheNameOfItsLabel() {
    QCOMPARE(list("cboType")->accessibleName(), QStringLiteral("Select Type of Units"));
    QCOMPARE(list("cboOriginal")->accessibleName(), QStringLiteral("From:"));
    QCOMPARE(list("cboConverted")->accessibleName(), QStringLiteral("To:"));
    QVERIFY(!input()->accessibleName().isEmpty());
    QVERIFY(!button("cmdExit")->accessibleName().isEmpty());
  }

  void convertWithNothingChosenPrintsZero() {
    convert_by_mouse();
    QCOMPARE(output()->line(), QStringLiteral("0"));
  }

  void aTypedUnitConvertsOnlyWhenSpelledExactly() {
    choose(list("cboType"), QStringLiteral("Length"));
    choose(list("cboConverted"), QStringLiteral("Centimetres"));
    type_into(input(), QStringLiteral("12"));
    type_into(list("cboOriginal")->lineEdit(), QStringLiteral("inches"));
    QTest::keyClick(list("cboOriginal")->lineEdit(), Qt::Key_Return);
    QTest::keyClick(list("cboOriginal")->lineEdit(), Qt::Key_Tab);
    QCOMPARE(list("cboOriginal")->currentText(), QStringLiteral("inches"));
    convert_by_mouse();
    QCOMPARE(output()->line(), QStringLiteral("0"));
    list("cboOriginal")->lineEdit()->clear();
    type_into(list("cboOriginal")->lineEdit(), QStringLiteral("Inches"));
    convert_by_mouse();
    QCOMPARE(output()->line(), QStringLiteral("30.48"));
  }

  void choosingACategoryEmptiesChosenUnitsButKeepsInputAndOutput() {
    set_up("Length", "Feet", "Yards", "3");
    convert_by_mouse();
    QCOMPARE(output()->line(), QStringLiteral("0.999999"));
    choose(list("cboType"), QStringLiteral("Length"));
    QCOMPARE(list("cboOriginal")->currentText(), QString());
    QCOMPARE(list("cboConverted")->currentText(), QString());
    QCOMPARE(input()->text(), QStringLiteral("3"));
    QCOMPARE(output()->line(), QStringLiteral("0.999999"));
    convert_by_mouse();
    QCOMPARE(output()->line(), QStringLiteral("0"));
  }

  void altCConvertsAndAltXEnds() {
    set_up("Temperature", "Degrees Celcius", "Degrees Fahrenheit", "100");
    QTest::keyClick(input(), Qt::Key_C, Qt::AltModifier);
    QTRY_COMPARE(output()->line(), QStringLiteral("212"));
    QCOMPARE(input()->text(), QStringLiteral("100"));
    QSignalSpy exits(button("cmdExit"), &QPushButton::clicked);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_X, Qt::AltModifier);
    QTRY_COMPARE(exits.count(), 1);
    QTRY_VERIFY(!form->isVisible());
  }

  void enterDoesNotConvertAndEscapeDoesNotExit() {
    set_up("Length", "Inches", "Centimetres", "12");
    QTest::keyClick(input(), Qt::Key_Return);
    QTest::keyClick(input(), Qt::Key_Enter);
    QTest::keyClick(input(), Qt::Key_Escape);
    for (const char* name : {"cmdConvert", "cmdExit"}) {
      button(name)->setFocus();
      QTest::keyClick(button(name), Qt::Key_Return);
      QTest::keyClick(button(name), Qt::Key_Escape);
    }
    QTest::qWait(50);
    QVERIFY(form->isVisible());
    QCOMPARE(output()->line(), QString());
  }

  void spaceOnAFocusedButtonPressesIt() {
    button("cmdConvert")->setFocus();
    QTest::keyClick(button("cmdConvert"), Qt::Key_Space);
    QCOMPARE(output()->line(), QStringLiteral("0"));
  }

  void tabVisitsTheControlsInOrderAndRoundAgain() {
    const QStringList order = {"cboType",      "cboOriginal", "txtOriginal", "cboConverted",
                               "picConverted", "cmdConvert",  "cmdExit"};
    list("cboType")->setFocus();
    QStringList seen;
    for (int i = 0; i < 2 * order.size(); ++i) {
      seen << focused_name();
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(seen, order + order);
    QCOMPARE(control<QLabel>("Label2")->focusPolicy(), Qt::NoFocus);
  }

  void anOverflowSaysSoLeavesTheBoxClearedAndTheProgramRunning() {
    set_up("Length", "Kilometres", "Millimetres", "1");
    convert_by_mouse();
    QCOMPARE(output()->line(), QStringLiteral("1000000"));
    input()->selectAll();
    type_into(input(), QStringLiteral("1E+308"));
    convert_by_mouse();
    QTRY_VERIFY(qobject_cast<QMessageBox*>(QApplication::activeModalWidget()));
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    QCOMPARE(box->windowTitle(), QStringLiteral("Tavrin"));
    QCOMPARE(box->text(), QStringLiteral("Overflow"));
    QCOMPARE(output()->line(), QString());
    box->close();
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QVERIFY(form->isVisible());
    QCOMPARE(input()->text(), QStringLiteral("1E+308"));
    QCOMPARE(list("cboOriginal")->currentText(), QStringLiteral("Kilometres"));
    input()->selectAll();
    type_into(input(), QStringLiteral("2"));
    convert_by_mouse();
    QCOMPARE(output()->line(), QStringLiteral("2000000"));
  }

  void copyKeyAndTheOneEntryContextMenuCopyTheShownLineAndConvertNothing() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(QStringLiteral("before"));
    output()->setFocus();
    QTest::keySequence(output(), QKeySequence::Copy);
    QCOMPARE(clipboard->text(), QStringLiteral("before"));  // nothing shown, nothing copied

    set_up("Length", "Inches", "Centimetres", "12");
    convert_by_mouse();
    output()->setFocus();
    QTest::keySequence(output(), QKeySequence::Copy);
    QCOMPARE(clipboard->text(), QStringLiteral("30.48"));

    // A changed value shows that a click on the box converts nothing.
    clipboard->setText(QStringLiteral("before"));
    type_into(input(), QStringLiteral("0"));
    // Clicked through the window, as the platform delivers it, so Qt makes
    // the context menu event of the click itself.
    QTest::mouseClick(form->windowHandle(), Qt::RightButton, {},
                      output()->mapTo(form.get(), output()->rect().center()));
    QMenu* menu = nullptr;
    QTRY_VERIFY((menu = output()->findChild<QMenu*>()) && menu->isVisible());
    QCOMPARE(menu->actions().size(), 1);
    QAction* copy = menu->actions().first();
    QCOMPARE(copy->text(), QStringLiteral("Copy"));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(copy).center());
    QCOMPARE(clipboard->text(), QStringLiteral("30.48"));
    QTRY_VERIFY(!output()->findChild<QMenu*>());
    QCOMPARE(output()->line(), QStringLiteral("30.48"));
    QCOMPARE(input()->text(), QStringLiteral("120"));
  }

  void thePrintedLineSurvivesARepaint() {
    const QImage empty = output()->grab().toImage();
    set_up("Length", "Inches", "Centimetres", "12");
    convert_by_mouse();
    output()->clearFocus();
    const QImage printed = output()->grab().toImage();
    QVERIFY(printed != empty);
    form->hide();
    form->show();
    form->repaint();
    QCOMPARE(output()->grab().toImage(), printed);
  }

  void everyLabelReadsOverTheArtworkBehindIt() {
    const QImage art(QStringLiteral(":/tavrin/background.png"));
    QCOMPARE(art.size(), QSize(361, 298));
    QCOMPARE(art.depth(), 32);
    labels_and_input_read_over_what_is_behind_them("default palette");
  }

  void theResultAndItsFocusRingReadInALightAndInADarkPalette() {
    // A dark theme's light text colour, as GTK's dark Adwaita gives it.
    QPalette dark(QColor(0x35, 0x35, 0x35));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
      dark.setColor(role, QColor(0xF0, 0xF0, 0xF0));
    dark.setColor(QPalette::Base, QColor(0x2D, 0x2D, 0x2D));
    struct Restore {
      QPalette palette = QApplication::palette();
      ~Restore() { QApplication::setPalette(palette); }
    } restore;

    set_up("Length", "Inches", "Centimetres", "12");
    for (const auto& [name, desktop] :
         {std::pair{"light palette", restore.palette}, {"dark palette", dark}}) {
      // Changed while the window runs, as a desktop's theme switch does.
      QApplication::setPalette(desktop);
      QTRY_COMPARE(form->palette().color(QPalette::Text), desktop.color(QPalette::Text));
      labels_and_input_read_over_what_is_behind_them(name);
      button("cmdConvert")->setFocus();
      output()->clear();
      const QImage empty = output()->grab().toImage();
      convert_by_mouse();
      QCOMPARE(output()->line(), QStringLiteral("30.48"));
      const QImage shown = output()->grab().toImage();
      output()->setFocus();
      const QImage focused = output()->grab().toImage();

      // The result's pixels are where printing changed the box; its ink is
      // the one farthest from what was under it (the rest is antialiasing).
      QRect around;
      QColor ink;
      each_change(empty, shown, [&](int x, int y) {
        around |= QRect(x, y, 1, 1);
        const QColor under = empty.pixelColor(x, y);
        if (!ink.isValid() || contrast_ratio(shown.pixelColor(x, y), under) > contrast_ratio(ink, under))
          ink = shown.pixelColor(x, y);
      });
      QVERIFY2(!around.isEmpty(), name);
      for (int y = around.top(); y <= around.bottom(); ++y)
        for (int x = around.left(); x <= around.right(); ++x)
          QVERIFY2(contrast_ratio(ink, empty.pixelColor(x, y)) >= 4.5, name);
      // The focus ring is where the focus changed the box, over the bitmap.
      int ring = 0;
      each_change(shown, focused, [&](int x, int y) {
        ++ring;
        QVERIFY2(contrast_ratio(focused.pixelColor(x, y), empty.pixelColor(x, y)) >= 4.5, name);
      });
      QVERIFY2(ring > 0, name);
    }
    // The change re-applied the whole look: a window opened in the dark
    // palette has the same colours.
    const Form1 opened_dark;
    for (const char* name : {"Label1", "Label2", "Label3", "Label4", "txtOriginal", "picConverted"})
      QVERIFY2(opened_dark.findChild<QWidget*>(QString::fromLatin1(name))->palette() ==
                   control<QWidget>(name)->palette(), name);
  }

  void aHugeTextIsDrawnAroundTheCursorAsAShortOneIs() {
    // Past a few thousand characters the input box draws only the text near
    // the cursor; what it shows must match QLineEdit's own drawing of a
    // shorter text ending the same way, give or take antialiasing.
    auto differing = [](const QImage& a, const QImage& b) {
      int n = 0;
      for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
      return n;
    };
    input()->setFocus();
    const QString tail = QStringLiteral("12345END");
    input()->setText(QString(200, QLatin1Char('7')) + tail);
    const QImage drawn_by_qt = input()->grab().toImage();
    input()->setText(QString(20000, QLatin1Char('7')) + tail);
    const QImage drawn_here = input()->grab().toImage();
    QCOMPARE(drawn_here.size(), drawn_by_qt.size());
    QVERIFY(differing(drawn_here, drawn_by_qt) < drawn_here.width() * drawn_here.height() / 50);
    input()->setText(QString(20000, QLatin1Char('7')) + QStringLiteral("99999999"));
    QVERIFY(differing(input()->grab().toImage(), drawn_here) > 0);
  }

  void hugeInputAndUnitNamesAreKeptWholeAndAnswered() {
    set_up("Length", "Inches", "Centimetres", "");
    input()->setText(QStringLiteral("12") + QString(10 * 1024 * 1024, QLatin1Char('7')).prepend(' '));
    convert_by_mouse();
    QCOMPARE(output()->line(), QStringLiteral("30.48"));
    QCOMPARE(input()->text().size(), 10 * 1024 * 1024 + 3);
    input()->setText(QString(1000000, QLatin1Char('9')));
    convert_by_mouse();
    QTRY_VERIFY(qobject_cast<QMessageBox*>(QApplication::activeModalWidget()));
    QApplication::activeModalWidget()->close();
    input()->setText(QStringLiteral("1"));
    list("cboOriginal")->setEditText(QString(1024 * 1024, QLatin1Char('x')));
    convert_by_mouse();
    QCOMPARE(output()->line(), QStringLiteral("0"));
    QCOMPARE(list("cboOriginal")->currentText().size(), 1024 * 1024);
  }
};

int main(int argc, char* argv[]) {
  // The offscreen platform warns about popups it cannot place; those
  // warnings are harmless, and only real failures may fail a test.
  QApplication app(argc, argv);
  Form1Test test;
  return QTest::qExec(&test, argc, argv);
}

#include "form1_test.moc"
