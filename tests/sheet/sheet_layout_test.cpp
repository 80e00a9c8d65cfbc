// The print action's layout of the sheet's twenty-one objects.
#include "sheet/sheet_layout.h"

#include <gtest/gtest.h>

#include "platform/errors.h"
#include "report/views/shape_view.h"
#include "sheet/sheet_controls.h"
#include "tests/fakes/standin_sheet.h"

namespace quillet {
namespace {

class RecordingSheet : public StandInSheet {
 public:
  std::vector<std::string> calls;
  void PrepareAndPreview() override { calls.push_back("PrepareAndPreview"); }
  void Prepare() override { calls.push_back("Prepare"); }
  void PrintPrepared(const std::string& range, int copies, bool collate, int sel) override {
    calls.push_back("PrintPrepared " + range + " " + std::to_string(copies) + " " +
                    (collate ? "1" : "0") + " " + std::to_string(sel));
  }
  TfrShapeView& Shape(int i) {
    return *dynamic_cast<TfrShapeView*>(FindView("Shape" + std::to_string(i)));
  }
  TfrView& W(int i) { return *FindView("Width" + std::to_string(i)); }
  TfrView& H(int i) { return *FindView("Height" + std::to_string(i)); }
  int ShownShapes() {
    int n = 0;
    for (int i = 1; i <= 7; ++i) n += Shape(i).Visible != 0;
    return n;
  }
};

TEST(SheetLayout, DefaultSheetHasTwoEllipsesWithCaptions) {
  RecordingSheet sheet;
  SheetSettings s;
  EXPECT_EQ(LayOutSheet(s, sheet), 2);
  TfrShapeView& a = sheet.Shape(1);
  EXPECT_EQ(a.ShapeKind, skEllipse);
  EXPECT_EQ(a.Tag, "5;0;1;0;50;0");
  EXPECT_EQ((std::vector<int>{a.Left, a.Top, a.Width, a.Height}),
            (std::vector<int>{27, 16, 181, 181}));
  EXPECT_EQ(a.FrameWidth, 1.0f);
  EXPECT_EQ(a.FillColor, clWhite);
  EXPECT_EQ(a.FrameColor, clBlack);
  EXPECT_EQ(a.Visible, -1);
  EXPECT_EQ(sheet.H(1).Left, 99);
  EXPECT_EQ(sheet.H(1).Top, 91);
  EXPECT_EQ(sheet.H(1).Memo, std::vector<std::string>{"H = 50"});
  EXPECT_EQ(sheet.W(1).Left, 99);
  EXPECT_EQ(sheet.W(1).Top, 106);
  EXPECT_EQ(sheet.W(1).Memo, std::vector<std::string>{"W = 50"});
  EXPECT_EQ(sheet.Shape(2).Top, 217);
  EXPECT_EQ(sheet.Shape(2).Left, 27);
  for (int i = 3; i <= 7; ++i) {
    EXPECT_EQ(sheet.Shape(i).Visible, 0);
    EXPECT_EQ(sheet.W(i).Visible, 0);
    EXPECT_EQ(sheet.H(i).Visible, 0);
  }
}

TEST(SheetLayout, CentringUsesHalfThePageWidth) {
  RecordingSheet sheet;
  SheetSettings s;
  s.Centre = true;
  LayOutSheet(s, sheet);
  EXPECT_EQ(sheet.Shape(1).Left, 288);
  EXPECT_EQ(sheet.Shape(2).Left, 288);
}

TEST(SheetLayout, OnlyWhatFitsIsShownAndEarlierSlotsAreHidden) {
  RecordingSheet sheet;
  SheetSettings s;
  s.Count = 7;
  EXPECT_EQ(LayOutSheet(s, sheet), 5);
  EXPECT_EQ(sheet.Shape(5).Top, 820);
  EXPECT_EQ(sheet.Shape(6).Visible, 0);
  s.Count = 1;
  EXPECT_EQ(LayOutSheet(s, sheet), 1);
  EXPECT_EQ(sheet.ShownShapes(), 1) << "slots of the earlier press are hidden";
  s.Count = 9;
  s.Height = 10;
  EXPECT_EQ(LayOutSheet(s, sheet), 7) << "never past the seventh slot";
}

TEST(SheetLayout, NothingFitsGivesAnEmptySheet) {
  RecordingSheet sheet;
  SheetSettings s;
  s.Height = 300;  // 1086 pixels: more than 1073 - 2 * 16
  EXPECT_EQ(LayOutSheet(s, sheet), 0);
  EXPECT_EQ(sheet.ShownShapes(), 0);
  s.Height = 50;
  s.Count = 0;
  EXPECT_EQ(LayOutSheet(s, sheet), 0);
}

TEST(SheetLayout, AdjustedTriangleTakesItsHeightFromTheWidth) {
  RecordingSheet sheet;
  SheetSettings s;
  s.ShapeIndex = 3;
  s.AdjustTriangle = true;
  s.Count = 3;
  LayOutSheet(s, sheet);
  EXPECT_EQ(sheet.Shape(1).ShapeKind, skTriangle);
  EXPECT_EQ(sheet.Shape(1).Height, 155);
  EXPECT_EQ(sheet.H(1).Memo, std::vector<std::string>{"H = 43"});
  EXPECT_EQ(sheet.Shape(2).Top, 16 + 155 + 20);
  EXPECT_EQ(sheet.H(1).Top, 16 + 77 - 15);
  s.AdjustTriangle = false;
  LayOutSheet(s, sheet);
  EXPECT_EQ(sheet.Shape(1).Height, 181);
}

TEST(SheetLayout, CornerValueForPreviewAndPrinter) {
  SheetSettings s;
  s.RndCnr = 5;
  s.Preview = true;
  EXPECT_EQ(CornerValue(s), 36);
  s.Preview = false;
  EXPECT_EQ(CornerValue(s), 131);
  s.Adjust = 1.5;
  EXPECT_EQ(CornerValue(s), 185);
  s.ShapeIndex = 1;
  EXPECT_EQ(ShapeTagText(s), "5;185;1;0;50;0");
}

TEST(SheetLayout, ShapeIndexMapsToKinds) {
  EXPECT_EQ(ShapeKindOfIndex(0), skRectangle);
  EXPECT_EQ(ShapeKindOfIndex(3), skTriangle);
  EXPECT_EQ(ShapeKindOfIndex(4), skPolygon);
  EXPECT_EQ(ShapeKindOfIndex(5), skStar);
  EXPECT_EQ(ShapeKindOfIndex(-1), 255);
}

TEST(SheetLayout, FractionalWidthCaptionAndParameters) {
  RecordingSheet sheet;
  SheetSettings s;
  s.Width = 50.5;
  s.ShapeIndex = 5;
  s.Sides = 7.9;
  s.Angle = -90;
  s.Skew = 12;
  s.BrushIndex = 0;
  LayOutSheet(s, sheet);
  EXPECT_EQ(sheet.W(1).Memo, std::vector<std::string>{"W = 50.5"});
  EXPECT_EQ(sheet.Shape(1).Width, 182);
  EXPECT_EQ(sheet.Shape(1).Tag, "7;0;0;-90;50;12");
}

TEST(PrintAction, PreviewOrPrintPageOneOnce) {
  RecordingSheet sheet;
  SheetSettings s;
  s.Preview = true;
  RunPrintAction(s, sheet);
  s.Preview = false;
  RunPrintAction(s, sheet);
  EXPECT_EQ(sheet.calls,
            (std::vector<std::string>{"PrepareAndPreview", "Prepare", "PrintPrepared 1 1 0 0"}));
}

TEST(SpinReading, TextThatIsNotANumberReadsAsTheMinimum) {
  EXPECT_EQ(ReadDecimalSpin("abc", kSpins[spnGap]), 5);
  EXPECT_EQ(ReadDecimalSpin("", kSpins[spnWidth]), 10);
  EXPECT_EQ(ReadDecimalSpin("900", kSpins[spnWidth]), 900) << "not clamped";
  EXPECT_EQ(ReadDecimalSpin("2.5", kSpins[spnRndCnr]), 2.5);
  EXPECT_EQ(ReadIntegerSpin("x", kSpins[spnAngle]), -359);
  EXPECT_EQ(ClampIntegerSpin(500, kSpins[spnAngle]), 359);
  EXPECT_EQ(ClampIntegerSpin(-500, kSpins[spnInnerPc]), -100);
}

// A template that lost an object fails loudly with the engine's error,
// naming the object, before anything is printed.
class SheetWithoutHeight4 : public RecordingSheet {
 public:
  TfrView* FindView(std::string_view name) override {
    return name == "Height4" ? nullptr : RecordingSheet::FindView(name);
  }
};

TEST(SheetLayout, AMissingObjectIsAnEngineErrorNamingIt) {
  SheetWithoutHeight4 sheet;
  SheetSettings s;
  try {
    LayOutSheet(s, sheet);
    FAIL() << "no error";
  } catch (const EngineError& e) {
    EXPECT_STREQ(e.what(), "The sheet template has no object \"Height4\"");
  }
}

}  // namespace
}  // namespace quillet
