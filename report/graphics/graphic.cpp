#include "report/graphics/graphic.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>

#include "platform/errors.h"
#include "platform/numeric.h"
#include "platform/recording_canvas.h"
#include "platform/stream.h"
#include "report/base/text_format.h"
#include "report/graphics/bmp_codec.h"
#include "report/graphics/icon_codec.h"
#include "report/graphics/jpeg_codec.h"
#include "report/graphics/png_codec.h"
#include "report/graphics/svg_drawing.h"

namespace quillet {
namespace {

// Replayed metafile coordinates stay within +-kMaxCoord device pixels, and
// pen widths, corners, font heights and text spacing within +-kMaxSize.
constexpr double kMaxCoord = 1 << 26;
constexpr double kMaxSize = 1 << 12;

// Files larger than this are not pictures a report embeds.
constexpr std::uint64_t kMaxGraphicFileBytes = 256u * 1024 * 1024;

std::int32_t Clamp32(std::int64_t v) {
  return std::int32_t(std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(),
                                               std::numeric_limits<std::int32_t>::max()));
}

bool IsOpaque(const RasterImage& image) {
  return std::all_of(image.pixels.begin(), image.pixels.end(),
                     [](std::uint32_t px) { return (px >> 24) == 0xFF; });
}

}  // namespace

GraphicKind GraphicKindOfBlobType(int blobType) {
  switch (blobType) {
    case 0: return GraphicKind::Bitmap;
    case 1: return GraphicKind::Jpeg;
    case 2: return GraphicKind::Icon;
    case 3: return GraphicKind::Metafile;
    case 4: return GraphicKind::Png;
    case 5: return GraphicKind::Svg;
    default: return GraphicKind::None;
  }
}

GraphicKind SniffGraphicKind(std::span<const std::uint8_t> bytes) {
  auto starts = [&bytes](std::initializer_list<std::uint8_t> head) {
    return bytes.size() >= head.size() && std::equal(head.begin(), head.end(), bytes.begin());
  };
  if (HasPngSignature(bytes)) return GraphicKind::Png;
  if (starts({0xFF, 0xD8, 0xFF})) return GraphicKind::Jpeg;
  if (starts({'B', 'M'})) return GraphicKind::Bitmap;
  if (starts({0, 0, 1, 0}) || starts({0, 0, 2, 0})) return GraphicKind::Icon;
  if (LooksLikeSvg(bytes)) return GraphicKind::Svg;
  return GraphicKind::None;
}

Graphic::Graphic() = default;
Graphic::~Graphic() = default;

Graphic::Graphic(const Graphic& o)
    : kind_(o.kind_),
      bytes_(o.bytes_),
      image_(o.image_),
      metafile_(o.metafile_ ? std::make_unique<RecordingCanvas>(*o.metafile_) : nullptr),
      originX_(o.originX_),
      originY_(o.originY_),
      width_(o.width_),
      height_(o.height_),
      refusal_(o.refusal_) {}

Graphic& Graphic::operator=(const Graphic& o) {
  if (this != &o) {
    Graphic copy(o);
    std::swap(kind_, copy.kind_);
    std::swap(bytes_, copy.bytes_);
    std::swap(image_, copy.image_);
    std::swap(metafile_, copy.metafile_);
    std::swap(originX_, copy.originX_);
    std::swap(originY_, copy.originY_);
    std::swap(width_, copy.width_);
    std::swap(height_, copy.height_);
    std::swap(refusal_, copy.refusal_);
  }
  return *this;
}

void Graphic::Clear() {
  kind_ = GraphicKind::None;
  bytes_.clear();
  image_ = {};
  metafile_.reset();
  originX_ = originY_ = width_ = height_ = 0;
  refusal_.clear();
}

void Graphic::KeepRefused(GraphicKind kind, std::vector<std::uint8_t> bytes, std::string reason) {
  Clear();
  kind_ = kind;
  bytes_ = std::move(bytes);
  refusal_ = std::move(reason);
}

