// The report a preparation runs in, as the engine below the report
// component sees it. The report component implements both interfaces; the
// preparation state holds the active and the outer report as
// PreparationReport, so no folder below the component needs to know it.
#pragma once

#include <string>

#include "report/base/report_services.h"

namespace quillet {

class ProgressControl;

class TfrEMFPages;
struct PreparationState;

// What the prepared pages need of the report that owns them. Each hook
// reports whether the report had a handler assigned.
class PreparedPagesReport {
 public:
  virtual ~PreparedPagesReport() = default;
  // A new prepared page begins (the report's OnBeginPage).
  virtual void OnBeginPage(int /*pageIndex*/) {}
  virtual bool OnObjectClick(TfrView& /*view*/) { return false; }
  virtual bool OnMouseOverObject(TfrView& /*view*/, int& /*cursor*/) { return false; }
  // Selects the named printer when installed (and wanted); silent otherwise.
  virtual void SelectPrinterByName(const std::string& /*name*/) {}
};

class PreparationReport : public ReportServices, public PreparedPagesReport {
 public:
  // The run's flags, shared by the report and the formation of its pages:
  // a counting pass comes first when TwoPassRequested; StopRequested ends
  // the run at its next check.
  bool TwoPassRequested = false;
  bool InFinalPass = false;
  bool StopRequested = false;

  // The report's name, as messages show it.
  virtual std::string ReportName() const { return {}; }
  // The file the report's template was loaded from, as messages show it;
  // empty when it came from elsewhere.
  virtual std::string ReportFileName() const { return {}; }
  // The pages this report forms into (the outer report's hold every page
  // of the run). A stand-in that forms no pages (the name look-up of a
  // template loading on its own) raises EngineError.
  virtual TfrEMFPages& Prepared();
  // A prepared page has ended (the report's OnEndPage).
  virtual void OnEndPage(int /*pageIndex*/) {}
  // A progress step with the number of the page being formed.
  virtual void ReportProgress(int /*pageNumber*/) {}
  // The progress window the run shows, or none.
  virtual ProgressControl* Progress() const { return nullptr; }
};

// The report whose prepared pages and stop request govern the run: the
// outer report of `run`, or `report` when none is set.
PreparationReport& OuterReportOf(const PreparationState& run, PreparationReport& report);

}  // namespace quillet
