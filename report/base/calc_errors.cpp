#include "report/base/calc_errors.h"

#include "report/base/engine_state.h"
#include "report/base/engine_texts.h"
#include "report/base/evaluated_object.h"
#include "report/base/preparation_report.h"

namespace quillet {

std::string CalcErrorMessage(const std::string& message) {
  const PreparationState& prep = Prep();
  std::string text = EngineText(txCalcError);
  if (prep.ActiveView)
    for (const std::string& line : prep.ActiveView->EvaluatedText()) text += '\r' + line;
  text += "\r\r";
  text += EngineText(txReport) + ' ';
  if (prep.ActiveReport) text += prep.ActiveReport->ReportName();
  text += '\r';
  if (prep.ActiveView) text += EngineText(txObject) + ' ' + prep.ActiveView->EvaluatedName() + '\r';
  text += '\r';
  text += message;
  return text;
}

void RecordCalcError(const std::string& message) {
  PreparationState& prep = Prep();
  prep.CalcErrorText = CalcErrorMessage(message);
  prep.CalcErrorFlag = true;
  if (prep.OuterReport) prep.OuterReport->StopRequested = true;
}

}  // namespace quillet
