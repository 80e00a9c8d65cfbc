#include "report/base/preparation_report.h"

#include "platform/errors.h"
#include "report/base/engine_state.h"

namespace quillet {

TfrEMFPages& PreparationReport::Prepared() {
  throw EngineError("\"" + ReportName() + "\" forms no prepared pages");
}

PreparationReport& OuterReportOf(const PreparationState& run, PreparationReport& report) {
  PreparationReport* outer = run.OuterReport;
  return outer ? *outer : report;
}

}  // namespace quillet
