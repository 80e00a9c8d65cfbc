#include "app/command_line.h"

#include "quillet_version.h"
#include "session/data_options.h"

namespace quillet {
namespace {

ProgramRequest Bad(const std::string& message) {
  return {ProgramRequest::BadUsage, {}, message + " (see quillet --help)", nullptr, false};
}

}  // namespace

ProgramRequest ParseProgramArguments(const std::vector<std::string>& args) {
  std::vector<std::string> options;  // before "--"
  std::vector<std::string> files;    // after it
  bool optionsEnded = false;
  for (const std::string& a : args) {
    if (optionsEnded) {
      files.push_back(a);
    } else if (a == "--") {
      optionsEnded = true;
    } else if (a == "--version") {
      return {ProgramRequest::PrintVersion, {}, {}, nullptr, false};
    } else if (a == "--help" || a == "-h") {
      return {ProgramRequest::PrintHelp, {}, {}, nullptr, false};
    } else {
      options.push_back(a);
    }
  }
  std::shared_ptr<cli::Options> parsed;
  try {
    parsed = std::make_shared<cli::Options>(options, std::set<std::string>{"watch"},
                                            cli::DataOptions::Names());
  } catch (const cli::UsageError& e) {
    return Bad(e.what());
  }
  files.insert(files.begin(), parsed->Positional().begin(), parsed->Positional().end());
  if (files.size() > 1) return Bad("give at most one file");
  if (files.empty()) {
    if (parsed->Has("watch") || cli::DataOptions::Given(*parsed))
      return Bad("--watch and the data options need a template file");
    return {};
  }
  if (files[0].empty()) return Bad("the file name is empty");
  return {ProgramRequest::OpenFile, files[0], {}, parsed, parsed->Has("watch")};
}

std::string ProgramVersionText() {
  return std::string("quillet ") + kQuilletVersion + "\n";
}

std::string ProgramHelpText() {
  return R"(Usage: quillet [FILE [DATA OPTIONS] [--watch]]

Prints a test sheet of geometric shapes for measuring a printer.
Without FILE the main window opens. With a prepared-report file (.frp) the
preview window opens on its pages; with a template file (.frf, or a JSON
template) the template is prepared first and the result previewed, over the
data the data options name. The program ends when the preview window closes.

Options:
  -h, --help                 show this help and exit
      --version              show the version and exit
      --csv NAME=FILE.csv    a CSV file with a header row as data set NAME
                             (repeatable)
      --csv-delimiter C      the CSV files' delimiter (one character, or "tab")
      --csv-text NAME=COL,COL  columns of a --csv data set kept as text
      --sort NAME=KEYS       sorts a --csv data set: "Items=Category,Name DESC"
      --db CONNECTION        an SQLite file, or driver=QPSQL;host=...;dbname=...
      --dataset NAME=SELECT ...  a query's rows over --db (repeatable)
      --max-steps N          the lines each script may run
      --page-memory MIB      MiB of prepared pages kept in memory (2); more
                             wait in a temporary file
      --watch                prepare again whenever the template, a --csv file
                             or the SQLite file changes; an error shows in
                             the window's status line over the last good pages
Templates opened from the preview's Open button use the same data options.
)";
}

}  // namespace quillet
