// The quillet program. It takes no command-line arguments.
#include <QApplication>

#include "app/sheet_window.h"
#include "platform/qt/qt_canvas.h"
#include "report/view_registry.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  quillet::InstallFontSubstitutions();
  quillet::RegisterEngineKinds();
  quillet::SheetWindow window;
  window.show();
  return app.exec();
}
