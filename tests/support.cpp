#include "tests/support.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/engine_host.h"
#include "report/base/engine_state.h"
#include "report/expr/expression_globals.h"
#include "report/printer/printer.h"

namespace quillet::test {

std::string OutputPath(const std::string& name) {
  // Each test has a folder of its own: tests run in parallel, and two that
  // wrote the same name would read each other's half-written files.
  std::filesystem::path dir(QUILLET_TEST_OUTPUT);
  if (const auto* info = ::testing::UnitTest::GetInstance()->current_test_info())
    dir /= std::string(info->test_suite_name()) + "." + info->name();
  std::filesystem::create_directories(dir);
  return (dir / name).string();
}

void StartFreshEngine(const std::function<PlatformPrinter*()>& obtain, EngineHost* host) {
  StartEnginePrinter(Engine(), obtain);
  Engine().SetHost(host);
  Prep() = PreparationState{};
  Expressions(Engine()).GlobalVariables.Clear();
}

void StopFreshEngine() {
  Engine().SetHost(nullptr);
  Prep() = PreparationState{};
  Expressions(Engine()).GlobalVariables.Clear();
  StopEnginePrinter(Engine());
}

}  // namespace quillet::test
