#include "form1.hpp"

#include <QApplication>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tavrin"));
  QApplication::setApplicationVersion(QStringLiteral(TAVRIN_VERSION_TEXT));
  tavrin::ui::Form1 form;
  form.show();
  return app.exec();
}
