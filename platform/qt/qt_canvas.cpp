#include "platform/qt/qt_canvas.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPalette>
#include <QPolygon>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <vector>

#include "platform/numeric.h"
#include "platform/qt/qt_text.h"

namespace quillet {

QColor ToQColor(Color c) {
  if (IsSystemColor(c)) {
    QPalette pal = QGuiApplication::palette();
    switch (c & 0xFF) {
      case 5: return pal.color(QPalette::Base);
      case 8: return pal.color(QPalette::Text);
      case 13: return pal.color(QPalette::Highlight);
      case 14: return pal.color(QPalette::HighlightedText);
      case 16: return pal.color(QPalette::Dark);
      case 18: return pal.color(QPalette::ButtonText);
      case 20: return pal.color(QPalette::Light);
      case 1:
      case 12: return pal.color(QPalette::Window);
      default: return pal.color(QPalette::Button);
    }
  }
  return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

QFont ToQFont(const Font& f) {
  QFont q(ToQString(f.name));
  q.setPixelSize(std::max(1, std::abs(f.height)));
  q.setItalic(f.style & fsItalic);
  q.setBold(f.style & fsBold);
  q.setUnderline(f.style & fsUnderline);
  q.setStrikeOut(f.style & fsStrikeOut);
  q.setKerning(false);
  q.setHintingPreference(QFont::PreferFullHinting);
  return q;
}

QImage ToQImage(const RasterImage& image) {
  QImage q(image.width, image.height, QImage::Format_ARGB32);
  for (int y = 0; y < image.height; ++y) {
    auto* line = reinterpret_cast<std::uint32_t*>(q.scanLine(y));
    for (int x = 0; x < image.width; ++x) line[x] = image.pixels[std::size_t(y) * image.width + x];
  }
  return q;
}

RasterImage FromQImage(const QImage& image) {
  QImage q = image.convertToFormat(QImage::Format_ARGB32);
  RasterImage r;
  r.width = q.width();
  r.height = q.height();
  r.pixels.resize(std::size_t(r.width) * r.height);
  for (int y = 0; y < r.height; ++y) {
    auto* line = reinterpret_cast<const std::uint32_t*>(q.constScanLine(y));
    for (int x = 0; x < r.width; ++x) r.pixels[std::size_t(y) * r.width + x] = line[x];
  }
  return r;
}

void InstallFontSubstitutions() {
  QFont::insertSubstitution("Arial", "Liberation Sans");
  QFont::insertSubstitution("Helvetica", "Liberation Sans");
  QFont::insertSubstitution("MS Sans Serif", "Liberation Sans");
  QFont::insertSubstitution("Times New Roman", "Liberation Serif");
  QFont::insertSubstitution("Courier New", "Liberation Mono");
}

namespace {

Qt::PenStyle ToQtStyle(PenStyle s) {
  switch (s) {
    case PenStyle::Dash: return Qt::DashLine;
    case PenStyle::Dot: return Qt::DotLine;
    case PenStyle::DashDot: return Qt::DashDotLine;
    case PenStyle::DashDotDot: return Qt::DashDotDotLine;
    case PenStyle::Clear: return Qt::NoPen;
    default: return Qt::SolidLine;
  }
}

QPainter::CompositionMode ToComposition(PenMode m) {
  switch (m) {
    case PenMode::Xor: return QPainter::RasterOp_SourceXorDestination;
    case PenMode::Not: return QPainter::RasterOp_NotDestination;
    default: return QPainter::CompositionMode_SourceOver;
  }
}

// The engine's pen: widths 0 and 1 are one-pixel cosmetic pens; wider pens have
// round ends and joins, centred on the outline.
QPen ToQPen(const Pen& p) {
  QPen q(ToQColor(p.color));
  q.setStyle(ToQtStyle(p.style));
  if (p.width <= 1) {
    q.setWidth(0);
    q.setCosmetic(true);
    q.setCapStyle(Qt::SquareCap);
    q.setJoinStyle(Qt::MiterJoin);
  } else {
    q.setWidth(p.width);
    q.setCapStyle(Qt::RoundCap);
    q.setJoinStyle(Qt::RoundJoin);
  }
  return q;
}

bool Wide(const Pen& p) {
  return p.width > 1 && p.style != PenStyle::Clear;
}

}  // namespace

QtCanvas::QtCanvas(QPainter& painter, DeviceKind kind) : Canvas(kind), painter_(painter) {
  painter_.setRenderHint(QPainter::Antialiasing, false);
}

void QtCanvas::Apply(const DrawState& s, bool fill) {
  painter_.setCompositionMode(ToComposition(s.pen.mode));
  painter_.setPen(ToQPen(s.pen));
  if (fill && s.brush.style == BrushStyle::Solid)
    painter_.setBrush(ToQColor(s.brush.color));
  else
    painter_.setBrush(Qt::NoBrush);
}

// Outlines are drawn on the pixel centres of the first and last covered
// column and row, so a one-pixel outline covers exactly x1 .. x2 - 1; the
// half-pixel shift puts wide pens symmetrically around those centres.
void QtCanvas::OnRectangle(const Rect& r, const DrawState& s) {
  if (r.IsEmpty()) return;
  if (s.brush.style == BrushStyle::Solid) {
    painter_.setCompositionMode(ToComposition(s.pen.mode));
    painter_.fillRect(QRect(r.left, r.top, r.Width(), r.Height()), ToQColor(s.brush.color));
  }
  if (s.pen.style == PenStyle::Clear) return;
  Apply(s, false);
  if (Wide(s.pen))
    painter_.drawRect(QRectF(r.left + 0.5, r.top + 0.5, r.Width() - 1, r.Height() - 1));
  else
    painter_.drawRect(QRect(r.left, r.top, r.Width() - 1, r.Height() - 1));
}

void QtCanvas::OnRoundRect(const Rect& r, int cw, int ch, const DrawState& s) {
  if (r.IsEmpty()) return;
  Apply(s, true);
  if (s.pen.style == PenStyle::Clear) painter_.setPen(Qt::NoPen);
  QRectF box(r.left + 0.5, r.top + 0.5, r.Width() - 1, r.Height() - 1);
  if (!Wide(s.pen) && s.pen.style != PenStyle::Clear)
    box = QRectF(r.left, r.top, r.Width() - 1, r.Height() - 1);
  painter_.drawRoundedRect(box, cw / 2.0, ch / 2.0, Qt::AbsoluteSize);
}

void QtCanvas::OnEllipse(const Rect& r, const DrawState& s) {
  if (r.IsEmpty()) return;
  Apply(s, true);
  painter_.drawEllipse(QRectF(r.left + 0.5, r.top + 0.5, r.Width() - 1, r.Height() - 1));
}

void QtCanvas::OnFillRect(const Rect& r, const Brush& b) {
  if (r.IsEmpty()) return;
  painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter_.fillRect(QRect(r.left, r.top, r.Width(), r.Height()), ToQColor(b.color));
}

void QtCanvas::OnPolygon(std::span<const Point> points, const DrawState& s) {
  Apply(s, true);
  if (Wide(s.pen) || s.pen.style == PenStyle::Clear) {
    QPolygonF poly;
    for (const Point& p : points) poly << QPointF(p.x + 0.5, p.y + 0.5);
    painter_.drawPolygon(poly, Qt::OddEvenFill);
  } else {
    QPolygon poly;
    for (const Point& p : points) poly << QPoint(p.x, p.y);
    painter_.drawPolygon(poly, Qt::OddEvenFill);
  }
}

void QtCanvas::OnLine(Point from, Point to, const DrawState& s) {
  if (s.pen.style == PenStyle::Clear) return;
  Apply(s, false);
  // Step back one pixel along the major axis so the end point stays uncovered.
  int dx = to.x - from.x;
  int dy = to.y - from.y;
  int major = std::max(std::abs(dx), std::abs(dy));
  double ex = to.x - double(dx) / major;
  double ey = to.y - double(dy) / major;
  if (Wide(s.pen)) {
    painter_.drawLine(QPointF(from.x + 0.5, from.y + 0.5), QPointF(ex + 0.5, ey + 0.5));
  } else {
    QPoint end(static_cast<int>(std::lround(ex)), static_cast<int>(std::lround(ey)));
    if (end == QPoint(from.x, from.y))
      painter_.drawPoint(end);
    else
      painter_.drawLine(QPoint(from.x, from.y), end);
  }
}

bool QtCanvas::IsPlainText(unsigned options, const TextState& s) {
  return !(options & (etoOpaque | etoRtlReading)) && s.font.escapement == 0 && s.charExtra == 0 &&
         s.justifyBreaks <= 0 && s.bkMode == BkMode::Transparent &&
         !(s.font.style & (fsUnderline | fsStrikeOut));
}

void QtCanvas::DrawPlainText(const FontEntry& entry, int x, int y, const QString& text,
                             Color color) {
  if (painter_.compositionMode() != QPainter::CompositionMode_SourceOver)
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
  if (painter_.font() != entry.font) painter_.setFont(entry.font);
  // Text is filled with the pen's brush alone.
  const QColor wanted = ToQColor(color);
  const QPen& pen = painter_.pen();
  if (pen.style() == Qt::NoPen || pen.brush().style() != Qt::SolidPattern || pen.color() != wanted)
    painter_.setPen(wanted);
  painter_.drawText(QPoint(x, y + entry.textMetrics.ascent), text);
}

void QtCanvas::OnText(int x, int y, unsigned options, const Rect* clip, std::string_view text,
                      const TextState& s) {
  // Text placed near the ends of the int range (a damaged file) is on no
  // device: skipped before any sum with its origin could overflow.
  constexpr std::int64_t kFarthestText = std::int64_t(1) << 28;
  if (std::abs(std::int64_t(x)) > kFarthestText || std::abs(std::int64_t(y)) > kFarthestText)
    return;
  FontEntry& entry = Fonts(s.font);
  QString qs = ToQString(text);
  if (IsPlainText(options, s)) {
    // A clip that no glyph can reach changes no pixel; leaving it out saves
    // the state changes around it.
    const bool clipped = clip && (options & etoClipped);
    if (!clipped) return DrawPlainText(entry, x, y, qs, s.font.color);
    const auto ink = entry.bounds->InkAtMost(qs, x, y + entry.textMetrics.ascent);
    if (ink && QRectF(clip->left, clip->top, clip->Width(), clip->Height()).contains(*ink))
      return DrawPlainText(entry, x, y, qs, s.font.color);
  }
  painter_.save();
  painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
  const TextMetrics metrics = entry.textMetrics;
  QFont font = entry.font;
  QFontMetrics fm = entry.metrics;
  if (s.charExtra) {
    font.setLetterSpacing(QFont::AbsoluteSpacing, s.charExtra);
    fm = QFontMetrics(font, painter_.device());
  }
  painter_.setFont(font);
  if (clip && (options & etoOpaque))
    painter_.fillRect(QRect(clip->left, clip->top, clip->Width(), clip->Height()),
                      ToQColor(s.bkColor));
  if (clip && (options & etoClipped))
    painter_.setClipRect(QRect(clip->left, clip->top, clip->Width(), clip->Height()),
                         Qt::IntersectClip);
  if (s.font.escapement != 0) {
    painter_.translate(x, y);
    painter_.rotate(-s.font.escapement / 10.0);
    x = 0;
    y = 0;
  }
  if (s.bkMode == BkMode::Opaque && !(options & etoOpaque)) {
    const int w = AddSat(fm.horizontalAdvance(qs), s.justifyBreaks > 0 ? s.justifyExtra : 0);
    painter_.fillRect(QRect(x, y, w, metrics.height), ToQColor(s.bkColor));
  }
  painter_.setPen(ToQColor(s.font.color));
  if (options & etoRtlReading) painter_.setLayoutDirection(Qt::RightToLeft);
  const int baseline = AddSat(y, metrics.ascent);
  if (s.justifyBreaks > 0 && s.justifyExtra != 0) {
    // Spread the extra pixels over the spaces, earlier gaps taking the remainder.
    int gaps = 0;
    double pos = x;
    QString run;
    for (QChar ch : qs) {
      run += ch;
      if (ch == u' ' || ch == QChar(0x00A0)) {
        painter_.drawText(QPointF(pos, baseline), run);
        pos += fm.horizontalAdvance(run);
        int share = s.justifyExtra / s.justifyBreaks + (gaps < s.justifyExtra % s.justifyBreaks);
        pos += share;
        ++gaps;
        run.clear();
      }
    }
    if (!run.isEmpty()) painter_.drawText(QPointF(pos, baseline), run);
  } else {
    painter_.drawText(QPoint(x, baseline), qs);
  }
  painter_.restore();
}

void QtCanvas::OnImage(const Rect& dest, const RasterImage& image) {
  painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter_.drawImage(QRect(dest.left, dest.top, dest.Width(), dest.Height()), ToQImage(image));
}

int QtCanvas::OnTextWidth(std::string_view text, const TextState& s) {
  QString qs = ToQString(text);
  return ClampToInt(Fonts(s.font).metrics.horizontalAdvance(qs) +
                    std::int64_t(s.charExtra) * qs.size());
}

bool QtCanvas::OnTextFits(std::string_view text, int maxWidth, const TextState& s) {
  FontEntry& entry = Fonts(s.font);
  auto boundFits = [&](std::optional<double> advance, std::int64_t characters) {
    return advance &&
           *advance + std::max<std::int64_t>(0, std::int64_t(s.charExtra) * characters) <= maxWidth;
  };
  // Seven-bit text is Latin-1 too: most lines
  // are bounded from their bytes, with no QString made.
  const bool sevenBit =
      std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });
  if (sevenBit && boundFits(entry.bounds->AdvanceAtMost(text), std::int64_t(text.size())))
    return true;
  const QString qs = ToQString(text);
  if (!sevenBit && boundFits(entry.bounds->AdvanceAtMost(qs), qs.size())) return true;
  return ClampToInt(entry.metrics.horizontalAdvance(qs) + std::int64_t(s.charExtra) * qs.size()) <=
         maxWidth;
}

