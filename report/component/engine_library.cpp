#include "report/component/engine_library.h"

#include <memory>

#include "report/component/value_format.h"
#include "report/data/data_levels.h"
#include "report/expr/expression_globals.h"
#include "report/functions/named_constants.h"
#include "report/functions/std_functions.h"
#include "report/script/report_interpretator.h"

namespace quillet {
namespace {
bool started = false;
}

void StartEngineLibrary() {
  if (started) return;
  started = true;
  RegisterFunctionLibrary(std::make_unique<TfrStdFunctionLibrary>(
      PatternFormatters{&FormatNumberPattern, &FormatDateTimePattern}));
  ExpressionGlobals& globals = Expressions();  // the engine parser
  ReportInterpreter();
  globals.GlobalVariables.SetSorted(true);
  globals.NamedConstants.SetSorted(true);
  FillNamedConstants(globals.NamedConstants);
  InstallDataFormation();
}

void StopEngineLibrary() {
  if (!started) return;
  started = false;
  UnregisterFunctionLibrary(TfrStdFunctionLibrary::kClassName);
  Expressions().GlobalVariables.Clear();
  Expressions().NamedConstants.Clear();
}

}  // namespace quillet
