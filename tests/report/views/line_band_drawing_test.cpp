// Exact drawing operations of line views, band strips and sub-report boxes,
// and the regions they claim.
#include <gtest/gtest.h>

#include "platform/recording_canvas.h"
#include "report/base/engine_state.h"
#include "report/views/band_view.h"
#include "report/views/line_view.h"
#include "report/views/subreport_view.h"

namespace quillet {
namespace {

using Pts = std::vector<Point>;

struct Rendering {
  Rendering() { Prep().RenderActive = true; }
  ~Rendering() { Prep().RenderActive = true; }
};

TEST(LineView, DrawsAlongTheLongerSideAndCollapsesTheOther) {
  Rendering r;
  {
    RecordingCanvas c;
    TfrLineView line;
    line.SetGeometry(10, 20, 100, 1);
    line.Draw(c);
    ASSERT_EQ(c.Ops().size(), 1u);
    EXPECT_EQ(c.Ops()[0].kind, OpKind::Line);
    EXPECT_EQ(c.Ops()[0].points, (Pts{{10, 20}, {110, 20}}));
    EXPECT_EQ(c.Ops()[0].pen, (Pen{clBlack, 1, PenStyle::Solid, PenMode::Copy}));
    EXPECT_EQ(line.Height, 0);
    EXPECT_EQ(line.Width, 100);
    EXPECT_EQ(line.FrameTyp, frTop);
  }
  {
    RecordingCanvas c;
    TfrLineView line;
    line.SetGeometry(10, 20, 1, 100);
    line.Draw(c);
    ASSERT_EQ(c.Ops().size(), 1u);
    EXPECT_EQ(c.Ops()[0].points, (Pts{{10, 20}, {10, 120}}));
    EXPECT_EQ(line.Width, 0);
    EXPECT_EQ(line.Height, 100);
    EXPECT_EQ(line.FrameTyp, frLeft);
  }
  {
    // A square draws a vertical line.
    RecordingCanvas c;
    TfrLineView line;
    line.SetGeometry(0, 0, 30, 30);
    line.Draw(c);
    EXPECT_EQ(c.Ops().at(0).points, (Pts{{0, 0}, {0, 30}}));
  }
}

TEST(LineView, DeviceScaleOffsetColourAndWidth) {
  Rendering r;
  RecordingCanvas c;
  TfrLineView line;
  line.SetGeometry(10, 20, 100, 3);
  line.FrameColor = 0x0000FF;
  line.FrameWidth = 2;
  line.DeviceScaleX = line.DeviceScaleY = 2.0;
  line.DeviceOffsetX = 5;
  line.DeviceOffsetY = 7;
  line.Draw(c);
  ASSERT_EQ(c.Ops().size(), 1u);
  EXPECT_EQ(c.Ops()[0].points, (Pts{{25, 47}, {225, 47}}));
  EXPECT_EQ(c.Ops()[0].pen.width, 4);
  EXPECT_EQ(c.Ops()[0].pen.color, 0x0000FFu);
  EXPECT_EQ(line.FrameWidth, 2);  // the template value comes back
  EXPECT_EQ(line.Left, 10);
}

TEST(LineView, DoubleStyleDrawsThreeStrokes) {
  Rendering r;
  RecordingCanvas c;
  TfrLineView line;
  line.SetGeometry(0, 50, 80, 0);
  line.FrameStyle = fsDouble;
  line.FrameWidth = 2;
  line.Draw(c);
  ASSERT_EQ(c.Ops().size(), 3u);
  EXPECT_EQ(c.Ops()[0].points, (Pts{{0, 48}, {80, 48}}));
  EXPECT_EQ(c.Ops()[1].points, (Pts{{0, 50}, {80, 50}}));
  EXPECT_EQ(c.Ops()[1].pen.color, clWhite);  // the fill colour between the strokes
  EXPECT_EQ(c.Ops()[2].points, (Pts{{0, 52}, {80, 52}}));
}

TEST(LineView, RegionWidensAcrossTheLine) {
  TfrLineView v;
  v.SetGeometry(10, 20, 0, 100);
  v.FrameWidth = 3;
  EXPECT_EQ(v.FrameRegion(false), (Rect{9, 20, 12, 121}));
  EXPECT_EQ(v.FrameRegion(true), (Rect{-1, 10, 22, 131}));
  v.FrameTyp = frTop;
  v.SetGeometry(10, 20, 100, 0);
  v.FrameStyle = fsDouble;
  v.FrameWidth = 2;
  // outer Trunc(3) = 3, inner Trunc(Trunc(0.5) + 2) = 2.
  EXPECT_EQ(v.FrameRegion(false), (Rect{10, 17, 111, 23}));
  v.FrameWidth = 0.5f;
  v.FrameStyle = fsSolid;
  EXPECT_EQ(v.FrameRegion(false), (Rect{10, 20, 111, 21}));
}

TEST(LineView, StretchingContract) {
  TfrLineView v;
  v.SetGeometry(0, 0, 1, 77);
  EXPECT_EQ(v.CalcHeight(), 77);
  EXPECT_EQ(v.LeastPieceHeight(), 1);
  EXPECT_EQ(v.LeftoverHeight(), 0);
}

TEST(BandView, EditorStripWithTitleAndColumns) {
  Prep().RenderActive = false;
  RecordingCanvas c;
  TfrBandView band;
  band.FrameTyp = btMasterData;
  band.SetGeometry(7, 50, 300, 40);
  band.FrameWidth = 3;
  band.Columns = 2;
  band.ColumnWidth = 100;
  band.ColumnGap = 20;
  band.EditPageWidth = 500;
  band.Draw(c);
  Prep().RenderActive = true;
  ASSERT_EQ(c.Ops().size(), 4u);
  EXPECT_EQ(c.Ops()[0].kind, OpKind::Rectangle);
  EXPECT_EQ(c.Ops()[0].rect, (Rect{0, 50, 501, 91}));
  EXPECT_EQ(c.Ops()[0].pen.color, clBtnFace);
  EXPECT_EQ(c.Ops()[0].brush.style, BrushStyle::Clear);
  EXPECT_EQ(c.Ops()[1].rect, (Rect{0, 50, 101, 91}));
  EXPECT_EQ(c.Ops()[1].pen.style, PenStyle::Dot);
  EXPECT_EQ(c.Ops()[2].rect, (Rect{120, 50, 221, 91}));
  EXPECT_EQ(c.Ops()[3].kind, OpKind::Text);
  EXPECT_EQ(c.Ops()[3].text, "Master data");
  EXPECT_EQ(c.Ops()[3].points, (Pts{{4, 52}}));
  EXPECT_EQ(c.Ops()[3].font.name, "Arial");
  EXPECT_EQ(c.Ops()[3].font.height, 11);
  EXPECT_EQ(band.FrameWidth, 1);
  EXPECT_EQ(band.Left, 0);
  EXPECT_EQ(band.Width, 500);
}

TEST(BandView, HostileColumnCountDrawsOnlyTheStrip) {
  Prep().RenderActive = false;
  RecordingCanvas c;
  TfrBandView band;
  band.SetGeometry(0, 0, 300, 40);
  band.Columns = 0x7FFFFFFF;
  band.ColumnWidth = 100;
  band.ColumnGap = 0;
  band.Draw(c);
  band.ColumnWidth = -5;
  band.Draw(c);
  // A strip two thousand million pixels wide with a column every pixel:
  // found by fuzzing, it ran out of memory.
  band.SetGeometry(0, 0, 0x7FFFFF00, 40);
  band.ColumnWidth = 0;
  band.ColumnGap = 1;
  band.Draw(c);
  Prep().RenderActive = true;
  // Rectangle, columns at 0, 100, 200, 300, title; then rectangle, one
  // column, title; then rectangle, 4096 columns, title.
  EXPECT_EQ(c.Ops().size(), 6u + 3u + 4098u);
}

// Answers every text width with a fixed number, to test the title rule.
class FixedWidthCanvas : public RecordingCanvas {
 public:
  int width = 0;
  Font lastFont;

