#include "report/data/data_levels.h"

#include <exception>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/numeric.h"
#include "report/base/calc_errors.h"
#include "report/base/dataset.h"
#include "report/base/engine_state.h"
#include "report/data/aggregates.h"
#include "report/data/cross_tab.h"
#include "report/data/sub_reports.h"
#include "report/expr/expression_globals.h"
#include "report/formation/band.h"
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
    if (IsDataBandKind(band->Kind) && !page_.Recording) band->HeadingShown = true;
    // A recorded group header is shown only when the recording is replayed;
    // its group's value is taken now, as a showing would, or every record
    // of a recorded page would start a new group.
    if (page_.Recording && band->Kind == btGroupHeader) ResetAggregates(*band);
  }
}

int BandQueue::Height() const {
  int height = 0;
  for (int i = 0; i < count_; ++i) {
    const TfrBand* band = bands_[static_cast<std::size_t>(i)];
    if (band->IsPresent() && band->Visible) height = AddSat(height, band->BandHeight);
  }
  return height;
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
    if (band.Footer) ResetAggregates(*band.Footer);

    while (!data.Eof() && !Stopped()) {
      band.HeadingShown = false;
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
        KeepWithFooters(band);
        queue_.Flush();
      }
      // The record's details are done: a page they no longer continue on
      // does not repeat it.
      band.HeadingShown = false;
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

  // A footer that keeps together never starts a column or page alone: when
  // the record (with the bands queued before it) fits here but not together
  // with the keep-together footers that follow it, the column breaks first,
  // as it would if the first queued band did not fit.
  void KeepWithFooters(TfrBand& band) {
    if (page_.Recording || page_.AtFreshTop() || queue_.Empty()) return;
    if (page_.CurrentY <= page_.TopEdge()) return;
    const int footers = ClosingFooterHeight(band);
    if (footers == 0) return;
    const int needed = AddSat(queue_.Height(), footers);
    if (!band.CheckSpace(page_.CurrentY, needed, true)) return;
    // What a whole page cannot hold would only leave this one emptier.
    if (band.CheckSpace(page_.TopEdge(), needed, true)) return;
    page_.BreakColumn(queue_.First());
  }

  // The height of the footers shown right after the current record that
  // keep together with it, innermost first up to the first one that does
  // not: the footers of the groups the next record leaves, or at the end of
  // the data those of every group and the band's own. 0 when none keeps
  // together or the next record cannot be looked at.
  int ClosingFooterHeight(TfrBand& band) {
    auto keeps = [](const TfrBand* f) { return f && f->Options().Has(BandFlag::KeepTogether); };
    bool any = keeps(band.Footer);
    for (TfrBand* g = band.FirstGroupHeader; g; g = g->NextGroupHeader)
      any = any || keeps(g->Footer);
    if (!any) return 0;

    TfrDataset& data = *band.Dataset;
    TfrParser& parser = Expressions(band.Page->Run.Globals()).Parser;
    std::vector<Variant> values;
    bool atEnd = false;
    TfrBand* closes = nullptr;  // the outermost group the next record leaves
    try {
      for (TfrBand* g = band.FirstGroupHeader; g; g = g->NextGroupHeader)
        values.push_back(parser.CalcPostfix(g->Condition));
    } catch (const std::exception&) {
      return 0;  // a condition that fails is reported when the groups are checked
    }
    data.Next();
    atEnd = data.Eof();
    bool failed = false;
    try {
      std::size_t i = 0;
      for (TfrBand* g = band.FirstGroupHeader; g && !atEnd; g = g->NextGroupHeader, ++i)
        if (!ValuesEqual(parser.CalcPostfix(g->Condition), values[i])) {
          closes = g;
          break;
        }
    } catch (const std::exception&) {
      failed = true;
    }
    data.Prior();
    if (failed) return 0;
    std::vector<TfrBand*> footers;
    for (TfrBand* h = band.LastGroupHeader; h && (atEnd || closes); h = h->PrevGroupHeader) {
      footers.push_back(h->Footer);
      if (h == closes) break;
    }
    if (atEnd) footers.push_back(band.Footer);
    int height = 0;
    for (const TfrBand* f : footers) {
      if (!f || !f->IsPresent() || !f->Visible) continue;
      if (!keeps(f)) break;
      height = AddSat(height, f->BandHeight);
    }
    return height;
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
  // Totals over rows of a cross-tab start again with each pass.
  if (TfrBand* cross = page.Chain(btCrossData)) cross->RowSpanAggregates.clear();
  try {
    DataLevels(page).Run();
  } catch (const BandQueueFull& e) {
    RecordCalcError(page.Run.State(), e.what());
  }
}

void DataLevelFormation::ShowDataLevels(PageFormation& page) {
  quillet::ShowDataLevels(page);
}

void DataLevelFormation::PreScanAggregates(PageFormation& page) {
  quillet::PreScanAggregates(page);
}

void DataLevelFormation::Accumulate(TfrBand& band) {
  AccumulateAggregates(band);
}

void DataLevelFormation::Reset(TfrBand& band) {
  ResetAggregates(band);
}

void DataLevelFormation::FormSubReports(TfrBand& band, std::size_t first) {
  quillet::FormSubReports(band, first);
}

void DataLevelFormation::DrawCrossObjects(TfrBand& band) {
  DrawCrossTab(band);
}

int DataLevelFormation::MeasureCrossColumns(TfrBand& band, const std::function<int()>& measure) {
  return quillet::MeasureCrossColumns(band, measure);
}

void DataLevelFormation::LinkCrossDataSources(PageFormation& page) {
  quillet::LinkCrossDataSources(page);
}

void DataLevelFormation::Aggregate(AggregateCode code, const Variant& p1, const Variant& p2,
                                   const Variant& p3, Variant& result) {
  HandleAggregate(state_, code, p1, p2, p3, result);
}

}  // namespace quillet
