// TfrCompositeReport: the reports of its list are formed one after another
// into the composite's own prepared pages; a report may continue on the
// last page of the one before it when its first page asks to.
#pragma once

#include <string>
#include <vector>

#include "report/component/report.h"

namespace quillet {

class TfrCompositeReport : public TfrReport {
 public:
  using TfrReport::TfrReport;
  std::vector<TfrReport*> ReportList;  // not owned

  void BuildPages() override;

 protected:
  // Snapshots every report of the list around the composite's passes.
  bool SnapshotAndRun(bool& errorFlag, std::string& errorText) override;
};

}  // namespace quillet
