// The drawing surface every report object draws on.
//
// Coordinates are device pixels. Public calls are thin and non-virtual: they
// carry the current pen, brush and font to protected hooks, so every backend
// receives the same state and applies the same coverage rules:
//   - Rectangle, RoundRect, Ellipse and FillRect cover columns x1 .. x2 - 1
//     and rows y1 .. y2 - 1 (coordinates are normalised so x1 <= x2, y1 <= y2);
//   - Line covers its first point and excludes its end point;
//   - a pen of width 0 draws one pixel wide.
// Text is UTF-8; the Qt backend draws it as Unicode, shaped, with fonts
// found for characters the chosen font lacks.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/geometry.h"

namespace quillet {

enum class PenStyle : std::uint8_t { Solid, Dash, Dot, DashDot, DashDotDot, Clear };
enum class PenMode : std::uint8_t { Copy, Xor, Not };
enum class BrushStyle : std::uint8_t { Solid, Clear };
enum class BkMode : std::uint8_t { Transparent, Opaque };
enum class DeviceKind : std::uint8_t { Screen, Printer, Metafile };

struct Pen {
  Color color = clBlack;
  int width = 1;
  PenStyle style = PenStyle::Solid;
  PenMode mode = PenMode::Copy;
  friend bool operator==(const Pen&, const Pen&) = default;
};

struct Brush {
  Color color = clWhite;
  BrushStyle style = BrushStyle::Solid;
  friend bool operator==(const Brush&, const Brush&) = default;
};

// Font style word bits.
constexpr int fsItalic = 1;
constexpr int fsBold = 2;
constexpr int fsUnderline = 4;
constexpr int fsStrikeOut = 8;

struct Font {
  std::string name = "Arial";
  int height = 13;  // em height in device pixels
  int style = 0;    // fsItalic | fsBold | fsUnderline | fsStrikeOut
  Color color = clBlack;
  int charset = 1;     // Windows character set code (0/1 ANSI, 204 Cyrillic, ...)
  int escapement = 0;  // text rotation in tenths of a degree, counter-clockwise
  friend bool operator==(const Font&, const Font&) = default;
};

struct TextMetrics {
  int ascent = 0;
  int descent = 0;
  int height = 0;  // ascent + descent
  int externalLeading = 0;
  int averageCharWidth = 0;
};

// A plain 32-bit image (0xAARRGGBB, row-major, top row first).
struct RasterImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  bool IsEmpty() const { return width <= 0 || height <= 0; }
  friend bool operator==(const RasterImage&, const RasterImage&) = default;
};

// Options for text output.
constexpr unsigned etoClipped = 1;  // clip to the given rectangle
constexpr unsigned etoOpaque = 2;   // fill the rectangle with the brush colour first
constexpr unsigned etoRtlReading = 4;

class Canvas {
 public:
  virtual ~Canvas() = default;

  DeviceKind Kind() const { return kind_; }

  void SetPen(const Pen& pen) { pen_ = pen; }
  const Pen& GetPen() const { return pen_; }
  void SetPenColor(Color c) { pen_.color = c; }
  void SetPenWidth(int w) { pen_.width = w < 0 ? 0 : w; }
  void SetPenStyle(PenStyle s) { pen_.style = s; }
  void SetPenMode(PenMode m) { pen_.mode = m; }

  void SetBrush(const Brush& brush) { brush_ = brush; }
  const Brush& GetBrush() const { return brush_; }
  void SetBrushColor(Color c) { brush_.color = c; }
  void SetBrushStyle(BrushStyle s) { brush_.style = s; }

  void SetFont(const Font& font) { font_ = font; }
  const Font& GetFont() const { return font_; }

  void SetBkMode(BkMode m) { bkMode_ = m; }
  BkMode GetBkMode() const { return bkMode_; }

