// The engine-wide expression objects: the shared parser (whose hooks the
// report being prepared binds), the user variables of report procedures and
// scripts, and the named constants ("mrOk", "fsBold", "skStar"...).
// Single-threaded: only the user-interface thread touches them.
#pragma once

#include "report/expr/parser.h"
#include "report/expr/variables.h"

namespace quillet {

struct ExpressionGlobals {
  ExpressionGlobals() {
    GlobalVariables.SetSorted(true);
    NamedConstants.SetSorted(true);
  }
  TfrParser Parser;
  TfrVariables GlobalVariables;
  TfrVariables NamedConstants;
};

ExpressionGlobals& Expressions();

}  // namespace quillet
