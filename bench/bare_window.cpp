// The floor for the window's start-up: a bare Qt window of the same size at
// the same place, with nothing in it. bench/startup.sh starts it beside
// `tavrin` and compares the two.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("Tavrin bare"));
  // The size and place of Tavrin's client area: 316 x 142 px at 49, 95.
  window.setGeometry(49, 95, 316, 142);
  window.setFixedSize(316, 142);
  window.show();
  return app.exec();
}
