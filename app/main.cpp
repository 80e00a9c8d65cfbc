// The quillet program. It takes no command-line arguments.
#include <QApplication>
#include <QStyleFactory>

#include "app/main_window.h"
#include "app/preview_printing.h"
#include "preview/qt_engine_host.h"
#include "session/engine_session.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("quillet"));
  // The classic style draws group captions on the frame line, as the
  // window's compact layout expects.
  if (QStyle* style = QStyleFactory::create(QStringLiteral("Windows")))
    QApplication::setStyle(style);
  quillet::QtEngineHost host;
  quillet::EngineSession engine(&host, quillet::SessionPrinters::Machine);
  quillet::TfrmShapes window;
  // A PDF printed from the preview is told in the main window too.
  quillet::InstallPreviewPrinting(host, [&window](const std::vector<std::string>& files) {
    window.ShowPrintedFiles(files);
  });
  window.show();
  return app.exec();
}
