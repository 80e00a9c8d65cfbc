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
#include <vector>

#include "report/base/variant.h"
#include "report/views/view.h"

namespace quillet {

class PageFormation;
class TfrBandView;
class TfrDataset;

constexpr int kBandKindCount = 23;
constexpr std::uint8_t kNoBandKind = 22;

constexpr bool IsDataBandKind(int kind) {
  return kind == 5 || kind == 8 || kind == 11;
}
// Page footer, overlay and the no-band band: drawn at their own position,
// they do not move the page's current position.
constexpr bool IsFixedBandKind(int kind) {
  return kind == 3 || kind == 13 || kind == 22;
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
};

class TfrBand;
// The height of the band's current showing: its stretched height when it
// stretches, else its own.
int BandShowingHeight(const TfrBand& band);

class TfrBand {
 public:
  TfrBand(PageFormation& page, std::uint8_t kind);
  ~TfrBand();
  TfrBand(const TfrBand&) = delete;
  TfrBand& operator=(const TfrBand&) = delete;

  // A band is present when it has a band object, or when it is the no-band
  // band and holds at least one object.
  bool IsPresent() const;

  // One showing (the showing protocol). True when the band could not be
  // finished on this page (a sub-report of it goes on).
  bool Show();
  // Places and draws one showing of a present band.
  void DrawBand();
  // Writes the band's objects; true when a sub-report took over.
  bool OutputObjects();
  // Writes one object into the prepared page being filled.
  void OutputObject(TfrView& view);
  // Draws a breakable band over as many pages or columns as it needs.
  void DrawSplit();
  // Whether a band at `y` of height `h` does not fit above the bottom limit;
  // unless `testOnly`, a new column or page is then started.
  bool CheckSpace(int y, int h, bool testOnly);
  // The height of this showing (stretched to the objects' content).
  int MeasureHeight();

  PageFormation* Page;
  TfrBandView* View = nullptr;  // not owned; none for default bands
  std::uint16_t Flags = 0;
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
  std::int32_t LineNumber = 1;
  std::int32_t LineThrough = 1;
  bool Repeating = false;
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
  TfrDataset* CrossDataset = nullptr;
  std::unique_ptr<TfrDataset> OwnedCrossDataset;
  std::string DataSource;  // the band object's data source text
  std::string Condition;   // group header: its condition (postfix form)
  Variant GroupValue;      // group header: its condition's value when last shown
  std::vector<AggregateAccumulator> Aggregates;
  std::int32_t AggregateCount = 0;
  std::int32_t ForcedNewPages = 0;
  std::int32_t ForcedNewColumns = 0;
  bool SubReportDone = false;

 private:
  // Heights of the band's objects kept by MeasureHeight for DrawBand.
  std::vector<std::int32_t> savedHeights_;
  void SaveHeights();
  void RestoreHeights();
  // The height of the column footer band of the page.
  int ColumnFooterHeight() const;
  bool Owns(const TfrView& view) const;
};

}  // namespace quillet