  // Extra pixels after every character of text output and measurement.
  void SetTextCharacterExtra(int extra) { charExtra_ = extra; }
  int GetTextCharacterExtra() const { return charExtra_; }
  // Spreads `extra` pixels over the next text's `breakCount` break characters
  // (spaces and no-break spaces).
  void SetTextJustification(int extra, int breakCount) {
    justifyExtra_ = extra;
    justifyBreaks_ = breakCount;
  }

  void Rectangle(int x1, int y1, int x2, int y2);
  void Rectangle(const Rect& r) { Rectangle(r.left, r.top, r.right, r.bottom); }
  void RoundRect(int x1, int y1, int x2, int y2, int cornerW, int cornerH);
  void Ellipse(int x1, int y1, int x2, int y2);
  void FillRect(const Rect& r);  // brush colour only, no outline
  void Polygon(std::span<const Point> points);
  void Line(int x1, int y1, int x2, int y2);
  // Text whose cell's top-left corner is (x, y).
  void TextOut(int x, int y, std::string_view text) { ExtTextOut(x, y, 0, nullptr, text); }
  void ExtTextOut(int x, int y, unsigned options, const Rect* clip, std::string_view text);
  void DrawImage(const Rect& dest, const RasterImage& image);

  int TextWidth(std::string_view text);
  // Whether TextWidth(text) <= maxWidth; a backend may know without measuring.
  bool TextFits(std::string_view text, int maxWidth) { return OnTextFits(text, maxWidth, Text()); }
  TextMetrics GetTextMetrics();
  // Whether any part of r may be visible on the device.
  bool RectVisible(const Rect& r) { return OnRectVisible(Normalised(r)); }
  // Logical vertical resolution of the device, pixels per inch (what a
  // font's point size maps to on this device).
  int PixelsPerInchY() { return OnPixelsPerInchY(); }

 protected:
  explicit Canvas(DeviceKind kind) : kind_(kind) {}

  // The state a drawing hook works with.
  struct DrawState {
    Pen pen;
    Brush brush;
    BkMode bkMode;
  };
  struct TextState {
    Font font;
    BkMode bkMode;
    Color bkColor;  // brush colour, used by opaque text
    int charExtra;
    int justifyExtra;
    int justifyBreaks;
  };

  virtual void OnRectangle(const Rect& r, const DrawState& s) = 0;
  virtual void OnRoundRect(const Rect& r, int cornerW, int cornerH, const DrawState& s) = 0;
  virtual void OnEllipse(const Rect& r, const DrawState& s) = 0;
  virtual void OnFillRect(const Rect& r, const Brush& b) = 0;
  virtual void OnPolygon(std::span<const Point> points, const DrawState& s) = 0;
  virtual void OnLine(Point from, Point to, const DrawState& s) = 0;
  virtual void OnText(int x, int y, unsigned options, const Rect* clip, std::string_view text,
                      const TextState& s) = 0;
  virtual void OnImage(const Rect& dest, const RasterImage& image) = 0;
  virtual int OnTextWidth(std::string_view text, const TextState& s) = 0;
  virtual bool OnTextFits(std::string_view text, int maxWidth, const TextState& s) {
    return OnTextWidth(text, s) <= maxWidth;
  }
  virtual TextMetrics OnTextMetrics(const Font& f) = 0;
  virtual bool OnRectVisible(const Rect&) { return true; }
  virtual int OnPixelsPerInchY() { return 96; }

  static Rect Normalised(const Rect& r);

 private:
  DrawState Draw() const { return {pen_, brush_, bkMode_}; }
  TextState Text() const {
    return {font_, bkMode_, brush_.color, charExtra_, justifyExtra_, justifyBreaks_};
  }

  DeviceKind kind_;
  Pen pen_;
  Brush brush_;
  Font font_;
  BkMode bkMode_ = BkMode::Opaque;
  int charExtra_ = 0;
  int justifyExtra_ = 0;
  int justifyBreaks_ = 0;
};

}  // namespace quillet
