#include "report/views/line_view.h"

#include "platform/numeric.h"

namespace quillet {

TfrLineView::TfrLineView() {
  ObjectType = gtLine;
  NamePrefix = "Line";
  FrameTyp = frLeft;
  FillColor = clWhite;
}

std::unique_ptr<TfrView> TfrLineView::Create() const {
  return std::make_unique<TfrLineView>();
}

void TfrLineView::Draw(Canvas& canvas) {
  AttachCanvas(&canvas);
  if (Height < Width) {
    Height = 0;
    FrameTyp = frTop;
  } else {
    Width = 0;
    FrameTyp = frLeft;
  }
  const DeviceCoordinates device(*this);
  DrawFrame();
}

Rect TfrLineView::FrameRegion(bool inflate) const {
  const double w = FrameWidth;
  int outer, inner;
  if (FrameStyle == fsDouble) {
    outer = Trunc(w * 1.5);
    inner = Trunc(Trunc((w - 1) / 2) + w);
  } else {
    outer = Trunc(w * 0.5);
    inner = Trunc((w - 1) / 2);
  }
  Rect r{Left, Top, Left + Width + 1, Top + Height + 1};
  if (FrameTyp == frLeft) {
    r.left -= outer;
    r.right += inner;
  } else {
    r.top -= outer;
    r.bottom += inner;
  }
  return inflate ? r.Inflated(10) : r;
}

}  // namespace quillet
