// The text of a calculation error, the expression it names, and the names
// a call may reach.
#include <gtest/gtest.h>

#include "platform/errors.h"
#include "report/base/calc_errors.h"
#include "report/base/engine_state.h"
#include "report/component/engine_library.h"
#include "report/component/function_names.h"

namespace quillet {
namespace {

TEST(CalcErrorMessage, LeavesOutWhatIsNotKnown) {
  PreparationState& prep = Prep();
  const PreparationState saved = prep;
  prep.ActiveReport = nullptr;
  prep.ActiveBand = nullptr;
  prep.ActiveView = nullptr;
  EXPECT_EQ(CalcErrorMessage(Prep(), "boom"), "An error occured during calculating\r\r\rboom");
  prep = saved;
}

TEST(CalcExpressionScope, NamesTheInnermostExpressionAnErrorLeft) {
  try {
    const CalcExpressionScope outer("[Total]");
    const CalcExpressionScope inner("SUMM(1)");
    throw ParserError("Unknown function \"SUMM\"");
  } catch (const ParserError&) {
  }
  EXPECT_EQ(FailedCalcExpression(), "SUMM(1)");
  { const CalcExpressionScope next("[1 + 2]"); }
  EXPECT_EQ(FailedCalcExpression(), "");  // a new evaluation starts afresh

  {
    const CalcExpressionScope outer("[IF(a, b, c)]");
    try {
      const CalcExpressionScope inner("b");
      throw ParserError("caught inside");
    } catch (const ParserError&) {
    }
  }
  EXPECT_EQ(FailedCalcExpression(), "");  // dealt with where it was raised
}

TEST(FunctionNames, KnowsWhatACallReaches) {
  StartEngineLibrary(Engine());
  struct Case {
    const char* name;
    bool known;
  };
  const Case cases[] = {
      {"if", true},         {"COPY", true},   {"Trim", true},  {"count", true},
      {"STOPREPORT", true}, {"hide", true},   {"INT", true},   {"Memo1.Hide", true},
      {"SUMM", false},      {"TRIMM", false}, {"Page", false}, {"CATEGORYOF", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsKnownFunction(Engine(), c.name), c.known) << c.name;
  EXPECT_STREQ(UnknownFunction("SUMM").what(), "Unknown function \"SUMM\"");
}

}  // namespace
}  // namespace quillet
