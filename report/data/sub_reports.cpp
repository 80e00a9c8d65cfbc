#include "report/data/sub_reports.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <string>

#include "platform/errors.h"
#include "platform/numeric.h"
#include "platform/scope_guard.h"
#include "report/base/calc_errors.h"
#include "report/base/dataset.h"
#include "report/base/engine_state.h"
#include "report/formation/band.h"
#include "report/formation/formation_report.h"
#include "report/formation/page_formation.h"
#include "report/template/page.h"
#include "report/views/memo/memo_view.h"
#include "report/views/subreport_view.h"

namespace quillet {
namespace {

// Actions of a recording: a band showing, a data set moved to its first
// record, a record counted (the data set moved to the next one).
constexpr int kShow = 0;
constexpr int kOpenData = 1;
constexpr int kCountRecord = 2;

// How deep replays are nested now, and how many recorded entries have been
// replayed in all (a round of replays that adds none made no progress).
int replayDepth = 0;
std::uint64_t replayedEntries = 0;

bool Replay(PageFormation& page);
void ReleaseBand(TfrBand& band);

// Ends a target's sub-report: its recording is freed, and a band of it
// left pending gives up its own sub-reports.
void Release(PageFormation& target) {
  if (TfrBand* pending = target.PendingBand) {
    target.PendingBand = nullptr;
    ReleaseBand(*pending);
  }
  target.RecordedBands.clear();
  target.RecordedBands.shrink_to_fit();
  target.ReplayPosition = 0;
  target.ShownBySubReport = false;
}

void ReleaseBand(TfrBand& band) {
  for (PageFormation*& target : band.SubReportTargets) {
    PageFormation* running = target;
    target = nullptr;
    if (running) Release(*running);
  }
  band.SubReportTargets.clear();
}

// The formation of the page a sub-report object shows. A page that a
// sub-report is forming already would be recorded over while it is being
// replayed, and pages that show each other would never end.
PageFormation& TargetOf(const PageFormation& host, const TfrSubReportView& view) {
  PageFormation* target = host.Report.FormationAt(view.SubPageIndex);
  if (!target || target->Page.Type == ptDialog || !target->SetUpDone)
    throw EngineError("Sub-report " + view.Name + " shows page index " +
                      std::to_string(view.SubPageIndex) + ", which is no report page");
  if (target == &host || target->ShownBySubReport)
    throw EngineError("Sub-report " + view.Name + " shows page " + target->Page.Name +
                      ", which a sub-report is forming already (sub-reports that show each "
                      "other never end)");
  return *target;
}

// Forms the target with its band showings and data-set steps recorded.
void Record(PageFormation& target) {
  target.RecordedBands.clear();
  target.ReplayPosition = 0;
  target.PendingBand = nullptr;
  target.Recording = true;
  const ScopeGuard done([&target] { target.Recording = false; });
  // A recording writes nothing, so the page being written stays the same.
  const KeepValue<int> pageIndex(target.Run.State().PageIndex);
  target.ComposePage();
}

// Places the target at its object's position within the band.
void Place(PageFormation& target, const TfrBand& band, const TfrView& view) {
  const PageFormation& host = *band.Page;
  target.CurrentY = AddSat(view.Top, band.BandY);
  target.ColumnOffsetX = AddSat(host.ColumnOffsetX, view.Left);
  target.BottomLimit = host.BottomLimit;
  target.Page.MarginsApply = host.Page.MarginsApply;
  target.Page.Margins = host.Page.Margins;
  target.Page.Columns = 1;
  target.ColumnIndex = 0;
  target.LastShownBand = nullptr;
}

void Start(TfrBand& band, std::size_t first) {
  PageFormation& host = *band.Page;
  const std::size_t count = band.Views.size() - first;
  if (count > kMaxSubReportObjects)
    throw EngineError("Band " + band.Name + " holds " + std::to_string(count) +
                      " objects from its first sub-report on; at most " +
                      std::to_string(kMaxSubReportObjects) + " can be formed");
  band.SubReportTargets.assign(count, nullptr);
  for (std::size_t i = 0; i < count; ++i) {
    auto* view = dynamic_cast<TfrSubReportView*>(band.Views[first + i]);
    if (!view || view->Visible == 0 || view->FormationBand != &band) continue;
    host.Run.State().ActiveView = view;
    PageFormation& target = TargetOf(host, *view);
    target.ShownBySubReport = true;
    band.SubReportTargets[i] = &target;
    Record(target);
    Place(target, band, *view);
  }
}

// The unfinished replays go on where the host page is now.
void Follow(TfrBand& band) {
  const PageFormation& host = *band.Page;
  for (PageFormation* target : band.SubReportTargets) {
    if (!target) continue;
    target->CurrentY = host.CurrentY;
    target->BottomLimit = host.BottomLimit;
  }
}

// The band a replay waits at: the entry it stopped at, or its pending band.
std::string WaitingBandName(const TfrBand& band) {
  for (const PageFormation* target : band.SubReportTargets) {
    if (!target) continue;
    if (target->PendingBand) return WaitingBandName(*target->PendingBand);
    const auto at = static_cast<std::size_t>(target->ReplayPosition);
    if (at < target->RecordedBands.size())
      return target->RecordedBands[at].first->Name + " of sub-report page " + target->Page.Name;
  }
  return band.Name;
}

// Each unfinished sub-report goes on at the top of a new page: the headers
// with RepeatHeader of the band it waits at are shown there again first.
void RepeatWaitingHeaders(TfrBand& band) {
  for (PageFormation* target : band.SubReportTargets) {
    if (!target || target->PendingBand) continue;
    const auto at = static_cast<std::size_t>(target->ReplayPosition);
    if (at < target->RecordedBands.size()) target->RepeatHeaders(target->RecordedBands[at].first);
  }
}

// Replays the band's running sub-reports side by side, page after page.
// True when they all finished (CurrentY is then below the lowest); false
// when the band is left pending on a host that a sub-report replays.
bool Run(TfrBand& band, bool resumed) {
  PageFormation& host = *band.Page;
  if (resumed) Follow(band);
  for (bool fresh = resumed;; fresh = true) {
    const std::uint64_t before = replayedEntries;
    std::int32_t lowest = host.CurrentY;
    bool finished = true;
    for (PageFormation*& target : band.SubReportTargets) {
      if (!target) continue;
      if (Replay(*target)) {
        lowest = std::max(lowest, target->CurrentY);
        PageFormation* done = target;
        target = nullptr;
        Release(*done);
      } else {
        finished = false;
      }
    }
    if (finished || host.StopRequested()) {
      ReleaseBand(band);
      if (host.PendingBand == &band) host.PendingBand = nullptr;
      host.CurrentY = lowest;
      band.SubReportDone = true;
      return true;
    }
    if (host.ShownBySubReport) {
      host.PendingBand = &band;
      band.SubReportDone = false;
      return false;
    }
    // A band that did not fit at the top of a fresh page never will.
    if (fresh && replayedEntries == before)
      throw EngineError("Band " + WaitingBandName(band) + " does not fit on a page");
    host.BreakPage();
    Follow(band);
    RepeatWaitingHeaders(band);
  }
}

void OpenData(TfrBand& band) {
  if (band.Dataset) band.Dataset->First();
  band.LineNumber = 1;
  band.LineThrough = 1;
  for (TfrView* v : band.Views)
    if (auto* memo = dynamic_cast<TfrMemoView*>(v)) memo->LastText.clear();
}

void CountRecord(PageFormation& page, TfrBand& band) {
  if (band.Dataset) band.Dataset->Next();
  ++page.RecordPosition;
  ++band.LineNumber;
  ++band.LineThrough;
}

// Replays a target's recording from where it stopped; true when it reached
// the end (or the run stops), false when a band has to wait for a new page.
bool Replay(PageFormation& page) {
  if (replayDepth >= kMaxSubReportDepth)
    throw EngineError("Sub-reports are nested more than " + std::to_string(kMaxSubReportDepth) +
                      " levels deep (at page " + page.Page.Name + ")");
  ++replayDepth;
  const ScopeGuard depth([] { --replayDepth; });
  const auto& entries = page.RecordedBands;
  while (static_cast<std::size_t>(page.ReplayPosition) < entries.size()) {
    if (page.StopRequested()) return true;
    const auto [band, action] = entries[static_cast<std::size_t>(page.ReplayPosition)];
    if (action == kShow) {
      if (TfrBand* pending = page.PendingBand) {
        if (!Run(*pending, true)) return false;
      } else if (band->Show()) {
        // Out of room (its script ran already) or its sub-reports go on.
        if (!page.PendingBand) band->SkipScriptOnce = true;
        return false;
      }
    } else if (action == kOpenData) {
      OpenData(*band);
    } else if (action == kCountRecord) {
      CountRecord(page, *band);
    }
    ++page.ReplayPosition;
    ++replayedEntries;
  }
  return true;
}

}  // namespace

void FormSubReports(TfrBand& band, std::size_t first) {
  try {
    ReleaseBand(band);
    Start(band, first);
    Run(band, false);
  } catch (const std::exception& e) {
    ReleaseBand(band);
    band.SubReportDone = true;
    RecordCalcError(band.Page->Run.State(), e.what());
  }
}

}  // namespace quillet
