#include "sheet/sheet_layout.h"

#include "platform/errors.h"
#include "platform/numeric.h"
#include "report/base/engine_state.h"
#include "report/base/text_format.h"
#include "report/views/shape_view.h"
#include "sheet/sheet_controls.h"

namespace quillet {
namespace {

TfrView& Find(SheetReport& report, const std::string& name) {
  TfrView* v = report.FindView(name);
  if (!v) throw EngineError("The sheet template has no object \"" + name + "\"");
  return *v;
}

bool TriangleAdjusted(const SheetSettings& s) {
  return s.ShapeIndex == 3 && s.AdjustTriangle;
}

std::string NumberText(double v) {
  return FloatToText(v, ProgramDecimalSeparator());
}

}  // namespace

std::uint8_t ShapeKindOfIndex(int index) {
  switch (index) {
    case 0: return skRectangle;
    case 1: return skRoundRectangle;
    case 2: return skEllipse;
    case 3: return skTriangle;
    case 4: return skPolygon;
    case 5: return skStar;
    default: return 255;  // no item selected: no figure
  }
}

int CornerValue(const SheetSettings& s) {
  const double diameter = s.RndCnr * 2 * s.PPM;
  if (s.Preview) return Trunc(diameter);
  return Trunc((s.Adjust + s.PPM) * diameter);
}

std::string ShapeTagText(const SheetSettings& s) {
  return std::to_string(Trunc(s.Sides)) + ";" + std::to_string(CornerValue(s)) + ";" +
         std::to_string(s.BrushIndex) + ";" + std::to_string(s.Angle) + ";" +
         std::to_string(s.InnerPc) + ";" + std::to_string(s.Skew);
}

int LayOutSheet(const SheetSettings& s, SheetReport& report) {
  const double ppm = s.PPM;
  const int gap = Trunc(s.Gap);
  const int w = Trunc(s.Width * ppm);
  int h = Trunc(s.Height * ppm);
  const int pageW = Trunc(s.PageWidth);
  const int pageH = Trunc(s.PageHeight);
  const int count = Trunc(s.Count);
  const int thick = Trunc(s.LineThickness);
  const int top = Trunc(s.Top);
  const int left = Trunc(s.Left);

  const int limit = pageH - top;
  int y = top;
  for (int i = 1; i <= kSheetSlots; ++i) {
    const std::string n = std::to_string(i);
    Find(report, "Shape" + n).Visible = 0;
    Find(report, "Width" + n).Visible = 0;
    Find(report, "Height" + n).Visible = 0;
  }
  if (count < 1) return 0;

  const std::string tag = ShapeTagText(s);
  const std::uint8_t kind = ShapeKindOfIndex(s.ShapeIndex);
  int shown = 0;
  for (int i = 1; i <= count && i <= kSheetSlots && y + h <= limit; ++i) {
    const std::string n = std::to_string(i);
    auto* shape = dynamic_cast<TfrShapeView*>(&Find(report, "Shape" + n));
    if (!shape) throw EngineError("The sheet object \"Shape" + n + "\" is not a shape");
    TfrView& wCap = Find(report, "Width" + n);
    TfrView& hCap = Find(report, "Height" + n);

    shape->ShapeKind = kind;
    if (TriangleAdjusted(s)) h = Trunc(s.Width * ppm * s.TriAngle);
    shape->Tag = tag;
    shape->Top = y;
    shape->Width = w;
    shape->Height = h;
    shape->FrameWidth = static_cast<float>(thick);
    shape->FillColor = s.FillColor;
    shape->FrameColor = s.FrameColor;
    shape->Left = s.Centre ? Div(pageW, 2) - Div(w, 2) : left;

    const int cx = shape->Left + Div(shape->Width, 2);
    const int cy = shape->Top + Div(shape->Height, 2);
    hCap.Top = cy - 15;
    wCap.Top = cy;
    hCap.Left = cx - 18;
    wCap.Left = cx - 18;
    wCap.Memo = {"W = " + NumberText(s.Width)};
    hCap.Memo = {"H = " + NumberText(TriangleAdjusted(s) ? s.TriAngle * s.Width : s.Height)};

    shape->Visible = -1;
    wCap.Visible = -1;
    hCap.Visible = -1;
    ++shown;
    y += h + gap;
  }
  return shown;
}

void RunPrintAction(const SheetSettings& settings, SheetReport& report) {
  LayOutSheet(settings, report);
  if (settings.Preview) {
    report.PrepareAndPreview();
  } else {
    report.Prepare();
    report.PrintPrepared("1", 1, false, 0);
  }
}

}  // namespace quillet
