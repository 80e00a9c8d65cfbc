// Cheap bounds on the width and ink of a text in one font, from metrics of
// its single characters, so that most texts need no shaping to learn that
// they fit a width or lie inside a clip rectangle.
//
// Only texts of Latin-1 characters at or above U+0020 (less the C1 controls)
// get bounds; anything else answers "unknown" and the caller measures or
// clips as before. A bound is the sum of the characters' own advances with
// a slack per character: shaping without kerning places Latin glyphs at
// exactly those advances, and the ligatures it may form are no wider than
// their letters.
#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QRectF>
#include <QString>
#include <array>
#include <optional>
#include <string_view>

class QPaintDevice;

namespace quillet {

class LatinTextBounds {
 public:
  // `font` as drawn (no letter spacing) on `device` (none: the screen).
  LatinTextBounds(const QFont& font, const QPaintDevice* device);

  // At least the advance of `text`; none when a character has no bounds.
  std::optional<double> AdvanceAtMost(const QString& text);
  // The same for Latin-1 bytes (seven-bit text is the same in every code
  // page), with no QString made of them.
  std::optional<double> AdvanceAtMost(std::string_view latin1);
  // A rectangle holding every pixel the text's glyphs may touch when drawn
  // with its baseline's start at (x, baseline); none as above.
  std::optional<QRectF> InkAtMost(const QString& text, double x, double baseline);

 private:
  struct Glyph {
    bool known = false;
    double advance = 0;
    QRectF ink;  // relative to the pen position on the baseline
  };
  const Glyph* Of(char16_t c);
  template <typename Units>
  std::optional<double> Advance(const Units& text);

  QFontMetricsF metrics_;
  double slack_;  // device pixels added per character and around the ink
  std::array<Glyph, 256> glyphs_{};
};

}  // namespace quillet
