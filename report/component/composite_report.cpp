// The composite report: the reports of its list are formed one after
// another into the composite's own prepared pages.
#include <memory>

#include "platform/stream.h"
#include "report/base/dataset.h"
#include "report/base/engine_state.h"
#include "report/template/page.h"
#include "report/component/report.h"

namespace quillet {
namespace {

// Whether a report's first page may continue on the last prepared page:
// it asks to, and its paper matches the page it would continue.
bool MayAppend(const TfrReport& next, const TfrEMFPages& prepared, const TfrReport& current) {
  if (next.Template.Pages.empty()) return false;
  const TfrPage& first = *next.Template.Pages.front();
  if (first.PrintToPrevPage == 0) return false;
  if (prepared.Count() > 0) {
    const PreparedPage& last = prepared[prepared.Count() - 1];
    return last.Orientation == first.Orientation && last.PaperSizeCode == first.PaperSizeCode;
  }
  if (current.Template.Pages.empty()) return false;
  const TfrPage& lastTemplate = *current.Template.Pages.back();
  return lastTemplate.Orientation == first.Orientation &&
         lastTemplate.PaperSizeCode == first.PaperSizeCode;
}

}  // namespace

bool TfrCompositeReport::SnapshotAndRun(bool& errorFlag, std::string& errorText) {
  std::vector<std::unique_ptr<MemoryStream>> snapshots;
  for (TfrReport* r : ReportList) {
    snapshots.push_back(std::make_unique<MemoryStream>());
    r->Template.SaveTemplate(*snapshots.back());
    if (r->Events.OnBeginDoc) r->Events.OnBeginDoc();
  }
  Prep().ActiveReport = this;
  struct Restore {
    TfrCompositeReport& c;
    std::vector<std::unique_ptr<MemoryStream>>& s;
    ~Restore() {
      for (std::size_t i = 0; i < c.ReportList.size() && i < s.size(); ++i) {
        TfrReport* r = c.ReportList[i];
        r->formations_.clear();
        r->ForgetTemplateObjects();
        s[i]->Seek(0);
        if (r->Events.OnEndDoc) r->Events.OnEndDoc();
        r->Template.RestoreSnapshot(*s[i]);
      }
    }
  } restore{*this, snapshots};
  if (Events.OnBeginDoc) Events.OnBeginDoc();
  const bool result = RunPasses();
  if (Events.OnEndDoc) Events.OnEndDoc();
  errorFlag = Prep().CalcErrorFlag;
  errorText = Prep().CalcErrorText;
  return result;
}

void TfrCompositeReport::BuildPages() {
  PreparationState& prep = Prep();
  BuiltFromTemplate = true;
  prep.PageIndex = 0;
  if (Dataset) {
    Dataset->OpenData();
    Dataset->First();
  }
  do {
    for (std::size_t i = 0; i < ReportList.size(); ++i) {
      TfrReport& r = *ReportList[i];
      MemoryStream snapshot;
      if (Dataset) r.Template.SaveTemplate(snapshot);
      prep.AppendNextReport = false;
      if (i + 1 < ReportList.size())
        prep.AppendNextReport = MayAppend(*ReportList[i + 1], PreparedPages, r);
      r.BuildPages();
      // Errors of the listed reports end the composite's run too.
      if (r.StopRequested) StopRequested = true;
      if (Dataset) {
        r.formations_.clear();
        r.ForgetTemplateObjects();
        snapshot.Seek(0);
        r.Template.RestoreSnapshot(snapshot);
        prep.RenderActive = true;
      }
      prep.AppendToPrevious = prep.AppendNextReport;
      prep.AppendNextReport = false;
      if (StopRequested) break;
    }
    if (Dataset) Dataset->Next();
  } while (!StopRequested && Dataset && !Dataset->Eof());
  if (Dataset) Dataset->CloseData();
  prep.ActiveReport = this;
}

}  // namespace quillet
