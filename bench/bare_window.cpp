// The floors for the window's start-up, each a Qt window of Tavrin's size at
// its place. bench/startup.sh starts them beside `tavrin` and compares.
//   (no argument)    nothing in it;
//   --with-text      one line of text, which is what any window with text
//                    pays for setting up the font database;
//   --plain-controls Tavrin's eleven controls at their places, the category
//                    list filled, in Qt's default look: no artwork, no fonts
//                    or colours of its own. Against it, `tavrin` shows what
//                    its own look costs over the toolkit.
#include "tavrin/catalogue.hpp"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include <cstring>

namespace {

// Tavrin's controls as ui/form1.cpp places them, in twips (15 a pixel), in
// tab order.
// A copy of the places in Form1::build_controls, kept in step by hand.
enum class Kind { list, input, output, label, button };
struct Control {
  Kind kind;
  const char* text;
  int x, y, width, height;
};
constexpr Control controls[] = {
    {Kind::list, "", 120, 240, 1935, 315},
    {Kind::list, "", 120, 840, 2175, 315},
    {Kind::input, "", 120, 1320, 2175, 285},
    {Kind::list, "", 2520, 840, 2175, 315},
    {Kind::output, "", 2520, 1320, 2175, 375},
    {Kind::label, "Tavrin, engineering units by the table", 1440, 1920, 2535, 255},
    {Kind::label, "From:", 120, 600, 495, 255},
    {Kind::label, "To:", 2520, 600, 495, 255},
    {Kind::label, "Select Type of Units", 120, 0, 1695, 255},
    {Kind::button, "&Convert", 120, 1800, 855, 255},
    {Kind::button, "E&xit", 4200, 1800, 495, 255},
};

void add_plain_controls(QWidget* window) {
  bool first_list = true;
  for (const Control& c : controls) {
    const QString text = QString::fromUtf8(c.text);
    QWidget* w = nullptr;
    switch (c.kind) {
    case Kind::list: {
      auto* list = new QComboBox(window);
      list->setEditable(true);
      if (first_list) {
        for (std::string_view name : tavrin::category_names())
          list->addItem(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
        list->setCurrentIndex(-1);
        first_list = false;
      }
      w = list;
      break;
    }
    case Kind::input: w = new QLineEdit(window); break;
    case Kind::output: {
      auto* box = new QFrame(window);
      box->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
      w = box;
      break;
    }
    case Kind::label: w = new QLabel(text, window); break;
    case Kind::button: w = new QPushButton(text, window); break;
    }
    w->setGeometry(c.x / 15, c.y / 15, c.width / 15, c.height / 15);
  }
}

} // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("Tavrin bare"));
  // The size and place of Tavrin's client area: 316 x 142 px at 49, 95.
  window.setGeometry(49, 95, 316, 142);
  window.setFixedSize(316, 142);
  if (argc > 1 && std::strcmp(argv[1], "--with-text") == 0)
    new QLabel(QStringLiteral("Select Type of Units"), &window);
  if (argc > 1 && std::strcmp(argv[1], "--plain-controls") == 0) add_plain_controls(&window);
  window.show();
  return app.exec();
}
