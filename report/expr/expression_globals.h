// The engine-wide expression objects: the shared parser (whose hooks the
// report being prepared binds), the user variables of report procedures and
// scripts, and the named constants ("mrOk", "fsBold", "skStar"...). The
// engine globals own them from engine start to engine end.
// Single-threaded: only the user-interface thread touches them.
#pragma once

#include "report/base/engine_state.h"
#include "report/expr/parser.h"
#include "report/expr/variables.h"

namespace quillet {

struct ExpressionGlobals {
  TfrParser& Parser;
  TfrVariables& GlobalVariables;  // sorted
  TfrVariables& NamedConstants;   // sorted
};

// The engine's expression objects. Raises EngineError while the engine is
// not started (they do not exist then).
ExpressionGlobals Expressions(EngineGlobals& engine);

}  // namespace quillet
