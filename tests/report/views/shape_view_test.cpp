// Shape parameters, pens and brushes, and failures while drawing.
#include "report/views/shape_view.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/errors.h"
#include "platform/recording_canvas.h"
#include "platform/stream.h"
#include "report/base/engine_state.h"
#include "tests/report/base/record_support.h"

namespace quillet {
namespace {

class ShapeDraw : public ::testing::Test {
 protected:
  void SetUp() override {
    Prep().RenderActive = true;
    v.SetGeometry(0, 0, 100, 100);
  }
  const CanvasOp& Draw(std::uint8_t kind, const std::string& tag) {
    v.ShapeKind = kind;
    v.Tag = tag;
    canvas.Clear();
    v.Draw(canvas);
    return canvas.Ops().back();
  }
  TfrShapeView v;
  RecordingCanvas canvas;
};

TEST_F(ShapeDraw, EmptyTagBecomesDefaultsAndIsKept) {
  const CanvasOp& op = Draw(skPolygon, "");
  EXPECT_EQ(v.Tag, "0;0;0;0;0;0");
  EXPECT_EQ(op.points.size(), 5u);
  EXPECT_EQ(op.brush.style, BrushStyle::Solid);
  EXPECT_EQ(Draw(skRoundRectangle, "").cornerW, 25);
}

TEST_F(ShapeDraw, MissingSeparatorsAreAppended) {
  Draw(skRectangle, "7");
  EXPECT_EQ(v.Tag, "7;0;0;0;0;0");
  EXPECT_THROW(Draw(skRectangle, "7;;"), ConversionError);
  EXPECT_EQ(v.Tag, "7;;;0;0;0");
}

TEST_F(ShapeDraw, BadFieldStopsBeforeAnyFigureWithTheFieldText) {
  v.ShapeKind = skEllipse;
  v.Tag = "5;x1;0;0;0;0";
  try {
    v.Draw(canvas);
    FAIL();
  } catch (const ConversionError& e) {
    EXPECT_STREQ(e.what(), "'x1' is not a valid integer value");
  }
  EXPECT_TRUE(canvas.Ops().empty());
  EXPECT_EQ(v.Left, 0);
  EXPECT_EQ(v.Width, 100) << "geometry is restored after the failure";
}

TEST_F(ShapeDraw, AnglesOutsideAFullTurnBecomeZero) {
  Draw(skPolygon, "4;0;1;400;0;0");
  EXPECT_EQ(v.ShapeAngle, 0);
  Draw(skPolygon, "4;0;1;-361;0;0");
  EXPECT_EQ(v.ShapeAngle, 0);
  Draw(skPolygon, "4;0;1;360;0;0");
  EXPECT_EQ(v.ShapeAngle, 360);
  Draw(skPolygon, "4;0;1;-360;0;0");
  EXPECT_EQ(v.ShapeAngle, -360);
}

TEST_F(ShapeDraw, BrushStyleRules) {
  EXPECT_EQ(Draw(skEllipse, "0;0;2;0;0;0").brush.style, BrushStyle::Clear);
  EXPECT_EQ(Draw(skEllipse, "0;0;-1;0;0;0").brush.style, BrushStyle::Clear);
  const CanvasOp& white = Draw(skEllipse, "0;0;0;0;0;0");
  EXPECT_EQ(white.brush.style, BrushStyle::Solid);
  EXPECT_EQ(white.brush.color, clWhite) << "no fill colour fills white";
  v.FillColor = MakeColor(0, 0, 255);
  EXPECT_EQ(Draw(skEllipse, "0;0;0;0;0;0").brush.color, MakeColor(0, 0, 255));
}

TEST_F(ShapeDraw, PenComesFromFrameWidthAndColour) {
  v.FrameWidth = 3;
  v.FrameColor = MakeColor(255, 0, 0);
  v.DeviceScaleX = v.DeviceScaleY = 2;
  const CanvasOp& op = Draw(skRectangle, "");
  EXPECT_EQ(op.pen.width, 6);
  EXPECT_EQ(op.pen.color, MakeColor(255, 0, 0));
  EXPECT_EQ(op.rect, (Rect{0, 0, 201, 201}));
}

TEST_F(ShapeDraw, RectangleEllipseAndLinesUseTheFarEdges) {
  EXPECT_EQ(Draw(skRectangle, "").rect, (Rect{0, 0, 101, 101}));
  EXPECT_EQ(Draw(skEllipse, "").rect, (Rect{0, 0, 101, 101}));
  using P = std::vector<Point>;
  EXPECT_EQ(Draw(skDiagonal1, "").points, (P{{0, 100}, {100, 0}}));
  EXPECT_EQ(Draw(skDiagonal2, "").points, (P{{0, 0}, {100, 100}}));
  EXPECT_EQ(Draw(skLineH, "").points, (P{{0, 0}, {100, 0}}));
  EXPECT_EQ(Draw(skLineV, "").points, (P{{0, 0}, {0, 100}}));
}

TEST_F(ShapeDraw, RoundRectangleCornerDefaultsToAQuarterOfTheShorterSide) {
  v.SetGeometry(0, 0, 100, 60);
  const CanvasOp& op = Draw(skRoundRectangle, "0;0;0;0;0;0");
  EXPECT_EQ(op.cornerW, 15);
  EXPECT_EQ(op.cornerH, 15);
  EXPECT_EQ(Draw(skRoundRectangle, "0;36;0;0;0;0").cornerW, 36) << "used unscaled";
}

TEST_F(ShapeDraw, UnknownKindDrawsOnlyTheFrame) {
  v.ShapeKind = 42;
  v.FrameTyp = frTop;
  v.Draw(canvas);
  ASSERT_EQ(canvas.Ops().size(), 1u);
  EXPECT_EQ(canvas.Ops()[0].kind, OpKind::Line);
}

TEST_F(ShapeDraw, NegativeSidesRaiseRangeError) {
  EXPECT_THROW(Draw(skPolygon, "-3;0;0;0;0;0"), RangeError);
  EXPECT_THROW(Draw(skStar, "-3;0;0;0;0;0"), RangeError);
  Draw(skRectangle, "-3;0;0;0;0;0");  // unused by other kinds
}

TEST_F(ShapeDraw, HugeSidesAreBoundedByWhatTheDeviceCanShow) {
  const CanvasOp& poly = Draw(skPolygon, "2000000000;0;0;0;0;0");
  EXPECT_EQ(poly.points.size(), std::size_t(MaxVisibleSides(50, 50)));
  EXPECT_LT(poly.points.size(), 2000u);
  const CanvasOp& star = Draw(skStar, "2000000000;0;0;0;50;0");
  EXPECT_EQ(star.points.size(), 2 * std::size_t(MaxVisibleSides(50, 50)));
  EXPECT_EQ(Draw(skPolygon, "50;0;0;0;0;0").points.size(), 50u) << "usual counts are untouched";
}

TEST_F(ShapeDraw, DegenerateSidesStillAskTheCanvas) {
  EXPECT_EQ(Draw(skPolygon, "1;0;0;0;0;0").points.size(), 1u);
  EXPECT_EQ(Draw(skStar, "2;0;0;0;0;0").points.size(), 4u);
}

TEST_F(ShapeDraw, StarHalfAngleIsWholeDegrees) {
  // n = 7: half = Round(180 / 7) = 26 degrees, not 25.714...
  const CanvasOp& op = Draw(skStar, "7;0;0;0;100;0");
  const double rad = 26 * 3.14159265358979 / 180;
  EXPECT_EQ(op.points[1], (Point{50 + int(std::lround(50 * std::cos(rad))),
                                 50 + int(std::lround(50 * std::sin(rad)))}));
}

TEST(ShapeRecord, WritesTheBaseRecordThenTheKindByte) {
  TfrShapeView v;
  v.Name = "Shape1";
  v.SetGeometry(27, 16, 181, 181);
  v.ShapeKind = skStar;
  v.Tag = "5;0;1;0;50;0";
  v.FrameWidth = 1.5f;
  MemoryStream out;
  test::WriteRecordAt(v, out);
  EXPECT_EQ(out.Bytes().back(), skStar);
  TfrShapeView back;
  out.Seek(0);
  test::ReadRecordAt(back, out);
  EXPECT_TRUE(out.AtEnd());
  EXPECT_EQ(back.Name, "Shape1");
  EXPECT_EQ(back.Tag, "5;0;1;0;50;0");
  EXPECT_EQ(back.ShapeKind, skStar);
  EXPECT_EQ(back.FrameWidth, 1.5f);
  EXPECT_EQ(back.Left, 27);
  MemoryStream again;
  test::WriteRecordAt(back, again);
  EXPECT_EQ(again.Bytes(), out.Bytes());
}

}  // namespace
}  // namespace quillet
