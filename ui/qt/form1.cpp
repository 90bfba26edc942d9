#include "form1.hpp"

#include "input_box.hpp"
#include "look.hpp"
#include "output_box.hpp"

#include "tavrin/arithmetic_fault.hpp"
#include "tavrin/catalogue.hpp"
#include "tavrin/convert.hpp"
#include "tavrin/number_text.hpp"

#include <QComboBox>
#include <QCoreApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>

#include <span>

namespace tavrin::ui {

namespace {

// The layout is drawn in twips at 15 twips a pixel on a 96 DPI screen; Qt's
// device-independent pixels are those pixels, and high-DPI scaling grows them
// with the screen as twips would.
constexpr int twips(int t) { return t / 15; }

// The caption line of the credit label.
constexpr const char* credit_text = "Tavrin, engineering units by the table";

QString text_of(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

void fill(QComboBox* list, std::span<const std::string_view> names) {
  for (std::string_view name : names) list->addItem(text_of(name));
  // Adding to an empty list would select its first item; the lists start
  // with nothing chosen and show empty text.
  list->setCurrentIndex(-1);
}

QComboBox* make_list(QWidget* parent) {
  auto* list = new QComboBox(parent);
  list->setEditable(true);
  list->setLineEdit(new InputBox(list));
  // Typed text is only read, never added to the list, completed or recased;
  // Enter selects nothing (duplicate checking is what would pick a matching
  // item on Enter).
  list->setInsertPolicy(QComboBox::NoInsert);
  list->setCompleter(nullptr);
  list->setDuplicatesEnabled(true);
  list->setMaxVisibleItems(15);
  // When editing ends (Enter, or the focus leaving), a list would otherwise
  // pick the first item matching the typed text regardless of case, recase
  // the text to it and report it as chosen; typed text must stay as typed and
  // only a choice from the list counts.
  QObject::disconnect(list->lineEdit(), &QLineEdit::editingFinished, list, nullptr);
  return list;
}

// Names a control and puts it at its place, given in twips.
template <class Control> Control* placed(Control* control, const char* name, QRect twips_rect) {
  control->setObjectName(QLatin1String(name));
  control->setGeometry(twips(twips_rect.x()), twips(twips_rect.y()), twips(twips_rect.width()),
                       twips(twips_rect.height()));
  return control;
}

// The same, for a control with a font of its own instead of the window's.
template <class Control>
Control* placed(Control* control, const char* name, QRect twips_rect, const QFont& font) {
  control->setFont(font);
  return placed(control, name, twips_rect);
}

QLabel* make_label(QWidget* parent, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setTextFormat(Qt::PlainText);
  return label;
}

// The darkest pixel of the artwork under a control: the backdrop against
// which dark text reads worst.
QColor darkest_under(const QImage& image, const QRect& area) {
  QColor darkest = Qt::white;
  const QRect r = area.intersected(image.rect());
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.lightness() < darkest.lightness()) darkest = c;
    }
  return darkest;
}

} // namespace

Form1::Form1(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      background_(artwork(QStringLiteral("background.png"))) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Tavrin"));
  QIcon icon;
  for (int size : {16, 32, 48})
    icon.addPixmap(QPixmap::fromImage(artwork(QStringLiteral("icons/tavrin-%1.png").arg(size))));
  setWindowIcon(icon);
  setFont(window_font());
  // The client area's top-left corner stands at a fixed place on the screen.
  setGeometry(twips(735), twips(1425), twips(4740), twips(2130));
  setFixedSize(twips(4740), twips(2130));
  build_controls();
  apply_look();
  load();
}

