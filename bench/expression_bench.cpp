// Expression evaluation as preparation does it: a typical bracket with a
// format suffix (a user variable times a factor, fixed to two decimals),
// a highlight condition converted once and evaluated per record, and, as
// the baseline, the bare arithmetic of a converted expression.
#include <benchmark/benchmark.h>

#include "report/base/engine_state.h"
#include "report/component/report.h"
#include "report/expr/expression_globals.h"
#include "report/views/memo/memo_view.h"

namespace quillet {
namespace {

struct Evaluation {
  TfrReport report;
  TfrMemoView memo;
  Evaluation() {
    Expressions(Engine()).GlobalVariables.SetValue("A", Variant(1234.5));
    report.StartEvaluation();
    Prep().ActiveView = &memo;
  }
  ~Evaluation() {
    Prep().ActiveView = nullptr;
    Expressions(Engine()).GlobalVariables.Clear();
  }
};

void BM_ArithmeticPostfix(benchmark::State& state) {
  TfrParser& parser = Expressions(Engine()).Parser;
  const std::string postfix = parser.ToPostfix("1234.5 * 1.5");
  for (auto _ : state) benchmark::DoNotOptimize(parser.CalcPostfix(postfix));
}
BENCHMARK(BM_ArithmeticPostfix);

void BM_Bracket(benchmark::State& state) {
  Evaluation e;
  for (auto _ : state) benchmark::DoNotOptimize(e.report.EvaluateBracket("A * 1.5 #N0.2"));
}
BENCHMARK(BM_Bracket);

void BM_ConvertedCondition(benchmark::State& state) {
  Evaluation e;
  Prep().PageIndex = 0;
  const std::string postfix = Expressions(Engine()).Parser.ToPostfix("(PAGE# = 1) AND (A > 1000)");
  for (auto _ : state) benchmark::DoNotOptimize(Expressions(Engine()).Parser.CalcPostfix(postfix));
}
BENCHMARK(BM_ConvertedCondition);

}  // namespace
}  // namespace quillet

BENCHMARK_MAIN();
