#include "form1.hpp"

#include "accessible.hpp"
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
#include <utility>

namespace tavrin::ui {

namespace {

// The layout is drawn in twips at 15 twips a pixel on a 96 DPI screen; Qt's
// device-independent pixels are those pixels, and high-DPI scaling grows them
// with the screen as twips would.
QRect pixels_of(TwipsRect r) {
  return QRect(twips_to_pixels(r.left), twips_to_pixels(r.top), twips_to_pixels(r.width),
               twips_to_pixels(r.height));
}

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

// Names a control after its row of the controls table and gives it the
// row's place and font (the window's own font needs no setting).
template <class Control> Control* placed(Control* control, tavrin::ui::Control row) {
  const ControlSpec& design = spec_of(row);
  control->setObjectName(text_of(design.name));
  control->setGeometry(pixels_of(design.twips));
  if (design.font != FontRole::window) control->setFont(font_for(design.font));
  if (!design.accessible_name.empty()) control->setAccessibleName(text_of(design.accessible_name));
  return control;
}

QString caption_of(tavrin::ui::Control row) { return text_of(spec_of(row).caption); }

QLabel* make_label(QWidget* parent, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setTextFormat(Qt::PlainText);
  return label;
}

} // namespace

Form1::Form1(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      background_(artwork(QStringLiteral("background.png"))) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(text_of(form1_caption));
  QIcon icon;
  for (int size : {16, 32, 48})
    icon.addPixmap(QPixmap::fromImage(artwork(QStringLiteral("icons/tavrin-%1.png").arg(size))));
  setWindowIcon(icon);
  setFont(font_for(FontRole::window));
  // The client area's top-left corner stands at a fixed place on the screen.
  const QRect client = pixels_of(form1_client);
  setGeometry(twips_to_pixels(form1_left), twips_to_pixels(form1_top), client.width(),
              client.height());
  setFixedSize(client.size());
  build_controls();
  apply_look();
  load();
}

void Form1::build_controls() {
  using C = tavrin::ui::Control;
  // Before any control exists: with a screen reader listening, naming a
  // control already makes Qt describe it, and keeps that description.
  install_accessibility();
  // Created in tab order, so the focus chain is the tab order.
  cboType = placed(make_list(this), C::cboType);
  cboOriginal = placed(make_list(this), C::cboOriginal);
  txtOriginal = placed(new InputBox(this), C::txtOriginal);
  cboConverted = placed(make_list(this), C::cboConverted);
  picConverted = placed(new OutputBox(artwork(QStringLiteral("output.png")), this), C::picConverted);
  Label1 = placed(make_label(this, caption_of(C::Label1)), C::Label1);
  Label2 = placed(make_label(this, caption_of(C::Label2)), C::Label2);
  Label3 = placed(make_label(this, caption_of(C::Label3)), C::Label3);
  Label4 = placed(make_label(this, caption_of(C::Label4)), C::Label4);
  cmdConvert = placed(new QPushButton(caption_of(C::cmdConvert), this), C::cmdConvert);
  cmdExit = placed(new QPushButton(caption_of(C::cmdExit), this), C::cmdExit);

  // Neither button answers Enter: only a dialog has a default button, and
  // this window is not one; autoDefault is cleared all the same.
  for (QPushButton* button : {cmdConvert, cmdExit}) {
    button->setAutoDefault(false);
    button->setDefault(false);
  }
  // Each list is named by its label, which a screen reader follows
  // (labelled-by); the labels take no focus and carry no access key.
  auto control = [this](tavrin::ui::Control row) {
    return findChild<QWidget*>(text_of(spec_of(row).name), Qt::FindDirectChildrenOnly);
  };
  for (const LabelFor& pair : form1_labels)
    static_cast<QLabel*>(control(pair.label))->setBuddy(control(pair.named));

  QWidget::setTabOrder(cboType, cboOriginal);
  QWidget::setTabOrder(cboOriginal, txtOriginal);
  QWidget::setTabOrder(txtOriginal, cboConverted);
  QWidget::setTabOrder(cboConverted, picConverted);
  QWidget::setTabOrder(picConverted, cmdConvert);
  QWidget::setTabOrder(cmdConvert, cmdExit);

  connect(cboType, &QComboBox::activated, this, &Form1::cboType_click);
  connect(cmdConvert, &QPushButton::clicked, this, &Form1::cmdConvert_click);
  connect(cmdExit, &QPushButton::clicked, this, &Form1::cmdExit_click);
  cboType->setFocus();
}

void Form1::apply_look() {
  // Text colours come from the desktop's palette, darkened (or lightened)
  // where they would not read over the artwork or the colour behind them.
  const QPalette desktop = palette();
  using C = tavrin::ui::Control;
  for (auto [label, row] : {std::pair{Label1, C::Label1}, {Label2, C::Label2},
                            {Label3, C::Label3}, {Label4, C::Label4}}) {
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText,
               readable_on(system_colour(spec_of(row).text, desktop),
                           darkest_under(background_, label->geometry())));
    label->setPalette(p);
  }

  QPalette input = txtOriginal->palette();
  const QColor base = system_colour(spec_of(C::txtOriginal).back, desktop);
  input.setColor(QPalette::Base, base);
  input.setColor(QPalette::Text, readable_on(desktop.color(QPalette::Text), base));
  txtOriginal->setPalette(input);

  // The result and the focus ring are drawn over the part of the output
  // bitmap the box shows, whatever the theme's text colour: a dark theme's
  // light text would vanish on it.
  QPalette output = picConverted->palette();
  output.setColor(QPalette::Text,
                  readable_on(desktop.color(QPalette::Text),
                              darkest_under(picConverted->bitmap(),
                                            QRect(QPoint(), picConverted->contentsRect().size()))));
  picConverted->setPalette(output);
}

void Form1::changeEvent(QEvent* event) {
  // The desktop's theme changed while running: every colour is chosen again.
  if (event->type() == QEvent::PaletteChange && picConverted) apply_look();
  QWidget::changeEvent(event);
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
  box->setInformativeText(text_of(fault_advice(fault.kind())));
  box->setWindowModality(Qt::ApplicationModal);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->show();
}

} // namespace tavrin::ui
