// The main window's report component for the sheet: a TfrReport whose
// template is the embedded sheet template (Shape1..7, Width1..7,
// Height1..7 on one A4 page), serving the print action.
#pragma once

#include <string>
#include <string_view>

#include "report/component/report.h"
#include "sheet/sheet_layout.h"

namespace quillet {

class SheetReportComponent : public SheetReport {
 public:
  // Loads the embedded template (problems are shown by the template load)
  // and selects the template's printer when it is installed. The sheet's
  // window stores the report without a print button in its preview.
  SheetReportComponent();

  TfrView* FindView(std::string_view name) override;
  void PrepareAndPreview() override;
  void Prepare() override;
  // Prints the prepared sheet; an error (no printer, a printer failure) is
  // shown in an "Error" box through the engine host, with nothing printed.
  void PrintPrepared(const std::string& pageRange, int copies, bool collate,
                     int selection) override;

  EngineGlobals& Globals() override { return report_.Globals(); }
  TfrReport& Report() { return report_; }

 private:
  TfrReport report_;
};

}  // namespace quillet
