// Choosing the engine printer by name from the command line.
#pragma once

#include <string>

namespace quillet::cli {

// Selects the printer of exactly that name; UsageError listing the
// printers when there is none.
void SelectPrinterNamed(const std::string& name);

}  // namespace quillet::cli
