#include "report/component/engine_library.h"

#include <memory>

#include "platform/engine_host.h"
#include "report/base/engine_state.h"
#include "report/component/value_format.h"
#include "report/expr/parser.h"
#include "report/expr/variables.h"
#include "report/functions/named_constants.h"
#include "report/functions/std_functions.h"
#include "report/prepared/compressor.h"
#include "report/script/report_interpretator.h"
#include "report/views/shape_view.h"

namespace quillet {
namespace {

std::unique_ptr<TfrGlobals>& TheGlobals() {
  // The engine state the globals live in is made before their holder, so
  // that a program ending without StopEngineLibrary frees the globals while
  // the engine state still exists (statics go in reverse order).
  Engine();
  static std::unique_ptr<TfrGlobals> globals;
  return globals;
}

}  // namespace

TfrGlobals::TfrGlobals() {
  try {
    Make();
  } catch (...) {
    Free();  // what was made before the failure
    throw;
  }
}

TfrGlobals::~TfrGlobals() {
  Free();
}

void TfrGlobals::Make() {
  EngineGlobals& engine = Engine();
  RegisterFunctionLibrary(std::make_unique<TfrStdFunctionLibrary>(
      PatternFormatters{&FormatNumberPattern, &FormatDateTimePattern}));
  engine.Parser.reset(new TfrParser());
  engine.Interpreter.reset(new TInterpretator());
  engine.GlobalVariables.reset(new TfrVariables());
  engine.GlobalVariables->SetSorted(true);
  engine.NamedConstants.reset(new TfrVariables());
  engine.NamedConstants->SetSorted(true);
  FillNamedConstants(*engine.NamedConstants);
  AddShapeKindConstants(*engine.NamedConstants);
  if (!engine.Compressor) engine.Compressor.reset(new TfrCompressor());
  engine.DialogParentWindow = Host().CreateDialogParent("DialogForm", Rect{-100, -100, -90, -90});
}

void TfrGlobals::Free() {
  EngineGlobals& engine = Engine();
  engine.DialogParentWindow.reset();
  UnregisterFunctionLibrary(TfrStdFunctionLibrary::kClassName);
  engine.Parser.reset();
  engine.Interpreter.reset();
  engine.GlobalVariables.reset();
  engine.NamedConstants.reset();
  engine.Compressor.reset();
}

void StartEngineLibrary() {
  if (TheGlobals()) return;
  TheGlobals() = std::make_unique<TfrGlobals>();
}

void StopEngineLibrary() {
  TheGlobals().reset();
}

}  // namespace quillet
