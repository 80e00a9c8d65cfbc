#include "report/views/subreport_view.h"

#include "platform/stream.h"

namespace quillet {

TfrSubReportView::TfrSubReportView() {
  ObjectType = gtSubReport;
  NamePrefix = "SubReport";
}

std::unique_ptr<TfrView> TfrSubReportView::Create() const {
  return std::make_unique<TfrSubReportView>();
}

void TfrSubReportView::Draw(Canvas& canvas) {
  AttachCanvas(&canvas);
  FrameWidth = 1;
  const DeviceCoordinates device(*this);
  canvas.SetPen({clBlack, 1, PenStyle::Solid, PenMode::Copy});
  canvas.SetBrush({clWhite, BrushStyle::Solid});
  canvas.Rectangle(Left, Top, Left + Width + 1, Top + Height + 1);
  Font font;
  font.name = "Arial";
  font.height = 11;  // 8 pt at 96 pixels per inch
  font.color = clBlack;
  canvas.SetFont(font);
  canvas.SetBkMode(BkMode::Transparent);
  canvas.ExtTextOut(Left + 2, Top + 2, etoClipped, &DrawRect, Name);
  canvas.SetBkMode(BkMode::Opaque);
}

void TfrSubReportView::ReadRecord(RecordReader& s) {
  TfrView::ReadRecord(s);
  SubPageIndex = s.ReadI32();
}

void TfrSubReportView::WriteRecord(RecordWriter& s) {
  TfrView::WriteRecord(s);
  s.WriteI32(SubPageIndex);
}

}  // namespace quillet
