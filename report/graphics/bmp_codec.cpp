#include "report/graphics/bmp_codec.h"

#include <algorithm>
#include <bit>
#include <string>

#include "platform/errors.h"
#include "report/graphics/raster_limits.h"

namespace quillet {
namespace {

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitFields = 3;
constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kCoreHeaderSize = 12;
constexpr std::size_t kInfoHeaderSize = 40;

[[noreturn]] void Fail(const std::string& why) {
  throw StreamReadError("Bitmap: " + why);
}

// Bounds-checked little-endian reads from a byte span.
class Bytes {
 public:
  explicit Bytes(std::span<const std::uint8_t> b) : b_(b) {}
  std::size_t Size() const { return b_.size(); }
  std::uint8_t U8(std::size_t at) const {
    Need(at, 1);
    return b_[at];
  }
  std::uint16_t U16(std::size_t at) const {
    Need(at, 2);
    return std::uint16_t(b_[at] | (b_[at + 1] << 8));
  }
  std::uint32_t U32(std::size_t at) const {
    Need(at, 4);
    return std::uint32_t(b_[at]) | (std::uint32_t(b_[at + 1]) << 8) |
           (std::uint32_t(b_[at + 2]) << 16) | (std::uint32_t(b_[at + 3]) << 24);
  }
  std::int32_t I32(std::size_t at) const { return static_cast<std::int32_t>(U32(at)); }
  const std::uint8_t* At(std::size_t at, std::size_t n) const {
    Need(at, n);
    return b_.data() + at;
  }
  void Need(std::size_t at, std::size_t n) const {
    if (at > b_.size() || n > b_.size() - at) Fail("the data ends early");
  }

