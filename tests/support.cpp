#include "tests/support.h"

#include <filesystem>

#include "platform/engine_host.h"
#include "report/base/engine_state.h"
#include "report/expr/expression_globals.h"
#include "report/printer/printer.h"

namespace quillet::test {

std::string OutputPath(const std::string& name) {
  std::filesystem::path dir(QUILLET_TEST_OUTPUT);
  std::filesystem::create_directories(dir);
  return (dir / name).string();
}

void StartFreshEngine(const std::function<PlatformPrinter*()>& obtain, EngineHost* host) {
  StartEnginePrinter(obtain);
  SetHost(host);
  Prep() = PreparationState{};
  Expressions().GlobalVariables.Clear();
}

void StopFreshEngine() {
  SetHost(nullptr);
  Prep() = PreparationState{};
  Expressions().GlobalVariables.Clear();
  StopEnginePrinter();
}

}  // namespace quillet::test