void Graphic::Load(GraphicKind kind, std::vector<std::uint8_t> bytes) {
  if (kind == GraphicKind::None) {
    Clear();
    return;
  }
  RasterImage image;
  std::unique_ptr<RecordingCanvas> metafile;
  std::int64_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  int svgWidth = 0, svgHeight = 0;
  if (!bytes.empty()) {
    switch (kind) {
      case GraphicKind::Bitmap: image = DecodeBmp(bytes); break;
      case GraphicKind::Icon: image = DecodeIcon(bytes); break;
      case GraphicKind::Jpeg: image = DecodeJpeg(bytes); break;
      case GraphicKind::Png: image = DecodePng(bytes); break;
      case GraphicKind::Svg: {
        const PictureSize natural = ReadSvgSize(bytes);
        svgWidth = natural.width;
        svgHeight = natural.height;
        break;
      }
      case GraphicKind::Metafile: {
        auto recording = std::make_unique<RecordingCanvas>();
        MemoryStream in(bytes);
        try {
          recording->Load(in);
          metafile = std::move(recording);
        } catch (const StreamReadError&) {
          // Not ours to interpret: kept as bytes only.
        }
        break;
      }
      default: throw StreamReadError("Unknown picture kind " + std::to_string(int(kind)));
    }
  }
  if (metafile) {
    for (const CanvasOp& op : metafile->Ops()) {
      x1 = std::min({x1, std::int64_t(op.bounds.left), std::int64_t(op.bounds.right)});
      y1 = std::min({y1, std::int64_t(op.bounds.top), std::int64_t(op.bounds.bottom)});
      x2 = std::max({x2, std::int64_t(op.bounds.left), std::int64_t(op.bounds.right)});
      y2 = std::max({y2, std::int64_t(op.bounds.top), std::int64_t(op.bounds.bottom)});
    }
  }
  kind_ = kind;
  bytes_ = std::move(bytes);
  image_ = std::move(image);
  metafile_ = std::move(metafile);
  refusal_.clear();
  if (metafile_) {
    originX_ = Clamp32(x1);
    originY_ = Clamp32(y1);
    width_ = Clamp32(x2 - x1);
    height_ = Clamp32(y2 - y1);
  } else if (kind_ == GraphicKind::Svg) {
    originX_ = originY_ = 0;
    width_ = svgWidth;
    height_ = svgHeight;
  } else {
    originX_ = originY_ = 0;
    width_ = image_.width;
    height_ = image_.height;
  }
}

void Graphic::LoadFromFile(const std::string& path) {
  FileStream file(path, FileStream::Mode::Read);
  if (file.Size() > kMaxGraphicFileBytes)
    throw StreamReadError("Picture file " + path + " is too large");
  std::vector<std::uint8_t> bytes(file.Size());
  if (!bytes.empty()) file.ReadExact(bytes.data(), bytes.size());
  GraphicKind kind = SniffGraphicKind(bytes);
  if (kind == GraphicKind::None) {
    const std::string upper = UpperCase(path);
    const std::size_t dot = upper.rfind('.');
    const std::string ext = dot == std::string::npos ? std::string() : upper.substr(dot + 1);
    if (ext == "BMP" || ext == "DIB")
      kind = GraphicKind::Bitmap;
    else if (ext == "JPG" || ext == "JPEG" || ext == "JPE")
      kind = GraphicKind::Jpeg;
    else if (ext == "PNG")
      kind = GraphicKind::Png;
    else if (ext == "SVG")
      kind = GraphicKind::Svg;
    else if (ext == "ICO" || ext == "CUR")
      kind = GraphicKind::Icon;
    else if (ext == "EMF" || ext == "WMF")
      kind = GraphicKind::Metafile;
    else
      throw StreamReadError("Picture file " + path +
                            " is none of BMP, JPEG, PNG, SVG, icon or metafile");
  }
  Load(kind, std::move(bytes));
}

void Graphic::SetImage(GraphicKind kind, RasterImage image) {
  std::vector<std::uint8_t> bytes;
  switch (kind) {
    case GraphicKind::Bitmap: bytes = EncodeBmp(image, IsOpaque(image) ? 24 : 32); break;
    case GraphicKind::Icon: bytes = EncodeIcon(image); break;
    case GraphicKind::Jpeg: bytes = EncodeJpeg(image); break;
    case GraphicKind::Png: bytes = EncodePng(image); break;
    default: throw RangeError("Only bitmaps, icons, JPEG and PNG images are made from a raster");
  }
  // Read back, so that what is drawn now is what a saved copy will draw.
  Load(kind, std::move(bytes));
}

void Graphic::SetMetafile(const RecordingCanvas& recording) {
  MemoryStream out;
  recording.Save(out);
  Load(GraphicKind::Metafile, out.Bytes());
}

void Graphic::Draw(Canvas& canvas, const Rect& target) const {
  if (IsEmpty()) return;
  if (metafile_) {
    DrawRecordingScaled(*metafile_, {originX_, originY_, originX_ + width_, originY_ + height_},
                        canvas, target);
  } else if (kind_ == GraphicKind::Svg) {
    canvas.DrawImage(target, RenderSvg(bytes_, target.Width(), target.Height()));
  } else if (!image_.IsEmpty()) {
    canvas.DrawImage(target, image_);
  }
}

