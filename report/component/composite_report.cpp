#include "report/component/composite_report.h"

#include <memory>

#include "platform/scope_guard.h"
#include "platform/stream.h"
#include "report/base/dataset.h"
#include "report/base/engine_state.h"
#include "report/template/page.h"

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
  Run().ActiveReport = this;
  const ScopeGuard restore([this, &snapshots] {
    for (std::size_t i = 0; i < ReportList.size() && i < snapshots.size(); ++i) {
      TfrReport* r = ReportList[i];
      r->formations_.clear();
      r->ForgetTemplateObjects();
      snapshots[i]->Seek(0);
      if (r->Events.OnEndDoc) r->Events.OnEndDoc();
      r->Template.RestoreSnapshot(*snapshots[i]);
    }
  });
  if (Events.OnBeginDoc) Events.OnBeginDoc();
  const bool result = RunPasses();
  if (Events.OnEndDoc) Events.OnEndDoc();
  errorFlag = Run().CalcErrorFlag;
  errorText = Run().CalcErrorText;
  return result;
}

void TfrCompositeReport::BuildPages() {
  PreparationState& prep = Run();
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
