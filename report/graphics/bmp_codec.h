// Reading and writing BMP files and the device-independent bitmaps that
// icons hold. No compression: 1, 4, 8, 16, 24 and 32 bits per pixel with
// plain or bit-field pixels; RLE bitmaps are refused.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/canvas.h"

namespace quillet {

// Decodes a whole BMP file (file header first). Throws StreamReadError with
// a specific message for anything short, inconsistent, compressed or larger
// than the raster limits; never reads outside `bytes`.
RasterImage DecodeBmp(std::span<const std::uint8_t> bytes);

// Decodes a bitmap that starts with its info header, as an icon image does:
// the header's height counts the colour rows and the 1-bit transparency mask
// that follows them. Mask bits of 1 become transparent pixels (alpha 0);
// a 32-bit image with any alpha keeps its own alpha instead.
RasterImage DecodeIconDib(std::span<const std::uint8_t> bytes);

// Encodes a bottom-up BMP file with a 40-byte info header: 24 bits per pixel
// (alpha dropped) or 32 (alpha kept in the fourth byte). Throws RangeError
// for other depths or an empty image.
std::vector<std::uint8_t> EncodeBmp(const RasterImage& image, int bitsPerPixel);

}  // namespace quillet
