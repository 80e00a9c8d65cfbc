// Running translated scripts: the worked examples, jumps, Exit, the step
// bound and cancelling, and the report interpreter's assignment order.
#include <gtest/gtest.h>

#include <map>

#include "report/base/engine_state.h"
#include "report/expr/expression_globals.h"
#include "report/script/aggregate_splitter.h"
#include "report/script/report_interpretator.h"

namespace quillet {
namespace {

// An interpreter whose names are a plain list of variables.
class ListInterpreter : public TfrInterpretator {
 public:
  void ValueOf(const std::string& name, Variant& value) override {
    if (vars.IndexOfName(name) >= 0) value = vars.GetValue(name);
  }
  void Assign(const std::string& name, const Variant& value) override {
    vars.SetValue(name, value);
  }
  void InvokeFunction(const std::string& name, const Variant& p1, const Variant&, const Variant&,
                      Variant& value) override {
    calls.push_back(name + "(" + p1.AsText() + ")");
    value = 0;
  }
  bool StopRequested() override { return ++stopChecks >= stopAfterChecks; }

  // Translates and runs; the translation must succeed.
  void Script(const std::vector<std::string>& source) {
    CodeLines code;
    std::vector<std::string> errors;
    Translate(source, code, errors);
    ASSERT_TRUE(errors.empty()) << errors.front();
    Run(code);
  }
  std::int64_t Int(const std::string& name) { return vars.GetValue(name).AsInteger(); }

