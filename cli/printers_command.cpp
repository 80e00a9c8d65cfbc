// quillet-cli printers: the printers the engine knows, each with its state
// and default paper as the print server reports them now, as lines or JSON.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <iomanip>
#include <iostream>

#include "cli/commands.h"
#include "platform/platform_printer.h"
#include "platform/qt/qt_text.h"
#include "report/printer/printer.h"
#include "session/command_options.h"

namespace quillet::cli {

int RunPrinters(const Args& args) {
  const Options o(args, {"json"}, {});
  if (!o.Positional().empty()) throw UsageError("printers takes no arguments");
  // Printers belong to no report: the list is the process engine's.
  const TfrPrinter& printer = EnginePrinter(Engine());
  PlatformPrinter* platform = printer.PlatformPrinter;
  const int installed = platform ? static_cast<int>(platform->PrinterNames().size()) : 0;
  struct Row {
    std::string name;
    bool current;
    PrinterStatus status;
  };
  std::vector<Row> rows;
  std::size_t nameWidth = 0;
  for (std::size_t i = 0; i < printer.PrinterNames.size(); ++i) {
    Row row{printer.PrinterNames[i], int(i) == printer.SelectedPrinterIndex, {}};
    // The virtual printer lays pages out only; it has no state or paper of its own.
    if (int(i) < installed) row.status = platform->Status(static_cast<int>(i));
    nameWidth = std::max(nameWidth, row.name.size());
    rows.push_back(std::move(row));
  }
  if (o.Has("json")) {
    QJsonArray list;
    for (const Row& r : rows) {
      QJsonObject item{{QStringLiteral("name"), ToQString(r.name)},
                       {QStringLiteral("current"), r.current},
                       {QStringLiteral("state"), QString::fromStdString(r.status.State)},
                       {QStringLiteral("paper"), QString::fromStdString(r.status.DefaultPaper)}};
      if (!r.status.Message.empty())
        item.insert(QStringLiteral("message"), QString::fromStdString(r.status.Message));
      list.append(item);
    }
    std::cout << QJsonDocument(list).toJson(QJsonDocument::Compact).toStdString() << "\n";
    return 0;
  }
  for (const Row& r : rows) {
    std::string line = (r.current ? "* " : "  ") + r.name;
    if (!r.status.State.empty() || !r.status.DefaultPaper.empty()) {
      line += std::string(nameWidth - r.name.size() + 2, ' ') + r.status.State;
      if (!r.status.DefaultPaper.empty()) line += ", paper " + r.status.DefaultPaper;
      if (!r.status.Message.empty()) line += " (" + r.status.Message + ")";
    }
    std::cout << line << "\n";
  }
  return 0;
}

}  // namespace quillet::cli
