// Drawing memos: the operations recorded for each alignment, scale, the
// justification, rotation, underlines, auto width and the export replay,
// measured with real font metrics.
#include <gtest/gtest.h>

#include "platform/errors.h"
#include "platform/numeric.h"
#include "platform/recording_canvas.h"
#include "platform/stream.h"
#include "report/base/engine_state.h"
#include "report/views/memo/memo_view.h"

namespace quillet {
namespace {

const std::string kMark(1, kParagraphMark);

struct Drawn {
  RecordingCanvas canvas{DeviceKind::Screen, Engine().MeasuringCanvas};
  TfrMemoView memo;
  Drawn() {
    Prep().RenderActive = true;
    memo.Font_.Size = 8;
  }
  Drawn& Draw() {
    canvas.Clear();
    memo.Draw(canvas);
    return *this;
  }
  std::vector<CanvasOp> Texts() const {
    std::vector<CanvasOp> t;
    for (const CanvasOp& op : canvas.Ops())
      if (op.kind == OpKind::Text) t.push_back(op);
    return t;
  }
  std::vector<CanvasOp> Lines() const {
    std::vector<CanvasOp> t;
    for (const CanvasOp& op : canvas.Ops())
      if (op.kind == OpKind::Line) t.push_back(op);
    return t;
  }
  int Width(const std::string& text, int height = -11) {
    Font f = canvas.GetFont();
    f.height = height;
    f.escapement = 0;
    canvas.SetFont(f);
    return canvas.TextWidth(text);
  }
};

TEST(MemoDrawing, SheetCaptionAtScaleOne) {
  Drawn d;
  d.memo.SetGeometry(10, 20, 60, 18);
  d.memo.Memo = {"W = 50"};
  const auto texts = d.Draw().Texts();
  ASSERT_EQ(texts.size(), 1u);
  const CanvasOp& t = texts[0];
  EXPECT_EQ(t.text, "W = 50");
  EXPECT_EQ(t.points[0], (Point{10 + 2, 20 + 1}));
  EXPECT_EQ(t.font.height, -11);
  EXPECT_EQ(t.font.name, "Arial");
  EXPECT_EQ(t.font.escapement, 0);
  EXPECT_EQ(t.bkMode, BkMode::Transparent);
  EXPECT_EQ(t.options, etoClipped);
  ASSERT_TRUE(t.hasClip);
  EXPECT_EQ(t.clip, (Rect{11, 20, 69, 38}));  // DrawRect 10,20 .. 71,39 inset
  EXPECT_EQ(d.memo.LinesDone, 1);
  EXPECT_EQ(d.memo.Left, 10);  // geometry restored
}

TEST(MemoDrawing, OutputFontIsRoundedAtScaleOneAndTruncatedOtherwise) {
  Drawn d;
  d.memo.SetGeometry(0, 0, 100, 40);
  d.memo.Memo = {"x"};
  d.memo.DeviceScaleX = d.memo.DeviceScaleY = 0.95;  // 8 x 96 / 72 x 0.95 = 10.13
  EXPECT_EQ(d.Draw().Texts()[0].font.height, -10);
  d.memo.DeviceScaleX = d.memo.DeviceScaleY = 1.2;  // 12.8: truncated, not rounded
  EXPECT_EQ(d.Draw().Texts()[0].font.height, -12);
  d.memo.DeviceScaleX = d.memo.DeviceScaleY = 1.0;  // 10.67 rounds up
  EXPECT_EQ(d.Draw().Texts()[0].font.height, -11);
}

TEST(MemoDrawing, LineBreaksDoNotDependOnTheScale) {
  Drawn d;
  const int fit = d.Width("aaa bbb");
  d.memo.SetGeometry(0, 0, fit + 4, 60);
  d.memo.Memo = {"aaa bbb ccc"};
  for (double scale : {1.0, 0.5, 3.0}) {
    d.memo.DeviceScaleX = d.memo.DeviceScaleY = scale;
    const auto texts = d.Draw().Texts();
    ASSERT_EQ(texts.size(), 2u) << scale;
    EXPECT_EQ(texts[0].text, "aaa bbb");
    EXPECT_EQ(texts[1].text, "ccc");
  }
  // At scale 3 the second line starts one scaled step below the first.
  const auto texts = d.Texts();
  EXPECT_EQ(texts[1].points[0].y - texts[0].points[0].y, Round(2 * 3.0) + 32);
}

TEST(MemoDrawing, HorizontalAlignments) {
  Drawn d;
  d.memo.SetGeometry(10, 0, 100, 18);
  d.memo.Memo = {"abc"};
  const int w = d.Width("abc");
  // DrawRect spans 10 .. 111: 101 pixels.
  d.memo.Alignment = alLeft;
  EXPECT_EQ(d.Draw().Texts()[0].points[0].x, 10 + 2);
  d.memo.Alignment = alRight;
  EXPECT_EQ(d.Draw().Texts()[0].points[0].x, 10 + 101 - 1 - 2 - w);
  d.memo.Alignment = alCenter;
  EXPECT_EQ(d.Draw().Texts()[0].points[0].x, 10 + 2 + (101 - 4 - w) / 2);
}

TEST(MemoDrawing, JustifySpreadsOnlyLinesThatDoNotEndAParagraph) {
  Drawn d;
  const int fit = d.Width("aa bb cc");
  d.memo.SetGeometry(0, 0, fit + 4, 100);
  d.memo.Alignment = alJustify;
  d.memo.Memo = {"aa b cc dd", "eeeeeeeeeeeeeeeeeeee"};
  const auto texts = d.Draw().Texts();
  ASSERT_GE(texts.size(), 4u);
  EXPECT_EQ(texts[0].text, "aa b cc");
  EXPECT_EQ(texts[0].justifyBreaks, 2);
  EXPECT_EQ(texts[0].justifyExtra, (fit + 5) - 4 - d.Width("aa b cc"));
  EXPECT_EQ(texts[1].text, "dd");  // ends the paragraph
  EXPECT_EQ(texts[1].justifyBreaks, 0);
  // A wrapped piece without spaces is drawn as if left-aligned.
  EXPECT_EQ(texts[2].justifyBreaks, 0);
  EXPECT_EQ(texts[2].points[0].x, 2);
  for (const CanvasOp& t : texts) EXPECT_EQ(t.points[0].x, 2);
  EXPECT_EQ(d.canvas.GetFont().height, -11);
}

TEST(MemoDrawing, NonBreakingSpacesCountAsBreaks) {
  Drawn d;
  const int fit = d.Width("aa\u00A0bb cc");
  d.memo.SetGeometry(0, 0, fit + 4, 100);
  d.memo.Alignment = alJustify;
  d.memo.Memo = {"aa\u00A0bb cc dd"};
  const auto texts = d.Draw().Texts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].justifyBreaks, 2);
}

