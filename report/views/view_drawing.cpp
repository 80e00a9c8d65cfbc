// Background, frame and frame region of a view.
#include <algorithm>

#include "platform/numeric.h"
#include "report/base/engine_state.h"
#include "report/views/view.h"

namespace quillet {

// More parallel lines than any real frame needs: a dashed frame this wide
// covers any page on any device.
constexpr int kMaxDashedLines = 1024;

void TfrView::DrawBackground() {
  const PreparationState& prep = Run();
  if (prep.CountingPass || !Canvas_) return;
  Canvas& c = *Canvas_;
  c.SetBkMode(BkMode::Opaque);
  c.SetBrushColor(FillColor == clNone ? clWhite : FillColor);
  if (!prep.RenderActive) {
    c.FillRect(DrawRect);
    return;
  }
  if (FillColor == clNone) return;
  c.FillRect({Left, Top, DeviceRight(), DeviceBottom()});
}

void TfrView::DrawFrame() {
  const PreparationState& prep = Run();
  if (prep.CountingPass || !Canvas_) return;
  if (prep.RenderActive && Sides().Empty()) return;
  Canvas& c = *Canvas_;
  c.SetBrushStyle(BrushStyle::Solid);
  c.SetPenStyle(PenStyle::Solid);
  const int right = DeviceRight();
  const int bottom = DeviceBottom();
  if (!prep.RenderActive && Width > 0 && Height > 0) {
    // Corner marks of an editing page.
    c.SetPen({clBlack, 1, PenStyle::Solid, PenMode::Copy});
    const int x1 = Left, y1 = Top, x2 = AddSat(Left, Width), y2 = AddSat(Top, Height);
    c.Line(x1, y1, AddSat(x1, 4), y1);
    c.Line(x1, y1, x1, AddSat(y1, 4));
    c.Line(x2, y1, SubSat(x2, 4), y1);
    c.Line(x2, y1, x2, AddSat(y1, 4));
    c.Line(x1, y2, AddSat(x1, 4), y2);
    c.Line(x1, y2, x1, SubSat(y2, 4));
    c.Line(x2, y2, SubSat(x2, 4), y2);
    c.Line(x2, y2, x2, SubSat(y2, 4));
  }
  c.SetPenColor(FrameColor);
  c.SetPenWidth(Round(FrameWidth));
  c.SetPenStyle(FrameStyle == fsDouble || FrameStyle > fsDashDotDot
                    ? PenStyle::Solid
                    : static_cast<PenStyle>(FrameStyle));
  if (Sides().Has(FrameSide::Right)) DrawFrameLine(right, Top, right, bottom);
  if (Sides().Has(FrameSide::Left)) DrawFrameLine(Left, Top, Left, bottom);
  if (Sides().Has(FrameSide::Bottom)) DrawFrameLine(Left, bottom, right, bottom);
  if (Sides().Has(FrameSide::Top)) DrawFrameLine(Left, Top, right, Top);
}

void TfrView::DrawFrameLine(int x1, int y1, int x2, int y2) {
  Canvas& c = *Canvas_;
  const bool vertical = x1 == x2;
  if (c.GetPen().style != PenStyle::Solid) {
    // Dashed styles: parallel one-pixel lines, since wide dashed pens are
    // drawn solid by most devices. A width below one still draws one line;
    // a width from a damaged file draws no more than kMaxDashedLines.
    c.SetBrushColor(FillColor);
    const int n = c.GetPen().width;
    const int lines = std::clamp(n, 1, kMaxDashedLines);
    c.SetPenWidth(1);
    for (int k = 0; k < lines; ++k) {
      const int d = k - Div(n, 2);
      if (vertical)
        c.Line(AddSat(x1, d), y1, AddSat(x2, d), y2);
      else
        c.Line(x1, AddSat(y1, d), x2, AddSat(y2, d));
    }
    c.SetPenWidth(n);
    return;
  }
  if (FrameStyle != fsDouble) {
    c.Line(x1, y1, x2, y2);
    return;
  }
  const int d = Round(FrameWidth);
  const int dx = vertical ? d : 0;
  const int dy = vertical ? 0 : d;
  // A frame from a damaged file may lie at the ends of the range.
  c.Line(SubSat(x1, dx), SubSat(y1, dy), SubSat(x2, dx), SubSat(y2, dy));
  c.SetPenColor(FillColor);
  c.Line(x1, y1, x2, y2);
  c.SetPenColor(FrameColor);
  c.Line(AddSat(x1, dx), AddSat(y1, dy), AddSat(x2, dx), AddSat(y2, dy));
}

Rect TfrView::FrameRegion(bool inflate) const {
  const double w = FrameWidth;
  int outer, inner;
  if (FrameStyle == fsDouble) {
    outer = Round(w * 1.5);
    inner = Round(w + (w - 1) / 2);
  } else {
    outer = Round(w / 2);
    inner = Round((w - 1) / 2);
  }
  Rect r;
  r.left = Sides().Has(FrameSide::Left) ? Left - outer : Left;
  r.top = Sides().Has(FrameSide::Top) ? Top - outer : Top;
  r.right = Left + Width + 1 + (Sides().Has(FrameSide::Right) ? inner : 0);
  r.bottom = Top + Height + 1 + (Sides().Has(FrameSide::Bottom) ? inner : 0);
  return inflate ? r.Inflated(10) : r;
}

}  // namespace quillet