 private:
  std::span<const std::uint8_t> b_;
};

// One channel described by a bit mask, scaled to 8 bits.
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  std::uint64_t max = 0;
  explicit Channel(std::uint32_t m = 0) : mask(m) {
    if (m == 0) return;
    shift = std::countr_zero(m);
    max = (std::uint64_t(m) >> shift);
  }
  std::uint32_t Get(std::uint32_t px) const {
    if (max == 0) return 0;
    return std::uint32_t(((std::uint64_t(px & mask) >> shift) * 255 + max / 2) / max) & 0xFF;
  }
};

struct DibInfo {
  std::int64_t width = 0;
  std::int64_t height = 0;  // rows of colour pixels (icons: half the stored height)
  bool topDown = false;
  int bpp = 0;
  std::uint32_t compression = kBiRgb;
  Channel red, green, blue, alpha;
  bool hasAlpha = false;
  std::vector<std::uint32_t> palette;
  std::size_t end = 0;  // offset after header, masks and colour table
};

// Reads the info header found at `at` and the colour table after it.
DibInfo ReadDibHeader(const Bytes& b, std::size_t at, bool icon) {
  DibInfo d;
  const std::uint32_t headerSize = b.U32(at);
  std::int64_t storedHeight;
  std::size_t entrySize = 4;
  std::uint32_t colorsUsed = 0;
  if (headerSize == kCoreHeaderSize) {
    d.width = b.U16(at + 4);
    storedHeight = b.U16(at + 6);
    d.bpp = b.U16(at + 10);
    entrySize = 3;
  } else if (headerSize >= kInfoHeaderSize && headerSize <= 4096) {
    d.width = b.I32(at + 4);
    storedHeight = b.I32(at + 8);
    d.bpp = b.U16(at + 14);
    d.compression = b.U32(at + 16);
    colorsUsed = b.U32(at + 32);
  } else {
    Fail("unknown header size " + std::to_string(headerSize));
  }
  b.Need(at, headerSize);
  if (storedHeight < 0) {
    d.topDown = true;
    storedHeight = -storedHeight;
  }
  d.height = icon ? storedHeight / 2 : storedHeight;
  CheckPictureSize(d.width, d.height, "Bitmap");
  if (d.bpp != 1 && d.bpp != 4 && d.bpp != 8 && d.bpp != 16 && d.bpp != 24 && d.bpp != 32)
    Fail(std::to_string(d.bpp) + " bits per pixel are not supported");
  if (d.compression != kBiRgb && !(d.compression == kBiBitFields && (d.bpp == 16 || d.bpp == 32)))
    Fail("compression " + std::to_string(d.compression) + " is not supported");

  std::size_t pos = at + headerSize;
  if (d.compression == kBiBitFields) {
    std::size_t maskAt = at + kInfoHeaderSize;
    if (headerSize == kInfoHeaderSize) pos += 12;  // masks follow a short header
    d.red = Channel(b.U32(maskAt));
    d.green = Channel(b.U32(maskAt + 4));
    d.blue = Channel(b.U32(maskAt + 8));
    if (headerSize >= 56) d.alpha = Channel(b.U32(maskAt + 12));
  } else if (d.bpp == 16) {
    d.red = Channel(0x7C00);
    d.green = Channel(0x03E0);
    d.blue = Channel(0x001F);
  } else if (d.bpp == 32) {
    d.red = Channel(0x00FF0000);
    d.green = Channel(0x0000FF00);
    d.blue = Channel(0x000000FF);
    d.alpha = Channel(0xFF000000);
  }
  d.hasAlpha = d.alpha.mask != 0;

  if (d.bpp <= 8) {
    if (colorsUsed > 256) Fail("colour table of " + std::to_string(colorsUsed) + " entries");
    const std::size_t count = colorsUsed ? colorsUsed : (std::size_t(1) << d.bpp);
    const std::uint8_t* p = b.At(pos, count * entrySize);
    d.palette.resize(count);
    for (std::size_t i = 0; i < count; ++i, p += entrySize)
      d.palette[i] = 0xFF000000u | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
    pos += count * entrySize;
  } else if (colorsUsed != 0 && headerSize != kCoreHeaderSize) {
    // A colour table beside direct pixels only hints at a palette; skip it.
    if (colorsUsed > 256) Fail("colour table of " + std::to_string(colorsUsed) + " entries");
    pos += std::size_t(colorsUsed) * 4;
  }
  d.end = pos;
  return d;
}

std::size_t RowBytes(std::int64_t width, int bpp) {
  return std::size_t(((width * bpp + 31) / 32) * 4);
}

// Colour rows from `at`, bottom-up unless the header said top-down.
// Returns whether any alpha bits were set (only 32-bit and bit-field images).
bool DecodeRows(const Bytes& b, const DibInfo& d, std::size_t at, RasterImage& img) {
  const std::size_t stride = RowBytes(d.width, d.bpp);
  const std::size_t rows = std::size_t(d.height);
  if (stride != 0 && rows > (b.Size() - std::min(at, b.Size())) / stride)
    Fail("the pixel data ends early");
  const std::uint8_t* base = b.At(at, stride * rows);
  img.width = int(d.width);
  img.height = int(d.height);
  img.pixels.assign(std::size_t(d.width) * rows, 0);
  bool anyAlpha = false;
  const std::size_t w = std::size_t(d.width);
  for (std::size_t r = 0; r < rows; ++r) {
    const std::uint8_t* row = base + r * stride;
    const std::size_t y = d.topDown ? r : rows - 1 - r;
    std::uint32_t* out = img.pixels.data() + y * w;
    for (std::size_t x = 0; x < w; ++x) {
      std::uint32_t px;
      switch (d.bpp) {
        case 1:
        case 4:
        case 8: {
          const std::size_t bit = x * std::size_t(d.bpp);
          const int shift = 8 - d.bpp - int(bit % 8);
          const std::size_t index = (row[bit / 8] >> shift) & ((1u << d.bpp) - 1);
          px = index < d.palette.size() ? d.palette[index] : 0xFF000000u;
          break;
        }
        case 24:
          px = 0xFF000000u | (std::uint32_t(row[x * 3 + 2]) << 16) |
               (std::uint32_t(row[x * 3 + 1]) << 8) | row[x * 3];
          break;
        default: {
          std::uint32_t raw;
          if (d.bpp == 16) {
            raw = std::uint32_t(row[x * 2] | (row[x * 2 + 1] << 8));
          } else {
            const std::uint8_t* q = row + x * 4;
            raw = std::uint32_t(q[0]) | (std::uint32_t(q[1]) << 8) | (std::uint32_t(q[2]) << 16) |
                  (std::uint32_t(q[3]) << 24);
          }
          const std::uint32_t a = d.hasAlpha ? d.alpha.Get(raw) : 0xFF;
          if (d.hasAlpha && a != 0) anyAlpha = true;
          px = (a << 24) | (d.red.Get(raw) << 16) | (d.green.Get(raw) << 8) | d.blue.Get(raw);
        }
      }
      out[x] = px;
    }
  }
  // An alpha byte that is zero everywhere is a reserved byte, not transparency.
  if (d.hasAlpha && !anyAlpha)
    for (auto& px : img.pixels) px |= 0xFF000000u;
  return anyAlpha;
}

void PutU16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(std::uint8_t(v));
  out.push_back(std::uint8_t(v >> 8));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  PutU16(out, v & 0xFFFF);
  PutU16(out, v >> 16);
}

}  // namespace

