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
  // The engine the globals live in exists before their holder (it is
  // handed to StartEngineLibrary), so a program ending without
  // StopEngineLibrary frees the globals while the engine still exists
  // (statics go in reverse order).
  static std::unique_ptr<TfrGlobals> globals;
  return globals;
}

}  // namespace

TfrGlobals::TfrGlobals(EngineGlobals& engine) : engine_(engine) {
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
  EngineGlobals& engine = engine_;
  RegisterFunctionLibrary(
      engine, std::make_unique<TfrStdFunctionLibrary>(
                  engine, PatternFormatters{&FormatNumberPattern, &FormatDateTimePattern}));
  engine.Parser.reset(new TfrParser());
  engine.Interpreter.reset(new TInterpretator(engine));
  engine.GlobalVariables.reset(new TfrVariables());
  engine.GlobalVariables->SetSorted(true);
  engine.NamedConstants.reset(new TfrVariables());
  engine.NamedConstants->SetSorted(true);
  FillNamedConstants(*engine.NamedConstants);
  AddShapeKindConstants(*engine.NamedConstants);
  if (!engine.Compressor) engine.Compressor.reset(new TfrCompressor());
  engine.DialogParentWindow =
      engine.Host().CreateDialogParent("DialogForm", Rect{-100, -100, -90, -90});
}

void TfrGlobals::Free() {
  EngineGlobals& engine = engine_;
  engine.DialogParentWindow.reset();
  UnregisterFunctionLibrary(engine, TfrStdFunctionLibrary::kClassName);
  engine.Parser.reset();
  engine.Interpreter.reset();
  engine.GlobalVariables.reset();
  engine.NamedConstants.reset();
  engine.Compressor.reset();
}

void StartEngineLibrary(EngineGlobals& engine) {
  if (TheGlobals()) return;
  TheGlobals() = std::make_unique<TfrGlobals>(engine);
}

void StopEngineLibrary() {
  TheGlobals().reset();
}

}  // namespace quillet
