#include "report/base/calc_errors.h"

#include "report/base/engine_state.h"
#include "report/base/engine_texts.h"
#include "report/formation/page_formation.h"
#include "report/component/report.h"
#include "report/views/view.h"

namespace quillet {

std::string CalcErrorMessage(const std::string& message) {
  const PreparationState& prep = Prep();
  std::string text = EngineText(txCalcError);
  if (prep.ActiveView)
    for (const std::string& line : prep.ActiveView->Memo) text += '\r' + line;
  text += "\r\r";
  text += EngineText(txReport) + ' ';
  if (auto* report = dynamic_cast<TfrReport*>(prep.ActiveReport)) text += report->Name;
  text += '\r';
  if (prep.ActiveView) text += EngineText(txObject) + ' ' + prep.ActiveView->Name + '\r';
  text += '\r';
  text += message;
  return text;
}

void RecordCalcError(const std::string& message) {
  PreparationState& prep = Prep();
  prep.CalcErrorText = CalcErrorMessage(message);
  prep.CalcErrorFlag = true;
  if (auto* outer = dynamic_cast<TfrReport*>(prep.OuterReport)) outer->StopRequested = true;
}

}  // namespace quillet
