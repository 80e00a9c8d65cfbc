// TfrBand: a run-time band of a template page being formed. It stands for
// one band object (or for the objects that lie in no band) and is shown
// into the prepared pages: its objects are written at the page's current
// position, stretched to their content, split across pages or columns.
//
// Bands are made by page set-up and freed by page finish; they are never
// streamed. Units are report pixels; an object's y is relative to BandY.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "report/base/forming_band.h"
#include "report/base/variant.h"
#include "report/views/band_view.h"
#include "report/views/view.h"

namespace quillet {

class PageFormation;
class TfrBandView;
class TfrDataset;

constexpr int kBandKindCount = btNone + 1;
// The band that holds the objects lying in no band object.
constexpr std::uint8_t kNoBandKind = btNone;

constexpr bool IsDataBandKind(int kind) {
  return kind == btMasterData || kind == btDetailData || kind == btSubDetailData;
}
// Page footer, overlay and the no-band band: drawn at their own position,
// they do not move the page's current position.
constexpr bool IsFixedBandKind(int kind) {
  return kind == btPageFooter || kind == btOverlay || kind == kNoBandKind;
}

// One aggregate accumulator of a data band. Key: the displaying band's
// name, the function code, the expression, the count-invisible flag, each
// followed by the character with code 1. Count is the number of records this
// accumulator took since it was last reset: an average divides by it, so
// an average reset by one footer is not divided by a count that another
// footer's showing reset.
struct AggregateAccumulator {
  std::string Key;
  Variant Value;
  std::int32_t Count = 0;
  // The object whose text or script holds the call (the band object for
  // the band's own), named when evaluating the expression fails; not owned.
  TfrView* Source = nullptr;
};

// The data set a band's data source text names: a count ("3") makes a
// data set of that many records, which `owned` receives; any other text
// names a data set the host registered, which is opened. nullptr when the
// text names none.
TfrDataset* OpenDataSource(const std::string& source, std::unique_ptr<TfrDataset>& owned);

class TfrBand : public FormingBand {
 public:
  TfrBand(PageFormation& page, std::uint8_t kind);
  ~TfrBand() override;
  TfrBand(const TfrBand&) = delete;
  TfrBand& operator=(const TfrBand&) = delete;

  // FormingBand. The height is the stretched one when the band stretches.
  bool HasBandObject() const override { return View != nullptr; }
  std::string FormingName() const override { return View ? Name : std::string(); }
  std::uint8_t FormingKind() const override { return Kind; }
  int FormingTop() const override { return BandY; }
  int FormingWidth() const override { return BandWidth; }
  int FormingHeight() const override;
  // What the band object's named properties reach (band_by_name.cpp).
  int Geometry(Edge edge) const override;
  void SetGeometry(Edge edge, int value) override;
  bool IsShown() const override { return Visible; }
  void SetShown(bool shown) override { Visible = shown; }
  bool IsSplit() const override { return Breaked; }
  void SetSplit(bool split) override { Breaked = split; }
  void SetCondition(const std::string& expression) override;
  void LinkChild(FormingBand* child) override;
  // A count ("3") makes a data set of the band's own; any other text names
  // a component of the owner window, which the engine cannot look up, so
  // the band has none then (a master data band falls back to the report's).
  // A replaced data set of the band's own is closed but kept until the
  // band is freed, as a showing in progress may still hold it.
  void UseDataSource(const std::string& source) override;
  TfrDataset* BandDataset() const override { return Dataset; }

  // A band is present when it has a band object, or when it is the no-band
  // band and holds at least one object.
  bool IsPresent() const;
  // Whether the band holds objects of a cross band (the intersections of
  // the band with the cross columns).
  bool HasCrossObjects() const;

  // One showing (the showing protocol). True when the band could not be
  // finished on this page (a sub-report of it goes on).
  bool Show();
  // Places and draws one showing of a present band.
  void DrawBand();
  // Writes the band's objects; true when a sub-report took over the
  // position (CurrentY is then below the sub-reports already).
  bool OutputObjects();
  // Writes the band's intersections with the cross columns (none for a
  // page footer).
  void DrawCrossObjects();
  // Writes one object into the prepared page being filled.
  void OutputObject(TfrView& view);
  // Draws a breakable band over as many pages or columns as it needs.
  void DrawSplit();
  // Whether a band at `y` of height `h` does not fit above the bottom limit;
  // unless `testOnly`, a new column or page is then started.
  bool CheckSpace(int y, int h, bool testOnly);
  // Starts a new column or page when height `h` does not fit below the
  // current position. A band that fits on no fresh column or page would
  // break for ever (a page per record); it raises EngineError instead.
  void MakeRoom(int h);
  [[noreturn]] void FitsNoPage(int h) const;
  // The height of this showing (stretched to the objects' content).
  int MeasureHeight();

