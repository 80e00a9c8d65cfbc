// Folder report/formation: forming template pages into prepared pages —
// page formation and its run-time bands. It includes platform/ and the
// report folders up to prepared/, script/ and functions/; it reaches the
// report through FormationReport and the data layer above it through the
// DataFormation of its RunContext.
//
// PageFormation: forms one template page into prepared pages. It creates
// the page's run-time bands and places the page's objects into them
// (SetUpPage), shows the bands page after page (ComposePage, BreakPage,
// BreakColumn) and frees them again (FinishPage).
//
// The report keeps one per template page while it prepares. Units are
// report pixels. Placing objects changes the template objects themselves
// (owner band, y relative to the band, PreparedMode); the report undoes it
// by reloading its template after preparation.
#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "report/base/forming_page.h"
#include "report/formation/band.h"
#include "report/formation/run_context.h"
#include "report/printer/page_paper.h"

namespace quillet {

class FormationReport;
class TfrPage;

class PageFormation : public FormingPage {
 public:
  // `run` is the preparation this page is formed in; not owned.
  PageFormation(TfrPage& page, FormationReport& report, RunContext& run);
  ~PageFormation() override;
  PageFormation(const PageFormation&) = delete;
  PageFormation& operator=(const PageFormation&) = delete;

  // Creates the bands and places the objects (report pages), or shows the
  // dialog (dialog pages); in the final pass of a two-pass run it only
  // rewinds the bands' data sets.
  void SetUpPage();
  // Binds every object whose whole text is one reference to a field of a
  // registered data set (so it can load the field's value itself), then
  // registers the page's aggregate calls with their data bands.
  void ResolveReferences();
  // Binds an object whose text is one data reference to that field.
  void BindToDataField(TfrView& view);
  // Forms the page once: adds prepared pages as needed, shows its bands.
  void ComposePage();
  // Frees what SetUpPage made (kept between the passes of a two-pass run).
  void FinishPage();

  // Shows `band` (records it while Recording); nothing for none.
  void PresentBand(TfrBand* band);
  // Shows the first band whose band object has that name (letter case
  // ignored); false when there is none.
  bool PresentNamedBand(std::string_view name);
  // Ends the prepared page and starts the next one. Raises EngineError
  // when the bands that start a page do not fit on a page themselves.
  void BreakPage();
  // Moves to the next page column, or to a new page after the last one;
  // then repeats the headers `band` continues (RepeatHeaders).
  void BreakColumn(TfrBand* band);
  // Shows again, each once, the bands with RepeatHeader that `band` goes on
  // below on a fresh column or page: the records of the outer data levels
  // whose details continue, the group headers before it and, for a data
  // band, its header. Nothing for none.
  void RepeatHeaders(TfrBand* band);
  // Whether nothing has been written below the headers since the last new
  // column or page: a band that does not fit here fits nowhere.
  bool AtFreshTop() const { return CurrentY == freshTopY_; }
  // Shows the page footer on each prepared page from PageIndex to the last.
  void WritePageFooters();
  // The first object of the page with that name (letter case ignored).
  TfrView* FindPageView(std::string_view name) const;
  // Runs a script text with no active view; an empty text does nothing.
  void RunPageScript(const StringList& script);
  // Whether the report (or the outer report) asked the run to stop.
  bool StopRequested() const;

  // Page edges (report pixels). The bottom edge leaves room for the page
  // footer while rendering.
  int TopEdge() const override;
  int LeftEdge() const override;
  int RightEdge() const override;
  int BottomEdge() const override;

  // The first band of a kind (0 .. 22), or nullptr before set-up.
  TfrBand* Chain(int kind) const { return BandChains[static_cast<std::size_t>(kind)].get(); }
  bool Present(int kind) const;

  TfrPage& Page;
  FormationReport& Report;
  RunContext& Run;
  // The page's paper as the engine printer gives it (PageInfo filled).
  PagePaper Paper;

  std::array<std::unique_ptr<TfrBand>, kBandKindCount> BandChains;
  bool SubReportTarget = false;
  bool SetUpDone = false;
  std::int32_t ColumnIndex = 0;
  std::int32_t ColumnTopY = 0;
  std::int32_t ColumnOffsetX = 0;
  bool Recording = false;
  std::vector<std::pair<TfrBand*, int>> RecordedBands;
  std::int32_t ReplayPosition = 0;
  TfrBand* PendingBand = nullptr;
  // The page is being formed or replayed for a sub-report object now.
  bool ShownBySubReport = false;
  std::int32_t CrossColumnNumber = 1;
  std::int32_t RecordPosition = 1;
  TfrBand* LastShownBand = nullptr;
  bool SuppressRepeatHeaders = false;
  std::int32_t CurrentY = 0;
  std::int32_t BottomLimit = 0;

  // How deep BreakPage may nest (bands that start a page breaking it again).
  static constexpr int kMaxBreakDepth = 32;
  // Object geometry (report pixels, about 28 metres) and column counts are
  // kept within these while a page is formed.
  static constexpr std::int32_t kMaxCoordinate = 100'000;
  static constexpr std::int32_t kMaxColumns = 64;
  // Longest chain of child bands a page may have. Children are shown one
  // after another without nesting, so a chain costs little; the bound only
  // refuses templates that no one lays out by hand.
  static constexpr int kMaxChildDepth = 100'000;

 private:
  void TakePaper();
  void PlaceObjects();
  void ConfigureBand(TfrBand& band, TfrBandView& view);
  // Objects not yet placed: (top, index in the page's objects).
  using UnplacedByTop = std::set<std::pair<std::int32_t, std::size_t>>;
  // `waiting[i]` is set while object i is in no horizontal band yet.
  void TakeBandObjects(TfrBand& band, UnplacedByTop& unplaced, std::vector<char>& waiting);
  void LinkHeadersAndFooters();
  void LinkChildBands();
  void FreeBands();

  int breakDepth_ = 0;
  // CurrentY right after the last break; none before the first.
  std::int32_t freshTopY_ = std::numeric_limits<std::int32_t>::min();
};

}  // namespace quillet
