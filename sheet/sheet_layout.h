// The print action: turns the main window's settings into the sheet's slots
// on the twenty-one template objects (Shape1..7, Width1..7, Height1..7),
// then prepares the report and previews it or prints page 1 once.
#pragma once

#include <string>
#include <string_view>

#include "platform/geometry.h"

namespace quillet {

class TfrView;
struct EngineGlobals;

// The values read from the window's controls at the press of Print.
struct SheetSettings {
  double Width = 50;   // mm
  double Height = 50;  // mm
  double Count = 2;
  double Gap = 20;  // report pixels
  double LineThickness = 1;
  double PPM = 3.62;  // report pixels per millimetre
  double PageWidth = 756;
  double PageHeight = 1073;
  bool Centre = false;
  double Top = 16;
  double Left = 27;
  double RndCnr = 0;  // mm
  double Adjust = 0;  // printer adjustment
  double Sides = 5;
  int Angle = 0;
  int InnerPc = 50;
  int Skew = 0;
  bool AdjustTriangle = false;
  double TriAngle = 0.86;
  Color FrameColor = clBlack;
  Color FillColor = clWhite;
  int ShapeIndex = 2;  // "Rectangle" .. "Star"; -1 when none is selected
  int BrushIndex = 1;  // 0 "Solid", 1 "Clear"
  bool Preview = false;
};

// What the print action needs of the report component.
class SheetReport {
 public:
  virtual ~SheetReport() = default;
  virtual TfrView* FindView(std::string_view name) = 0;
  virtual void PrepareAndPreview() = 0;
  virtual void Prepare() = 0;
  virtual void PrintPrepared(const std::string& pageRange, int copies, bool collate,
                             int selection) = 0;
  // The engine the sheet prints through.
  virtual EngineGlobals& Globals() = 0;
};

constexpr int kSheetSlots = 7;

// Shape kind byte for an item index of the "Shape" radio group.
std::uint8_t ShapeKindOfIndex(int index);
// The shape parameter text ("5;0;1;0;50;0") for these settings.
std::string ShapeTagText(const SheetSettings& s);
// The corner ellipse size: for the preview, or for the printer.
int CornerValue(const SheetSettings& s);

// Hides every slot, then lays out as many as fit. Returns the number shown.
// Raises EngineError naming a template object that is missing or of the
// wrong kind.
int LayOutSheet(const SheetSettings& settings, SheetReport& report);

// One press of Print: the layout, then preview, or prepare and print page 1.
void RunPrintAction(const SheetSettings& settings, SheetReport& report);

}  // namespace quillet
