// A page of memos drawn through Qt: every alignment (rotated too), a
// justified paragraph, underlines and framed memos. Written to
// memo_page.png for looking at; a few pixel probes check the placement.
#include <gtest/gtest.h>

#include <QImage>

#include "platform/qt/qt_canvas.h"
#include "report/base/engine_state.h"
#include "report/views/memo/memo_view.h"
#include "tests/support.h"

namespace quillet {
namespace {

// Whether any pixel of the rectangle is darker than mid grey.
bool HasInk(const QImage& img, const Rect& r) {
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (qGray(img.pixel(x, y)) < 128) return true;
  return false;
}

struct Page {
  QtImageCanvas canvas{820, 640};
  void Memo(int left, int top, int width, int height, StringList text, std::uint32_t alignment,
            std::uint16_t extraFlags = 0, int frame = frAllSides, int points = 8,
            Color fill = clNone, float frameWidth = 1, int charset = 1, int style = 0) {
    TfrMemoView m;
    m.SetGeometry(left, top, width, height);
    m.Memo = std::move(text);
    m.Alignment = alignment;
    m.Flags |= extraFlags;
    m.FrameTyp = static_cast<std::uint16_t>(frame);
    m.FrameColor = 0x808080;
    m.FrameWidth = frameWidth;
    m.FillColor = fill;
    m.Font_.Size = points;
    m.Font_.Charset = charset;
    m.Font_.Style = style;
    m.Draw(canvas);
  }
};

TEST(MemoPage, EveryAlignmentOnOnePage) {
  Prep().RenderActive = true;
  Page p;
  const char* names[] = {"Left", "Right", "Centre", "Justify"};
  for (std::uint32_t a = 0; a < 4; ++a) {
    const int x = 10 + int(a) * 200;
    p.Memo(x, 10, 180, 60, {std::string(names[a]) + " top", "second line"}, a);
    p.Memo(x, 80, 180, 60, {std::string(names[a]) + " centre"}, a | alVerticalCenter);
    p.Memo(x, 150, 180, 60, {std::string(names[a]) + " bottom"}, a | alVerticalBottom);
    p.Memo(x, 220, 40, 170, {std::string("Up ") + names[a]}, a | alRotated);
    p.Memo(x + 50, 220, 50, 170, {"Up and centred", "across"}, a | alRotated | alVerticalCenter);
    p.Memo(x + 110, 220, 60, 170, {"Rotated words wrap along the height of the box"},
           a | alRotated | alVerticalBottom);
  }
  p.Memo(10, 400, 300, 110,
         {"Justified text fills every line from the left edge to the right edge, "
          "except the last line of a paragraph, which keeps its natural spacing.",
          "A second paragraph."},
         alJustify, 0, frAllSides, 10);
  p.Memo(330, 400, 200, 110, {"Ruled lines run under every line position of the box."}, 0,
         flUnderlines, 0, 10);
  p.Memo(550, 400, 120, 50, {"Framed"}, alCenter | alVerticalCenter, 0, frAllSides, 12, 0x00E0FFFF,
         3);
  p.Memo(690, 400, 60, 18, {"W = 50"}, 0);
  // колоколомолоко: hyphenated between syllables.
  p.Memo(690, 430, 50, 80, {"колоколомолоко"}, 0, flWordBreak, frAllSides, 10, clNone, 1, 204);
  p.Memo(10, 530, 300, 40, {"Bold italic underlined text"}, 0, 0, frLeft | frBottom, 12, clNone, 1,
         1, fsBold | fsItalic | fsUnderline);
  const QImage& img = p.canvas.Image();
  ASSERT_TRUE(img.save(QString::fromStdString(test::OutputPath("memo_page.png"))));

  // Left-aligned text sits at the left of its box, right-aligned at the right.
  EXPECT_TRUE(HasInk(img, {12, 12, 60, 24}));
  EXPECT_FALSE(HasInk(img, {130, 12, 188, 24}));
  EXPECT_TRUE(HasInk(img, {330, 12, 388, 24}));
  EXPECT_FALSE(HasInk(img, {212, 12, 270, 24}));
  // Bottom-aligned text is in the lower part only.
  EXPECT_FALSE(HasInk(img, {12, 152, 180, 190}));
  EXPECT_TRUE(HasInk(img, {12, 195, 180, 209}));
  // Rotated left-aligned text starts at the bottom of its box and runs up.
  EXPECT_TRUE(HasInk(img, {12, 340, 28, 388}));
  EXPECT_FALSE(HasInk(img, {12, 222, 28, 260}));
  // Rotated right-aligned text hugs the top.
  EXPECT_TRUE(HasInk(img, {212, 222, 228, 260}));
  EXPECT_FALSE(HasInk(img, {212, 340, 228, 388}));
}

}  // namespace
}  // namespace quillet