RasterImage DecodeBmp(std::span<const std::uint8_t> bytes) {
  const Bytes b(bytes);
  if (b.Size() < kFileHeaderSize || bytes[0] != 'B' || bytes[1] != 'M') Fail("not a BMP file");
  const std::uint32_t pixelOffset = b.U32(10);
  const DibInfo d = ReadDibHeader(b, kFileHeaderSize, false);
  // Some writers leave the offset 0; the pixels then follow the colour table.
  const std::size_t at = pixelOffset == 0 ? d.end : pixelOffset;
  if (at < kFileHeaderSize + kCoreHeaderSize || at > b.Size()) Fail("pixel offset out of range");
  RasterImage img;
  DecodeRows(b, d, at, img);
  return img;
}

RasterImage DecodeIconDib(std::span<const std::uint8_t> bytes) {
  const Bytes b(bytes);
  const DibInfo d = ReadDibHeader(b, 0, true);
  RasterImage img;
  const bool ownAlpha = DecodeRows(b, d, d.end, img);
  if (d.bpp == 32 && ownAlpha) return img;
  const std::size_t maskAt = d.end + RowBytes(d.width, d.bpp) * std::size_t(d.height);
  const std::size_t stride = RowBytes(d.width, 1);
  const std::size_t rows = std::size_t(d.height);
  // A missing mask leaves the image opaque rather than refusing it.
  if (maskAt > b.Size() || rows > (b.Size() - maskAt) / stride) return img;
  const std::uint8_t* mask = b.At(maskAt, stride * rows);
  const std::size_t w = std::size_t(d.width);
  for (std::size_t r = 0; r < rows; ++r) {
    const std::size_t y = d.topDown ? r : rows - 1 - r;
    for (std::size_t x = 0; x < w; ++x)
      if ((mask[r * stride + x / 8] >> (7 - x % 8)) & 1) img.pixels[y * w + x] &= 0x00FFFFFFu;
  }
  return img;
}

std::vector<std::uint8_t> EncodeBmp(const RasterImage& image, int bitsPerPixel) {
  if (bitsPerPixel != 24 && bitsPerPixel != 32)
    throw RangeError("Bitmaps are written with 24 or 32 bits per pixel, not " +
                     std::to_string(bitsPerPixel));
  if (image.IsEmpty() || image.pixels.size() != std::size_t(image.width) * image.height)
    throw RangeError("An empty or inconsistent image cannot be written as a bitmap");
  const std::size_t stride = RowBytes(image.width, bitsPerPixel);
  const std::size_t dataSize = stride * std::size_t(image.height);
  const std::size_t offset = kFileHeaderSize + kInfoHeaderSize;
  std::vector<std::uint8_t> out;
  out.reserve(offset + dataSize);
  out.push_back('B');
  out.push_back('M');
  PutU32(out, std::uint32_t(offset + dataSize));
  PutU32(out, 0);
  PutU32(out, std::uint32_t(offset));
  PutU32(out, kInfoHeaderSize);
  PutU32(out, std::uint32_t(image.width));
  PutU32(out, std::uint32_t(image.height));
  PutU16(out, 1);
  PutU16(out, std::uint32_t(bitsPerPixel));
  PutU32(out, kBiRgb);
  PutU32(out, std::uint32_t(dataSize));
  PutU32(out, 3780);  // 96 dpi in pixels per metre
  PutU32(out, 3780);
  PutU32(out, 0);
  PutU32(out, 0);
  const std::size_t w = std::size_t(image.width);
  for (int y = image.height - 1; y >= 0; --y) {
    const std::size_t rowStart = out.size();
    for (std::size_t x = 0; x < w; ++x) {
      const std::uint32_t px = image.pixels[std::size_t(y) * w + x];
      out.push_back(std::uint8_t(px));
      out.push_back(std::uint8_t(px >> 8));
      out.push_back(std::uint8_t(px >> 16));
      if (bitsPerPixel == 32) out.push_back(std::uint8_t(px >> 24));
    }
    out.resize(rowStart + stride, 0);
  }
  return out;
}

}  // namespace quillet
