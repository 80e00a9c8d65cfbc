#include "report/graphics/icon_codec.h"

#include <string>

#include "platform/errors.h"
#include "report/graphics/bmp_codec.h"

namespace quillet {
namespace {

constexpr std::size_t kDirectorySize = 6;
constexpr std::size_t kEntrySize = 16;

[[noreturn]] void Fail(const std::string& why) {
  throw StreamReadError("Icon: " + why);
}

std::uint32_t U16(std::span<const std::uint8_t> b, std::size_t at) {
  return std::uint32_t(b[at] | (b[at + 1] << 8));
}

std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
  return U16(b, at) | (U16(b, at + 2) << 16);
}

bool IsPng(std::span<const std::uint8_t> image) {
  static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (image.size() < 8) return false;
  for (int i = 0; i < 8; ++i)
    if (image[i] != kSignature[i]) return false;
  return true;
}

void Put(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(std::uint8_t(v >> (8 * i)));
}

}  // namespace

RasterImage DecodeIcon(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kDirectorySize) Fail("the data ends early");
  const std::uint32_t type = U16(bytes, 2);
  if (U16(bytes, 0) != 0 || (type != 1 && type != 2)) Fail("not an icon file");
  const std::size_t count = U16(bytes, 4);
  if (count == 0) Fail("the icon holds no image");
  if (count > (bytes.size() - kDirectorySize) / kEntrySize) Fail("the directory ends early");

  std::span<const std::uint8_t> best;
  std::uint64_t bestArea = 0;
  std::uint32_t bestDepth = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t e = kDirectorySize + i * kEntrySize;
    const std::uint64_t w = bytes[e] ? bytes[e] : 256;
    const std::uint64_t h = bytes[e + 1] ? bytes[e + 1] : 256;
    const std::uint32_t depth = U16(bytes, e + 6);
    const std::size_t size = U32(bytes, e + 8);
    const std::size_t offset = U32(bytes, e + 12);
    if (offset > bytes.size() || size > bytes.size() - offset)
      Fail("image " + std::to_string(i + 1) + " lies outside the data");
    std::span<const std::uint8_t> image = bytes.subspan(offset, size);
    if (IsPng(image)) continue;
    const std::uint64_t area = w * h;
    if (best.empty() || area > bestArea || (area == bestArea && depth > bestDepth)) {
      best = image;
      bestArea = area;
      bestDepth = depth;
    }
  }
  if (best.empty()) Fail("the icon holds no bitmap image");
  return DecodeIconDib(best);
}

std::vector<std::uint8_t> EncodeIcon(const RasterImage& image) {
  if (image.IsEmpty() || image.width > 256 || image.height > 256 ||
      image.pixels.size() != std::size_t(image.width) * image.height)
    throw RangeError("An icon image must be 1 to 256 pixels on each side");
  const std::size_t w = std::size_t(image.width);
  const std::size_t h = std::size_t(image.height);
  const std::size_t maskStride = ((w + 31) / 32) * 4;
  const std::size_t imageSize = 40 + w * h * 4 + maskStride * h;
  std::vector<std::uint8_t> out;
  Put(out, 0, 2);
  Put(out, 1, 2);
  Put(out, 1, 2);
  out.push_back(std::uint8_t(w & 0xFF));  // 256 is stored as 0
  out.push_back(std::uint8_t(h & 0xFF));
  out.push_back(0);
  out.push_back(0);
  Put(out, 1, 2);
  Put(out, 32, 2);
  Put(out, std::uint32_t(imageSize), 4);
  Put(out, std::uint32_t(kDirectorySize + kEntrySize), 4);
  Put(out, 40, 4);
  Put(out, std::uint32_t(w), 4);
  Put(out, std::uint32_t(h * 2), 4);
  Put(out, 1, 2);
  Put(out, 32, 2);
  Put(out, 0, 4);
  Put(out, std::uint32_t(w * h * 4 + maskStride * h), 4);
  Put(out, 0, 4);
  Put(out, 0, 4);
  Put(out, 0, 4);
  Put(out, 0, 4);
  for (std::size_t y = h; y-- > 0;)
    for (std::size_t x = 0; x < w; ++x) Put(out, image.pixels[y * w + x], 4);
  for (std::size_t y = h; y-- > 0;) {
    std::vector<std::uint8_t> row(maskStride, 0);
    for (std::size_t x = 0; x < w; ++x)
      if ((image.pixels[y * w + x] >> 24) == 0) row[x / 8] |= std::uint8_t(0x80 >> (x % 8));
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

}  // namespace quillet