void Form1::build_controls() {
  // Created in tab order, so the focus chain is the tab order.
  cboType = placed(make_list(this), "cboType", {120, 240, 1935, 315}, list_font());
  cboOriginal = placed(make_list(this), "cboOriginal", {120, 840, 2175, 315}, list_font());
  txtOriginal = placed(new InputBox(this), "txtOriginal", {120, 1320, 2175, 285}, value_font());
  cboConverted = placed(make_list(this), "cboConverted", {2520, 840, 2175, 315}, list_font());
  const QPixmap output_bitmap = QPixmap::fromImage(artwork(QStringLiteral("output.png")));
  picConverted = placed(new OutputBox(output_bitmap, this), "picConverted", {2520, 1320, 2175, 375},
                        value_font());
  Label1 = placed(make_label(this, QString::fromUtf8(credit_text)), "Label1",
                  {1440, 1920, 2535, 255}, credit_font());
  Label2 = placed(make_label(this, QStringLiteral("From:")), "Label2", {120, 600, 495, 255});
  Label3 = placed(make_label(this, QStringLiteral("To:")), "Label3", {2520, 600, 495, 255});
  Label4 = placed(make_label(this, QStringLiteral("Select Type of Units")), "Label4",
                  {120, 0, 1695, 255});
  cmdConvert = placed(new QPushButton(QStringLiteral("&Convert"), this), "cmdConvert",
                      {120, 1800, 855, 255});
  cmdExit = placed(new QPushButton(QStringLiteral("E&xit"), this), "cmdExit",
                   {4200, 1800, 495, 255});

  // Neither button answers Enter: only a dialog has a default button, and
  // this window is not one; autoDefault is cleared all the same.
  for (QPushButton* button : {cmdConvert, cmdExit}) {
    button->setAutoDefault(false);
    button->setDefault(false);
  }
  QWidget::setTabOrder(cboType, cboOriginal);
  QWidget::setTabOrder(cboOriginal, txtOriginal);
  QWidget::setTabOrder(txtOriginal, cboConverted);
  QWidget::setTabOrder(cboConverted, picConverted);
  QWidget::setTabOrder(picConverted, cmdConvert);
  QWidget::setTabOrder(cmdConvert, cmdExit);

  cboType->setAccessibleName(Label4->text());
  cboOriginal->setAccessibleName(Label2->text());
  txtOriginal->setAccessibleName(QStringLiteral("Value to convert"));
  cboConverted->setAccessibleName(Label3->text());
  picConverted->setAccessibleName(QStringLiteral("Converted value"));
  cmdConvert->setAccessibleName(QStringLiteral("Convert"));
  cmdExit->setAccessibleName(QStringLiteral("Exit"));

  connect(cboType, &QComboBox::activated, this, &Form1::cboType_click);
  connect(cmdConvert, &QPushButton::clicked, this, &Form1::cmdConvert_click);
  connect(cmdExit, &QPushButton::clicked, this, &Form1::cmdExit_click);
  cboType->setFocus();
}

void Form1::apply_look() {
  // Label text colours come from the desktop's palette, darkened where they
  // would not read over the artwork behind them.
  const QPalette desktop = palette();
  auto colour_label = [&](QLabel* label, SystemColour colour) {
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText,
               readable_on(system_colour(colour, desktop),
                           darkest_under(background_, label->geometry())));
    label->setPalette(p);
  };
  colour_label(Label1, SystemColour::inactive_border);
  colour_label(Label2, SystemColour::inactive_border);
  colour_label(Label3, SystemColour::active_caption);
  colour_label(Label4, SystemColour::inactive_border);

  QPalette input = txtOriginal->palette();
  const QColor base = system_colour(SystemColour::inactive_caption, desktop);
  input.setColor(QPalette::Base, base);
  input.setColor(QPalette::Text, readable_on(desktop.color(QPalette::Text), base));
  txtOriginal->setPalette(input);
}

void Form1::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, background_);
}

void Form1::load() {
  fill(cboType, category_names());
}

void Form1::cboType_click() {
  cboOriginal->clear();
  cboOriginal->clearEditText();
  cboConverted->clear();
  cboConverted->clearEditText();
  const UnitLists units = units_of(cboType->currentText().toStdString());
  fill(cboOriginal, units.sources);
  fill(cboConverted, units.targets);
}

void Form1::cmdConvert_click() {
  picConverted->clear();
  try {
    const double result = convert(txtOriginal->text().toStdString(),
                                  cboOriginal->currentText().toStdString(),
                                  cboConverted->currentText().toStdString());
    picConverted->print(text_of(display_form(result)));
  } catch (const ArithmeticFault& fault) {
    show_fault(fault);
  }
}

void Form1::cmdExit_click() {
  close();
  QCoreApplication::quit();
}

// An arithmetic fault leaves the output box cleared and says what happened;
// the window goes on with everything the user typed.
void Form1::show_fault(const ArithmeticFault& fault) {
  auto* box = new QMessageBox(QMessageBox::Critical, windowTitle(),
                              text_of(fault_name(fault.kind())), QMessageBox::Ok, this);
  box->setInformativeText(fault.kind() == FaultKind::overflow
                              ? QStringLiteral("The result is too large to show. Nothing was "
                                               "converted; everything typed is kept.")
                              : QStringLiteral("The result is not a number. Nothing was "
                                               "converted; everything typed is kept."));
  box->setWindowModality(Qt::ApplicationModal);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->show();
}

} // namespace tavrin::ui
