#include "report/template/page.h"

#include "platform/numeric.h"
#include "platform/stream.h"
#include "report/base/engine_state.h"
#include "report/base/record_stream.h"

namespace quillet {

TfrPage::TfrPage(EngineGlobals& engine) : engine_(engine) {}
TfrPage::~TfrPage() = default;

int TfrPage::PaperWidthPixels() const {
  return Round(double(PaperWidthTenths) * ReportPixelsPerInch / 254);
}

PrinterPageInfo TfrPage::PrintableArea() const {
  if (PageInfo != PrinterPageInfo{}) return PageInfo;
  // Never given a printer's page information: all of the paper prints.
  PrinterPageInfo all;
  all.PaperWidthPx = all.PrintableWidthPx = PaperWidthPixels();
  return all;
}

int TfrPage::LeftLimit() const {
  if (MarginsApply == 0) return 0;
  return Margins.Left != 0 ? Margins.Left : PrintableArea().OffsetXPx;
}

int TfrPage::RightLimit() const {
  if (MarginsApply == 0) return PaperWidthPixels();
  const PrinterPageInfo area = PrintableArea();
  // Margins come from files: the difference saturates rather than wraps.
  return Margins.Right != 0 ? SubSat(PaperWidthPixels(), Margins.Right)
                            : AddSat(area.OffsetXPx, area.PrintableWidthPx);
}

TfrView* TfrPage::AddObject(std::unique_ptr<TfrView> view) {
  view->OwnerPage = this;
  Objects.push_back(std::move(view));
  return Objects.back().get();
}

void TfrPage::ReadRecord(RecordReader& s) {
  const int v = s.Version();
  const std::int32_t first = s.ReadI32();
  const bool currentLayout = first == -1;
  PaperSizeCode = currentLayout ? s.ReadI32() : first;
  PaperWidthTenths = s.ReadI32();
  PaperHeightTenths = s.ReadI32();
  Margins.Left = s.ReadI32();
  Margins.Top = s.ReadI32();
  Margins.Right = s.ReadI32();
  Margins.Bottom = s.ReadI32();
  Orientation = s.ReadU8();
  if (v < kCountedTextsVersion) s.ReadBytes(6);
  PaperSource = v >= kNamedRecordsVersion ? s.ReadI32() : -1;
  PrintToPrevPage = s.ReadI16();
  MarginsApply = s.ReadI16();
  Columns = s.ReadI32();
  ColumnGap = s.ReadI32();
  if (v < kNamedRecordsVersion) return;
  Type = s.ReadU8();
  Name = ReadCountedString(s);
  // Border styles were once stored in another order: 0 dialog, 1 sizeable.
  const std::uint8_t border = s.ReadU8();
  BorderStyle = border == 0   ? std::uint8_t(bsDialog)
                : border == 1 ? std::uint8_t(bsSizeable)
                              : border;
  Caption = ReadCountedString(s);
  Color = s.ReadU32();
  Left = s.ReadI32();
  Top = s.ReadI32();
  Width = s.ReadI32();
  Height = s.ReadI32();
  Position = s.ReadU8() == 0 ? poDesigned : poScreenCenter;
  if (currentLayout) ScriptLines = ReadStringList(s);
}

void TfrPage::WriteRecord(RecordWriter& s) const {
  s.WriteI32(-1);
  s.WriteI32(PaperSizeCode);
  s.WriteI32(PaperWidthTenths);
  s.WriteI32(PaperHeightTenths);
  s.WriteI32(Margins.Left);
  s.WriteI32(Margins.Top);
  s.WriteI32(Margins.Right);
  s.WriteI32(Margins.Bottom);
  s.WriteU8(Orientation);
  s.WriteI32(PaperSource);
  s.WriteI16(PrintToPrevPage != 0 ? -1 : 0);
  s.WriteI16(MarginsApply != 0 ? -1 : 0);
  s.WriteI32(Columns);
  s.WriteI32(ColumnGap);
  s.WriteU8(Type);
  WriteCountedString(s, Name);
  s.WriteU8(BorderStyle);
  WriteCountedString(s, Caption);
  s.WriteU32(Color);
  s.WriteI32(Left);
  s.WriteI32(Top);
  s.WriteI32(Width);
  s.WriteI32(Height);
  s.WriteU8(Position);
  WriteStringList(s, ScriptLines);
}

}  // namespace quillet
