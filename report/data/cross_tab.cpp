#include "report/data/cross_tab.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/errors.h"
#include "platform/numeric.h"
#include "platform/scope_guard.h"
#include "report/base/calc_errors.h"
#include "report/base/dataset.h"
#include "report/base/engine_state.h"
#include "report/base/text_format.h"
#include "report/data/aggregates.h"
#include "report/formation/band.h"
#include "report/formation/formation_report.h"
#include "report/formation/page_formation.h"
#include "report/prepared/prepared_pages.h"
#include "report/views/band_view.h"
#include "report/views/view_bases.h"

namespace quillet {
namespace {

// A cross-tab being drawn or measured moves the cross data set; another
// one started meanwhile (from a script) would move it under the first.
bool busy = false;
// While a page to the side is started, the bands shown on it (overlay,
// page header) draw and measure no columns of their own: the cross-tab in
// progress fills that page's columns.
bool startingSidePage = false;

TfrBand* PresentCross(PageFormation& page, int kind) {
  TfrBand* band = page.Chain(kind);
  return band && band->IsPresent() ? band : nullptr;
}

// The data set whose records are the columns of `band`: its own cross data
// set, else the cross-data band's. A master footer whose data set is at its
// end gets as many columns as the widest showing had, counted by `counted`.
TfrDataset* ColumnDataset(TfrBand& band, const TfrBand* crossData, TfrUserDataset& counted) {
  const TfrBand* owner = band.OwnerDataBand;
  if (band.Kind == btMasterFooter && owner && owner->Dataset && owner->Dataset->Eof()) {
    counted.RangeEnd = reCount;
    counted.RangeEndCount = crossData ? crossData->CrossColumnMax : 0;
    return &counted;
  }
  if (band.CrossDataset) return band.CrossDataset;
  return crossData ? crossData->Dataset : nullptr;
}

class CrossTab {
 public:
  explicit CrossTab(TfrBand& band)
      : band_(band),
        page_(*band.Page),
        report_(band.Page->Report),
        header_(PresentCross(page_, btCrossHeader)),
        data_(PresentCross(page_, btCrossData)),
        footer_(PresentCross(page_, btCrossFooter)),
        offset_(std::int64_t(page_.ColumnOffsetX) - page_.LeftEdge()) {}

  void Draw() {
    // The intersections count lines ("LINE#") as the band they are drawn
    // with does.
    const TfrBand* counting = &band_;
    if (!counting->Dataset)
      while (counting->Prev && counting->Prev->Kind == counting->Kind) counting = counting->Prev;
    std::vector<std::unique_ptr<KeepValue<std::int32_t>>> keep;
    for (TfrBand* cross : {header_, data_, footer_}) {
      if (!cross) continue;
      keep.push_back(std::make_unique<KeepValue<std::int32_t>>(cross->LineNumber));
      keep.push_back(std::make_unique<KeepValue<std::int32_t>>(cross->LineThrough));
      cross->LineNumber = counting->LineNumber;
      cross->LineThrough = counting->LineThrough;
    }
    page_.CrossColumnNumber = 1;
    report_.OnBeginColumn(band_);
    if (header_) {
      RunScript(*header_);
      x_ = header_->BandX;
      Write(*header_);
      x_ += header_->BandWidth;
    } else {
      x_ = data_ ? data_->BandX : footer_ ? footer_->BandX : 0;
    }
    if (data_) DrawColumns();
    if (footer_ && !page_.StopRequested()) {
      RunScript(*footer_);
      if (data_ && !IsDataBandKind(band_.Kind)) {
        // A totals row: its cross footer cell totals the rows since the
        // row's band was last shown, not the columns of this row.
        std::vector<AggregateAccumulator>& span = SpanOf(band_);
        std::swap(data_->Aggregates, span);
        const ScopeGuard back([&] {
          std::swap(data_->Aggregates, span);
          span.clear();
        });
        Place(*footer_, footer_->BandWidth);
      } else {
        Place(*footer_, footer_->BandWidth);
        if (data_) CarryIntoSpans();
      }
      ResetAggregates(*footer_);
    }
  }

 private:
  // The accumulators of the cross footer kept over rows for `band`.
  std::vector<AggregateAccumulator>& SpanOf(const TfrBand& band) {
    auto& spans = data_->RowSpanAggregates;
    for (auto& [owner, list] : spans)
      if (owner == &band) return list;
    return spans.emplace_back(&band, std::vector<AggregateAccumulator>{}).second;
  }

