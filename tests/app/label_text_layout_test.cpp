// Text laid out in a rectangle: breaking, measuring, ellipses, marks.
// The recording canvas measures 10 px a character at a 20 px font.
#include "app/label_text_layout.h"

#include <gtest/gtest.h>

#include "platform/recording_canvas.h"

namespace quillet {
namespace {

struct Layout {
  Layout() {
    Font f;
    f.height = 20;
    canvas.SetFont(f);
  }
  std::vector<std::pair<Point, std::string>> Draw(Rect r, std::string_view text, unsigned flags) {
    canvas.Clear();
    DrawFormattedText(canvas, r, text, flags);
    std::vector<std::pair<Point, std::string>> out;
    for (const CanvasOp& op : canvas.Ops()) out.emplace_back(op.points[0], op.text);
    return out;
  }
  RecordingCanvas canvas;
};

using Lines = std::vector<std::pair<Point, std::string>>;

TEST(LabelTextLayoutTest, BreaksBetweenWordsAndHonoursLineEnds) {
  Layout l;
  EXPECT_EQ(l.Draw({0, 0, 50, 100}, "aa bb cc", dtWordBreak),
            (Lines{{{0, 0}, "aa bb"}, {{0, 20}, "cc"}}));
  EXPECT_EQ(l.Draw({0, 0, 50, 100}, "aa bb cc", 0), (Lines{{{0, 0}, "aa bb cc"}}));
  EXPECT_EQ(l.Draw({5, 5, 105, 100}, "ab\r\ncdef", dtRight),
            (Lines{{{85, 5}, "ab"}, {{65, 25}, "cdef"}}));
}

TEST(LabelTextLayoutTest, MeasuringDrawsNothingAndSizesTheRectangle) {
  Layout l;
  Rect r{10, 10, 11, 11};
  EXPECT_EQ(DrawFormattedText(l.canvas, r, "ab\ncdef", dtCalcRect), 40);
  EXPECT_TRUE(l.canvas.Ops().empty());
  EXPECT_EQ(r, (Rect{10, 10, 50, 50}));
}

TEST(LabelTextLayoutTest, EllipsesShortenTheEndOrThePath) {
  Layout l;
  EXPECT_EQ(EllipsisText(l.canvas, "short", 50, false), "short");
  EXPECT_EQ(EllipsisText(l.canvas, "abcdefghij", 60, false), "abc...");
  EXPECT_EQ(EllipsisText(l.canvas, "C:\\folder\\sub\\file.txt", 150, true), "C:\\...\\file.txt");
  EXPECT_EQ(EllipsisText(l.canvas, "/a/verylongname", 60, true), ".../ve");
}

TEST(LabelTextLayoutTest, AcceleratorMarksAndTabs) {
  Layout l;
  EXPECT_EQ(StripAccelerators("&File && Edit&"), "File & Edit");
  EXPECT_EQ(l.Draw({0, 0, 300, 20}, "&File", 0)[0].second, "File");
  EXPECT_EQ(l.Draw({0, 0, 300, 20}, "&File", dtNoPrefix)[0].second, "&File");
  EXPECT_EQ(l.Draw({0, 0, 300, 20}, "a\tb", dtExpandTabs)[0].second, "a       b");
}

}  // namespace
}  // namespace quillet
