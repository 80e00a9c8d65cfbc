// Canvas over a QPainter: screen widgets, off-screen images and printer pages.
//
// Drawing is aliased, so the coverage rules of Canvas hold pixel for pixel.
// Arial is served by Liberation Sans (same metrics), installed as a font
// substitution by InstallFontSubstitutions().
#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <memory>

#include "platform/canvas.h"
#include "platform/qt/latin_text_bounds.h"

class QPainter;

namespace quillet {

class QtCanvas : public Canvas {
 public:
  // `painter` must be active and outlive the canvas.
  QtCanvas(QPainter& painter, DeviceKind kind);

  QPainter& Painter() { return painter_; }

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
  bool OnTextFits(std::string_view text, int maxWidth, const TextState& s) override;
  TextMetrics OnTextMetrics(const Font& f) override;
  bool OnRectVisible(const Rect& r) override;
  int OnPixelsPerInchY() override;

 private:
  void Apply(const DrawState& s, bool fill);

  // The Qt font of an engine font with its metrics at a device resolution.
  struct FontEntry {
    Font key;
    int dpiX = 0, dpiY = 0;
    QFont font;
    QFontMetrics metrics{QFont()};
    TextMetrics textMetrics;
    std::unique_ptr<LatinTextBounds> bounds;
  };
  // The entry for `f` on the painter's device, from the few fonts used last
  // by any canvas: pages draw and measure many texts in few fonts, and a
  // printer page's canvas lives for one page only. Valid until the next call.
  FontEntry& Fonts(const Font& f);
  // Text that OnText may draw without saving the painter's state: no rotation,
  // spacing, justification, background, decoration or reading order of its own.
  static bool IsPlainText(unsigned options, const TextState& s);
  // Draws a text with no clip, rotation, spacing or background of its own,
  // changing only what differs from the painter's state (every state change
  // costs a printer page commands of its own).
  void DrawPlainText(const FontEntry& entry, int x, int y, const QString& text, Color color);

  QPainter& painter_;
};

namespace detail {
// Holds the image and its painter so they exist before QtCanvas is built.
struct ImageAndPainter {
  ImageAndPainter(int width, int height, Color background, int dpi);
  ~ImageAndPainter();
  QImage image;
  std::unique_ptr<QPainter> painter;
};
}  // namespace detail

// An off-screen image canvas that owns its image and painter; at 96 dpi it
// is the measuring canvas on which text is laid out independent of devices.
class QtImageCanvas : private detail::ImageAndPainter, public QtCanvas {
 public:
  QtImageCanvas(int width, int height, Color background = clWhite, int dpi = 96,
                DeviceKind kind = DeviceKind::Screen);
  // The image as drawn so far (ends nothing: drawing may go on).
  const QImage& Image() const { return image; }
};

QColor ToQColor(Color c);
QFont ToQFont(const Font& f);
QImage ToQImage(const RasterImage& image);
RasterImage FromQImage(const QImage& image);
// Maps "Arial" and friends to their metric-compatible Liberation faces.
void InstallFontSubstitutions();

}  // namespace quillet