 protected:
  int OnTextWidth(std::string_view, const TextState& s) override {
    lastFont = s.font;
    return width;
  }
};

TEST(BandView, TitleWidthAndTitleTabRegion) {
  FixedWidthCanvas m;
  Canvas* saved = Engine().MeasuringCanvas;
  Engine().MeasuringCanvas = &m;
  TfrBandView band;
  band.FrameTyp = btPageFooter;
  for (auto [w, expected] : {std::pair{0, 100}, {91, 100}, {92, 100}, {95, 103}, {300, 308}}) {
    m.width = w;
    EXPECT_EQ(band.TitleWidth(), expected) << w;
  }
  EXPECT_EQ(m.lastFont.name, "Arial");
  EXPECT_EQ(m.lastFont.height, 11);
  EXPECT_EQ(m.lastFont.style, 0);

  m.width = 95;
  band.SetGeometry(0, 100, 400, 30);
  EXPECT_EQ(band.FrameRegion(false), (Rect{0, 100, 401, 131}));
  band.TitlesOutside = true;
  EXPECT_EQ(band.FrameRegion(false), (Rect{0, 82, 401, 131}));
  band.FrameTyp = btCrossData;
  band.SetGeometry(50, 0, 40, 20);
  EXPECT_EQ(band.FrameRegion(false), (Rect{32, 0, 91, 103}));
  EXPECT_EQ(band.FrameRegion(true), (Rect{22, -10, 101, 113}));
  Engine().MeasuringCanvas = saved;
}

TEST(BandView, TypeNames) {
  EXPECT_EQ(BandTypeName(btReportTitle), "Report title");
  EXPECT_EQ(BandTypeName(btSubDetailFooter), "Subdetail footer");
  EXPECT_EQ(BandTypeName(btChild), "Child");
  EXPECT_EQ(BandTypeName(btNone), "None");
  EXPECT_EQ(BandTypeName(23), "");
  EXPECT_TRUE(IsCrossBand(btCrossHeader) && IsCrossBand(btCrossFooter));
  EXPECT_FALSE(IsCrossBand(btChild) || IsCrossBand(btGroupFooter));
}

TEST(SubReportView, EditorBoxWithClippedName) {
  Rendering r;
  RecordingCanvas c;
  TfrSubReportView sub;
  sub.Name = "SubReport1";
  sub.SetGeometry(10, 20, 100, 50);
  sub.FrameWidth = 4;
  sub.Draw(c);
  ASSERT_EQ(c.Ops().size(), 2u);
  EXPECT_EQ(c.Ops()[0].kind, OpKind::Rectangle);
  EXPECT_EQ(c.Ops()[0].rect, (Rect{10, 20, 111, 71}));
  EXPECT_EQ(c.Ops()[0].pen, (Pen{clBlack, 1, PenStyle::Solid, PenMode::Copy}));
  EXPECT_EQ(c.Ops()[0].brush, (Brush{clWhite, BrushStyle::Solid}));
  EXPECT_EQ(c.Ops()[1].kind, OpKind::Text);
  EXPECT_EQ(c.Ops()[1].text, "SubReport1");
  EXPECT_EQ(c.Ops()[1].points, (Pts{{12, 22}}));
  EXPECT_TRUE(c.Ops()[1].hasClip);
  EXPECT_EQ(c.Ops()[1].clip, (Rect{10, 20, 111, 71}));
  EXPECT_EQ(c.Ops()[1].options, etoClipped);
  EXPECT_EQ(sub.FrameWidth, 1);
}

}  // namespace
}  // namespace quillet
