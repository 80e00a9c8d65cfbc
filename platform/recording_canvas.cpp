#include "platform/recording_canvas.h"

#include <algorithm>

#include "platform/errors.h"
#include "platform/numeric.h"
#include "platform/stream.h"

namespace quillet {
namespace {

constexpr std::uint32_t kMagic = 0x43455251;  // "QREC"
constexpr std::uint32_t kFormat = 1;
// Kind byte + bounds + pen, brush and background mode: the smallest record.
constexpr std::uint64_t kMinOpBytes = 1 + 16 + 10 + 5 + 1;
constexpr std::uint32_t kMaxTextBytes = 1u << 24;

Rect Grown(const Rect& r, const Pen& pen) {
  if (pen.style == PenStyle::Clear) return r;
  int half = std::max(pen.width, 1) / 2 + 1;
  return r.Inflated(half);
}

Rect BoundsOf(std::span<const Point> pts) {
  auto after = [](int v) { return ClampToInt(std::int64_t(v) + 1); };
  Rect b{pts[0].x, pts[0].y, after(pts[0].x), after(pts[0].y)};
  for (const Point& p : pts) {
    b.left = std::min(b.left, p.x);
    b.top = std::min(b.top, p.y);
    b.right = std::max(b.right, after(p.x));
    b.bottom = std::max(b.bottom, after(p.y));
  }
  return b;
}

void WriteRect(Stream& s, const Rect& r) {
  s.WriteI32(r.left);
  s.WriteI32(r.top);
  s.WriteI32(r.right);
  s.WriteI32(r.bottom);
}

Rect ReadRect(Stream& s) {
  Rect r;
  r.left = s.ReadI32();
  r.top = s.ReadI32();
  r.right = s.ReadI32();
  r.bottom = s.ReadI32();
  return r;
}

void WriteText(Stream& s, const std::string& t) {
  s.WriteU32(static_cast<std::uint32_t>(t.size()));
  s.WriteBytes(t);
}

std::string ReadText(Stream& s) {
  std::uint32_t n = s.ReadU32();
  if (n > kMaxTextBytes) throw StreamReadError();
  return s.ReadBytes(n);
}

template <typename E>
E ReadEnum(Stream& s, int last) {
  int v = s.ReadU8();
  if (v > last) throw StreamReadError();
  return static_cast<E>(v);
}

void ReadOp(Stream& in, CanvasOp& op) {
  op.kind = ReadEnum<OpKind>(in, static_cast<int>(OpKind::Image));
  if (static_cast<int>(op.kind) == 0) throw StreamReadError();
  op.bounds = ReadRect(in);
  op.pen.color = in.ReadU32();
  op.pen.width = in.ReadI32();
  if (op.pen.width < 0) throw StreamReadError();
  op.pen.style = ReadEnum<PenStyle>(in, static_cast<int>(PenStyle::Clear));
  op.pen.mode = ReadEnum<PenMode>(in, static_cast<int>(PenMode::Not));
  op.brush.color = in.ReadU32();
  op.brush.style = ReadEnum<BrushStyle>(in, static_cast<int>(BrushStyle::Clear));
  op.bkMode = ReadEnum<BkMode>(in, static_cast<int>(BkMode::Opaque));
  switch (op.kind) {
    case OpKind::Rectangle:
    case OpKind::Ellipse:
    case OpKind::FillRect: op.rect = ReadRect(in); break;
    case OpKind::RoundRect:
      op.rect = ReadRect(in);
      op.cornerW = in.ReadI32();
      op.cornerH = in.ReadI32();
      break;
    case OpKind::Polygon:
    case OpKind::Line: {
      std::uint32_t n = in.ReadU32();
      if (n > in.Remaining() / 8) throw StreamReadError();
      op.points.resize(n);
      for (Point& p : op.points) {
        p.x = in.ReadI32();
        p.y = in.ReadI32();
      }
      if (op.kind == OpKind::Line && n != 2) throw StreamReadError();
      break;
    }
    case OpKind::Text: {
      Point origin;
      origin.x = in.ReadI32();
      origin.y = in.ReadI32();
      op.points = {origin};
      op.options = in.ReadU32();
      op.hasClip = in.ReadU8() != 0;
      op.clip = ReadRect(in);
      op.text = ReadText(in);
      op.font.name = ReadText(in);
      op.font.height = in.ReadI32();
      op.font.style = in.ReadI32();
      op.font.color = in.ReadU32();
      op.font.charset = in.ReadI32();
      op.font.escapement = in.ReadI32();
      op.bkColor = in.ReadU32();
      op.charExtra = in.ReadI32();
      op.justifyExtra = in.ReadI32();
      op.justifyBreaks = in.ReadI32();
      break;
    }
    case OpKind::Image: {
      op.rect = ReadRect(in);
      auto img = std::make_shared<RasterImage>();
      img->width = in.ReadI32();
      img->height = in.ReadI32();
      if (img->width < 0 || img->height < 0) throw StreamReadError();
      std::uint64_t count = std::uint64_t(img->width) * std::uint64_t(img->height);
      if (count > in.Remaining() / 4) throw StreamReadError();
      img->pixels.resize(count);
      for (auto& px : img->pixels) px = in.ReadU32();
      op.image = std::move(img);
      break;
    }
  }
}

}  // namespace

CanvasOp& RecordingCanvas::Add(OpKind kind, const DrawState& s) {
  CanvasOp& op = ops_.emplace_back();
  op.kind = kind;
  op.pen = s.pen;
  op.brush = s.brush;
  op.bkMode = s.bkMode;
  return op;
}

void RecordingCanvas::OnRectangle(const Rect& r, const DrawState& s) {
  CanvasOp& op = Add(OpKind::Rectangle, s);
  op.rect = r;
  op.bounds = Grown(r, s.pen);
}

void RecordingCanvas::OnRoundRect(const Rect& r, int cw, int ch, const DrawState& s) {
  CanvasOp& op = Add(OpKind::RoundRect, s);
  op.rect = r;
  op.cornerW = cw;
  op.cornerH = ch;
  op.bounds = Grown(r, s.pen);
}

void RecordingCanvas::OnEllipse(const Rect& r, const DrawState& s) {
  CanvasOp& op = Add(OpKind::Ellipse, s);
  op.rect = r;
  op.bounds = Grown(r, s.pen);
}

void RecordingCanvas::OnFillRect(const Rect& r, const Brush& b) {
  CanvasOp& op = Add(OpKind::FillRect, {Pen{b.color, 0, PenStyle::Clear}, b, BkMode::Opaque});
  op.rect = r;
  op.bounds = r;
}

void RecordingCanvas::OnPolygon(std::span<const Point> points, const DrawState& s) {
  CanvasOp& op = Add(OpKind::Polygon, s);
  op.points.assign(points.begin(), points.end());
  op.bounds = Grown(BoundsOf(points), s.pen);
}

void RecordingCanvas::OnLine(Point from, Point to, const DrawState& s) {
  CanvasOp& op = Add(OpKind::Line, s);
  op.points = {from, to};
  op.bounds = Grown(BoundsOf(op.points), s.pen);
}

void RecordingCanvas::OnText(int x, int y, unsigned options, const Rect* clip,
                             std::string_view text, const TextState& s) {
  CanvasOp& op = Add(OpKind::Text, {Pen{}, Brush{s.bkColor}, s.bkMode});
  op.points = {{x, y}};
  op.options = options;
  op.hasClip = clip != nullptr;
  if (clip) op.clip = *clip;
  op.text = std::string(text);
  op.font = s.font;
  op.bkColor = s.bkColor;
  op.charExtra = s.charExtra;
  op.justifyExtra = s.justifyExtra;
  op.justifyBreaks = s.justifyBreaks;
  const std::int64_t width =
      std::int64_t(OnTextWidth(text, s)) + (s.justifyBreaks > 0 ? s.justifyExtra : 0);
  Rect box{x, y, ClampToInt(x + width), ClampToInt(std::int64_t(y) + OnTextMetrics(s.font).height)};
  if (clip && (options & etoClipped)) {
    box = {std::max(box.left, clip->left), std::max(box.top, clip->top),
           std::min(box.right, clip->right), std::min(box.bottom, clip->bottom)};
    if (box.IsEmpty()) box = {box.left, box.top, box.left, box.top};
  }
  op.bounds = box;
}

void RecordingCanvas::OnImage(const Rect& dest, const RasterImage& image) {
  CanvasOp& op = Add(OpKind::Image, {GetPen(), GetBrush(), GetBkMode()});
  op.rect = dest;
  op.bounds = dest;
  op.image = std::make_shared<RasterImage>(image);
}

int RecordingCanvas::OnTextWidth(std::string_view text, const TextState& s) {
  if (reference_) {
    Font saved = reference_->GetFont();
    int savedExtra = reference_->GetTextCharacterExtra();
    reference_->SetFont(s.font);
    reference_->SetTextCharacterExtra(s.charExtra);
    int w = reference_->TextWidth(text);
    reference_->SetFont(saved);
    reference_->SetTextCharacterExtra(savedExtra);
    return w;
  }
  // Without a reference device: half the em height per character.
  int n = static_cast<int>(text.size());
  const std::int64_t half = std::abs(std::int64_t(s.font.height)) / 2;
  return ClampToInt(std::int64_t(n) * (half + s.charExtra));
}

int RecordingCanvas::OnPixelsPerInchY() {
  return reference_ ? reference_->PixelsPerInchY() : 96;
}

TextMetrics RecordingCanvas::OnTextMetrics(const Font& f) {
  if (reference_) {
    Font saved = reference_->GetFont();
    reference_->SetFont(f);
    TextMetrics m = reference_->GetTextMetrics();
    reference_->SetFont(saved);
    return m;
  }
  const int h = ClampToInt(std::abs(std::int64_t(f.height)));
  TextMetrics m;
  m.ascent = h - h / 5;
  m.descent = h / 5;
  m.height = m.ascent + m.descent;
  m.averageCharWidth = h / 2;
  return m;
}

void RecordingCanvas::ReplayOn(Canvas& target, int dx, int dy) const {
  for (const CanvasOp& op : ops_) {
    target.SetPen(op.pen);
    target.SetBrush(op.brush);
    target.SetBkMode(op.bkMode);
    Rect r = op.rect.Offset(dx, dy);
    switch (op.kind) {
      case OpKind::Rectangle: target.Rectangle(r); break;
      case OpKind::RoundRect:
        target.RoundRect(r.left, r.top, r.right, r.bottom, op.cornerW, op.cornerH);
        break;
      case OpKind::Ellipse: target.Ellipse(r.left, r.top, r.right, r.bottom); break;
      case OpKind::FillRect: target.FillRect(r); break;
      case OpKind::Polygon: {
        std::vector<Point> pts = op.points;
        for (Point& p : pts) p = {AddSat(p.x, dx), AddSat(p.y, dy)};
        target.Polygon(pts);
        break;
      }
      case OpKind::Line:
        target.Line(AddSat(op.points[0].x, dx), AddSat(op.points[0].y, dy),
                    AddSat(op.points[1].x, dx), AddSat(op.points[1].y, dy));
        break;
      case OpKind::Text: {
        target.SetFont(op.font);
        target.SetBrushColor(op.bkColor);
        target.SetTextCharacterExtra(op.charExtra);
        target.SetTextJustification(op.justifyExtra, op.justifyBreaks);
        Rect clip = op.clip.Offset(dx, dy);
        target.ExtTextOut(AddSat(op.points[0].x, dx), AddSat(op.points[0].y, dy), op.options,
                          op.hasClip ? &clip : nullptr, op.text);
        target.SetTextJustification(0, 0);
        target.SetTextCharacterExtra(0);
        break;
      }
      case OpKind::Image:
        if (op.image) target.DrawImage(r, *op.image);
        break;
    }
  }
}

void RecordingCanvas::Save(Stream& out) const {
  out.WriteU32(kMagic);
  out.WriteU32(kFormat);
  out.WriteU32(static_cast<std::uint32_t>(ops_.size()));
  for (const CanvasOp& op : ops_) {
    out.WriteU8(static_cast<std::uint8_t>(op.kind));
    WriteRect(out, op.bounds);
    out.WriteU32(op.pen.color);
    out.WriteI32(op.pen.width);
    out.WriteU8(static_cast<std::uint8_t>(op.pen.style));
    out.WriteU8(static_cast<std::uint8_t>(op.pen.mode));
    out.WriteU32(op.brush.color);
    out.WriteU8(static_cast<std::uint8_t>(op.brush.style));
    out.WriteU8(static_cast<std::uint8_t>(op.bkMode));
    switch (op.kind) {
      case OpKind::Rectangle:
      case OpKind::Ellipse:
      case OpKind::FillRect: WriteRect(out, op.rect); break;
      case OpKind::RoundRect:
        WriteRect(out, op.rect);
        out.WriteI32(op.cornerW);
        out.WriteI32(op.cornerH);
        break;
      case OpKind::Polygon:
      case OpKind::Line:
        out.WriteU32(static_cast<std::uint32_t>(op.points.size()));
        for (const Point& p : op.points) {
          out.WriteI32(p.x);
          out.WriteI32(p.y);
        }
        break;
      case OpKind::Text:
        out.WriteI32(op.points[0].x);
        out.WriteI32(op.points[0].y);
        out.WriteU32(op.options);
        out.WriteU8(op.hasClip ? 1 : 0);
        WriteRect(out, op.clip);
        WriteText(out, op.text);
        WriteText(out, op.font.name);
        out.WriteI32(op.font.height);
        out.WriteI32(op.font.style);
        out.WriteU32(op.font.color);
        out.WriteI32(op.font.charset);
        out.WriteI32(op.font.escapement);
        out.WriteU32(op.bkColor);
        out.WriteI32(op.charExtra);
        out.WriteI32(op.justifyExtra);
        out.WriteI32(op.justifyBreaks);
        break;
      case OpKind::Image: {
        WriteRect(out, op.rect);
        static const RasterImage empty;
        const RasterImage& img = op.image ? *op.image : empty;
        out.WriteI32(img.width);
        out.WriteI32(img.height);
        for (auto px : img.pixels) out.WriteU32(px);
        break;
      }
    }
  }
}

void RecordingCanvas::Load(Stream& in) {
  ops_.clear();
  try {
    if (in.ReadU32() != kMagic || in.ReadU32() != kFormat) throw StreamReadError();
    std::uint32_t count = in.ReadU32();
    if (count > in.Remaining() / kMinOpBytes) throw StreamReadError();
    std::vector<CanvasOp> ops(count);
    for (CanvasOp& op : ops) ReadOp(in, op);
    ops_ = std::move(ops);
  } catch (...) {
    ops_.clear();
    throw;
  }
}

}  // namespace quillet
