// What page formation needs of the report whose template pages it forms.
// The report component implements it; formation never sees the component.
#pragma once

#include <string>
#include <vector>

#include "report/base/preparation_report.h"

namespace quillet {

class PageFormation;
class TfrBand;
class TfrDataset;
class TfrPage;
class TfrView;

class FormationReport : public PreparationReport {
 public:
  // The formation of the template page at `index` while the report
  // prepares; nullptr for an index outside the pages.
  virtual PageFormation* FormationAt(int index) const = 0;
  // The data set a simple report's master data band runs on when the band
  // names none; nullptr when there is none or the report is a multi-report.
  virtual TfrDataset* MasterDataset() const = 0;
  // Whether a page whose master data set is empty is formed all the same.
  virtual bool PrintsIfEmpty() const = 0;
  // A band's showing begins and ends (the report's band events).
  virtual void OnBeginBand(TfrBand& /*band*/) {}
  virtual void OnEndBand(TfrBand& /*band*/) {}
  // The cross columns of a band are about to be drawn or measured; then
  // each column in turn, whose width (report pixels) the handler may change.
  virtual void OnBeginColumn(TfrBand& /*band*/) {}
  virtual void OnPrintColumn(int /*column*/, int& /*width*/) {}
  // Whether the report's own handler builds its pages instead of the page
  // title, summary and footers; BuildManually runs that handler.
  virtual bool BuildsManually() const { return false; }
  virtual void BuildManually(TfrPage& /*page*/) {}
  // Runs a script text (bands, pages).
  virtual void RunScript(const std::vector<std::string>& /*script*/) {}
  // Runs the script of a band's band object, as translated when its page
  // was set up; nothing for a default band (no band object).
  virtual void RunBandScript(const TfrView* /*bandView*/) {}
  // Translates the scripts of a page's objects once, when it is set up.
  virtual void TranslateObjectScripts(const TfrPage& /*page*/) {}
};

}  // namespace quillet
