// Script assignments made outside a script run (the INC and DEC procedures
// of expressions), with the report's assignment rules.
#pragma once

#include <string>

#include "report/base/variant.h"

namespace quillet {

class TfrReport;

// Assigns as a script of `report` assigns (user variable, dictionary
// variable, MODALRESULT, CURY, object property, PROGRESS).
void AssignAsScript(TfrReport& report, const std::string& name, const Variant& value);

}  // namespace quillet
