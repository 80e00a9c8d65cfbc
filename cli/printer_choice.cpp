#include "cli/printer_choice.h"

#include "platform/errors.h"
#include "platform/platform_printer.h"
#include "platform/qt/cups_queue.h"
#include "report/printer/printer.h"
#include "session/command_options.h"

namespace quillet::cli {

void SelectPrinterNamed(TfrPrinter& printer, const std::string& name) {
  for (std::size_t i = 0; i < printer.PrinterNames.size(); ++i)
    if (printer.PrinterNames[i] == name) {
      printer.SelectPrinter(static_cast<int>(i));
      return;
    }
  std::string known;
  for (const std::string& n : printer.PrinterNames) known += (known.empty() ? "" : ", ") + n;
  // A printer of a print server that does not answer is not listed: say so.
  if (const CupsQueueState queue = ReadCupsQueue(name); !queue.ServerAnswers)
    throw EngineError(CupsQueueTrouble(name) + " (printers: " + known + ")");
  throw UsageError("no printer named '" + name + "' (printers: " + known + ")");
}

void PrintAndTellFiles(TfrPrinter& printer, const std::function<void()>& print, std::ostream& out) {
  PlatformPrinter* platform = printer.PlatformPrinter;
  // Files of earlier jobs are not this job's.
  if (platform) platform->TakeWrittenFiles();
  print();
  if (platform)
    for (const std::string& file : platform->TakeWrittenFiles()) out << file << "\n";
}

}  // namespace quillet::cli
