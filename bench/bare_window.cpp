// The floor for the window's start-up: a bare Qt window of the same size at
// the same place, with nothing in it. bench/startup.sh starts it beside
// `tavrin` and compares the two. With --with-text it also shows one line of
// text, which is what any window with text pays for setting up the font
// database; that puts the comparison in proportion.
#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <cstring>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("Tavrin bare"));
  // The size and place of Tavrin's client area: 316 x 142 px at 49, 95.
  window.setGeometry(49, 95, 316, 142);
  window.setFixedSize(316, 142);
  if (argc > 1 && std::strcmp(argv[1], "--with-text") == 0)
    new QLabel(QStringLiteral("Select Type of Units"), &window);
  window.show();
  return app.exec();
}
