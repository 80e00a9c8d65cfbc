// JPEG pictures through libjpeg, called directly.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/canvas.h"

namespace quillet {

// Decodes a JPEG file into an opaque image (grey, colour, CMYK and YCCK
// sources). Anything libjpeg refuses, a stream that ends before the image
// does, and sizes past the raster limits raise StreamReadError with
// libjpeg's own explanation; libjpeg never ends the process.
RasterImage DecodeJpeg(std::span<const std::uint8_t> bytes);

// Encodes an image as a baseline colour JPEG of the given quality (1..100;
// 90 is the engine's default). Alpha is dropped. Throws RangeError for an
// empty image and StreamWriteError when libjpeg fails.
std::vector<std::uint8_t> EncodeJpeg(const RasterImage& image, int quality = 90);

}  // namespace quillet
