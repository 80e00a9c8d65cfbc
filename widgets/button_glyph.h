// The glyph of a flat button: a strip of 1 to 4 equal images (up, disabled,
// pressed, latched) and the images each button state draws, made from the
// strip on first use and dropped when the strip or the colours change.
#pragma once

#include <QImage>
#include <QPalette>
#include <QSize>
#include <array>

namespace quillet {

// Button states as a button stores and paints them.
enum ButtonState { bsUp = 0, bsDisabled = 1, bsPressed = 2, bsLatched = 3, bsGrayed = 4 };

// The three colours of a button: face, bevel highlight, bevel shadow.
struct ButtonColors {
  QRgb face = qRgb(192, 192, 192);
  QRgb highlight = qRgb(255, 255, 255);
  QRgb shadow = qRgb(128, 128, 128);

  // Button, Light and Dark of the palette's active group.
  static ButtonColors FromPalette(const QPalette& palette);
  bool operator==(const ButtonColors&) const = default;
};

// Transparent colour of a button that has no glyph yet (olive).
inline constexpr QRgb kDefaultTransparentColor = 0xFF808000;

// Gray level of a colour in the grayed glyph: (77 r + 150 g + 29 b) div 256.
int GrayLevel(QRgb color);

class ButtonGlyph {
 public:
  // Takes a copy of `strip`. Its transparent pixels are those of the colour
  // of the bottom-left pixel, or, for an image with an alpha channel, those
  // less than half opaque. A null image removes the glyph.
  void SetStrip(const QImage& strip);
  bool IsEmpty() const { return strip_.isNull(); }
  int StripWidth() const { return strip_.width(); }
  int StripHeight() const { return strip_.height(); }
  // The colour that stands for "transparent" in an opaque strip.
  QRgb TransparentColor() const { return transparent_; }

  // 1..4; the caller clamps (see TfrSpeedButton::SetNumGlyphs).
  int NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(int n);
  // Size of one image: strip width / NumGlyphs by strip height.
  QSize GlyphSize() const;

  // The image painted for `state`: ARGB32, alpha 0 where nothing is drawn.
  // Made on first use with `colors`; remade when the colours differ.
  const QImage& Image(ButtonState state, const ButtonColors& colors);
  void DropImages();

  // Image `index` of the strip (image 0 when the strip has fewer).
  QImage StripImage(int index) const;

 private:
  QImage Make(ButtonState state, const ButtonColors& colors) const;

  QImage strip_;  // ARGB32, alpha 0 or 255
  QRgb transparent_ = kDefaultTransparentColor;
  int numGlyphs_ = 1;
  std::array<QImage, 5> images_;
  ButtonColors madeWith_;
};

// The state images, exposed for their tests. All take and give ARGB32
// images whose pixels are either transparent (alpha 0) or opaque.
//
// Grayed: every opaque pixel that is not the face colour becomes gray.
QImage MakeGrayedImage(const QImage& image, QRgb face);
// Disabled from a one-image strip: the face, then the image's shape (its
// opaque pixels that are not white) in the highlight colour offset by (1, 1)
// and in the shadow colour in place.
QImage MakeEmbossedImage(const QImage& image, const ButtonColors& colors);
// Disabled from the strip's own disabled image: white becomes highlight,
// gray 128 becomes shadow, transparent pixels become the face.
QImage MakeDisabledFromImage(const QImage& image, const ButtonColors& colors);

}  // namespace quillet
