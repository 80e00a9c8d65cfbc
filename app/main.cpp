// The quillet program. It takes no command-line arguments.
#include <QApplication>
#include <QStyleFactory>

#include "app/main_window.h"
#include "preview/engine_session.h"
#include "app/preview_printing.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("quillet"));
  // The classic style draws group captions on the frame line, as the
  // window's compact layout expects.
  if (QStyle* style = QStyleFactory::create(QStringLiteral("Windows"))) QApplication::setStyle(style);
  quillet::EngineSession engine;
  quillet::InstallPreviewPrinting(engine.Host());
  quillet::TfrmShapes window;
  window.show();
  return app.exec();
}
