#include "app/command_line.h"

#include "quillet_version.h"

namespace quillet {

ProgramRequest ParseProgramArguments(const std::vector<std::string>& args) {
  ProgramRequest request;
  bool optionsEnded = false;
  for (const std::string& a : args) {
    if (!optionsEnded && a == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && a == "--version") {
      return {ProgramRequest::PrintVersion, {}, {}};
    } else if (!optionsEnded && (a == "--help" || a == "-h")) {
      return {ProgramRequest::PrintHelp, {}, {}};
    } else if (!optionsEnded && a.size() > 1 && a[0] == '-') {
      return {ProgramRequest::BadUsage, {}, "unknown option '" + a + "' (see quillet --help)"};
    } else if (request.What == ProgramRequest::OpenFile) {
      return {ProgramRequest::BadUsage, {}, "give at most one file (see quillet --help)"};
    } else if (a.empty()) {
      return {ProgramRequest::BadUsage, {}, "the file name is empty"};
    } else {
      request = {ProgramRequest::OpenFile, a, {}};
    }
  }
  return request;
}

std::string ProgramVersionText() {
  return std::string("quillet ") + kQuilletVersion + "\n";
}

std::string ProgramHelpText() {
  return R"(Usage: quillet [FILE]

Prints a test sheet of geometric shapes for measuring a printer.
Without FILE the main window opens. With a prepared-report file (.frp) the
preview window opens on its pages; with a template file (.frf, or a JSON
template) the template is prepared first and the result previewed. The
program ends when the preview window closes.

Options:
  -h, --help     show this help and exit
      --version  show the version and exit
)";
}

}  // namespace quillet
