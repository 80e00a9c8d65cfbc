#include "platform/qt/latin_text_bounds.h"

#include <algorithm>

namespace quillet {

LatinTextBounds::LatinTextBounds(const QFont& font, const QPaintDevice* device)
    : metrics_(font, device), slack_(std::max(0.5, metrics_.height() / 32)) {}

const LatinTextBounds::Glyph* LatinTextBounds::Of(char16_t c) {
  if (c < 0x20 || c > 0xFF || (c >= 0x7F && c < 0xA0)) return nullptr;
  Glyph& g = glyphs_[c];
  if (!g.known) {
    const QChar ch(c);
    g.advance = metrics_.horizontalAdvance(ch);
    g.ink = metrics_.boundingRect(ch);
    g.known = true;
  }
  return &g;
}

template <typename Units>
std::optional<double> LatinTextBounds::Advance(const Units& text) {
  double sum = 0;
  for (auto c : text) {
    const Glyph* g = Of(char16_t(c));
    if (!g) return std::nullopt;
    sum += std::max(0.0, g->advance) + slack_;
  }
  return sum;
}

std::optional<double> LatinTextBounds::AdvanceAtMost(const QString& text) {
  return Advance(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                     static_cast<std::size_t>(text.size())));
}

std::optional<double> LatinTextBounds::AdvanceAtMost(std::string_view latin1) {
  return Advance(std::basic_string_view<unsigned char>(
      reinterpret_cast<const unsigned char*>(latin1.data()), latin1.size()));
}

std::optional<QRectF> LatinTextBounds::InkAtMost(const QString& text, double x, double baseline) {
  // Each glyph's ink is taken at every pen position from x to the end of the
  // bounded advance, which holds it whatever narrowing shaping did before it.
  double left = 0, right = 0, top = 0, bottom = 0, pen = 0;
  for (QChar c : text) {
    const Glyph* g = Of(c.unicode());
    if (!g) return std::nullopt;
    pen += std::max(0.0, g->advance) + slack_;
    if (g->ink.isEmpty()) continue;
    left = std::min(left, g->ink.left());
    right = std::max(right, pen + std::max(0.0, g->ink.right() - g->advance));
    top = std::min(top, g->ink.top());
    bottom = std::max(bottom, g->ink.bottom());
  }
  const double margin = 1 + 4 * slack_;  // at least an eighth of the line height
  return QRectF(QPointF(x + left - margin, baseline + top - margin),
                QPointF(x + std::max(right, pen) + margin, baseline + bottom + margin));
}

}  // namespace quillet