TextMetrics QtCanvas::OnTextMetrics(const Font& f) {
  return Fonts(f).textMetrics;
}

// Ascent and descent are rounded up, as the platform the report format comes
// from does, so an 11-pixel Arial line is 13 pixels high.
QtCanvas::FontEntry& QtCanvas::Fonts(const Font& f) {
  constexpr std::size_t kKept = 8;
  static std::vector<std::unique_ptr<FontEntry>> recent;  // the most recent first
  const QPaintDevice* device = painter_.device();
  const int dpiX = device ? device->logicalDpiX() : 0;
  const int dpiY = device ? device->logicalDpiY() : 0;
  for (auto it = recent.begin(); it != recent.end(); ++it)
    if ((*it)->key == f && (*it)->dpiX == dpiX && (*it)->dpiY == dpiY) {
      std::rotate(recent.begin(), it, it + 1);
      return *recent.front();
    }
  auto entry = std::make_unique<FontEntry>();
  entry->key = f;
  entry->dpiX = dpiX;
  entry->dpiY = dpiY;
  entry->font = ToQFont(f);
  entry->metrics = QFontMetrics(entry->font, painter_.device());
  entry->bounds = std::make_unique<LatinTextBounds>(entry->font, painter_.device());
  const QFontMetricsF fm(entry->font, painter_.device());
  TextMetrics& m = entry->textMetrics;
  m.ascent = static_cast<int>(std::ceil(fm.ascent() - 1e-6));
  m.descent = static_cast<int>(std::ceil(fm.descent() - 1e-6));
  m.height = m.ascent + m.descent;
  m.externalLeading = static_cast<int>(std::lround(fm.leading()));
  m.averageCharWidth = static_cast<int>(std::lround(fm.averageCharWidth()));
  if (recent.size() == kKept) recent.pop_back();
  recent.insert(recent.begin(), std::move(entry));
  return *recent.front();
}

