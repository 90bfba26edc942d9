// The floors for the window's start-up, each a Qt window of Tavrin's size at
// its place. bench/startup.sh starts them beside `tavrin` and compares.
//   (no argument)    nothing in it;
//   --with-text      one line of text, which is what any window with text
//                    pays for setting up the font database;
//   --plain-controls Tavrin's eleven controls at their places, the category
//                    list filled, in Qt's default look: no artwork, no fonts
//                    or colours of its own. Against it, `tavrin` shows what
//                    its own look costs over the toolkit.
#include "form1_layout.hpp"
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

QString text_of(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// Tavrin's eleven controls at the places and with the captions of the one
// controls table both windows read, as Qt's plain widgets.
void add_plain_controls(QWidget* window) {
  using tavrin::ui::ControlKind;
  using tavrin::ui::twips_to_pixels;
  bool first_list = true;
  for (const auto& c : tavrin::ui::form1_controls) {
    const QString text = text_of(c.caption);
    QWidget* w = nullptr;
    switch (c.kind) {
    case ControlKind::list: {
      auto* list = new QComboBox(window);
      list->setEditable(true);
      if (first_list) {
        for (std::string_view name : tavrin::category_names()) list->addItem(text_of(name));
        list->setCurrentIndex(-1);
        first_list = false;
      }
      w = list;
      break;
    }
    case ControlKind::text_box: w = new QLineEdit(window); break;
    case ControlKind::output_box: {
      auto* box = new QFrame(window);
      box->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
      w = box;
      break;
    }
    case ControlKind::label: w = new QLabel(text, window); break;
    case ControlKind::button: w = new QPushButton(text, window); break;
    }
    w->setGeometry(twips_to_pixels(c.twips.left), twips_to_pixels(c.twips.top),
                   twips_to_pixels(c.twips.width), twips_to_pixels(c.twips.height));
  }
}

} // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("Tavrin bare"));
  // The size and place of Tavrin's client area.
  using namespace tavrin::ui;
  window.setGeometry(twips_to_pixels(form1_left), twips_to_pixels(form1_top),
                     twips_to_pixels(form1_client.width), twips_to_pixels(form1_client.height));
  window.setFixedSize(twips_to_pixels(form1_client.width), twips_to_pixels(form1_client.height));
  if (argc > 1 && std::strcmp(argv[1], "--with-text") == 0)
    new QLabel(QStringLiteral("Select Type of Units"), &window);
  if (argc > 1 && std::strcmp(argv[1], "--plain-controls") == 0) add_plain_controls(&window);
  window.show();
  return app.exec();
}