TEST(MemoDrawing, VerticalAlignment) {
  Drawn d;
  d.memo.SetGeometry(0, 100, 100, 60);
  d.memo.Memo = {"abc"};  // measured height 13 + 2
  d.memo.Alignment = alVerticalCenter;
  EXPECT_EQ(d.Draw().Texts()[0].points[0].y, 100 + (61 - 15) / 2 + 1);
  d.memo.Alignment = alVerticalBottom;
  EXPECT_EQ(d.Draw().Texts()[0].points[0].y, 161 - 15 - 1 + 1);
  EXPECT_EQ(d.memo.Alignment, alVerticalBottom);  // restored
  EXPECT_EQ(d.memo.Top, 100);
}

TEST(MemoDrawing, RotatedAlignments) {
  Drawn d;
  d.memo.SetGeometry(10, 20, 40, 200);
  d.memo.Memo = {"abc"};
  const int w = d.Width("abc");
  const int bottom = 20 + 200 + 1;  // DrawRect bottom
  struct Case {
    std::uint32_t alignment;
    int y;
  } cases[] = {
      {alRotated | alLeft, bottom - 1},
      {alRotated | alRight, 20 + 1 + w},
      {alRotated | alCenter, bottom - 1 - (201 - 2 - w) / 2 - 1},
      {alRotated | alJustify, 20 + 201 - 1},
  };
  for (const Case& c : cases) {
    d.memo.Alignment = c.alignment;
    const auto texts = d.Draw().Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].font.escapement, 900) << c.alignment;
    EXPECT_EQ(texts[0].points[0], (Point{10 + 2, c.y})) << c.alignment;
  }
  EXPECT_EQ(d.canvas.GetFont().escapement, 0);  // the upright font comes back
  // Vertical bits move rotated lines across the box.
  d.memo.Alignment = alRotated | alVerticalBottom;
  EXPECT_EQ(d.Draw().Texts()[0].points[0].x, 51 - 17 + 2);
}

TEST(MemoDrawing, RotatedJustifiedLineSpreadsAlongTheHeight) {
  Drawn d;
  const int fit = d.Width("aa bb");
  d.memo.SetGeometry(0, 0, 60, fit + 2);
  d.memo.Alignment = alRotated | alJustify;
  d.memo.Memo = {"aa b cc"};
  const auto texts = d.Draw().Texts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].text, "aa b");
  EXPECT_EQ(texts[0].justifyBreaks, 1);
  EXPECT_EQ(texts[0].justifyExtra, (fit + 3) - 2 - d.Width("aa b"));
  EXPECT_EQ(texts[1].justifyBreaks, 0);
  EXPECT_EQ(texts[1].points[0].x, 2 + 13);
}

TEST(MemoDrawing, UnderlinesRuleEveryLinePosition) {
  Drawn d;
  d.memo.SetGeometry(0, 0, 100, 40);
  d.memo.Flags |= flUnderlines;
  d.memo.FrameColor = 0x0000FF;
  d.memo.Memo = {"a"};
  const auto lines = d.Draw().Lines();
  ASSERT_EQ(lines.size(), 3u);  // 40 div 13
  for (int k = 0; k < 3; ++k) {
    const int y = 1 + k * 13 + 2 + 11;
    EXPECT_EQ(lines[k].points[0], (Point{0, y}));
    EXPECT_EQ(lines[k].points[1], (Point{99, y}));
    EXPECT_EQ(lines[k].pen.color, 0x0000FFu);
  }
  d.memo.LineSpacing = -11;  // a step of zero: no ruled lines, no division by zero
  EXPECT_TRUE(d.Draw().Lines().empty());
}

