// Text bounds from single characters: they hold the shaped advance and every
// inked pixel, and the canvas decides fitting and clipping with them exactly
// as measuring and clipping would.
#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <string>
#include <vector>

#include "platform/qt/latin_text_bounds.h"
#include "platform/qt/qt_canvas.h"

namespace quillet {
namespace {

const std::vector<QString>& SampleTexts() {
  static const std::vector<QString> texts = {
      QStringLiteral("Item #12345"),
      QStringLiteral("fi fl ffi ffl"),
      QStringLiteral("AVAT Wavy To."),
      QStringLiteral("jjj ///\\\\ ||"),
      QStringLiteral("\u00C5ngstr\u00F6m \u00FF\u00BF\u00C7"),
      QStringLiteral(" "),
      QStringLiteral(""),
      QStringLiteral("1234.50"),
  };
  return texts;
}

std::vector<QFont> SampleFonts() {
  std::vector<QFont> fonts;
  for (const char* family : {"Liberation Sans", "Liberation Serif", "Liberation Mono"})
    for (int size : {8, 13, 31})
      for (bool italic : {false, true}) {
        QFont f(QString::fromLatin1(family));
        f.setPixelSize(size);
        f.setItalic(italic);
        f.setBold(size == 13);
        f.setKerning(false);
        f.setHintingPreference(QFont::PreferFullHinting);
        fonts.push_back(f);
      }
  return fonts;
}

TEST(LatinTextBounds, HoldTheShapedAdvanceAndEveryInkedPixel) {
  for (const QFont& font : SampleFonts()) {
    QImage image(400, 120, QImage::Format_ARGB32);
    LatinTextBounds bounds(font, &image);
    const QFontMetricsF exact(font, &image);
    for (const QString& text : SampleTexts()) {
      SCOPED_TRACE((font.family() + " " + QString::number(font.pixelSize()) + " \"" + text + "\"")
                       .toStdString());
      const auto advance = bounds.AdvanceAtMost(text);
      ASSERT_TRUE(advance.has_value());
      EXPECT_GE(*advance, exact.horizontalAdvance(text));
      // The same characters as Latin-1 bytes have the same bound.
      EXPECT_EQ(bounds.AdvanceAtMost(std::string_view(text.toLatin1().toStdString())), advance);

      image.fill(Qt::white);
      {
        QPainter p(&image);
        p.setFont(font);
        p.drawText(QPoint(20, 70), text);
      }
      const auto ink = bounds.InkAtMost(text, 20, 70);
      ASSERT_TRUE(ink.has_value());
      for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
          if (image.pixel(x, y) != qRgb(255, 255, 255)) {
            ASSERT_TRUE(ink->contains(QRectF(x, y, 1, 1))) << "pixel " << x << ", " << y;
          }
    }
  }
}

TEST(LatinTextBounds, KnowNothingOfOtherCharacters) {
  QImage image(10, 10, QImage::Format_ARGB32);
  LatinTextBounds bounds(QFont(QStringLiteral("Liberation Sans")), &image);
  for (const QString& text : {QStringLiteral("\u041F\u0440\u0438"), QStringLiteral("a\tb"),
                              QStringLiteral("x\u0085"), QStringLiteral("\u20AC5")}) {
    EXPECT_FALSE(bounds.AdvanceAtMost(text).has_value()) << text.toStdString();
    EXPECT_FALSE(bounds.InkAtMost(text, 0, 0).has_value()) << text.toStdString();
  }
  for (std::string_view bytes : {"a\tb", "x\x85", "\x7F"})
    EXPECT_FALSE(bounds.AdvanceAtMost(bytes).has_value()) << bytes;
}

TEST(QtCanvasTextFits, AgreesWithTheMeasuredWidthAtEveryEdge) {
  QtImageCanvas canvas(10, 10);
  const std::vector<std::string> texts = {"Item #99999", "fi fl", "W", "", "Абв cp", "tab\there"};
  for (int charset : {1, 204})
    for (int extra : {0, 3, -1})
      for (const std::string& text : texts) {
        Font f;
        f.height = -12;
        f.charset = charset;
        canvas.SetFont(f);
        canvas.SetTextCharacterExtra(extra);
        const int width = canvas.TextWidth(text);
        for (int max = width - 2; max <= width + 2; ++max)
          EXPECT_EQ(canvas.TextFits(text, max), width <= max)
              << "\"" << text << "\" charset " << charset << " extra " << extra << " within "
              << max;
      }
}

// A clip is left out only where it would cut nothing: the picture is that
// of the clipped drawing either way.
TEST(QtCanvasTextClip, DrawsWhatTheClipAllows) {
  auto draw = [](const Rect* clip, unsigned options) {
    QtImageCanvas canvas(200, 40);
    Font f;
    f.height = -15;
    f.style = fsItalic;
    canvas.SetFont(f);
    canvas.SetBkMode(BkMode::Transparent);
    canvas.ExtTextOut(10, 10, options, clip, "Wolf fjord");
    return canvas.Image().copy();
  };
  const QImage unclipped = draw(nullptr, 0);
  const Rect around{0, 0, 200, 40};
  EXPECT_EQ(draw(&around, etoClipped), unclipped);

  const Rect cut{30, 14, 60, 22};
  const QImage clipped = draw(&cut, etoClipped);
  EXPECT_NE(clipped, unclipped);
  bool inkInside = false;
  for (int y = 0; y < clipped.height(); ++y)
    for (int x = 0; x < clipped.width(); ++x) {
      const bool ink = clipped.pixel(x, y) != qRgb(255, 255, 255);
      const bool inside = x >= cut.left && x < cut.right && y >= cut.top && y < cut.bottom;
      if (ink) {
        ASSERT_TRUE(inside) << "ink outside the clip at " << x << ", " << y;
        inkInside = true;
        EXPECT_EQ(clipped.pixel(x, y), unclipped.pixel(x, y));
      }
    }
  EXPECT_TRUE(inkInside);
}

}  // namespace
}  // namespace quillet
