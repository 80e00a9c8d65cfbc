#include "report/graphics/png_codec.h"

#include <algorithm>
#include <array>

#include "platform/errors.h"
#include "platform/picture_codecs.h"
#include "report/graphics/raster_limits.h"

namespace quillet {
namespace {

constexpr std::array<std::uint8_t, 8> kSignature{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

std::uint32_t BigEndian32(std::span<const std::uint8_t> b, std::size_t at) {
  return std::uint32_t(b[at]) << 24 | std::uint32_t(b[at + 1]) << 16 |
         std::uint32_t(b[at + 2]) << 8 | std::uint32_t(b[at + 3]);
}

}  // namespace

bool HasPngSignature(std::span<const std::uint8_t> bytes) {
  return bytes.size() >= kSignature.size() &&
         std::equal(kSignature.begin(), kSignature.end(), bytes.begin());
}

RasterImage DecodePng(std::span<const std::uint8_t> bytes) {
  if (!HasPngSignature(bytes)) throw StreamReadError("PNG: not a PNG file");
  // The first chunk is the header: length 13, "IHDR", width, height.
  if (bytes.size() < 33 || BigEndian32(bytes, 8) != 13 ||
      !std::equal(bytes.begin() + 12, bytes.begin() + 16, "IHDR"))
    throw StreamReadError("PNG: the file does not begin with its header");
  CheckPictureSize(BigEndian32(bytes, 16), BigEndian32(bytes, 20), "PNG");
  RasterImage image = InstalledPictureCodecs("PNG").DecodePng(bytes);
  // What the codec made must be what the header announced.
  if (image.width != std::int64_t(BigEndian32(bytes, 16)) ||
      image.height != std::int64_t(BigEndian32(bytes, 20)) ||
      image.pixels.size() != std::size_t(image.width) * std::size_t(image.height))
    throw StreamReadError("PNG: the decoded image does not match the header's size");
  return image;
}

std::vector<std::uint8_t> EncodePng(const RasterImage& image) {
  if (image.IsEmpty()) throw RangeError("An empty image has no PNG form");
  try {
    return InstalledPictureCodecs("PNG").EncodePng(image);
  } catch (const StreamReadError& e) {
    throw StreamWriteError(e.what());
  }
}

}  // namespace quillet
