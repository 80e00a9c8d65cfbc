// quillet-cli: the engine and the sheet from the command line.
#include <QApplication>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <map>

#include "cli/cli_options.h"
#include "cli/commands.h"
#include "cli/console_host.h"
#include "session/engine_session.h"

namespace {

using quillet::cli::Args;

const std::map<std::string, int (*)(const Args&)> kCommands = {
    {"sheet", quillet::cli::RunSheet},       {"prepare", quillet::cli::RunPrepare},
    {"render", quillet::cli::RunRender},     {"print", quillet::cli::RunPrint},
    {"info", quillet::cli::RunInfo},         {"printers", quillet::cli::RunPrinters},
    {"template", quillet::cli::RunTemplate},
    {"eval", quillet::cli::RunEval},
    {"run-script", quillet::cli::RunScriptFile},
    {"check", quillet::cli::RunCheck},
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

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);  // never needs a display
  qInstallMessageHandler(QuietQtMessages);
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("quillet-cli"));

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
    std::cerr << "quillet-cli " << command << ": " << e.what() << "\n";
    code = 1;
  }
  if (code == 0 && host.errors > 0) code = 1;
  return code;
}
