// Glyph images of the flat button's states and where glyph and caption sit.
#include "widgets/button_glyph.h"

#include <gtest/gtest.h>

#include "widgets/button_layout.h"

namespace quillet {
namespace {

constexpr QRgb kOlive = 0xFF808000;
const ButtonColors kColors{qRgb(192, 192, 192), qRgb(255, 255, 255), qRgb(128, 128, 128)};

// An opaque strip of `n` 16 x 16 images on olive; image i has one pixel of
// colour `marks[i]` at (i + 2, 5).
QImage Strip(int n, std::initializer_list<QRgb> marks) {
  QImage strip(16 * n, 16, QImage::Format_RGB32);
  strip.fill(kOlive);
  int i = 0;
  for (QRgb c : marks) {
    strip.setPixel(16 * i + i + 2, 5, c);
    ++i;
  }
  return strip;
}

TEST(ButtonGlyph, GrayLevelWeighsRedGreenBlue) {
  EXPECT_EQ(GrayLevel(qRgb(255, 0, 0)), 76);
  EXPECT_EQ(GrayLevel(qRgb(0, 255, 0)), 149);
  EXPECT_EQ(GrayLevel(qRgb(0, 0, 255)), 28);
  EXPECT_EQ(GrayLevel(qRgb(255, 255, 255)), 255);
  EXPECT_EQ(GrayLevel(qRgb(128, 128, 0)), 113);
}

TEST(ButtonGlyph, GrayedImageKeepsTransparentAndFacePixels) {
  QImage strip = Strip(1, {qRgb(255, 0, 0)});
  strip.setPixel(7, 7, kColors.face);
  strip.setPixel(8, 8, qRgb(0, 0, 255));
  ButtonGlyph glyph;
  glyph.SetStrip(strip);
  const QImage& grayed = glyph.Image(bsGrayed, kColors);
  EXPECT_EQ(grayed.pixel(2, 5), qRgb(76, 76, 76));
  EXPECT_EQ(grayed.pixel(8, 8), qRgb(28, 28, 28));
  EXPECT_EQ(grayed.pixel(7, 7), kColors.face);
  EXPECT_EQ(qAlpha(grayed.pixel(0, 0)), 0);  // olive stays transparent
  EXPECT_EQ(qAlpha(grayed.pixel(15, 15)), 0);
}

TEST(ButtonGlyph, TransparentColourIsTheBottomLeftPixelOrAlpha) {
  ButtonGlyph glyph;
  EXPECT_EQ(glyph.TransparentColor(), kOlive);
  QImage strip(16, 16, QImage::Format_RGB32);
  strip.fill(qRgb(255, 0, 255));
  strip.setPixel(3, 3, qRgb(0, 0, 0));
  glyph.SetStrip(strip);
  EXPECT_EQ(glyph.TransparentColor(), qRgb(255, 0, 255));
  EXPECT_EQ(qAlpha(glyph.Image(bsUp, kColors).pixel(0, 0)), 0);
  EXPECT_EQ(glyph.Image(bsUp, kColors).pixel(3, 3), qRgb(0, 0, 0));

  QImage alpha(16, 16, QImage::Format_ARGB32);
  alpha.fill(Qt::transparent);
  alpha.setPixel(4, 4, qRgba(255, 0, 0, 255));
  alpha.setPixel(5, 5, qRgba(255, 0, 0, 100));  // mostly clear: transparent
  glyph.SetStrip(alpha);
  EXPECT_EQ(glyph.Image(bsGrayed, kColors).pixel(4, 4), qRgb(76, 76, 76));
  EXPECT_EQ(qAlpha(glyph.Image(bsGrayed, kColors).pixel(5, 5)), 0);
}

TEST(ButtonGlyph, StatesPickTheirImageFromTheStrip) {
  const QRgb a = qRgb(10, 0, 0), b = qRgb(20, 0, 0), c = qRgb(30, 0, 0), d = qRgb(40, 0, 0);
  struct Row {
    int n;
    int upAt, pressedAt, latchedAt;
  };
  // Image positions: image i carries its mark at (i + 2, 5).
  for (Row row : {Row{1, 0, 0, 0}, Row{2, 0, 0, 0}, Row{3, 0, 2, 0}, Row{4, 0, 2, 3}}) {
    SCOPED_TRACE(row.n);
    ButtonGlyph glyph;
    QImage strip = Strip(4, {a, b, c, d}).copy(0, 0, 16 * row.n, 16);
    glyph.SetStrip(strip);
    glyph.SetNumGlyphs(row.n);
    auto markOf = [&](ButtonState s, int image) {
      return glyph.Image(s, kColors).pixel(image + 2, 5);
    };
    const QRgb marks[] = {a, b, c, d};
    EXPECT_EQ(markOf(bsUp, row.upAt), marks[row.upAt]);
    EXPECT_EQ(markOf(bsPressed, row.pressedAt), marks[row.pressedAt]);
    EXPECT_EQ(markOf(bsLatched, row.latchedAt), marks[row.latchedAt]);
  }
}

TEST(ButtonGlyph, DisabledFromOneImageIsEmbossed) {
  QImage strip = Strip(1, {});
  strip.setPixel(5, 5, qRgb(0, 0, 0));
  strip.setPixel(9, 9, qRgb(255, 255, 255));  // white is background
  ButtonGlyph glyph;
  glyph.SetStrip(strip);
  const QImage& disabled = glyph.Image(bsDisabled, kColors);
  EXPECT_EQ(disabled.pixel(5, 5), kColors.shadow);
  EXPECT_EQ(disabled.pixel(6, 6), kColors.highlight);
  EXPECT_EQ(disabled.pixel(4, 4), kColors.face);
  EXPECT_EQ(disabled.pixel(9, 9), kColors.face);
  EXPECT_EQ(disabled.pixel(10, 10), kColors.face);
  EXPECT_EQ(disabled.pixel(0, 15), kColors.face);
}

TEST(ButtonGlyph, DisabledFromTheStripsSecondImage) {
  QImage strip = Strip(2, {});
  strip.setPixel(16 + 1, 1, qRgb(255, 255, 255));
  strip.setPixel(16 + 2, 2, qRgb(128, 128, 128));
  strip.setPixel(16 + 3, 3, qRgb(0, 0, 200));
  ButtonGlyph glyph;
  glyph.SetStrip(strip);
  glyph.SetNumGlyphs(2);
  const ButtonColors other{qRgb(212, 208, 200), qRgb(250, 250, 240), qRgb(64, 64, 64)};
  const QImage& disabled = glyph.Image(bsDisabled, other);
  EXPECT_EQ(disabled.pixel(1, 1), other.highlight);
  EXPECT_EQ(disabled.pixel(2, 2), other.shadow);
  EXPECT_EQ(disabled.pixel(3, 3), qRgb(0, 0, 200));
  EXPECT_EQ(disabled.pixel(0, 0), other.face);
}

TEST(ButtonGlyph, ImagesFollowColourAndStripChanges) {
  QImage strip = Strip(1, {qRgb(255, 0, 0)});
  strip.setPixel(6, 6, qRgb(1, 2, 3));
  ButtonGlyph glyph;
  glyph.SetStrip(strip);
  EXPECT_EQ(glyph.Image(bsGrayed, kColors).pixel(6, 6), qRgb(1, 1, 1));
  // A face of that very colour keeps the pixel.
  ButtonColors face = kColors;
  face.face = qRgb(1, 2, 3);
  EXPECT_EQ(glyph.Image(bsGrayed, face).pixel(6, 6), qRgb(1, 2, 3));
  glyph.SetStrip(Strip(1, {qRgb(0, 255, 0)}));
  EXPECT_EQ(glyph.Image(bsGrayed, face).pixel(2, 5), qRgb(149, 149, 149));
}

// ---- layout ---------------------------------------------------------------

struct LayoutRow {
  const char* name;
  QRect client;
  QSize glyph, caption;
  TButtonLayout layout;
  int margin, spacing;
  QPoint glyphPos;
  QPoint captionPos;
};

TEST(ButtonLayout, PlacesGlyphAndCaption) {
  // clang-format off
  const LayoutRow rows[] = {
      {"glyph alone centred", QRect(0, 0, 22, 22), {16, 16}, {0, 0}, blGlyphLeft, -1, 4, {3, 3}, {19, 11}},
      {"pressed offset", QRect(1, 1, 22, 22), {16, 16}, {0, 0}, blGlyphLeft, -1, 4, {4, 4}, {20, 12}},
      {"left centred pair", QRect(0, 0, 64, 22), {16, 16}, {30, 13}, blGlyphLeft, -1, 4, {7, 3}, {27, 5}},
      {"right centred pair", QRect(0, 0, 64, 22), {16, 16}, {30, 13}, blGlyphRight, -1, 4, {41, 3}, {7, 5}},
      {"spread evenly", QRect(0, 0, 64, 22), {16, 16}, {30, 13}, blGlyphLeft, -1, -1, {6, 3}, {28, 5}},
      {"margin given, spread", QRect(0, 0, 64, 22), {16, 16}, {30, 13}, blGlyphLeft, 2, -1, {2, 3}, {26, 5}},
      {"margin and spacing", QRect(0, 0, 64, 22), {16, 16}, {30, 13}, blGlyphRight, 3, 5, {45, 3}, {10, 5}},
      {"top", QRect(0, 0, 40, 50), {16, 16}, {30, 13}, blGlyphTop, -1, 4, {12, 9}, {5, 29}},
      {"bottom", QRect(0, 0, 40, 50), {16, 16}, {30, 13}, blGlyphBottom, -1, 4, {12, 25}, {5, 8}},
      {"caption alone ignores spacing", QRect(0, 0, 64, 22), {0, 0}, {30, 13}, blGlyphLeft, -1, 10, {17, 11}, {17, 5}},
      {"too small truncates toward zero", QRect(0, 0, 10, 10), {16, 16}, {0, 0}, blGlyphLeft, -1, 4, {-2, -2}, {14, 5}},
  };
  // clang-format on
  for (const LayoutRow& row : rows) {
    SCOPED_TRACE(row.name);
    ButtonLayoutResult r =
        LayOutButton(row.client, row.glyph, row.caption, row.layout, row.margin, row.spacing);
    EXPECT_EQ(r.glyphPos, row.glyphPos);
    EXPECT_EQ(r.captionRect.topLeft(), row.captionPos);
    EXPECT_EQ(r.captionRect.size(), row.caption);
  }
}

}  // namespace
}  // namespace quillet