  PageFormation* Page;
  TfrBandView* View = nullptr;  // not owned; none for default bands
  std::uint16_t Flags = 0;      // the band object's flags word, copied at set-up
  BandFlags Options() const { return BandFlags::FromBits(Flags); }
  std::unique_ptr<TfrBand> NextOwned;  // the chain's next band, owned
  TfrBand* Next = nullptr;
  TfrBand* Prev = nullptr;
  TfrBand* NextGroupHeader = nullptr;
  TfrBand* PrevGroupHeader = nullptr;
  TfrBand* FirstGroupHeader = nullptr;
  TfrBand* LastGroupHeader = nullptr;
  TfrBand* Child = nullptr;
  TfrBand* Header = nullptr;
  TfrBand* Footer = nullptr;
  TfrBand* OwnerDataBand = nullptr;
  TfrBand* ChainLast = nullptr;
  TfrBand* AggregateBand = nullptr;
  // Every data band whose accumulators this band's aggregate calls read, in
  // the order they were found; one band may total several data bands.
  std::vector<TfrBand*> AggregateOwners;
  std::int32_t LineNumber = 1;
  std::int32_t LineThrough = 1;
  bool Repeating = false;
  // A data band whose record was shown while the levels below it still run
  // (set and cleared by the data levels): a page or column those levels go
  // on in repeats the record when its band has RepeatHeader.
  bool HeadingShown = false;
  // A group header shown by its data band whose footer has not closed the
  // group yet (set and cleared by the data levels).
  bool GroupOpen = false;
  std::int32_t ShowingHeight = -1;
  std::int32_t ColumnCounter = 1;
  std::int32_t SavedX = 0;
  bool KeepYAfterBreaks = false;
  std::int32_t CrossColumnMax = 0;
  bool SkipScriptOnce = false;
  std::int32_t BandX = 0, BandY = 0, BandWidth = 0, BandHeight = 0;
  std::int32_t StretchedHeight = 0;
  std::uint8_t Kind;
  std::string Name;
  bool PrintIfSubsetEmpty = false;
  bool FormNewPage = false;
  bool Stretched = false;
  bool Breaked = false;
  bool PrintChildIfInvisible = false;
  bool Visible = true;
  std::vector<TfrView*> Views;  // not owned; y relative to BandY
  StringList Memo;
  StringList ScriptLines;
  TfrDataset* Dataset = nullptr;
  std::unique_ptr<TfrDataset> OwnedDataset;
  std::vector<std::unique_ptr<TfrDataset>> RetiredDatasets;
  TfrDataset* CrossDataset = nullptr;
  std::unique_ptr<TfrDataset> OwnedCrossDataset;
  std::string DataSource;  // the band object's data source text
  std::string Condition;   // group header: its condition (postfix form)
  Variant GroupValue;      // group header: its condition's value when last shown
  std::vector<AggregateAccumulator> Aggregates;
  std::int32_t AggregateCount = 0;
  // Accumulators of the intersections with the cross columns: as
  // registered (keys prefixed "0"), and copied for each column (keys
  // prefixed with the column number; element 0 is column 1).
  std::vector<AggregateAccumulator> ColumnTemplates;
  std::vector<std::vector<AggregateAccumulator>> ColumnAggregates;
  // Cross-data band: for each band other than a data band that crosses the
  // columns (a footer, the summary), the cross footer's accumulators taken
  // over every row since that band was last shown. Its cross footer cell
  // reads these, so the corner of a totals row totals all the rows.
  std::vector<std::pair<const TfrBand*, std::vector<AggregateAccumulator>>> RowSpanAggregates;
  std::int32_t ForcedNewPages = 0;
  std::int32_t ForcedNewColumns = 0;
  // Sub-reports: whether they all finished in this showing, and the target
  // pages of those still being replayed, one place for each object from the
  // first sub-report object to the end of Views (none once it finished).
  bool SubReportDone = false;
  std::vector<PageFormation*> SubReportTargets;

 private:
  // The part of a showing up to the band's child: false when the showing
  // ended early (stopped, or a sub-report page out of room), with no child
  // and no closing steps. `result` is the showing's result, `drawn` whether
  // the band was drawn, `child` the band to show next.
  bool OpenShowing(bool& result, bool& drawn, TfrBand*& child);
  // The rest of a showing once the band's children are shown.
  void CloseShowing(bool drawn);
  // Heights of the band's objects kept by MeasureHeight for DrawBand.
  std::vector<std::int32_t> savedHeights_;
  void SaveHeights();
  void RestoreHeights();
  // Hands the band's sub-report objects from `first` on to the sub-report
  // procedure; the band's own height stays reserved below them unless they
  // started a new page.
  void FormSubReports(std::size_t first);
  // The height of the column footer band of the page.
  int ColumnFooterHeight() const;
  bool Owns(const TfrView& view) const;
};

}  // namespace quillet
