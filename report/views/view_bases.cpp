#include "report/views/view_bases.h"

#include "report/base/text_format.h"

namespace quillet {

Variant TfrStretcheable::CallMethod(const std::string& name, const Variant& a1, const Variant& a2,
                                    const Variant& a3) {
  if (UpperCase(name) == "CALCHEIGHT") return Variant(CalcHeight());
  return TfrView::CallMethod(name, a1, a2, a3);
}

TfrControl::TfrControl() {
  ObjectType = gtAddIn;
  FillColor = clBtnFace;
  FrameTyp = 0;
}

void TfrControl::Draw(Canvas& canvas) {
  AttachCanvas(&canvas);
  if (Control) Control->SetSize(Width, Height);
  PrepareDraw();
  PaintControl();
  RestoreCoords();
}

void TfrControl::PaintControl() {
  if (!Canvas_) return;
  if (!Control) {
    // No control attached (a page read without its dialog form): the
    // button-face rectangle it would stand on.
    Canvas_->SetBrushColor(clBtnFace);
    Canvas_->FillRect({Left, Top, Left + Width + 1, Top + Height + 1});
    return;
  }
  Control->PaintTo(*Canvas_, Left, Top);
}

TfrNonVisualControl::TfrNonVisualControl() {
  Width = 28;
  Height = 28;
}

void TfrNonVisualControl::Draw(Canvas& canvas) {
  Width = 28;
  Height = 28;
  AttachCanvas(&canvas);
  PrepareDraw();
  FillColor = clBtnFace;
  DrawBackground();
  // Raised edge: light on the top and left, dark on the bottom and right.
  Canvas& c = canvas;
  const Rect r = DrawRect;
  c.SetPen({clSystemBase + 20, 1, PenStyle::Solid, PenMode::Copy});
  c.Line(r.left, r.bottom - 1, r.left, r.top);
  c.Line(r.left, r.top, r.right - 1, r.top);
  c.SetPen({clSystemBase + 16, 1, PenStyle::Solid, PenMode::Copy});
  c.Line(r.right - 1, r.top, r.right - 1, r.bottom - 1);
  c.Line(r.right - 1, r.bottom - 1, r.left, r.bottom - 1);
  if (!Icon.IsEmpty())
    c.DrawImage({r.left + 2, r.top + 2, r.left + 2 + Icon.width, r.top + 2 + Icon.height}, Icon);
  RestoreCoords();
}

}  // namespace quillet
