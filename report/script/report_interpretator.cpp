#include "report/script/report_interpretator.h"

#include "platform/errors.h"
#include "platform/numeric.h"
#include "report/base/engine_state.h"
#include "report/base/text_format.h"
#include "report/expr/expression_globals.h"

namespace quillet {

void TInterpretator::ValueOf(const std::string& name, Variant& value) {
  TfrParser& engine = Expressions(engine_).Parser;
  if (engine.ValueHook) engine.ValueHook(name, value);
}

void TInterpretator::InvokeFunction(const std::string& name, const Variant& p1, const Variant& p2,
                                    const Variant& p3, Variant& value) {
  TfrParser& engine = Expressions(engine_).Parser;
  if (engine.FunctionHook) engine.FunctionHook(name, p1, p2, p3, value);
}

void TInterpretator::Assign(const std::string& name, const Variant& value) {
  TfrVariables& variables = Expressions(engine_).GlobalVariables;
  if (variables.IndexOfName(name) >= 0) {
    variables.SetValue(name, value);
    return;
  }
  if (Environment && Environment->SetDictionaryVariable(name, value)) return;
  if (EqualsIgnoreCase(name, "MODALRESULT")) {
    if (Environment) Environment->SetModalResult(ClampToInt(value.AsInteger()));
    return;
  }
  if (EqualsIgnoreCase(name, "CURY")) {
    if (Environment) Environment->SetCurrentY(ClampToInt(value.AsInteger()));
    return;
  }
  if (EqualsIgnoreCase(name, "PROGRESS")) {
    if (Environment) Environment->ShowProgress(value.AsText());
    return;
  }
  if (name.find('.') != std::string::npos && Environment && Environment->WriteProperty(name, value))
    return;
  variables.SetValue(name, value);
}

bool TInterpretator::StopRequested() {
  return Environment && Environment->StopRequested();
}

void EngineObjectDeleter::operator()(TInterpretator* interpreter) const {
  delete interpreter;
}

TInterpretator& ReportInterpreter(EngineGlobals& engine) {
  if (!engine.Interpreter)
    throw EngineError("The engine's script interpreter is used before the engine started");
  return *engine.Interpreter;
}

}  // namespace quillet
