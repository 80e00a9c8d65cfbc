#include "widgets/button_glyph.h"

namespace quillet {
namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kGray128 = 0xFF808080;

bool Opaque(QRgb c) {
  return qAlpha(c) != 0;
}
QRgb Solid(QRgb c) {
  return c | 0xFF000000u;
}

QImage NewImage(QSize size, QRgb fill) {
  QImage image(size, QImage::Format_ARGB32);
  image.fill(fill);
  return image;
}

}  // namespace

ButtonColors ButtonColors::FromPalette(const QPalette& palette) {
  // The active group: a disabled button keeps the colours of the others.
  return {palette.color(QPalette::Active, QPalette::Button).rgb(),
          palette.color(QPalette::Active, QPalette::Light).rgb(),
          palette.color(QPalette::Active, QPalette::Dark).rgb()};
}

int GrayLevel(QRgb color) {
  return (77 * qRed(color) + 150 * qGreen(color) + 29 * qBlue(color)) / 256;
}

void ButtonGlyph::SetStrip(const QImage& strip) {
  DropImages();
  if (strip.isNull()) {
    strip_ = QImage();
    transparent_ = kDefaultTransparentColor;
    return;
  }
  const bool hasAlpha = strip.hasAlphaChannel();
  strip_ = strip.convertToFormat(QImage::Format_ARGB32);
  transparent_ = hasAlpha ? kDefaultTransparentColor : Solid(strip_.pixel(0, strip_.height() - 1));
  for (int y = 0; y < strip_.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(strip_.scanLine(y));
    for (int x = 0; x < strip_.width(); ++x) {
      const bool clear = hasAlpha ? qAlpha(line[x]) < 128 : Solid(line[x]) == transparent_;
      line[x] = clear ? 0u : Solid(line[x]);
    }
  }
}

void ButtonGlyph::SetNumGlyphs(int n) {
  if (n == numGlyphs_) return;
  numGlyphs_ = n;
  DropImages();
}

QSize ButtonGlyph::GlyphSize() const {
  if (strip_.isNull()) return {0, 0};
  return {strip_.width() / numGlyphs_, strip_.height()};
}

void ButtonGlyph::DropImages() {
  for (QImage& image : images_) image = QImage();
}

QImage ButtonGlyph::StripImage(int index) const {
  const QSize size = GlyphSize();
  if (index >= numGlyphs_) index = 0;
  return strip_.copy(index * size.width(), 0, size.width(), size.height());
}

const QImage& ButtonGlyph::Image(ButtonState state, const ButtonColors& colors) {
  if (!(colors == madeWith_)) {
    DropImages();
    madeWith_ = colors;
  }
  QImage& image = images_[state];
  if (image.isNull() && !strip_.isNull()) image = Make(state, colors);
  return image;
}

QImage ButtonGlyph::Make(ButtonState state, const ButtonColors& colors) const {
  switch (state) {
    case bsUp: return StripImage(0);
    case bsLatched: return StripImage(3);
    case bsPressed: return StripImage(numGlyphs_ < 3 ? 0 : 2);
    case bsDisabled:
      return numGlyphs_ < 2 ? MakeEmbossedImage(StripImage(0), colors)
                            : MakeDisabledFromImage(StripImage(1), colors);
    case bsGrayed: return MakeGrayedImage(StripImage(0), colors.face);
  }
  return {};
}

QImage MakeGrayedImage(const QImage& image, QRgb face) {
  QImage out = image.convertToFormat(QImage::Format_ARGB32);
  face = Solid(face);
  for (int y = 0; y < out.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x) {
      if (!Opaque(line[x]) || line[x] == face) continue;
      const int g = GrayLevel(line[x]);
      line[x] = qRgb(g, g, g);
    }
  }
  return out;
}

QImage MakeEmbossedImage(const QImage& image, const ButtonColors& colors) {
  const QImage src = image.convertToFormat(QImage::Format_ARGB32);
  // The black-and-white conversion: white and transparent pixels are the
  // background, every other pixel belongs to the shape.
  auto inShape = [&src](int x, int y) {
    if (x < 0 || y < 0 || x >= src.width() || y >= src.height()) return false;
    const QRgb c = src.pixel(x, y);
    return Opaque(c) && c != kWhite;
  };
  QImage out = NewImage(src.size(), Solid(colors.face));
  for (int y = 0; y < out.height(); ++y)
    for (int x = 0; x < out.width(); ++x) {
      if (inShape(x, y))
        out.setPixel(x, y, Solid(colors.shadow));
      else if (inShape(x - 1, y - 1))
        out.setPixel(x, y, Solid(colors.highlight));
    }
  return out;
}

QImage MakeDisabledFromImage(const QImage& image, const ButtonColors& colors) {
  QImage out = image.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < out.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x) {
      if (!Opaque(line[x]))
        line[x] = Solid(colors.face);
      else if (line[x] == kWhite)
        line[x] = Solid(colors.highlight);
      else if (line[x] == kGray128)
        line[x] = Solid(colors.shadow);
    }
  }
  return out;
}

}  // namespace quillet