int QtCanvas::OnPixelsPerInchY() {
  QPaintDevice* dev = painter_.device();
  return dev ? dev->logicalDpiY() : 96;
}

namespace {

// Whether two page layouts give a page of the same size (comparing whole
// layouts compares the paper names too, which costs more than the answer).
bool SameExtent(const QPageLayout& a, const QPageLayout& b) {
  return a.mode() == b.mode() && a.orientation() == b.orientation() && a.units() == b.units() &&
         a.margins() == b.margins() && a.pageSize().sizePoints() == b.pageSize().sizePoints() &&
         a.pageSize().size(QPageSize::Millimeter) == b.pageSize().size(QPageSize::Millimeter);
}

// The device's rectangle in device pixels. A paged device (a PDF writer, a
// printer) works its size out from the page layout on every question, and a
// page asks once per object; so the answer is kept for as long as the same
// device has the same layout and resolution.
QRect DeviceRect(const QPaintDevice& device) {
  const auto* paged = dynamic_cast<const QPagedPaintDevice*>(&device);
  if (!paged) return {0, 0, device.width(), device.height()};
  struct Kept {
    const QPaintDevice* device = nullptr;
    QPageLayout layout;
    int dpiX = 0, dpiY = 0;
    QRect rect;
  };
  static Kept kept;
  const QPageLayout layout = paged->pageLayout();
  const int dpiX = device.logicalDpiX(), dpiY = device.logicalDpiY();
  if (kept.device != &device || kept.dpiX != dpiX || kept.dpiY != dpiY ||
      !SameExtent(kept.layout, layout))
    kept = {&device, layout, dpiX, dpiY, QRect(0, 0, device.width(), device.height())};
  return kept.rect;
}

}  // namespace

