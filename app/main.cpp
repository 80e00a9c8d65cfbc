// The quillet program: the main window, or with a file argument the
// preview of that report file.
#include <QApplication>
#include <QStyleFactory>
#include <iostream>

#include "app/command_line.h"
#include "app/main_window.h"
#include "app/open_report_file.h"
#include "preview/qt_engine_host.h"
#include "printing/preview_printing.h"
#include "session/engine_session.h"

namespace {

// --version and --help print their text; true when `request` was one of them.
bool AnswerWithText(const quillet::ProgramRequest& request) {
  if (request.What == quillet::ProgramRequest::PrintVersion)
    std::cout << quillet::ProgramVersionText();
  else if (request.What == quillet::ProgramRequest::PrintHelp)
    std::cout << quillet::ProgramHelpText();
  else
    return false;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  // Answered before Qt starts, so they need no display.
  if (AnswerWithText(quillet::ParseProgramArguments({argv + 1, argv + argc}))) return 0;
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("quillet"));
  std::vector<std::string> args;
  for (const QString& a : QApplication::arguments().mid(1)) args.push_back(a.toStdString());
  const quillet::ProgramRequest request = quillet::ParseProgramArguments(args);
  if (AnswerWithText(request)) return 0;
  if (request.What == quillet::ProgramRequest::BadUsage) {
    std::cerr << "quillet: " << request.Message << "\n";
    return 2;
  }
  // The classic style draws group captions on the frame line, as the
  // window's compact layout expects.
  if (QStyle* style = QStyleFactory::create(QStringLiteral("Windows")))
    QApplication::setStyle(style);
  quillet::QtEngineHost host;
  quillet::EngineSession engine(&host, quillet::SessionPrinters::Machine);
  if (request.What == quillet::ProgramRequest::OpenFile) {
    quillet::InstallPreviewPrinting(host);
    return quillet::OpenReportFile(engine.Globals(), request.File, *request.Options, request.Watch);
  }
  quillet::TfrmShapes window;
  // A PDF printed from the preview is told in the main window too.
  quillet::InstallPreviewPrinting(
      host, [&window](const std::vector<std::string>& files) { window.ShowPrintedFiles(files); });
  window.show();
  return app.exec();
}
