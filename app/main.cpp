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
  quillet::TfrmShapes window;
  // A PDF printed from the preview is told in the main window too.
  quillet::InstallPreviewPrinting(engine.Host(), [&window](const std::vector<std::string>& files) {
    window.ShowPrintedFiles(files);
  });
  window.show();
  return app.exec();
}
