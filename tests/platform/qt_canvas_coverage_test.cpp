// Pixel probes: the Qt canvas covers exactly what the canvas contract says.
#include <gtest/gtest.h>

#include <QImage>
#include <limits>
#include <utility>
#include <vector>

#include "platform/qt/qt_canvas.h"

namespace quillet {
namespace {

bool Ink(const QImage& img, int x, int y) {
  return img.pixel(x, y) != qRgb(255, 255, 255);
}

// Columns that hold ink on row y, first and last.
std::pair<int, int> InkSpan(const QImage& img, int y) {
  int first = -1, last = -1;
  for (int x = 0; x < img.width(); ++x)
    if (Ink(img, x, y)) {
      if (first < 0) first = x;
      last = x;
    }
  return {first, last};
}

std::pair<int, int> InkSpanColumn(const QImage& img, int x) {
  int first = -1, last = -1;
  for (int y = 0; y < img.height(); ++y)
    if (Ink(img, x, y)) {
      if (first < 0) first = y;
      last = y;
    }
  return {first, last};
}

struct Probe : ::testing::Test {
  QtImageCanvas canvas{40, 40};
  void SetUp() override {
    canvas.SetPen({clBlack, 1, PenStyle::Solid, PenMode::Copy});
    canvas.SetBrush({clBlack, BrushStyle::Clear});
  }
};

TEST_F(Probe, RectangleOutlineCoversX1ToX2Minus1) {
  canvas.Rectangle(10, 10, 20, 20);
  const QImage& img = canvas.Image();
  EXPECT_EQ(InkSpan(img, 10), std::make_pair(10, 19));
  EXPECT_EQ(InkSpanColumn(img, 10), std::make_pair(10, 19));
  EXPECT_FALSE(Ink(img, 20, 15));
  EXPECT_FALSE(Ink(img, 15, 20));
  EXPECT_FALSE(Ink(img, 15, 15)) << "a clear brush leaves the inside untouched";
}

TEST_F(Probe, FilledRectangleAndFillRectCoverTheSameCells) {
  canvas.SetBrush({MakeColor(255, 0, 0), BrushStyle::Solid});
  canvas.SetPenStyle(PenStyle::Clear);
  canvas.Rectangle(5, 5, 9, 8);
  canvas.FillRect({20, 5, 24, 8});
  const QImage& img = canvas.Image();
  EXPECT_EQ(InkSpan(img, 5), std::make_pair(5, 23));
  EXPECT_FALSE(Ink(img, 9, 6));
  EXPECT_TRUE(Ink(img, 8, 7));
  EXPECT_FALSE(Ink(img, 8, 8));
  EXPECT_TRUE(Ink(img, 23, 7));
  EXPECT_FALSE(Ink(img, 24, 7));
}

TEST_F(Probe, EllipseStaysInsideItsCells) {
  canvas.Ellipse(10, 10, 30, 20);
  const QImage& img = canvas.Image();
  EXPECT_EQ(InkSpan(img, 15).first, 10);
  EXPECT_EQ(InkSpan(img, 15).second, 29);
  EXPECT_EQ(InkSpanColumn(img, 20), std::make_pair(10, 19));
}

TEST_F(Probe, RoundRectStaysInsideItsCells) {
  canvas.RoundRect(10, 10, 30, 30, 8, 8);
  const QImage& img = canvas.Image();
  EXPECT_EQ(InkSpan(img, 20), std::make_pair(10, 29));
  EXPECT_EQ(InkSpanColumn(img, 20), std::make_pair(10, 29));
  EXPECT_FALSE(Ink(img, 10, 10)) << "corners are rounded";
}

TEST_F(Probe, LineExcludesItsEndPoint) {
  canvas.Line(5, 5, 15, 5);     // horizontal
  canvas.Line(5, 10, 5, 20);    // vertical
  canvas.Line(20, 20, 25, 25);  // diagonal
  const QImage& img = canvas.Image();
  EXPECT_EQ(InkSpan(img, 5), std::make_pair(5, 14));
  EXPECT_EQ(InkSpanColumn(img, 5).second, 19);
  EXPECT_TRUE(Ink(img, 20, 20));
  EXPECT_TRUE(Ink(img, 24, 24));
  EXPECT_FALSE(Ink(img, 25, 25));
}

TEST_F(Probe, PenWidthZeroDrawsOnePixel) {
  canvas.SetPenWidth(0);
  canvas.Line(5, 5, 15, 5);
  const QImage& img = canvas.Image();
  EXPECT_TRUE(Ink(img, 10, 5));
  EXPECT_FALSE(Ink(img, 10, 4));
  EXPECT_FALSE(Ink(img, 10, 6));
}

TEST_F(Probe, WidePenIsCentredOnTheOutline) {
  canvas.SetPenWidth(3);
  canvas.Line(5, 20, 35, 20);
  const QImage& img = canvas.Image();
  EXPECT_EQ(InkSpanColumn(img, 20), std::make_pair(19, 21));
}

TEST_F(Probe, PolygonFillsEvenOdd) {
  canvas.SetBrush({clBlack, BrushStyle::Solid});
  // A five-pointed star drawn in one pass: its centre is outside (even-odd).
  const Point star[5] = {{20, 2}, {31, 36}, {2, 14}, {38, 14}, {9, 36}};
  canvas.Polygon(star);
  const QImage& img = canvas.Image();
  EXPECT_FALSE(Ink(img, 20, 20));
  EXPECT_TRUE(Ink(img, 20, 8));
}

TEST(QtCanvasText, MeasuresAtNinetySixDpiWithArialMetrics) {
  QtImageCanvas canvas(10, 10);
  Font f;
  f.height = 11;  // 8 pt at 96 dpi
  canvas.SetFont(f);
  EXPECT_GT(canvas.TextWidth("W = 50"), 25);
  EXPECT_LT(canvas.TextWidth("W = 50"), 45);
  TextMetrics m = canvas.GetTextMetrics();
  EXPECT_EQ(m.height, 13) << "Liberation Sans at 11 px is 13 px high, as Arial is";
  canvas.SetTextCharacterExtra(2);
  EXPECT_EQ(canvas.TextWidth("ab"), canvas.TextWidth("a") + canvas.TextWidth("b"));
}

// Text placed at the ends of the int range (a damaged file) draws nothing,
// and no sum with its place runs past the int range.
TEST_F(Probe, TextAtTheEndsOfTheIntRangeDrawsNothing) {
  constexpr int kMax = std::numeric_limits<int>::max();
  constexpr int kMin = std::numeric_limits<int>::min();
  for (BkMode mode : {BkMode::Transparent, BkMode::Opaque}) {
    canvas.SetBkMode(mode);
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{
             {0, kMax}, {kMax, 0}, {kMin, kMin}, {5, kMax - 3}, {kMax - 3, 5}}) {
      canvas.TextOut(x, y, "Hg");
      const Rect clip{0, 0, 40, 40};
      canvas.ExtTextOut(x, y, etoClipped, &clip, "Hg");
    }
  }
  const QImage& img = canvas.Image();
  for (int y = 0; y < img.height(); ++y) EXPECT_EQ(InkSpan(img, y).first, -1) << y;
}

}  // namespace
}  // namespace quillet
