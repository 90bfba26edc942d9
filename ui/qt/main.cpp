#include "form1.hpp"

#include <QApplication>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tavrin"));
  QApplication::setApplicationVersion(QStringLiteral(TAVRIN_VERSION_TEXT));
  // The desktop entry's name, without ".desktop": a Wayland desktop takes it
  // as the window's app id, and it links the window to its launcher and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("org.tavrin.Tavrin"));
  tavrin::ui::Form1 form;
  form.show();
  return app.exec();
}
