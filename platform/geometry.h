// Integer device geometry and colours shared by every canvas.
#pragma once

#include <cstdint>

#include "platform/numeric.h"

namespace quillet {

// 0x00BBGGRR; 0x80000000 + n is system colour n, resolved when drawn.
using Color = std::uint32_t;

constexpr Color clNone = 0x1FFFFFFF;  // no colour: a transparent fill
constexpr Color clBlack = 0x000000;
constexpr Color clWhite = 0xFFFFFF;
constexpr Color clSystemBase = 0x80000000;
constexpr Color clBtnFace = clSystemBase + 15;

constexpr bool IsSystemColor(Color c) {
  return (c & 0xFF000000u) == clSystemBase;
}
constexpr int RedOf(Color c) {
  return int(c & 0xFF);
}
constexpr int GreenOf(Color c) {
  return int((c >> 8) & 0xFF);
}
constexpr int BlueOf(Color c) {
  return int((c >> 16) & 0xFF);
}
constexpr Color MakeColor(int r, int g, int b) {
  return Color(r & 0xFF) | (Color(g & 0xFF) << 8) | (Color(b & 0xFF) << 16);
}

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// Covers columns left .. right - 1 and rows top .. bottom - 1.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  bool Intersects(const Rect& o) const {
    return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
  }
  // Moved or grown rectangles saturate at the integer range.
  Rect Inflated(int d) const {
    return {ClampToInt(std::int64_t(left) - d), ClampToInt(std::int64_t(top) - d),
            ClampToInt(std::int64_t(right) + d), ClampToInt(std::int64_t(bottom) + d)};
  }
  Rect Offset(int dx, int dy) const {
    return {ClampToInt(std::int64_t(left) + dx), ClampToInt(std::int64_t(top) + dy),
            ClampToInt(std::int64_t(right) + dx), ClampToInt(std::int64_t(bottom) + dy)};
  }
  friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace quillet
