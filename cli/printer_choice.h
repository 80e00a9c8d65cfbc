// Choosing the engine printer by name from the command line, and telling
// where a print job's output went.
#pragma once

#include <functional>
#include <ostream>
#include <string>

namespace quillet {
class TfrPrinter;
}

namespace quillet::cli {

// Selects the printer of exactly that name; UsageError listing the
// printers when there is none, or EngineError naming it when the print
// server that would list it is not running.
void SelectPrinterNamed(TfrPrinter& printer, const std::string& name);

// Runs `print` (one print job) and writes the file each of its documents
// went to ("Print to PDF") on `out`, one path a line; nothing for paper.
void PrintAndTellFiles(TfrPrinter& printer, const std::function<void()>& print, std::ostream& out);

}  // namespace quillet::cli