RasterImage Graphic::ToBitmap24(int width, int height) const {
  if (kind_ == GraphicKind::Metafile || IsEmpty()) return {};
  RasterImage out = kind_ != GraphicKind::Svg   ? image_
                    : width != 0 && height != 0 ? RenderSvg(bytes_, width, height)
                                                : RenderSvg(bytes_, width_, height_);
  if (out.IsEmpty()) return {};
  if (kind_ == GraphicKind::Bitmap) {
    for (auto& px : out.pixels) px |= 0xFF000000u;
    return out;
  }
  for (auto& px : out.pixels) {
    const std::uint32_t a = px >> 24;
    auto over = [a](std::uint32_t c) { return (c * a + 255 * (255 - a) + 127) / 255; };
    px = 0xFF000000u | (over((px >> 16) & 0xFF) << 16) | (over((px >> 8) & 0xFF) << 8) |
         over(px & 0xFF);
  }
  return out;
}

void DrawRecordingScaled(const RecordingCanvas& recording, const Rect& frame, Canvas& canvas,
                         const Rect& target) {
  if (frame.Width() <= 0 || frame.Height() <= 0) return;
  const double sx = double(target.Width()) / frame.Width();
  const double sy = double(target.Height()) / frame.Height();
  const double sw = (std::abs(sx) + std::abs(sy)) / 2;
  // A stored operation may lie anywhere, whatever its recorded bounds say;
  // results are kept in a range no device reaches, so that canvases can
  // add pen widths and text extents to them without overflowing.
  auto coord = [](double v) { return int(std::clamp(v, -kMaxCoord, kMaxCoord)); };
  auto size = [](double v) { return int(std::clamp(v, -kMaxSize, kMaxSize)); };
  auto mx = [&](int x) {
    return coord(std::nearbyint(target.left + (double(x) - frame.left) * sx));
  };
  auto my = [&](int y) { return coord(std::nearbyint(target.top + (double(y) - frame.top) * sy)); };
  auto mr = [&](const Rect& r) { return Rect{mx(r.left), my(r.top), mx(r.right), my(r.bottom)}; };
  auto mp = [&](Point p) { return Point{mx(p.x), my(p.y)}; };

  const Pen pen = canvas.GetPen();
  const Brush brush = canvas.GetBrush();
  const Font font = canvas.GetFont();
  const BkMode bkMode = canvas.GetBkMode();
  for (const CanvasOp& op : recording.Ops()) {
    Pen p = op.pen;
    p.width = std::max(0, size(std::nearbyint(p.width * sw)));
    canvas.SetPen(p);
    canvas.SetBrush(op.brush);
    canvas.SetBkMode(op.bkMode);
    const Rect r = mr(op.rect);
    switch (op.kind) {
      case OpKind::Rectangle: canvas.Rectangle(r); break;
      case OpKind::RoundRect:
        canvas.RoundRect(r.left, r.top, r.right, r.bottom,
                         size(std::nearbyint(op.cornerW * std::abs(sx))),
                         size(std::nearbyint(op.cornerH * std::abs(sy))));
        break;
      case OpKind::Ellipse: canvas.Ellipse(r.left, r.top, r.right, r.bottom); break;
      case OpKind::FillRect: canvas.FillRect(r); break;
      case OpKind::Polygon: {
        if (op.points.empty()) break;
        std::vector<Point> pts;
        pts.reserve(op.points.size());
        for (Point q : op.points) pts.push_back(mp(q));
        canvas.Polygon(pts);
        break;
      }
      case OpKind::Line:
        if (op.points.size() == 2) {
          const Point a = mp(op.points[0]);
          const Point b = mp(op.points[1]);
          canvas.Line(a.x, a.y, b.x, b.y);
        }
        break;
      case OpKind::Text: {
        if (op.points.empty()) break;
        Font f = op.font;
        f.height = size(std::nearbyint(f.height * std::abs(sy)));
        canvas.SetFont(f);
        canvas.SetBrushColor(op.bkColor);
        canvas.SetTextCharacterExtra(size(std::nearbyint(op.charExtra * std::abs(sx))));
        canvas.SetTextJustification(size(std::nearbyint(op.justifyExtra * std::abs(sx))),
                                    op.justifyBreaks);
        const Rect clip = mr(op.clip);
        const Point at = mp(op.points[0]);
        canvas.ExtTextOut(at.x, at.y, op.options, op.hasClip ? &clip : nullptr, op.text);
        canvas.SetTextJustification(0, 0);
        canvas.SetTextCharacterExtra(0);
        break;
      }
      case OpKind::Image:
        if (op.image) canvas.DrawImage(r, *op.image);
        break;
    }
  }
  canvas.SetPen(pen);
  canvas.SetBrush(brush);
  canvas.SetFont(font);
  canvas.SetBkMode(bkMode);
}

}  // namespace quillet
