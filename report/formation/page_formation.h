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
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "report/formation/band.h"
#include "report/printer/page_paper.h"

namespace quillet {

class TfrPage;
class TfrReport;

class PageFormation {
 public:
  PageFormation(TfrPage& page, TfrReport& report);
  ~PageFormation();
  PageFormation(const PageFormation&) = delete;
  PageFormation& operator=(const PageFormation&) = delete;

  // Creates the bands and places the objects (report pages), or shows the
  // dialog (dialog pages); in the final pass of a two-pass run it only
  // rewinds the bands' data sets.
  void SetUpPage();
  // Binds objects whose whole text is one data-field reference (data
  // fields arrive with data-aware data sets; nothing binds yet).
  void ResolveReferences();
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
  // Moves to the next page column, or to a new page after the last one.
  void BreakColumn(TfrBand* band);
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
  int TopEdge() const;
  int LeftEdge() const;
  int RightEdge() const;
  int BottomEdge() const;

  // The first band of a kind (0 .. 22), or nullptr before set-up.
  TfrBand* Chain(int kind) const { return BandChains[static_cast<std::size_t>(kind)].get(); }
  bool Present(int kind) const;

  TfrPage& Page;
  TfrReport& Report;
  // The page's paper as the engine printer gives it (PageInfo filled).
  PagePaper Paper;

  std::array<std::unique_ptr<TfrBand>, kBandKindCount> BandChains;
  bool SubReportTarget = false;
  bool SetUpDone = false;
  std::int32_t ColumnIndex = 0;
  std::int32_t ColumnTopY = 0;
  std::int32_t ColumnOffsetX = 0;
  std::int32_t ColumnWidth = 0;
  bool Recording = false;
  std::vector<std::pair<TfrBand*, int>> RecordedBands;
  std::int32_t ReplayPosition = 0;
  TfrBand* PendingBand = nullptr;
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

 private:
  void TakePaper();
  void PlaceObjects();
  void ConfigureBand(TfrBand& band, TfrBandView& view);
  void TakeBandObjects(TfrBand& band);
  void LinkHeadersAndFooters();
  void FreeBands();

  int breakDepth_ = 0;
};

}  // namespace quillet