  // What this data row's cross footer took goes into the totals over rows
  // of every other band that crosses the columns.
  void CarryIntoSpans() {
    for (int kind = 0; kind < kBandKindCount; ++kind) {
      if (IsDataBandKind(kind) || IsCrossBand(kind) || kind == btPageFooter) continue;
      for (TfrBand* b = page_.Chain(kind); b; b = b->Next)
        if (b->IsPresent() && b->HasCrossObjects())
          MergeAccumulators(SpanOf(*b), data_->Aggregates);
    }
  }

  void DrawColumns() {
    TfrUserDataset counted;
    TfrDataset* columns = ColumnDataset(band_, data_, counted);
    if (!columns) return;
    data_->AggregateBand = &band_;
    // A width the handler changes holds for the columns after it in this
    // showing; the next showing starts from the designed width again, so
    // that the columns of all rows line up.
    const KeepValue<std::int32_t> keepWidth(data_->BandWidth);
    int count = 0;
    for (columns->First(); !columns->Eof() && !page_.StopRequested(); columns->Next()) {
      if (count == kMaxCrossColumns)
        throw EngineError("Band " + band_.Name + " has more than " +
                          std::to_string(kMaxCrossColumns) + " cross-tab columns");
      int width = data_->BandWidth;
      report_.OnPrintColumn(page_.CrossColumnNumber, width);
      data_->BandWidth = std::clamp(width, 0, PageFormation::kMaxCoordinate);
      RunScript(*data_);
      if (page_.StopRequested()) break;
      Place(*data_, data_->BandWidth);
      AccumulateAggregates(*data_);
      if (IsDataBandKind(band_.Kind)) AccumulateColumn(band_, page_.CrossColumnNumber);
      ++page_.CrossColumnNumber;
      ++count;
    }
    data_->CrossColumnMax = std::max(data_->CrossColumnMax, count);
  }

  void RunScript(TfrBand& cross) {
    page_.Run.State().ActiveBand = &cross;
    page_.Run.State().ActiveView = cross.View;
    report_.RunBandScript(cross.View);
  }

  // Writes a column at x, or on the next page to the side when it does not
  // fit before the right edge. A column that does not fit even on a page
  // of its own is written there all the same, cut by the paper's edge.
  void Place(TfrBand& cross, int width) {
    const bool fits = offset_ + x_ + width <= page_.RightEdge();
    if (!fits && (columnsOnPage_ > 0 || page_.Run.State().PageIndex == startPage_)) NextSidePage();
    Write(cross);
    x_ += width;
    ++columnsOnPage_;
  }

  // Writes the intersections of the band with `cross` at x and the band's
  // position.
  void Write(TfrBand& cross) {
    const KeepValue<std::int32_t> keepY(cross.BandY);
    const KeepValue<bool> keepSplit(cross.Breaked);
    cross.BandY = band_.BandY;
    cross.Breaked = false;  // intersections only run their scripts while counting
    for (TfrView* v : band_.Views) {
      if (v->FormationBand != &cross) continue;
      const KeepValue<std::int32_t> keepLeft(v->Left);
      v->Left = ClampToInt(x_ + v->Left);
      cross.OutputObject(*v);
      if (page_.StopRequested()) break;
    }
  }

  void NextSidePage() {
    PreparationState& prep = page_.Run.State();
    const int next = prep.PageIndex + 1;
    if (next >= OuterReportOf(page_.Run.State(), report_).Prepared().Count()) StartSidePage(next);
    prep.PageIndex = next;
    x_ = std::int64_t(page_.LeftEdge()) - offset_;
    columnsOnPage_ = 0;
    if (header_ && header_->Options().Has(BandFlag::RepeatHeader)) {
      Write(*header_);
      x_ += header_->BandWidth;
    }
  }

  // A new prepared page to the side: the overlay, and the page header, as
  // on any page after the first. The page's own position is kept.
  void StartSidePage(int index) {
    PreparationState& prep = page_.Run.State();
    const KeepValue<std::int32_t> keepY(page_.CurrentY);
    const KeepValue<TfrBand*> keepLast(page_.LastShownBand);
    const KeepValue<FormingBand*> keepBand(prep.ActiveBand);
    const KeepValue<EvaluatedObject*> keepView(prep.ActiveView);
    const KeepValue<bool> keepStarting(startingSidePage);
    startingSidePage = true;
    prep.PageIndex = index;
    OuterReportOf(page_.Run.State(), report_).Prepared().AddPage(page_.Paper);
    Start(page_.Chain(btOverlay));
    page_.CurrentY = page_.TopEdge();
    TfrBand* header = page_.Chain(btPageHeader);
    if (header->IsPresent() && (index > 0 || header->Options().Has(BandFlag::OnFirstPage)))
      Start(header);
  }

