// Calculation errors: an error raised while an object, band or script is
// evaluated during preparation is recorded once, stops the run at its next
// check, and is shown to the user after the pass.
#pragma once

#include <string>

namespace quillet {

struct PreparationState;

// Records `message` as the calculation error of the preparation `run`:
// sets CalcErrorFlag, builds CalcErrorText (see
// CalcErrorMessage) and raises the outer report's stop request.
void RecordCalcError(PreparationState& run, const std::string& message);

// The text a calculation error of `run` shows (without touching it): the
// heading, then one line each for the report (its name, else the file it
// was loaded from), the band being formed, the object being evaluated and
// the expression that failed, each left out when there is none, then the
// error's own message. Lines are separated by carriage returns.
std::string CalcErrorMessage(const PreparationState& run, const std::string& message);

// Marks `expression` as being evaluated while the object lives. When an
// exception leaves the scope, the innermost expression it left is kept for
// the next calculation error's message ("Expression: ..."); the outermost
// scope starts afresh, and forgets it when it ends normally (an error
// caught and dealt with inside it).
class CalcExpressionScope {
 public:
  explicit CalcExpressionScope(std::string expression);
  ~CalcExpressionScope();
  CalcExpressionScope(const CalcExpressionScope&) = delete;
  CalcExpressionScope& operator=(const CalcExpressionScope&) = delete;

 private:
  std::string expression_;
  int uncaught_;
};

// The expression the last failing scope left, or empty.
const std::string& FailedCalcExpression();

}  // namespace quillet
