// The picture formats the platform's image library reads for the engine:
// PNG images and SVG drawings. The engine's own readers (BMP, icons, JPEG)
// need nothing from here. The Qt implementation
// (platform/qt/qt_picture_codecs.h) is installed by the engine session;
// without it, PNG and SVG pictures are refused with a message saying so.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/canvas.h"

namespace quillet {

// Natural size of an SVG drawing in pixels (both at least 1).
struct PictureSize {
  int width = 0;
  int height = 0;
};

class PictureCodecs {
 public:
  virtual ~PictureCodecs() = default;
  // Decodes a whole PNG file (alpha kept). Throws StreamReadError naming
  // what is wrong; the caller has checked the header's size already.
  virtual RasterImage DecodePng(std::span<const std::uint8_t> bytes) const = 0;
  // Encodes an image as a PNG file. Throws StreamWriteError on failure.
  virtual std::vector<std::uint8_t> EncodePng(const RasterImage& image) const = 0;
  // The size an SVG drawing asks for (its view box when it gives no size).
  // Throws StreamReadError for bytes that are not a drawing the platform can
  // draw.
  virtual PictureSize SvgSize(std::span<const std::uint8_t> bytes) const = 0;
  // The drawing rendered into width x height pixels over transparency.
  // Throws StreamReadError for bytes that are not a drawing.
  virtual RasterImage RenderSvg(std::span<const std::uint8_t> bytes, int width,
                                int height) const = 0;
};

// The installed codecs (not owned). A global, as the locale formats are:
// graphics are read from streams deep inside the engine, where no session
// object is at hand, and the codecs hold no state. Throws StreamReadError
// "... the picture codecs are not installed" when nothing was installed,
// naming `format` ("PNG", "SVG").
const PictureCodecs& InstalledPictureCodecs(const char* format);
void SetPictureCodecs(const PictureCodecs* codecs);

}  // namespace quillet