  // Shows a band that starts a page. The band whose columns are drawn is
  // not shown again inside its own showing: its objects are written where
  // they stand on the page it started on.
  void Start(TfrBand* band) {
    if (band != &band_) {
      page_.PresentBand(band);
    } else if (band_.IsPresent()) {
      band_.OutputObjects();
    }
  }

  TfrBand& band_;
  PageFormation& page_;
  FormationReport& report_;
  TfrBand* header_;
  TfrBand* data_;
  TfrBand* footer_;
  // Columns are placed at x (template coordinates); the page's column
  // offset moves them as it moves the band's own objects.
  std::int64_t offset_;
  std::int64_t x_ = 0;
  int columnsOnPage_ = 0;
  const int startPage_ = page_.Run.State().PageIndex;
};

std::string Trimmed(std::string_view s) {
  const auto b = s.find_first_not_of(" \t");
  if (b == std::string_view::npos) return {};
  return std::string(s.substr(b, s.find_last_not_of(" \t") - b + 1));
}

}  // namespace

void DrawCrossTab(TfrBand& band) {
  if (startingSidePage) return;
  PreparationState& prep = band.Page->Run.State();
  const KeepValue<int> keepPage(prep.PageIndex);
  const KeepValue<FormingBand*> keepBand(prep.ActiveBand);
  const KeepValue<EvaluatedObject*> keepView(prep.ActiveView);
  try {
    if (busy)
      throw EngineError("Band " + band.Name +
                        " cannot draw its cross-tab columns while another band draws its own");
    busy = true;
    const ScopeGuard done([] { busy = false; });
    CrossTab(band).Draw();
  } catch (const std::exception& e) {
    RecordCalcError(band.Page->Run.State(), e.what());
  }
}

int MeasureCrossColumns(TfrBand& band, const std::function<int()>& measure) {
  if (startingSidePage || busy) return measure();
  busy = true;
  const ScopeGuard done([] { busy = false; });
  PageFormation& page = *band.Page;
  TfrBand* data = PresentCross(page, btCrossData);
  TfrUserDataset counted;
  TfrDataset* columns = data ? ColumnDataset(band, data, counted) : nullptr;
  int height = -1;
  try {
    page.CrossColumnNumber = 1;
    page.Report.OnBeginColumn(band);
    if (columns) {
      int count = 0;
      for (columns->First(); !columns->Eof() && !page.StopRequested() && count < kMaxCrossColumns;
           columns->Next()) {
        int width = data->BandWidth;  // the width is the drawing's to change
        page.Report.OnPrintColumn(page.CrossColumnNumber, width);
        height = std::max(height, measure());
        ++page.CrossColumnNumber;
        ++count;
      }
    }
  } catch (const std::exception& e) {
    RecordCalcError(band.Page->Run.State(), e.what());
  }
  const int result = height < 0 ? measure() : height;
  // The intersections were laid out for the last column measured; each
  // column lays its own out again when it is written.
  for (TfrView* v : band.Views)
    if (auto* s = dynamic_cast<TfrStretcheable*>(v); s && v->FormationBand != &band)
      s->DrawPass = 0;
  return result;
}

void LinkCrossDataSources(PageFormation& page) {
  TfrBand* data = PresentCross(page, btCrossData);
  if (!data) return;
  const std::string& text = data->DataSource;
  if (text.find(';') == std::string::npos) return;
  // Entries "name=source", each ended by ";"; text after the last ";" is
  // no entry.
  std::size_t start = 0;
  for (std::size_t end = text.find(';'); end != std::string::npos;
       start = end + 1, end = text.find(';', start)) {
    const std::string_view entry = std::string_view(text).substr(start, end - start);
    const auto eq = entry.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string name = Trimmed(entry.substr(0, eq));
    const std::string source = Trimmed(entry.substr(eq + 1));
    for (int kind = btMasterHeader; kind <= btChild; ++kind)
      for (TfrBand* band = page.Chain(kind); band; band = band->Next) {
        if (!band->View || !EqualsIgnoreCase(band->View->Name, name)) continue;
        if (band->OwnedCrossDataset) band->OwnedCrossDataset->CloseData();
        std::unique_ptr<TfrDataset> owned;
        band->CrossDataset = OpenDataSource(source, owned);
        band->OwnedCrossDataset = std::move(owned);
      }
  }
}

}  // namespace quillet