TEST(MemoDrawing, AutoWidthFollowsTheText) {
  Drawn d;
  d.memo.SetGeometry(100, 0, 300, 18);
  d.memo.Flags |= flAutoWidth;
  d.memo.Memo = {"Hello", "Hi"};
  const int w = d.Width("Hello");
  d.Draw();
  EXPECT_EQ(d.memo.Width, w + 1 + 4 + 1);
  EXPECT_EQ(d.memo.Left, 100);
  EXPECT_EQ(d.Texts().size(), 2u);  // the widened layout keeps one line each

  d.memo.Width = 300;
  d.memo.Alignment = alRight;  // right-aligned text keeps its right edge
  d.Draw();
  EXPECT_EQ(d.memo.Left + d.memo.Width, 400);
}

TEST(MemoDrawing, PreparedTextWithMarksIsDrawnAsLaidOut) {
  Drawn d;
  d.memo.SetGeometry(0, 0, 20, 100);  // far too narrow for the first line
  d.memo.Memo = {"a long line", "x", kMark};
  const auto texts = d.Draw().Texts();
  ASSERT_EQ(texts.size(), 2u);  // the lone mark line is dropped
  EXPECT_EQ(texts[0].text, "a long line");
  EXPECT_EQ(texts[1].text, "x");
}

TEST(MemoDrawing, EmptyMemoDrawsOnlyBackgroundAndFrame) {
  Drawn d;
  d.memo.SetGeometry(0, 0, 50, 20);
  d.memo.FrameTyp = frAllSides;
  d.memo.FillColor = 0x00FF00;
  d.Draw();
  EXPECT_TRUE(d.Texts().empty());
  EXPECT_EQ(d.canvas.Ops().front().kind, OpKind::FillRect);
  EXPECT_EQ(d.Lines().size(), 4u);
}

TEST(MemoDrawing, RightToLeftReading) {
  Drawn d;
  d.memo.SetGeometry(0, 0, 100, 20);
  d.memo.Flags |= flRTLReading;
  d.memo.Memo = {"abc"};
  EXPECT_EQ(d.Draw().Texts()[0].options, etoClipped | etoRtlReading);
}

TEST(MemoDrawing, AbsurdSizesFromADamagedPageStayBounded) {
  Drawn d;
  d.memo.SetGeometry(0, 0, 200, 40);
  d.memo.Font_.Size = INT32_MIN;
  d.memo.Memo = {"x"};
  d.Draw();
  ASSERT_FALSE(d.Texts().empty());
  EXPECT_EQ(std::abs(d.Texts()[0].font.height), kMaxFontPixels);
  d.memo.SetGeometry(0, 0, 200, 2147483000);
  d.memo.Font_.Size = 1;  // one-pixel steps down a very tall box
  d.memo.LineSpacing = 0;
  d.memo.Flags |= flUnderlines;
  d.Draw();
  const auto& ops = d.canvas.Ops();
  EXPECT_EQ(std::count_if(ops.begin(), ops.end(),
                          [](const CanvasOp& op) { return op.kind == OpKind::Line; }),
            kMaxUnderlines);
}

TEST(MemoExport, LinesShareTheFrame) {
  struct Exported {
    int x, y;
    std::uint16_t bits;
    std::string text;
  };
  std::vector<Exported> got;
  Engine().MemoTextExport = [&got](const Rect&, int x, TfrMemoView&, std::uint16_t bits, int y,
                                   const std::string& text) {
    got.push_back({x, y, bits, text});
  };
  Drawn d;
  d.memo.SetGeometry(5, 7, 200, 100);
  d.memo.FrameTyp = frAllSides;
  d.memo.Memo = {"one", "two", "three"};
  MemoryStream unused;
  d.memo.Export(unused);
  EXPECT_FALSE(d.memo.Exporting);
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0].bits, frAllSides & ~frBottom);
  EXPECT_EQ(got[1].bits, frLeft | frRight);
  EXPECT_EQ(got[2].bits, frAllSides & ~frTop);
  EXPECT_EQ(got[0].text, "one");
  EXPECT_EQ(got[0].x, 5 + 2);
  EXPECT_EQ(got[1].y - got[0].y, 13);

  got.clear();
  d.memo.Memo = {"single"};
  d.memo.Export(unused);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].bits, frAllSides);

  got.clear();
  d.memo.Alignment = alRotated;
  d.memo.Memo = {"up", "up"};
  d.memo.Export(unused);
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].bits, 0);

  Engine().MemoTextExport = nullptr;
  d.memo.Name = "Memo1";
  try {
    d.memo.Export(unused);
    ADD_FAILURE() << "exported with no exporter";
  } catch (const EngineError& e) {
    EXPECT_NE(std::string(e.what()).find("the lines of Memo1 have nowhere to go"),
              std::string::npos);
  }
  EXPECT_FALSE(d.memo.Exporting);
}

}  // namespace
}  // namespace quillet
