// Device coordinates, background, frame and frame region of the view base.
#include <gtest/gtest.h>

#include "platform/errors.h"
#include "platform/recording_canvas.h"
#include "report/base/engine_state.h"
#include "report/views/view.h"

namespace quillet {
namespace {

// The smallest concrete view: background and frame only.
class PlainView : public TfrView {
 public:
  std::unique_ptr<TfrView> Create() const override { return std::make_unique<PlainView>(); }
  std::string ClassName() const override { return "PlainView"; }
  void Draw(Canvas& canvas) override {
    AttachCanvas(&canvas);
    WorkText = Memo;
    PrepareDraw();
    DrawBackground();
    DrawFrame();
    RestoreCoords();
  }
};

class ViewGeometry : public ::testing::Test {
 protected:
  void SetUp() override {
    Prep().RenderActive = true;
    Prep().CountingPass = false;
    Prep().ActivePage = nullptr;
    v.SetGeometry(10, 20, 30, 40);
  }
  PlainView v;
};

TEST_F(ViewGeometry, ScaleOneThinFrameNoSides) {
  v.PrepareDraw();
  EXPECT_EQ(v.DrawRect, (Rect{10, 20, 41, 61}));
  EXPECT_EQ(v.GapX, 2);
  EXPECT_EQ(v.GapY, 1);
  v.RestoreCoords();
}

TEST_F(ViewGeometry, ThickFrameOnAllSidesInsetsTheRectAndWidensGaps) {
  v.FrameWidth = 3;
  v.FrameTyp = frAllSides;
  v.PrepareDraw();
  EXPECT_EQ(v.DrawRect, (Rect{11, 21, 39, 59}));
  EXPECT_EQ(v.GapX, 4);
  EXPECT_EQ(v.GapY, 2);
  v.RestoreCoords();
  EXPECT_EQ(v.GapX, 2);
  EXPECT_EQ(v.FrameWidth, 3.0f);
}

TEST_F(ViewGeometry, FarEdgesComeFromUnscaledSums) {
  v.SetGeometry(3, 0, 3, 10);
  v.DeviceScaleX = v.DeviceScaleY = 0.5;
  v.PrepareDraw();
  EXPECT_EQ(v.Left, 2);
  EXPECT_EQ(v.Width, 2);
  EXPECT_EQ(v.DrawRect.right, 4) << "not Left + Width + 1 = 5";
  v.RestoreCoords();
  EXPECT_EQ(v.Left, 3);
  EXPECT_EQ(v.Width, 3);
}

TEST_F(ViewGeometry, ScaleAndOffsetApplyAndAreIgnoredWhileLoading) {
  v.DeviceScaleX = 2.5;
  v.DeviceScaleY = 2.5;
  v.DeviceOffsetX = 100;
  v.DeviceOffsetY = 7;
  v.PrepareDraw();
  EXPECT_EQ(v.Left, 125);
  EXPECT_EQ(v.Top, 57);
  EXPECT_EQ(v.Width, 75);
  EXPECT_EQ(v.DrawRect, (Rect{125, 57, 201, 158}));
  v.RestoreCoords();
  Prep().RenderActive = false;
  v.PrepareDraw();
  EXPECT_EQ(v.Left, 10) << "scale and offset reset to 1 and 0 when not rendering";
  v.RestoreCoords();
}

TEST_F(ViewGeometry, TransparentUnframedViewDrawsNothingAndLeavesBrushWhite) {
  RecordingCanvas c;
  c.SetBrushColor(MakeColor(1, 2, 3));
  v.Draw(c);
  EXPECT_TRUE(c.Ops().empty());
  EXPECT_EQ(c.GetBrush().color, clWhite);
}

TEST_F(ViewGeometry, FilledBackgroundCoversLeftTopToFarEdges) {
  RecordingCanvas c;
  v.FillColor = MakeColor(10, 20, 30);
  v.Draw(c);
  ASSERT_EQ(c.Ops().size(), 1u);
  EXPECT_EQ(c.Ops()[0].kind, OpKind::FillRect);
  EXPECT_EQ(c.Ops()[0].rect, (Rect{10, 20, 40, 60}));
  EXPECT_EQ(c.Ops()[0].brush.color, MakeColor(10, 20, 30));
}

TEST_F(ViewGeometry, CountingPassDrawsNothing) {
  RecordingCanvas c;
  v.FillColor = clBlack;
  v.FrameTyp = frAllSides;
  Prep().CountingPass = true;
  v.Draw(c);
  Prep().CountingPass = false;
  EXPECT_TRUE(c.Ops().empty());
}

TEST_F(ViewGeometry, SolidFrameSidesInOrderRightLeftBottomTop) {
  RecordingCanvas c;
  v.FrameTyp = frAllSides;
  v.FrameColor = MakeColor(200, 0, 0);
  v.Draw(c);
  ASSERT_EQ(c.Ops().size(), 4u);
  using P = std::vector<Point>;
  EXPECT_EQ(c.Ops()[0].points, (P{{40, 20}, {40, 60}}));
  EXPECT_EQ(c.Ops()[1].points, (P{{10, 20}, {10, 60}}));
  EXPECT_EQ(c.Ops()[2].points, (P{{10, 60}, {40, 60}}));
  EXPECT_EQ(c.Ops()[3].points, (P{{10, 20}, {40, 20}}));
  EXPECT_EQ(c.Ops()[0].pen.color, MakeColor(200, 0, 0));
  EXPECT_EQ(c.Ops()[0].pen.width, 1);
}

TEST_F(ViewGeometry, DashedFrameIsParallelOnePixelLines) {
  RecordingCanvas c;
  v.FrameTyp = frTop;
  v.FrameWidth = 3;
  v.FrameStyle = fsDash;
  v.Draw(c);
  ASSERT_EQ(c.Ops().size(), 3u);
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(c.Ops()[k].pen.width, 1);
    EXPECT_EQ(c.Ops()[k].pen.style, PenStyle::Dash);
    EXPECT_EQ(c.Ops()[k].points[0].y, 20 + k - 1);
  }
  EXPECT_EQ(c.GetPen().width, 3) << "the pen width comes back";
}

TEST_F(ViewGeometry, DoubleFrameIsThreeLinesOuterMiddleInner) {
  RecordingCanvas c;
  v.FrameTyp = frLeft;
  v.FrameWidth = 2;
  v.FrameStyle = fsDouble;
  v.FillColor = MakeColor(0, 255, 0);
  v.Draw(c);
  const auto& ops = c.Ops();
  ASSERT_EQ(ops.size(), 4u);  // background, then three lines
  EXPECT_EQ(ops[1].points[0].x, 8);
  EXPECT_EQ(ops[2].points[0].x, 10);
  EXPECT_EQ(ops[2].pen.color, MakeColor(0, 255, 0));
  EXPECT_EQ(ops[3].points[0].x, 12);
  EXPECT_EQ(ops[3].pen.color, clBlack);
  EXPECT_EQ(ops[1].pen.style, PenStyle::Solid);
}

TEST_F(ViewGeometry, FrameRegionGrowsByFramedSidesAndInflation) {
  v.FrameWidth = 3;
  v.FrameTyp = frLeft | frBottom;
  EXPECT_EQ(v.FrameRegion(false), (Rect{8, 20, 41, 62}));
  EXPECT_EQ(v.FrameRegion(true), (Rect{-2, 10, 51, 72}));
  v.FrameStyle = fsDouble;
  EXPECT_EQ(v.FrameRegion(false), (Rect{6, 20, 41, 65}));
}

TEST_F(ViewGeometry, BaseViewWithoutDrawRaisesAbstractError) {
  struct Bare : TfrView {
    std::unique_ptr<TfrView> Create() const override { return nullptr; }
    std::string ClassName() const override { return "Bare"; }
  } bare;
  RecordingCanvas c;
  EXPECT_THROW(bare.Draw(c), AbstractError);
}

}  // namespace
}  // namespace quillet

namespace quillet {
namespace {

TEST(ViewExtremes, HugeValuesSaturateInsteadOfWrapping) {
  Prep().RenderActive = true;
  PlainView v;
  v.SetGeometry(2000000000, 2000000000, 2000000000, 10);
  v.DeviceScaleX = v.DeviceScaleY = 3;
  v.DeviceOffsetX = 2000000000;
  v.FrameTyp = frAllSides;
  v.PrepareDraw();
  EXPECT_EQ(v.Left, 2147483647);
  EXPECT_GT(v.DrawRect.right, v.DrawRect.left - 10) << "no wrap to a negative edge";
  v.RestoreCoords();
  EXPECT_EQ(v.Left, 2000000000);
}

TEST(ViewExtremes, DashedFrameOfAbsurdWidthDrawsABoundedNumberOfLines) {
  Prep().RenderActive = true;
  PlainView v;
  v.SetGeometry(0, 0, 10, 10);
  v.FrameTyp = frTop;
  v.FrameStyle = fsDot;
  v.FrameWidth = 1.1e6f;
  RecordingCanvas c;
  v.Draw(c);
  EXPECT_EQ(c.Ops().size(), 1024u);
}

}  // namespace
}  // namespace quillet
