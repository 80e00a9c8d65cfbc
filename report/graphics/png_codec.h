// PNG pictures. The header is read here, so that the size limits hold
// before anything is decoded; the pixels come from the platform's picture
// codecs (platform/picture_codecs.h).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/canvas.h"

namespace quillet {

// Decodes a whole PNG file, alpha kept. Throws StreamReadError for bytes
// without the PNG signature and header, a size past the raster limits,
// damaged data, or when no picture codecs are installed.
RasterImage DecodePng(std::span<const std::uint8_t> bytes);

// Encodes an image as a PNG file (alpha kept). Throws RangeError for an
// empty image.
std::vector<std::uint8_t> EncodePng(const RasterImage& image);

// Whether the bytes begin with the PNG signature.
bool HasPngSignature(std::span<const std::uint8_t> bytes);

}  // namespace quillet
