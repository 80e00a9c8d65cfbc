#include "report/base/calc_errors.h"

#include <exception>

#include "report/base/engine_state.h"
#include "report/base/engine_texts.h"
#include "report/base/evaluated_object.h"
#include "report/base/forming_band.h"
#include "report/base/preparation_report.h"

namespace quillet {
namespace {

// The expressions being evaluated are nested calls on the one engine
// thread, so plain counters serve; they belong to no single preparation.
int openScopes = 0;
std::string failedExpression;

void AddLine(std::string& text, const std::string& label, const std::string& value) {
  if (value.empty()) return;
  text += label + ' ' + value + '\r';
}

}  // namespace

CalcExpressionScope::CalcExpressionScope(std::string expression)
    : expression_(std::move(expression)), uncaught_(std::uncaught_exceptions()) {
  if (openScopes++ == 0) failedExpression.clear();
}

CalcExpressionScope::~CalcExpressionScope() {
  --openScopes;
  if (std::uncaught_exceptions() > uncaught_) {
    // Only the innermost scope an exception leaves names the expression.
    if (failedExpression.empty()) failedExpression = expression_;
  } else if (openScopes == 0) {
    failedExpression.clear();  // what failed inside was dealt with
  }
}

const std::string& FailedCalcExpression() {
  return failedExpression;
}

std::string CalcErrorMessage(const PreparationState& prep, const std::string& message) {
  std::string text = EngineText(txCalcError) + "\r\r";
  std::string report;
  if (prep.ActiveReport) {
    report = prep.ActiveReport->ReportName();
    const std::string file = prep.ActiveReport->ReportFileName();
    if (report.empty())
      report = file;
    else if (!file.empty())
      report += " (" + file + ")";
  }
  AddLine(text, EngineText(txReport), report);
  if (prep.ActiveBand) AddLine(text, "Band:", prep.ActiveBand->FormingName());
  if (prep.ActiveView) AddLine(text, EngineText(txObject), prep.ActiveView->EvaluatedName());
  AddLine(text, "Expression:", failedExpression);
  text += '\r';
  text += message;
  return text;
}

void RecordCalcError(PreparationState& prep, const std::string& message) {
  prep.CalcErrorText = CalcErrorMessage(prep, message);
  failedExpression.clear();
  prep.CalcErrorFlag = true;
  if (prep.OuterReport) prep.OuterReport->StopRequested = true;
}

}  // namespace quillet
