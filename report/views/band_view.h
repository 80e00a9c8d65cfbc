// TfrBandView: marks a strip of a template page that page formation repeats
// per record, page or group (vertical strips for cross bands).
//
// FrameTyp holds the band type instead of frame sides; FormatText holds the
// data source (form and data set joined by a dot) or, for a group header,
// the group condition. Memo holds the script run before the band prints.
// Band views never reach a prepared page: formation turns them into
// run-time bands.
#pragma once

#include <cstdint>
#include <string>

#include "report/base/forming_band.h"
#include "report/views/view.h"

namespace quillet {

// Band types (the value of FrameTyp).
enum BandType : std::uint8_t {
  btReportTitle = 0,
  btReportSummary,
  btPageHeader,
  btPageFooter,
  btMasterHeader,
  btMasterData,
  btMasterFooter,
  btDetailHeader,
  btDetailData,
  btDetailFooter,
  btSubDetailHeader,
  btSubDetailData,
  btSubDetailFooter,
  btOverlay,
  btColumnHeader,
  btColumnFooter,
  btGroupHeader,
  btGroupFooter,
  btCrossHeader,
  btCrossData,
  btCrossFooter,
  btChild,
  btNone,
};

// Flags bits of band views (bit 0 is the base's Stretched).
constexpr std::uint16_t flBandFormNewPage = 2;
constexpr std::uint16_t flBandPrintIfSubsetEmpty = 4;
constexpr std::uint16_t flBandBreaked = 8;
constexpr std::uint16_t flBandOnFirstPage = 16;
constexpr std::uint16_t flBandOnLastPage = 32;
constexpr std::uint16_t flBandRepeatHeader = 64;
constexpr std::uint16_t flBandPrintChildIfInvisible = 128;
// Footers: the band never starts a page or column alone; the break before it
// takes the last record (and the headers shown with it) along. Older readers
// keep the bit without acting on it, and a template without it is stored
// exactly as before.
constexpr std::uint16_t flBandKeepTogether = 256;

// The band bits of the Flags word, typed.
enum class BandFlag : std::uint16_t {
  Stretched = flStretched,
  FormNewPage = flBandFormNewPage,
  PrintIfSubsetEmpty = flBandPrintIfSubsetEmpty,
  Breaked = flBandBreaked,
  OnFirstPage = flBandOnFirstPage,
  OnLastPage = flBandOnLastPage,
  RepeatHeader = flBandRepeatHeader,
  PrintChildIfInvisible = flBandPrintChildIfInvisible,
  KeepTogether = flBandKeepTogether,
};
using BandFlags = FlagSet<BandFlag>;

constexpr bool IsKnownBandType(int type) {
  return type >= btReportTitle && type <= btNone;
}
// The display name of a band type ("Master data"); empty for types past 22.
std::string BandTypeName(int type);
// Cross header, cross data and cross footer: vertical strips.
constexpr bool IsCrossBand(int type) {
  return type >= btCrossHeader && type <= btCrossFooter;
}

class TfrBandView : public TfrView {
 public:
  TfrBandView();

  // FrameTyp read as the band type (a damaged file may hold a code past
  // btNone; IsKnownBandType tells).
  BandType BandKind() const { return static_cast<BandType>(FrameTyp); }
  BandFlags Options() const { return BandFlags::FromBits(Flags); }

  std::unique_ptr<TfrView> Create() const override;
  std::string ClassName() const override { return "TfrBandView"; }

  // Named properties by band type (band_properties.cpp): flag keys,
  // "ChildBand", "Master", "Condition", columns. While a report renders and
  // the band's page is formed they also reach the run-time band: "Left",
  // "Top", "Width", "Height", "Visible" move, size and hide it, "ChildBand"
  // relinks it, "DataSource" replaces its data set, "EOF" reads the data
  // set's end and the methods "NEXT", "PRIOR", "FIRST" move it.
  void RegisterProperties() override;
  void WriteProperty(const std::string& name, const Variant& value) override;
  Variant ReadProperty(const std::string& name) override;
  Variant CallMethod(const std::string& name, const Variant& a1, const Variant& a2,
                     const Variant& a3) override;

  // The strip as the visual editor shows it. Sets FrameWidth 1 and, from
  // the editing page's size when one is given, Left 0 and Width (Top 0 and
  // Height for cross bands). The hatch pattern of the editor is left out.
  void Draw(Canvas& canvas) override;
  // The tail after the common record; written with RecordSubVersion 1.
  void ReadRecord(RecordReader& stream) override;
  void WriteRecord(RecordWriter& stream) override;
  // The base region, plus the title tab when titles are shown outside.
  Rect FrameRegion(bool inflate) const override;

  // Width of the band title tab: the type's name measured on the measuring
  // canvas in Arial 8 pt, plus 8, and never under 100.
  int TitleWidth() const;

  std::string ChildBand;  // name of the child band printed after this one
  std::string Master;     // group header: name of its master data band
  std::int32_t Columns = 1;
  std::int32_t ColumnWidth = 200;  // report pixels
  std::int32_t ColumnGap = 20;     // report pixels
  std::uint32_t NewColumnAfter = 1;

  // The run-time band made from this band object while its page is formed
  // (set and cleared by formation); none otherwise. Not owned.
  FormingBand* RunTimeBand = nullptr;

  // Editing state the visual editor would supply: the page's size in
  // report pixels (0 keeps the band's own geometry) and whether titles sit
  // in a tab outside the strip.
  int EditPageWidth = 0;
  int EditPageHeight = 0;
  bool TitlesOutside = false;
};

}  // namespace quillet
