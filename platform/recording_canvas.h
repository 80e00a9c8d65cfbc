// The engine's metafile: a canvas that records every drawing operation in
// order, with the state it was drawn with and its bounding rectangle.
//
// A recording replays onto any canvas and serialises to bytes and back.
// Measurement is delegated to a reference canvas when one is given (as a
// metafile measures against its reference device); without one, text is
// measured by a fixed rule (see RecordingCanvas::OnTextWidth).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/canvas.h"

namespace quillet {

class Stream;

enum class OpKind : std::uint8_t {
  Rectangle = 1,
  RoundRect,
  Ellipse,
  FillRect,
  Polygon,
  Line,
  Text,
  Image,
};

struct CanvasOp {
  OpKind kind = OpKind::Rectangle;
  Rect bounds;  // device pixels the operation may touch
  // Shapes: rect, corner, points (polygon, or the two points of a line).
  Rect rect;
  int cornerW = 0;
  int cornerH = 0;
  std::vector<Point> points;
  Pen pen;
  Brush brush;
  BkMode bkMode = BkMode::Opaque;
  // Text: origin in points[0], options, clip (when hasClip), text bytes.
  Font font;
  unsigned options = 0;
  bool hasClip = false;
  Rect clip;
  std::string text;
  Color bkColor = clWhite;
  int charExtra = 0;
  int justifyExtra = 0;
  int justifyBreaks = 0;
  // Image: destination in rect.
  std::shared_ptr<const RasterImage> image;
};

class RecordingCanvas : public Canvas {
 public:
  explicit RecordingCanvas(DeviceKind kind = DeviceKind::Metafile, Canvas* reference = nullptr)
      : Canvas(kind), reference_(reference) {}

  const std::vector<CanvasOp>& Ops() const { return ops_; }
  void Clear() { ops_.clear(); }

  // Draws every recorded operation onto `target`, offset by (dx, dy).
  void ReplayOn(Canvas& target, int dx = 0, int dy = 0) const;

  void Save(Stream& out) const;
  // Replaces the recording with one read from `in`. Malformed or short input
  // raises StreamReadError and leaves the recording empty.
  void Load(Stream& in);

 protected:
  void OnRectangle(const Rect& r, const DrawState& s) override;
  void OnRoundRect(const Rect& r, int cw, int ch, const DrawState& s) override;
  void OnEllipse(const Rect& r, const DrawState& s) override;
  void OnFillRect(const Rect& r, const Brush& b) override;
  void OnPolygon(std::span<const Point> points, const DrawState& s) override;
  void OnLine(Point from, Point to, const DrawState& s) override;
  void OnText(int x, int y, unsigned options, const Rect* clip, std::string_view text,
              const TextState& s) override;
  void OnImage(const Rect& dest, const RasterImage& image) override;
  int OnTextWidth(std::string_view text, const TextState& s) override;
  TextMetrics OnTextMetrics(const Font& f) override;
  // The reference device's resolution; 96 without one.
  int OnPixelsPerInchY() override;

 private:
  CanvasOp& Add(OpKind kind, const DrawState& s);

  Canvas* reference_;
  std::vector<CanvasOp> ops_;
};

}  // namespace quillet
