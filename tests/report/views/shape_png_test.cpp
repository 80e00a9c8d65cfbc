// Writes every shape kind at scale 1 and at 2.5 with an offset into a PNG,
// and checks a few pixels where the rasterisation matters.
#include <gtest/gtest.h>

#include "platform/qt/qt_canvas.h"
#include "report/base/engine_state.h"
#include "report/views/shape_view.h"
#include "tests/support.h"

namespace quillet {
namespace {

void DrawAllKinds(Canvas& canvas, double scale, int dx, int dy) {
  struct Cell {
    std::uint8_t kind;
    const char* tag;
    Color fill;
  };
  const Cell cells[] = {
      {skRectangle, "0;0;0;0;0;0", MakeColor(255, 230, 200)},
      {skRoundRectangle, "0;0;0;0;0;0", MakeColor(200, 230, 255)},
      {skEllipse, "0;0;1;0;0;0", clNone},
      {skTriangle, "0;0;0;0;0;0", MakeColor(220, 255, 220)},
      {skDiagonal1, "", clNone},
      {skDiagonal2, "", clNone},
      {skPolygon, "6;0;0;0;0;0", MakeColor(255, 255, 180)},
      {skLineH, "", clNone},
      {skLineV, "", clNone},
      {skStar, "5;0;0;-90;50;0", MakeColor(255, 200, 200)},
      {skStar, "7;0;1;0;40;10", clNone},
      {skStar, "5;0;0;-90;-50;0", MakeColor(200, 200, 255)},
  };
  int i = 0;
  for (const Cell& c : cells) {
    TfrShapeView v;
    v.ShapeKind = c.kind;
    v.Tag = c.tag;
    v.FillColor = c.fill;
    v.FrameWidth = 2;
    v.FrameColor = MakeColor(0, 0, 128);
    v.SetGeometry(10 + (i % 4) * 60, 10 + (i / 4) * 60, 50, 50);
    v.DeviceScaleX = v.DeviceScaleY = scale;
    v.DeviceOffsetX = dx;
    v.DeviceOffsetY = dy;
    v.Draw(canvas);
    ++i;
  }
}

TEST(ShapePicture, EveryKindAtTwoScales) {
  Prep().RenderActive = true;
  QtImageCanvas canvas(900, 700);
  DrawAllKinds(canvas, 1.0, 0, 0);
  DrawAllKinds(canvas, 2.5, 260, 10);
  const QImage& img = canvas.Image();
  ASSERT_TRUE(img.save(QString::fromStdString(test::OutputPath("shapes.png"))));
  // The filled rectangle at scale 1: outline on its edge, fill inside.
  EXPECT_EQ(img.pixel(35, 35), qRgb(255, 230, 200));
  EXPECT_EQ(img.pixel(10, 35), qRgb(0, 0, 128));
  // The same rectangle at 2.5 with offset (260, 10): left edge at x = 285.
  EXPECT_EQ(img.pixel(285, 90), qRgb(0, 0, 128));
  EXPECT_EQ(img.pixel(320, 90), qRgb(255, 230, 200));
  // The clear ellipse leaves its inside white.
  EXPECT_EQ(img.pixel(155, 35), qRgb(255, 255, 255)) << "ellipse cell";
}

}  // namespace
}  // namespace quillet
