// Exact point lists of the shape kinds at scale 1, offset 0, 100 x 100.
#include <gtest/gtest.h>

#include "platform/errors.h"
#include "platform/recording_canvas.h"
#include "report/base/engine_state.h"
#include "report/views/shape_view.h"

namespace quillet {
namespace {

struct DrawnShape {
  RecordingCanvas canvas;
  TfrShapeView view;
  DrawnShape(std::uint8_t kind, const std::string& tag, int w = 100, int h = 100) {
    Prep().RenderActive = true;
    view.ShapeKind = kind;
    view.Tag = tag;
    view.SetGeometry(0, 0, w, h);
    view.Draw(canvas);
  }
  const CanvasOp& Figure() const { return canvas.Ops().back(); }
};

using Pts = std::vector<Point>;

TEST(ShapePoints, TriangleApexAtTopCentre) {
  DrawnShape s(skTriangle, "0;0;1;0;0;0");
  EXPECT_EQ(s.Figure().kind, OpKind::Polygon);
  EXPECT_EQ(s.Figure().points, (Pts{{100, 100}, {0, 100}, {50, 0}, {100, 100}}));
}

TEST(ShapePoints, RegularPolygons) {
  EXPECT_EQ(DrawnShape(skPolygon, "4;0;1;0;0;0").Figure().points,
            (Pts{{100, 50}, {50, 100}, {0, 50}, {50, 0}}));
  EXPECT_EQ(DrawnShape(skPolygon, "5;0;1;0;0;0").Figure().points,
            (Pts{{100, 50}, {65, 98}, {10, 79}, {10, 21}, {65, 2}}));
  EXPECT_EQ(DrawnShape(skPolygon, "5;0;1;-90;0;0").Figure().points,
            (Pts{{50, 0}, {98, 35}, {79, 90}, {21, 90}, {2, 35}}));
  EXPECT_EQ(DrawnShape(skPolygon, "6;0;1;0;0;0").Figure().points,
            (Pts{{100, 50}, {75, 93}, {25, 93}, {0, 50}, {25, 7}, {75, 7}}));
}

TEST(ShapePoints, Stars) {
  EXPECT_EQ(DrawnShape(skStar, "5;0;1;0;50;0").Figure().points, (Pts{{100, 50},
                                                                     {70, 65},
                                                                     {65, 98},
                                                                     {42, 74},
                                                                     {10, 79},
                                                                     {25, 50},
                                                                     {10, 21},
                                                                     {42, 26},
                                                                     {65, 2},
                                                                     {70, 35}}));
  EXPECT_EQ(DrawnShape(skStar, "5;0;1;-90;50;0").Figure().points, (Pts{{50, 0},
                                                                       {65, 30},
                                                                       {98, 35},
                                                                       {74, 58},
                                                                       {79, 90},
                                                                       {50, 75},
                                                                       {21, 90},
                                                                       {26, 58},
                                                                       {2, 35},
                                                                       {35, 30}}));
}

}  // namespace
}  // namespace quillet