bool QtCanvas::OnRectVisible(const Rect& r) {
  const QRect target(r.left, r.top, r.Width(), r.Height());
  if (painter_.hasClipping()) return painter_.clipBoundingRect().intersects(QRectF(target));
  const QPaintDevice* device = painter_.device();
  if (!device) return true;
  const QRect whole = DeviceRect(*device);
  const QTransform& t = painter_.transform();
  return (t.isIdentity() ? whole : t.inverted().mapRect(whole)).intersects(target);
}

namespace detail {

ImageAndPainter::ImageAndPainter(int width, int height, Color background, int dpi)
    : image(std::max(1, width), std::max(1, height), QImage::Format_ARGB32) {
  const int dpm = static_cast<int>(std::lround(dpi / 0.0254));
  image.setDotsPerMeterX(dpm);
  image.setDotsPerMeterY(dpm);
  image.fill(ToQColor(background));
  painter = std::make_unique<QPainter>(&image);
}

ImageAndPainter::~ImageAndPainter() {
  if (painter) painter->end();
}

}  // namespace detail

QtImageCanvas::QtImageCanvas(int width, int height, Color background, int dpi, DeviceKind kind)
    : detail::ImageAndPainter(width, height, background, dpi), QtCanvas(*painter, kind) {}

}  // namespace quillet
