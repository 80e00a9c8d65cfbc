// Folder report/graphics: pictures and their codecs (bitmap, icon, JPEG,
// PNG, SVG, recorded drawings). It includes only platform/ and report/base/.
//
// Graphic: the picture a picture view owns. It keeps the graphic in its own
// file format (the bytes streams carry) together with what can be drawn
// from them: a decoded raster for bitmaps, icons, JPEG and PNG images, the
// recorded drawing of a metafile, or the natural size of an SVG drawing
// (rendered whenever it is drawn, at the size it is drawn at).
//
// A metafile is the recording canvas's serialised form. Metafile bytes that
// cannot be interpreted are kept unchanged (and saved back unchanged) but
// draw nothing, so no data is lost. Bytes read from a stream are always
// saved back exactly as read.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/canvas.h"

namespace quillet {

class RecordingCanvas;

// The graphic kind byte of picture records. Png and Svg are stored from
// stream version 26 on (record_stream.h).
enum class GraphicKind : std::uint8_t {
  None = 0,
  Bitmap = 1,
  Metafile = 2,
  Icon = 3,
  Jpeg = 4,
  Png = 5,
  Svg = 6,
};
constexpr GraphicKind kLastGraphicKind = GraphicKind::Svg;
// The newest kind every stream version before 26 can hold.
constexpr GraphicKind kLastClassicGraphicKind = GraphicKind::Jpeg;

// The graphic kind a data field's BlobType names (0 bmp, 1 jpg, 2 ico, 3 wmf,
// 4 png, 5 svg); other values give None.
GraphicKind GraphicKindOfBlobType(int blobType);

// The kind the bytes' signature shows (BMP, JPEG, PNG, icon or cursor, SVG
// text); None when none fits (metafiles carry no signature).
GraphicKind SniffGraphicKind(std::span<const std::uint8_t> bytes);

class Graphic {
 public:
  Graphic();
  ~Graphic();
  Graphic(const Graphic&);
  Graphic& operator=(const Graphic&);

  GraphicKind Kind() const { return kind_; }
  // No graphic, or one without size (an empty or unreadable metafile).
  bool IsEmpty() const { return Width() <= 0 || Height() <= 0; }
  // Size in picture pixels; a metafile's runs from its origin (or the left-
  // and topmost point drawn, if further out) to the right- and bottommost.
  int Width() const { return width_; }
  int Height() const { return height_; }

  void Clear();

  // Replaces the graphic by `bytes` read as `kind` (None clears). No bytes
  // make an empty graphic of that kind. Bitmaps, icons and JPEG images that
  // do not decode raise StreamReadError and leave the graphic unchanged; a
  // metafile never fails (see above).
  void Load(GraphicKind kind, std::vector<std::uint8_t> bytes);
  // Keeps `bytes` of `kind` that were refused (too large, bad data) without
  // drawing them: they are saved back unchanged, the graphic is empty, and
  // Refusal() says why.
  void KeepRefused(GraphicKind kind, std::vector<std::uint8_t> bytes, std::string reason);
  // Why the kept bytes are not drawn; empty for a graphic that was read.
  const std::string& Refusal() const { return refusal_; }
  // Loads a file. Its kind is the one its bytes' signature shows, else the
  // one its extension names: .bmp/.dib, .jpg/.jpeg/.jpe, .png, .svg,
  // .ico/.cur, .emf/.wmf (metafile). Throws FileOpenError when the file
  // cannot be opened, StreamReadError for an unknown kind or bad data.
  void LoadFromFile(const std::string& path);

  // A decoded picture of `kind` (Bitmap, Icon, Jpeg or Png); the bytes are
  // encoded from it (24-bit BMP when opaque, 32-bit otherwise; 32-bit icon;
  // JPEG of quality 90; PNG). Throws RangeError for another kind or an empty
  // image.
  void SetImage(GraphicKind kind, RasterImage image);
  // A metafile holding a copy of `recording`.
  void SetMetafile(const RecordingCanvas& recording);

  // The graphic in its file format, as streams carry it.
  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
  // The decoded raster (empty for metafiles, SVG drawings and empty
  // graphics).
  const RasterImage& Image() const { return image_; }
  // The interpreted metafile, or nullptr.
  const RecordingCanvas* Metafile() const { return metafile_.get(); }

  // Draws the graphic stretched into `target` (device pixels).
  void Draw(Canvas& canvas, const Rect& target) const;
  // The graphic as an opaque bitmap, as printers receive it: a bitmap loses
  // its alpha, anything else is drawn over white. Rasters keep their own
  // size; an SVG drawing is rendered at width x height when both are given,
  // else at its natural size. Empty for metafiles and empty graphics.
  RasterImage ToBitmap24(int width = 0, int height = 0) const;

 private:
  GraphicKind kind_ = GraphicKind::None;
  std::vector<std::uint8_t> bytes_;
  RasterImage image_;
  std::unique_ptr<RecordingCanvas> metafile_;
  int originX_ = 0;  // metafile frame: top-left and size
  int originY_ = 0;
  int width_ = 0;
  int height_ = 0;
  std::string refusal_;
};

// Replays `recording` scaled so that `frame` (recording pixels) fills
// `target` (device pixels on `canvas`).
void DrawRecordingScaled(const RecordingCanvas& recording, const Rect& frame, Canvas& canvas,
                         const Rect& target);

}  // namespace quillet
