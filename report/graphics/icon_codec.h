// Icon files: a directory of images, each a device-independent bitmap with a
// transparency mask (images stored as PNG are passed over).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/canvas.h"

namespace quillet {

// Decodes the largest bitmap image of an icon (or cursor) file; between
// images of one size the deepest colour wins. Transparent pixels get alpha
// 0. Throws StreamReadError for a malformed directory, an image outside the
// data, an icon without any bitmap image or an undecodable bitmap.
RasterImage DecodeIcon(std::span<const std::uint8_t> bytes);

// Encodes one 32-bit image (alpha kept, mask from alpha 0) as an icon file.
// Throws RangeError for an empty image or a side above 256.
std::vector<std::uint8_t> EncodeIcon(const RasterImage& image);

}  // namespace quillet