  TfrVariables vars;
  std::vector<std::string> calls;
  int stopChecks = 0;
  int stopAfterChecks = 1 << 30;
};

TEST(ScriptRun, WorkedExamples) {
  ListInterpreter in;
  in.Script({"begin x := 1; y := x + 1 end"});
  EXPECT_EQ(in.Int("y"), 2);

  in.vars.SetValue("a", 5);
  in.Script({"if a > 1 then b := 1 else b := 2"});
  EXPECT_EQ(in.Int("b"), 1);
  in.vars.SetValue("a", 0);
  in.Script({"if a > 1 then b := 1 else b := 2"});
  EXPECT_EQ(in.Int("b"), 2);

  in.vars.SetValue("s", 0);
  in.Script({"for i := 1 to 3 do s := s + i"});
  EXPECT_EQ(in.Int("s"), 6);
  EXPECT_EQ(in.Int("i"), 4);

  in.Script({"begin c := 1; Exit; c := 2 end"});
  EXPECT_EQ(in.Int("c"), 1);
  EXPECT_TRUE(in.calls.empty());  // Exit is no function call

  CodeLines code;
  std::vector<std::string> errors;
  in.Translate({}, code, errors);
  EXPECT_TRUE(code.empty());
  EXPECT_TRUE(errors.empty());
  in.Run(code);
}

TEST(ScriptRun, LoopsLabelsAndCalls) {
  ListInterpreter in;
  in.Script({"begin", "  n := 0;", "  while n < 10 do n := n + 1;",
             "  repeat n := n - 3 until n < 0;", "  10: k := k + 1;", "  if k < 5 then goto 10;",
             "  ShowBand(Band1); NewPage", "end"});
  EXPECT_EQ(in.Int("n"), -2);
  EXPECT_EQ(in.Int("k"), 5);
  EXPECT_EQ(in.calls, (std::vector<std::string>{"SHOWBAND(Band1)", "NEWPAGE(0)"}));
  // A text condition that is no number is a conversion error for the caller.
  EXPECT_THROW(in.Script({"if 'abc' then x := 1"}), ConversionError);
}

TEST(ScriptRun, GotoAnUndefinedLabelEndsWithAnErrorNamingIt) {
  ListInterpreter in;
  try {
    in.Script({"begin x := 1; goto 77; x := 2 end"});
    FAIL() << "no error";
  } catch (const EngineError& e) {
    EXPECT_STREQ(e.what(), "Undefined label \"77:\" in goto");
  }
  EXPECT_EQ(in.Int("x"), 1);
}

TEST(ScriptRun, EndlessLoopsStopOnRequestOrAtTheStepBound) {
  ListInterpreter in;
  in.stopAfterChecks = 3;
  in.Script({"while 1 do x := x + 1"});
  EXPECT_EQ(in.stopChecks, 3);
  EXPECT_EQ(in.StepsRun, 3 * TfrInterpretator::kStopCheckInterval);

  ListInterpreter bounded;
  bounded.MaxSteps = 1000;
  EXPECT_THROW(bounded.Script({"while 1 do x := x + 1"}), ScriptStepLimitError);
  EXPECT_EQ(bounded.StepsRun, 1001u);
}

// What assignments reach on the report side.
class FakeEnvironment : public ScriptEnvironment {
 public:
  bool SetDictionaryVariable(const std::string& name, const Variant& value) override {
    if (name != "DictVar") return false;
    log.push_back("dict=" + value.AsText());
    return true;
  }
  void SetModalResult(int result) override { log.push_back("modal=" + std::to_string(result)); }
  void SetCurrentY(int y) override { log.push_back("cury=" + std::to_string(y)); }
  bool WriteProperty(const std::string& name, const Variant& value) override {
    if (name != "Memo1.Visible") return false;
    log.push_back(name + "=" + value.AsText());
    return true;
  }
  void ShowProgress(const std::string& text) override { log.push_back("progress=" + text); }
  bool StopRequested() override { return false; }
  std::vector<std::string> log;
};

TEST(ScriptRun, ReportInterpreterAssignsInItsOrder) {
  TfrVariables& user = Expressions(Engine()).GlobalVariables;
  user.Clear();
  FakeEnvironment env;
  TInterpretator in(Engine());
  in.Environment = &env;
  CodeLines code;
  std::vector<std::string> errors;
  in.Translate({"begin DictVar := 1; ModalResult := 2; CurY := 120.4; Memo1.Visible := 0;",
                "Progress := 'half'; Other.Prop := 3; fresh := 4 end"},
               code, errors);
  ASSERT_TRUE(errors.empty()) << errors.front();
  in.Run(code);
  EXPECT_EQ(env.log, (std::vector<std::string>{"dict=1", "modal=2", "cury=120", "Memo1.Visible=0",
                                               "progress=half"}));
  EXPECT_EQ(user.GetValue("Other.Prop").AsInteger(), 3);
  EXPECT_EQ(user.GetValue("FRESH").AsInteger(), 4);
  // A user variable wins over every other target.
  user.SetValue("CurY", 0);
  in.Run(code);
  EXPECT_EQ(user.GetValue("CURY").AsFloat(), 120.4);
  user.Clear();
}

std::vector<std::string> Trimmed(std::vector<std::string> calls) {
  for (std::string& c : calls) c.erase(0, c.find_first_not_of(' '));
  return calls;
}

TEST(ScriptRun, AggregateCallsAreFoundInCodeAndTexts) {
  TfrInterpretator in;
  CodeLines code;
  std::vector<std::string> errors;
  in.Translate({"begin x := SUM(Price) + 1; if COUNT(Band1) > 2 then y := MAX(a); goto 1 end"},
               code, errors);
  TAggregateFunctionsSplitter splitter(nullptr);
  splitter.ScanCode(code);
  splitter.ScanTexts({"Total: [SUM(Price)]", "no bracket", "[AVG([Qty]) #N0.00]"});
  EXPECT_EQ(Trimmed(splitter.FoundCalls),
            (std::vector<std::string>{"SUM(Price)", "COUNT(Band1)", "MAX(a)", "SUM(Price)",
                                      "AVG([Qty])"}));
  std::vector<std::string> found;
  CollectCalls(code, {"max"}, nullptr, found);
  EXPECT_EQ(Trimmed(found), (std::vector<std::string>{"MAX(a)"}));
}

}  // namespace
}  // namespace quillet
