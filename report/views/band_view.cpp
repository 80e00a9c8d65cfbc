#include "report/views/band_view.h"

#include <algorithm>

#include "platform/numeric.h"
#include "platform/stream.h"
#include "report/base/engine_state.h"
#include "report/base/record_stream.h"
#include "report/views/view_page.h"

namespace quillet {
namespace {

// Arial 8 pt at 96 pixels per inch: an em of 11 pixels.
Font TitleFont() {
  Font f;
  f.name = "Arial";
  f.height = 11;
  f.color = clBlack;
  return f;
}

constexpr int kTitleTabHeight = 18;

}  // namespace

std::string BandTypeName(int type) {
  // The engine texts 55077 .. 55099, one per band type.
  static const char* const kNames[] = {
      "Report title",
      "Report summary",
      "Page header",
      "Page footer",
      "Master header",
      "Master data",
      "Master footer",
      "Detail header",
      "Detail data",
      "Detail footer",
      "Subdetail header",
      "Subdetail data",
      "Subdetail footer",
      "Overlay",
      "Column header",
      "Column footer",
      "Group header",
      "Group footer",
      "Cross header",
      "Cross data",
      "Cross footer",
      "Child",
      "None",
  };
  if (type < 0 || type > btNone) return {};
  return kNames[type];
}

TfrBandView::TfrBandView() {
  ObjectType = gtBand;
  NamePrefix = "Band";
  DisplayFormat = 0;
  Flags = flBandOnFirstPage | flBandOnLastPage;
}

std::unique_ptr<TfrView> TfrBandView::Create() const {
  return std::make_unique<TfrBandView>();
}

int TfrBandView::TitleWidth() const {
  int w = 0;
  if (Canvas* m = Globals().MeasuringCanvas) {
    const Font savedFont = m->GetFont();
    const int savedExtra = m->GetTextCharacterExtra();
    m->SetFont(TitleFont());
    m->SetTextCharacterExtra(0);
    w = m->TextWidth(BandTypeName(FrameTyp));
    m->SetFont(savedFont);
    m->SetTextCharacterExtra(savedExtra);
  }
  return w >= 92 ? w + 8 : 100;
}

void TfrBandView::Draw(Canvas& canvas) {
  FrameWidth = 1;
  const bool cross = IsCrossBand(FrameTyp);
  if (!cross && EditPageWidth > 0) {
    Left = 0;
    Width = EditPageWidth;
  } else if (cross && EditPageHeight > 0) {
    Top = 0;
    Height = EditPageHeight;
  }
  AttachCanvas(&canvas);
  const DeviceCoordinates device(*this);

  Canvas& c = canvas;
  c.SetPen({clBtnFace, 1, PenStyle::Solid, PenMode::Copy});
  c.SetBrushStyle(BrushStyle::Clear);
  const int right = ClampToInt(std::int64_t(Left) + Width + 1);
  const int bottom = ClampToInt(std::int64_t(Top) + Height + 1);
  c.Rectangle(Left, Top, right, bottom);
  if (Columns > 1) {
    c.SetPen({clBlack, 1, PenStyle::Dot, PenMode::Copy});
    const int start = Run().ActivePage ? Run().ActivePage->LeftLimit() : 0;
    // Columns past the strip's right end are not drawn (nor counted: a
    // stored column count can be anything). Nor are more than a page can
    // tell apart: a stored strip can be two thousand million pixels wide
    // with a column every pixel.
    constexpr std::int64_t kMaxOutlinedColumns = 4096;
    const std::int64_t step = std::int64_t(ColumnWidth) + ColumnGap;
    for (std::int64_t i = 0; i < std::min<std::int64_t>(Columns, kMaxOutlinedColumns); ++i) {
      const std::int64_t x = start + i * step;
      if (x > std::int64_t(Left) + Width || (i > 0 && step <= 0)) break;
      c.Rectangle(int(x), Top, ClampToInt(x + ColumnWidth + 1), bottom);
    }
  }
  Font font = TitleFont();
  const std::string title = BandTypeName(FrameTyp);
  c.SetBkMode(BkMode::Transparent);
  if (!TitlesOutside) {
    c.SetFont(font);
    c.TextOut(AddSat(Left, 4), AddSat(Top, 2), title);
  } else if (!cross) {
    c.SetBrush({clBtnFace, BrushStyle::Solid});
    c.FillRect({Left, SubSat(Top, kTitleTabHeight), AddSat(Left, TitleWidth()), Top});
    c.SetFont(font);
    c.TextOut(AddSat(Left, 4), SubSat(Top, kTitleTabHeight - 2), title);
  } else {
    // Written bottom-up in a tab left of the strip.
    const int w = TitleWidth();
    c.SetBrush({clBtnFace, BrushStyle::Solid});
    c.FillRect({SubSat(Left, kTitleTabHeight), Top, Left, AddSat(Top, w)});
    font.escapement = 900;
    c.SetFont(font);
    c.TextOut(SubSat(Left, kTitleTabHeight - 2), AddSat(Top, std::int64_t(w) - 4), title);
  }
  c.SetBkMode(BkMode::Opaque);
}

void TfrBandView::ReadRecord(RecordReader& s) {
  TfrView::ReadRecord(s);
  if (s.AtLeast(kNamedRecordsVersion)) {
    ChildBand = ReadCountedString(s);
    Columns = s.ReadI32();
    ColumnWidth = s.ReadI32();
    ColumnGap = s.ReadI32();
    NewColumnAfter = s.ReadU32();
  }
  if (RecordVersion * 10 + RecordSubVersion > 20) Master = ReadCountedString(s);
}

void TfrBandView::WriteRecord(RecordWriter& s) {
  RecordSubVersion = 1;
  TfrView::WriteRecord(s);
  if (s.AtLeast(kNamedRecordsVersion)) {
    WriteCountedString(s, ChildBand);
    s.WriteI32(Columns);
    s.WriteI32(ColumnWidth);
    s.WriteI32(ColumnGap);
    s.WriteU32(NewColumnAfter);
  }
  if (RecordVersion * 10 + RecordSubVersion > 20) WriteCountedString(s, Master);
}

Rect TfrBandView::FrameRegion(bool inflate) const {
  Rect r = TfrView::FrameRegion(false);
  if (TitlesOutside) {
    const int w = TitleWidth();
    const Rect tab = IsCrossBand(FrameTyp) ? Rect{Left - kTitleTabHeight, Top, Left, Top + w}
                                           : Rect{Left, Top - kTitleTabHeight, Left + w, Top};
    r = {std::min(r.left, tab.left), std::min(r.top, tab.top), std::max(r.right, tab.right),
         std::max(r.bottom, tab.bottom)};
  }
  return inflate ? r.Inflated(10) : r;
}

}  // namespace quillet
