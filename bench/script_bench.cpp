// Running a translated 20-line script once per record, as a band's script
// runs for every record of its data set. The baseline evaluates the same
// expressions straight from their postfix form without the interpreter's
// jumps and assignments, the least a run must do.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "report/expr/variables.h"
#include "report/script/interpretator.h"

namespace {

using namespace quillet;

class BenchInterpreter : public TfrInterpretator {
 public:
  void ValueOf(const std::string& name, Variant& value) override {
    if (int i = vars.IndexOfName(name); i >= 0) value = vars.ValueAt(i);
  }
  void Assign(const std::string& name, const Variant& value) override {
    vars.SetValue(name, value);
  }
  TfrVariables vars;
};

const std::vector<std::string> kScript = {"begin",
                                          "  Line := Line + 1;",
                                          "  Price := 12.5 + Line MOD 7;",
                                          "  Qty := 1 + Line MOD 3;",
                                          "  Amount := Price * Qty;",
                                          "  Total := Total + Amount;",
                                          "  if Amount > 30 then",
                                          "    Big := Big + 1",
                                          "  else",
                                          "    Small := Small + 1;",
                                          "  if (Line MOD 10) = 0 then Tens := Tens + 1;",
                                          "  Name := 'Item ' + STR(Line);",
                                          "  Avg := Total / Line;",
                                          "  for i := 1 to 3 do Acc := Acc + i;",
                                          "  Discount := 0;",
                                          "  if Total > 1000 then Discount := Total * 0.05;",
                                          "  Net := Total - Discount;",
                                          "  Flag := (Qty > 1) AND (Price < 15);",
                                          "  Last := Amount",
                                          "end"};

void BM_RunPerRecord(benchmark::State& state) {
  BenchInterpreter in;
  CodeLines code;
  std::vector<std::string> errors;
  in.Translate(kScript, code, errors);
  if (!errors.empty()) {
    state.SkipWithError(errors.front().c_str());
    return;
  }
  // Time per iteration is microseconds per record.
  for (auto _ : state) in.Run(code);
}
BENCHMARK(BM_RunPerRecord)->Unit(benchmark::kMicrosecond);

void BM_BaselineExpressionsOnly(benchmark::State& state) {
  BenchInterpreter in;
  std::vector<std::string> postfix;
  for (const char* e :
       {"Line + 1", "12.5 + Line MOD 7", "1 + Line MOD 3", "Price * Qty", "Total + Amount",
        "Amount > 30", "Big + 1", "(Line MOD 10) = 0", "'Item ' + STR(Line)", "Total / Line",
        "Total > 1000", "Total - Discount", "(Qty > 1) AND (Price < 15)", "Amount"})
    postfix.push_back(in.Parser.ToPostfix(e));
  in.vars.SetValue("Line", 5);
  for (auto _ : state)
    for (const std::string& p : postfix) benchmark::DoNotOptimize(in.Parser.CalcPostfix(p));
}
BENCHMARK(BM_BaselineExpressionsOnly)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
