#include "platform/canvas.h"

#include <algorithm>

namespace quillet {

Rect Canvas::Normalised(const Rect& r) {
  return {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
          std::max(r.top, r.bottom)};
}

void Canvas::Rectangle(int x1, int y1, int x2, int y2) {
  OnRectangle(Normalised({x1, y1, x2, y2}), Draw());
}

void Canvas::RoundRect(int x1, int y1, int x2, int y2, int cornerW, int cornerH) {
  OnRoundRect(Normalised({x1, y1, x2, y2}), std::abs(cornerW), std::abs(cornerH), Draw());
}

void Canvas::Ellipse(int x1, int y1, int x2, int y2) {
  OnEllipse(Normalised({x1, y1, x2, y2}), Draw());
}

void Canvas::FillRect(const Rect& r) {
  OnFillRect(Normalised(r), brush_);
}

void Canvas::Polygon(std::span<const Point> points) {
  if (!points.empty()) OnPolygon(points, Draw());
}

void Canvas::Line(int x1, int y1, int x2, int y2) {
  if (x1 == x2 && y1 == y2) return;  // the end point is excluded, so nothing is left
  OnLine({x1, y1}, {x2, y2}, Draw());
}

void Canvas::ExtTextOut(int x, int y, unsigned options, const Rect* clip, std::string_view text) {
  Rect normal;
  if (clip) {
    normal = Normalised(*clip);
    clip = &normal;
  }
  OnText(x, y, options, clip, text, Text());
}

void Canvas::DrawImage(const Rect& dest, const RasterImage& image) {
  if (!image.IsEmpty() &&
      static_cast<std::size_t>(image.width) * image.height == image.pixels.size())
    OnImage(Normalised(dest), image);
}

int Canvas::TextWidth(std::string_view text) {
  return OnTextWidth(text, Text());
}

TextMetrics Canvas::GetTextMetrics() {
  return OnTextMetrics(font_);
}

}  // namespace quillet
