// The recording canvas: what it records, how it replays, and its bytes.
#include "platform/recording_canvas.h"

#include <gtest/gtest.h>

#include "platform/errors.h"
#include "platform/stream.h"
#include "tests/support.h"

namespace quillet {
namespace {

void DrawSample(Canvas& c) {
  c.SetPen({MakeColor(1, 2, 3), 2, PenStyle::Dash, PenMode::Copy});
  c.SetBrush({MakeColor(9, 8, 7), BrushStyle::Solid});
  c.Rectangle(30, 30, 10, 10);  // normalised to (10, 10, 30, 30)
  c.RoundRect(0, 0, 20, 10, 4, 4);
  c.Ellipse(5, 5, 15, 25);
  const Point tri[3] = {{0, 0}, {10, 0}, {5, 8}};
  c.Polygon(tri);
  c.Line(1, 1, 9, 4);
  c.Line(3, 3, 3, 3);  // a line to its own start covers nothing: not recorded
  Font f;
  f.name = "Arial";
  f.height = 11;
  f.style = fsBold | fsUnderline;
  f.charset = 204;
  c.SetFont(f);
  const Rect clip{0, 0, 12, 50};
  c.ExtTextOut(2, 3, etoClipped, &clip, "Абв text");
  c.DrawImage({0, 0, 2, 1}, RasterImage{2, 1, {0xFF000000u, 0xFFFFFFFFu}});
}

TEST(RecordingCanvasTest, RecordsOperationsInOrderWithState) {
  RecordingCanvas rec;
  DrawSample(rec);
  const auto& ops = rec.Ops();
  ASSERT_EQ(ops.size(), 7u);
  EXPECT_EQ(ops[0].kind, OpKind::Rectangle);
  EXPECT_EQ(ops[0].rect, (Rect{10, 10, 30, 30}));
  EXPECT_EQ(ops[0].pen.style, PenStyle::Dash);
  EXPECT_EQ(ops[0].brush.color, MakeColor(9, 8, 7));
  EXPECT_EQ(ops[1].kind, OpKind::RoundRect);
  EXPECT_EQ(ops[3].points.size(), 3u);
  EXPECT_EQ(ops[4].kind, OpKind::Line);
  EXPECT_EQ(ops[5].kind, OpKind::Text);
  EXPECT_EQ(ops[5].text, "Абв text");
  EXPECT_EQ(ops[5].font.charset, 204);
  EXPECT_EQ(ops[6].kind, OpKind::Image);
}

TEST(RecordingCanvasTest, ClippedTextBoundsStayInsideTheClip) {
  RecordingCanvas rec;
  DrawSample(rec);
  const Rect b = rec.Ops()[5].bounds;
  EXPECT_EQ(b.left, 2);
  EXPECT_EQ(b.top, 3);
  EXPECT_LE(b.right, 12);
  EXPECT_GT(b.bottom, 3);
}

TEST(RecordingCanvasTest, SaveLoadSaveGivesTheSameBytes) {
  RecordingCanvas rec;
  DrawSample(rec);
  MemoryStream first;
  rec.Save(first);
  RecordingCanvas back;
  first.Seek(0);
  back.Load(first);
  EXPECT_TRUE(first.AtEnd());
  MemoryStream second;
  back.Save(second);
  EXPECT_EQ(first.Bytes(), second.Bytes());
  // Kept as a seed for the recording fuzz target.
  FileStream seed(test::OutputPath("sample.qrec"), FileStream::Mode::Create);
  seed.Write(first.Bytes().data(), first.Bytes().size());
}

TEST(RecordingCanvasTest, ReplayReproducesTheOperationsWithOffset) {
  RecordingCanvas rec;
  DrawSample(rec);
  RecordingCanvas copy;
  rec.ReplayOn(copy, 100, 200);
  ASSERT_EQ(copy.Ops().size(), rec.Ops().size());
  EXPECT_EQ(copy.Ops()[0].rect, (Rect{110, 210, 130, 230}));
  EXPECT_EQ(copy.Ops()[3].points[2], (Point{105, 208}));
  EXPECT_EQ(copy.Ops()[5].points[0], (Point{102, 203}));
  EXPECT_EQ(copy.Ops()[5].clip, (Rect{100, 200, 112, 250}));
  EXPECT_EQ(copy.Ops()[0].pen, rec.Ops()[0].pen);
}

TEST(RecordingCanvasTest, MalformedBytesRaiseAndLeaveNothing) {
  RecordingCanvas rec;
  DrawSample(rec);
  MemoryStream good;
  rec.Save(good);
  const auto& bytes = good.Bytes();
  // Every truncation fails cleanly.
  for (std::size_t n = 0; n < bytes.size(); n += 7) {
    MemoryStream cut(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + n));
    RecordingCanvas r;
    EXPECT_THROW(r.Load(cut), StreamReadError) << n;
    EXPECT_TRUE(r.Ops().empty());
  }
  // An absurd operation count is refused before anything is allocated.
  std::vector<std::uint8_t> huge(bytes.begin(), bytes.end());
  huge[8] = huge[9] = huge[10] = 0xFF;
  huge[11] = 0x7F;
  MemoryStream s(huge);
  RecordingCanvas r;
  EXPECT_THROW(r.Load(s), StreamReadError);
}

}  // namespace
}  // namespace quillet
