#include "report/expr/expression_globals.h"

#include "platform/errors.h"
#include "report/base/engine_state.h"

namespace quillet {

void EngineObjectDeleter::operator()(TfrParser* parser) const {
  delete parser;
}

void EngineObjectDeleter::operator()(TfrVariables* variables) const {
  delete variables;
}

ExpressionGlobals Expressions(EngineGlobals& engine) {
  if (!engine.Parser || !engine.GlobalVariables || !engine.NamedConstants)
    throw EngineError("The engine's expression parser is used before the engine started");
  return {*engine.Parser, *engine.GlobalVariables, *engine.NamedConstants};
}

}  // namespace quillet
