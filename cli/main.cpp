// quillet-cli: the engine and the sheet from the command line. Every command
// runs headless but preview, which opens the preview window on the display.
#include <QApplication>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <map>

#include "cli/commands.h"
#include "cli/console_host.h"
#include "platform/output_file.h"
#include "session/command_options.h"
#include "session/engine_session.h"

namespace {

using quillet::cli::Args;

const std::map<std::string, int (*)(const Args&)> kCommands = {
    {"sheet", quillet::cli::RunSheet},
    {"prepare", quillet::cli::RunPrepare},
    {"render", quillet::cli::RunRender},
    {"print", quillet::cli::RunPrint},
    {"info", quillet::cli::RunInfo},
    {"printers", quillet::cli::RunPrinters},
    {"template", quillet::cli::RunTemplate},
    {"eval", quillet::cli::RunEval},
    {"run-script", quillet::cli::RunScriptFile},
    {"check", quillet::cli::RunCheck},
    {"preview", quillet::cli::RunPreview},
    {"diff", quillet::cli::RunDiff},
};

bool WantsHelp(const Args& args) {
  for (const std::string& a : args)
    if (a == "--help" || a == "-h") return true;
  return false;
}

// Qt's own warnings (a missing runtime folder, font notes) are noise on a
// command line whose errors are one line each; critical messages stay.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg)
    std::cerr << "quillet-cli: " << message.toStdString() << "\n";
}

// An error is one line however its message was written (a database
// server's message, say, ends in a line break).
std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

// The preview window needs a display; without one Qt would abort.
bool HasDisplay() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  return (platform && *platform) || std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
}

}  // namespace

int main(int argc, char** argv) {
  // Version and help are answered before Qt starts: they need no display.
  if (argc == 2 && std::string(argv[1]) == "--version") {
    std::cout << quillet::cli::VersionText();
    return 0;
  }
  if (argc < 2 || std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h") {
    std::cout << quillet::cli::ProgramHelp();
    return argc < 2 ? 2 : 0;
  }
  const std::string command = argv[1];
  Args args(argv + 2, argv + argc);
  const bool progressToLog = std::erase(args, std::string("--progress")) > 0;
  auto it = kCommands.find(command);
  if (it == kCommands.end()) {
    std::cerr << "quillet-cli: unknown command '" << command << "' (see quillet-cli --help)\n";
    return 2;
  }
  if (WantsHelp(args)) {
    std::cout << quillet::cli::CommandHelp(command);
    return 0;
  }

  if (command != "preview") {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);  // never needs a display
  } else if (!HasDisplay()) {
    std::cerr << "quillet-cli preview: no display to open the window on (DISPLAY is not set)\n";
    return 1;
  }
  qInstallMessageHandler(QuietQtMessages);
  // Ctrl-C or a kill leaves no half-written temporary beside an output.
  quillet::RemoveTemporariesOnSignals();
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("quillet-cli"));

  quillet::cli::ConsoleHost host;
  host.progressToLog = progressToLog;
  quillet::EngineSession session(&host, quillet::SessionPrinters::Machine);

  int code = 0;
  try {
    code = it->second(args);
  } catch (const quillet::cli::AlreadyReported&) {
    code = 1;
  } catch (const quillet::cli::UsageError& e) {
    std::cerr << "quillet-cli " << command << ": " << e.what() << "\n";
    code = 2;
  } catch (const std::exception& e) {
    std::cerr << "quillet-cli " << command << ": " << OneLine(e.what()) << "\n";
    code = 1;
  }
  // diff says "different" with 1; an error it did not catch is still an error.
  if (code == 0 && host.errors > 0) code = command == "diff" ? 2 : 1;
  return code;
}
