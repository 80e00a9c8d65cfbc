#include "report/data/data_levels.h"

#include <exception>
#include <string>

#include "platform/errors.h"
#include "report/base/calc_errors.h"
#include "report/base/dataset.h"
#include "report/base/engine_state.h"
#include "report/data/aggregates.h"
#include "report/data/cross_tab.h"
#include "report/data/sub_reports.h"
#include "report/expr/expression_globals.h"
#include "report/formation/band.h"
#include "report/formation/data_seams.h"
#include "report/formation/page_formation.h"
#include "report/views/band_view.h"
#include "report/views/memo/memo_view.h"

namespace quillet {

namespace {
// Raised when more bands wait than the queue holds; ends the page's data
// levels with a calculation error.
class BandQueueFull : public EngineError {
 public:
  using EngineError::EngineError;
};
}  // namespace

void BandQueue::Add(TfrBand* band) {
  if (!band) return;
  if (count_ >= kCapacity)
    throw BandQueueFull("More than " + std::to_string(kCapacity) +
                        " bands wait to be shown at once (too many group headers)");
  bands_[static_cast<std::size_t>(count_++)] = band;
}

void BandQueue::Flush() {
  // Showing a band may run scripts that end the run; what was queued is
  // shown in order all the same, as it was taken from the queue.
  const int n = count_;
  count_ = 0;
  for (int i = 0; i < n; ++i) {
    TfrBand* band = bands_[static_cast<std::size_t>(i)];
    if (!band->IsPresent()) continue;
    page_.PresentBand(band);
    if (band->Kind == btGroupHeader && !page_.Recording) band->GroupOpen = true;
    // A recorded group header is shown only when the recording is replayed;
    // its group's value is taken now, as a showing would, or every record
    // of a recorded page would start a new group.
    if (page_.Recording && band->Kind == btGroupHeader && DataSeams().Reset)
      DataSeams().Reset(*band);
  }
}

void BandQueue::DropLast() {
  if (count_ > 0) --count_;
}

namespace {

constexpr int kDataKinds[3] = {btMasterData, btDetailData, btSubDetailData};

class DataLevels {
 public:
  explicit DataLevels(PageFormation& page) : page_(page), queue_(page) {
    for (int level = 1; level <= 3; ++level)
      if (page.Present(kDataKinds[level - 1])) deepest_ = level;
  }

  void Run() {
    if (deepest_ > 0) Level(1);
  }

 private:
  bool Stopped() const { return page_.StopRequested(); }

  void Count(TfrBand* band) {
    ++band->LineNumber;
    ++band->LineThrough;
  }

  void Level(int level) {
    for (TfrBand* band = page_.Chain(kDataKinds[level - 1]); band; band = band->Next)
      if (band->Dataset) ShowBand(*band, level);
  }

  void ShowBand(TfrBand& band, int level) {
    TfrDataset& data = *band.Dataset;
    data.First();
    if (page_.Recording) {
      page_.RecordedBands.emplace_back(&band, 1);
    } else {
      band.LineNumber = 1;
      band.LineThrough = 1;
      for (TfrView* v : band.Views)
        if (auto* memo = dynamic_cast<TfrMemoView*>(v)) memo->LastText.clear();
    }
    for (TfrBand* g = band.FirstGroupHeader; g; g = g->NextGroupHeader) {
      g->LineNumber = 0;
      g->LineThrough = 0;
      g->GroupOpen = false;
    }
    if (data.Eof()) return;
    for (TfrBand* g = band.FirstGroupHeader; g; g = g->NextGroupHeader) {
      Count(g);
      queue_.Add(g);
    }
    queue_.Add(band.Header);
    if (band.Footer && DataSeams().Reset) DataSeams().Reset(*band.Footer);

    while (!data.Eof() && !Stopped()) {
      queue_.Add(&band);
      if (band.PrintIfSubsetEmpty) queue_.Flush();
      bool shown = true;
      if (level < deepest_) {
        Level(level + 1);
        if (!queue_.Empty()) {
          // The level below showed nothing for this record.
          if (band.PrintIfSubsetEmpty) {
            queue_.Flush();
          } else {
            queue_.DropLast();
            shown = false;
          }
        }
      } else {
        queue_.Flush();
      }
      data.Next();
      CheckGroups(band);
      if (page_.Recording) {
        page_.RecordedBands.emplace_back(&band, 2);
      } else if (shown) {
        ++page_.RecordPosition;
        Count(&band);
        if (!data.Eof() && band.FormNewPage && band.Visible) page_.BreakPage();
      }
    }
    if (!queue_.Empty())
      queue_.DropLast();
    else if (band.Footer)
      page_.PresentBand(band.Footer);
  }

  // The first group whose condition changed breaks: the footers of it and
  // of the groups inside it are shown with the group's last record, then the
  // headers from it inward start again.
  void CheckGroups(TfrBand& band) {
    TfrDataset& data = *band.Dataset;
    for (TfrBand* g = band.FirstGroupHeader; g; g = g->NextGroupHeader) {
      const bool atEnd = data.Eof();
      if (!atEnd && !g->GroupValue.IsEmpty()) {
        Variant now;
        // A failure stops the record loop at its next check.
        if (!EvaluateGroupCondition(*g, now)) return;
        if (ValuesEqual(now, g->GroupValue)) continue;
      }
      // Back one record so the footers show the group's last record; at the
      // end of the data too, or the last group's footers would show none.
      bool steppedBack = false;
      try {
        data.Prior();
        steppedBack = true;
      } catch (const std::exception&) {
        // A data set that cannot go back: footers see the next record.
      }
      for (TfrBand* h = band.LastGroupHeader; h && h != g; h = h->PrevGroupHeader) {
        h->LineNumber = 0;
        if (h->Footer) h->Footer->LineNumber = 0;
      }
      // Each group closes once its footer is shown, inner groups first.
      for (TfrBand* h = band.LastGroupHeader; h; h = h->PrevGroupHeader) {
        queue_.Add(h->Footer);
        queue_.Flush();
        h->GroupOpen = false;
        if (h == g) break;
      }
      if (steppedBack) data.Next();
      if (atEnd) return;
      if (g->FormNewPage && g->Visible) page_.BreakPage();
      for (TfrBand* h = g; h; h = h->NextGroupHeader) {
        Count(h);
        queue_.Add(h);
      }
      band.LineNumber = 0;
      return;
    }
  }

  PageFormation& page_;
  BandQueue queue_;
  int deepest_ = 0;
};

}  // namespace

void ShowDataLevels(PageFormation& page) {
  try {
    DataLevels(page).Run();
  } catch (const BandQueueFull& e) {
    RecordCalcError(e.what());
  }
}

void InstallDataFormation() {
  DataFormationSeams& seams = DataSeams();
  seams.ShowDataLevels = &ShowDataLevels;
  seams.PreScanAggregates = &PreScanAggregates;
  seams.Accumulate = &AccumulateAggregates;
  seams.Reset = &ResetAggregates;
  seams.FormSubReports = &FormSubReports;
  seams.DrawCrossObjects = &DrawCrossTab;
  seams.MeasureCrossColumns = &MeasureCrossColumns;
  seams.LinkCrossDataSources = &LinkCrossDataSources;
  Aggregates() = &HandleAggregate;
}

}  // namespace quillet
