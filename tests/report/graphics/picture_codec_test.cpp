// BMP, icon and JPEG readers and writers: round trips of images made here,
// the less common bitmap layouts, and hostile bytes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "platform/errors.h"
#include "platform/recording_canvas.h"
#include "platform/stream.h"
#include "report/base/engine_state.h"
#include "report/graphics/bmp_codec.h"
#include "report/graphics/icon_codec.h"
#include "report/graphics/jpeg_codec.h"
#include "report/views/picture_view.h"
#include "tests/report/base/record_support.h"
#include "tests/support.h"

namespace quillet {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A test card: colour ramps with a few pure-colour blocks.
RasterImage TestCard(int w, int h, bool withAlpha = false) {
  RasterImage img{w, h, std::vector<std::uint32_t>(std::size_t(w) * h)};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      std::uint32_t r = std::uint32_t(x * 255 / std::max(1, w - 1));
      std::uint32_t g = std::uint32_t(y * 255 / std::max(1, h - 1));
      std::uint32_t b = (x / 8 + y / 8) % 2 ? 0xFF : 0x40;
      std::uint32_t a = withAlpha ? std::uint32_t((x + y) % 3 == 0 ? 0 : 0xFF) : 0xFF;
      img.pixels[std::size_t(y) * w + x] = (a << 24) | (r << 16) | (g << 8) | b;
    }
  return img;
}

void Put(Bytes& out, std::uint32_t v, int n) {
  for (int i = 0; i < n; ++i) out.push_back(std::uint8_t(v >> (8 * i)));
}

// A BMP file with a colour table, written byte by byte.
Bytes IndexedBmp(int w, int h, int bpp, const std::vector<std::uint32_t>& palette,
                 const std::vector<int>& indices, bool topDown = false) {
  const std::size_t stride = std::size_t((w * bpp + 31) / 32) * 4;
  const std::uint32_t offset = 14 + 40 + std::uint32_t(palette.size()) * 4;
  Bytes b = {'B', 'M'};
  Put(b, offset + std::uint32_t(stride * h), 4);
  Put(b, 0, 4);
  Put(b, offset, 4);
  Put(b, 40, 4);
  Put(b, std::uint32_t(w), 4);
  Put(b, std::uint32_t(topDown ? -h : h), 4);
  Put(b, 1, 2);
  Put(b, std::uint32_t(bpp), 2);
  Put(b, 0, 4);
  Put(b, std::uint32_t(stride * h), 4);
  Put(b, 0, 4);
  Put(b, 0, 4);
  Put(b, std::uint32_t(palette.size()), 4);
  Put(b, 0, 4);
  for (std::uint32_t c : palette) Put(b, c & 0xFFFFFF, 4);
  for (int r = 0; r < h; ++r) {
    const int y = topDown ? r : h - 1 - r;
    Bytes row(stride, 0);
    for (int x = 0; x < w; ++x) {
      const int bit = x * bpp;
      row[bit / 8] |= std::uint8_t(indices[std::size_t(y) * w + x] << (8 - bpp - bit % 8));
    }
    b.insert(b.end(), row.begin(), row.end());
  }
  return b;
}

int MaxChannelDifference(std::uint32_t a, std::uint32_t b) {
  int d = 0;
  for (int s = 0; s < 24; s += 8)
    d = std::max(d, std::abs(int((a >> s) & 0xFF) - int((b >> s) & 0xFF)));
  return d;
}

TEST(BmpCodec, TwentyFourAndThirtyTwoBitsRoundTrip) {
  const RasterImage opaque = TestCard(13, 7);  // odd width: rows are padded
  EXPECT_EQ(DecodeBmp(EncodeBmp(opaque, 24)), opaque);
  EXPECT_EQ(DecodeBmp(EncodeBmp(opaque, 32)), opaque);
  const RasterImage alpha = TestCard(5, 4, true);
  EXPECT_EQ(DecodeBmp(EncodeBmp(alpha, 32)), alpha);
  RasterImage dropped = alpha;
  for (auto& px : dropped.pixels) px |= 0xFF000000u;
  EXPECT_EQ(DecodeBmp(EncodeBmp(alpha, 24)), dropped);
  const Bytes bmp = EncodeBmp(opaque, 24);
  EXPECT_EQ(bmp.size(), 14u + 40 + 7 * 40);  // 13 * 3 = 39 bytes padded to 40
  EXPECT_THROW(EncodeBmp(opaque, 8), RangeError);
  EXPECT_THROW(EncodeBmp(RasterImage{}, 24), RangeError);
}

TEST(BmpCodec, IndexedBitmapsUseTheirColourTable) {
  const std::vector<std::uint32_t> pal = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  const std::vector<int> idx = {0, 1, 2, 3, 3, 2, 1, 0, 1, 1, 3, 0};
  for (int bpp : {4, 8}) {
    for (bool topDown : {false, true}) {
      const RasterImage img = DecodeBmp(IndexedBmp(4, 3, bpp, pal, idx, topDown));
      ASSERT_EQ(img.width, 4);
      ASSERT_EQ(img.height, 3);
      for (std::size_t i = 0; i < idx.size(); ++i)
        EXPECT_EQ(img.pixels[i], 0xFF000000u | pal[idx[i]]) << bpp << " bits, pixel " << i;
    }
  }
  // One bit per pixel over a width that is not a multiple of eight.
  std::vector<int> bits(11 * 2);
  for (std::size_t i = 0; i < bits.size(); ++i) bits[i] = int(i % 3 == 0);
  const RasterImage mono = DecodeBmp(IndexedBmp(11, 2, 1, {0xFFFFFF, 0x000000}, bits));
  for (std::size_t i = 0; i < bits.size(); ++i)
    EXPECT_EQ(mono.pixels[i], bits[i] ? 0xFF000000u : 0xFFFFFFFFu) << i;
  // An index past a short colour table reads as black, not past the table.
  const RasterImage past = DecodeBmp(IndexedBmp(2, 1, 8, {0xFFFFFF}, {0, 200}));
  EXPECT_EQ(past.pixels, (std::vector<std::uint32_t>{0xFFFFFFFFu, 0xFF000000u}));
}

TEST(BmpCodec, SixteenBitFieldsAndPlainFiveFiveFive) {
  // 2 x 1, BI_BITFIELDS 565: pure red and pure blue.
  Bytes b = {'B', 'M'};
  Put(b, 14 + 40 + 12 + 4, 4);
  Put(b, 0, 4);
  Put(b, 14 + 40 + 12, 4);
  Put(b, 40, 4);
  Put(b, 2, 4);
  Put(b, 1, 4);
  Put(b, 1, 2);
  Put(b, 16, 2);
  Put(b, 3, 4);
  Put(b, 4, 4);
  for (int i = 0; i < 4; ++i) Put(b, 0, 4);
  Put(b, 0xF800, 4);
  Put(b, 0x07E0, 4);
  Put(b, 0x001F, 4);
  Put(b, 0xF800, 2);
  Put(b, 0x001F, 2);
  EXPECT_EQ(DecodeBmp(b).pixels, (std::vector<std::uint32_t>{0xFFFF0000u, 0xFF0000FFu}));
  // The same pixels as plain 16-bit (5-5-5): 0x7C00 red, 0x03E0 green.
  b[30] = 0;  // compression BI_RGB
  b.resize(14 + 40 + 12);
  Put(b, 0x7C00, 2);
  Put(b, 0x03E0, 2);
  EXPECT_EQ(DecodeBmp(b).pixels, (std::vector<std::uint32_t>{0xFFFF0000u, 0xFF00FF00u}));
}

TEST(BmpCodec, HostileBytesRaiseStreamReadError) {
  const Bytes good = EncodeBmp(TestCard(20, 10), 24);
  for (std::size_t cut : {0, 1, 2, 13, 14, 30, 53, 54, 100, int(good.size()) - 1}) {
    Bytes t(good.begin(), good.begin() + cut);
    EXPECT_THROW(DecodeBmp(t), StreamReadError) << "cut at " << cut;
  }
  auto patched = [&](std::size_t at, std::uint32_t v, int n = 4) {
    Bytes b = good;
    for (int i = 0; i < n; ++i) b[at + i] = std::uint8_t(v >> (8 * i));
    return b;
  };
  // 100000 x 100000 would be 40 GB: refused before anything is allocated.
  Bytes giant = patched(18, 100000);
  for (int i = 0; i < 4; ++i) giant[22 + i] = std::uint8_t(100000 >> (8 * i));
  try {
    DecodeBmp(giant);
    FAIL();
  } catch (const StreamReadError& e) {
    EXPECT_NE(std::string(e.what()).find("larger than the engine accepts"), std::string::npos)
        << e.what();
  }
  Bytes huge = patched(18, 30000);
  for (int i = 0; i < 4; ++i) huge[22 + i] = std::uint8_t(30000 >> (8 * i));
  EXPECT_THROW(DecodeBmp(huge), StreamReadError);                      // too many pixels
  EXPECT_THROW(DecodeBmp(patched(18, 4000)), StreamReadError);         // rows past the data
  EXPECT_THROW(DecodeBmp(patched(18, 0)), StreamReadError);            // zero width
  EXPECT_THROW(DecodeBmp(patched(18, 0xFFFFFFF0u)), StreamReadError);  // negative width
  EXPECT_THROW(DecodeBmp(patched(22, 0x80000000u)), StreamReadError);  // most negative height
  EXPECT_THROW(DecodeBmp(patched(28, 3, 2)), StreamReadError);         // 3 bits per pixel
  EXPECT_THROW(DecodeBmp(patched(30, 1)), StreamReadError);            // RLE8
  EXPECT_THROW(DecodeBmp(patched(14, 9999)), StreamReadError);         // header size
  EXPECT_THROW(DecodeBmp(patched(10, 0x7FFFFFFF)), StreamReadError);   // pixel offset
  EXPECT_THROW(DecodeBmp(patched(0, 'X', 1)), StreamReadError);
  // A colour table longer than 256 entries.
  Bytes pal = IndexedBmp(2, 1, 8, {0, 0}, {0, 1});
  pal[46] = 0x01;
  pal[47] = 0x01;
  EXPECT_THROW(DecodeBmp(pal), StreamReadError);
}

TEST(IconCodec, LargestBitmapImageWithItsTransparency) {
  const RasterImage card = TestCard(16, 12, true);
  EXPECT_EQ(DecodeIcon(EncodeIcon(card)), card);

  // Two images: 4 x 4 opaque 32-bit and 8 x 8 whose alpha is all zero, so
  // that its mask decides; the larger one is chosen.
  RasterImage small = TestCard(4, 4);
  RasterImage big = TestCard(8, 8, true);
  Bytes one = EncodeIcon(small);
  Bytes two = EncodeIcon(big);
  // Clear the big image's alpha bytes: the mask still says which are clear.
  const std::size_t pixelsAt = 6 + 16 + 40;
  for (std::size_t i = 0; i < 64; ++i) two[pixelsAt + i * 4 + 3] = 0;
  Bytes icon;
  Put(icon, 0, 2);
  Put(icon, 1, 2);
  Put(icon, 2, 2);
  const std::size_t size1 = one.size() - 22, size2 = two.size() - 22;
  for (int e = 0; e < 2; ++e) {
    const Bytes& src = e == 0 ? one : two;
    icon.insert(icon.end(), src.begin() + 6, src.begin() + 18);
    Put(icon, std::uint32_t(e == 0 ? 6 + 32 : 6 + 32 + size1), 4);
  }
  icon.insert(icon.end(), one.begin() + 22, one.end());
  icon.insert(icon.end(), two.begin() + 22, two.end());
  ASSERT_EQ(icon.size(), 6 + 32 + size1 + size2);
  const RasterImage got = DecodeIcon(icon);
  ASSERT_EQ(got.width, 8);
  for (std::size_t i = 0; i < got.pixels.size(); ++i) {
    const bool clear = (big.pixels[i] >> 24) == 0;
    EXPECT_EQ(got.pixels[i] >> 24, clear ? 0u : 0xFFu) << i;
    EXPECT_EQ(got.pixels[i] & 0xFFFFFF, big.pixels[i] & 0xFFFFFF) << i;
  }
}

TEST(IconCodec, HostileBytesRaiseStreamReadError) {
  const Bytes good = EncodeIcon(TestCard(8, 8));
  EXPECT_THROW(DecodeIcon(Bytes{}), StreamReadError);
  EXPECT_THROW(DecodeIcon(Bytes(good.begin(), good.begin() + 20)), StreamReadError);
  EXPECT_THROW(DecodeIcon(Bytes(good.begin(), good.end() - 300)), StreamReadError);
  Bytes b = good;
  b[18] = 0xFF;  // image offset far outside
  EXPECT_THROW(DecodeIcon(b), StreamReadError);
  b = good;
  b[4] = 0xFF;  // 255 directory entries in a few hundred bytes
  EXPECT_THROW(DecodeIcon(b), StreamReadError);
  b = good;
  const std::uint8_t png[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  std::copy(png, png + 8, b.begin() + 22);
  try {
    DecodeIcon(b);
    FAIL();
  } catch (const StreamReadError& e) {
    EXPECT_STREQ(e.what(), "Icon: the icon holds no bitmap image");
  }
  b = good;
  b[22 + 10] = 0xFF;  // image height 0x00FF0010: past the limits
  b[22 + 11] = 0x7F;
  EXPECT_THROW(DecodeIcon(b), StreamReadError);
}

TEST(JpegCodec, EncodeThenDecodeKeepsThePicture) {
  // Smooth ramps: what JPEG keeps well.
  RasterImage card{48, 32, std::vector<std::uint32_t>(48 * 32)};
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 48; ++x)
      card.pixels[std::size_t(y) * 48 + x] = 0xFF000000u | std::uint32_t(x * 5) << 16 |
                                             std::uint32_t(y * 8) << 8 | std::uint32_t(200 - x - y);
  const Bytes jpeg = EncodeJpeg(card);
  ASSERT_GT(jpeg.size(), 100u);
  EXPECT_EQ(jpeg[0], 0xFF);
  EXPECT_EQ(jpeg[1], 0xD8);
  const RasterImage back = DecodeJpeg(jpeg);
  ASSERT_EQ(back.width, 48);
  ASSERT_EQ(back.height, 32);
  // Lossy, but the same picture: small on average, bounded everywhere.
  int worst = 0;
  double total = 0;
  for (std::size_t i = 0; i < back.pixels.size(); ++i) {
    EXPECT_EQ(back.pixels[i] >> 24, 0xFFu);
    const int d = MaxChannelDifference(back.pixels[i], card.pixels[i]);
    worst = std::max(worst, d);
    total += d;
  }
  EXPECT_LT(worst, 24);
  EXPECT_LT(total / double(back.pixels.size()), 3.0);
  // Lower quality gives fewer bytes.
  EXPECT_LT(EncodeJpeg(card, 20).size(), jpeg.size());
  EXPECT_THROW(EncodeJpeg(RasterImage{}), RangeError);
}

TEST(JpegCodec, HostileBytesRaiseStreamReadError) {
  const Bytes good = EncodeJpeg(TestCard(64, 64));
  EXPECT_THROW(DecodeJpeg(Bytes{}), StreamReadError);
  Bytes garbage(500);
  std::srand(7);
  for (auto& b : garbage) b = std::uint8_t(std::rand());
  EXPECT_THROW(DecodeJpeg(garbage), StreamReadError);
  garbage[0] = 0xFF;
  garbage[1] = 0xD8;
  EXPECT_THROW(DecodeJpeg(garbage), StreamReadError);
  // A JPEG cut short ends in an error, not in a made-up lower half.
  for (std::size_t cut : {2, 20, 200, int(good.size()) / 2, int(good.size()) - 3}) {
    EXPECT_THROW(DecodeJpeg(Bytes(good.begin(), good.begin() + cut)), StreamReadError)
        << "cut at " << cut;
  }
  // The frame header claims 60000 x 60000: refused before decoding.
  Bytes huge = good;
  for (std::size_t i = 0; i + 8 < huge.size(); ++i)
    if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {
      huge[i + 5] = 0xEA;
      huge[i + 6] = 0x60;
      huge[i + 7] = 0xEA;
      huge[i + 8] = 0x60;
      break;
    }
  try {
    DecodeJpeg(huge);
    FAIL();
  } catch (const StreamReadError& e) {
    EXPECT_STREQ(e.what(), "JPEG: picture size 60000 x 60000 is larger than the engine accepts");
  }
}

// Seeds for the picture fuzz target: a kind byte, then the graphic's bytes.
// Each seed is read back as the target reads it and must come out as the
// picture it was made from, so the fuzzer starts past the readers' checks.
TEST(PictureSeeds, EachSeedReadsBackAsTheFuzzTargetReadsIt) {
  // The picture the fuzz target gets from a seed's bytes.
  auto read = [](std::uint8_t kind, const Bytes& bytes) {
    if (kind < 5) {
      Graphic g;
      g.Load(static_cast<GraphicKind>(kind), bytes);
      return g;
    }
    TfrPictureView view;
    view.PreparedMode = (kind & 1) != 0;
    MemoryStream in(bytes);
    test::ReadRecordAt(view, in);
    return view.Picture;
  };
  auto seed = [&](const std::string& name, std::uint8_t kind, const Bytes& bytes, int w, int h) {
    SCOPED_TRACE(name);
    const Graphic g = read(kind, bytes);
    EXPECT_EQ(g.Width(), w);
    EXPECT_EQ(g.Height(), h);
    std::ofstream out(test::OutputPath("picture_seed_" + name), std::ios::binary);
    out.put(char(kind));
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    ASSERT_TRUE(out.good());
  };
  const Bytes bmp24 = EncodeBmp(TestCard(6, 5), 24);
  EXPECT_EQ(read(1, bmp24).Image(), TestCard(6, 5));
  seed("bmp24", 1, bmp24, 6, 5);
  seed("bmp32", 1, EncodeBmp(TestCard(6, 5, true), 32), 6, 5);
  seed("bmp4", 1, IndexedBmp(5, 3, 4, {0, 0xFF, 0xFF00}, std::vector<int>(15, 2)), 5, 3);
  seed("bmp1", 1, IndexedBmp(9, 2, 1, {0, 0xFFFFFF}, std::vector<int>(18, 1), true), 9, 2);
  seed("ico", 3, EncodeIcon(TestCard(8, 8, true)), 8, 8);
  seed("jpeg", 4, EncodeJpeg(TestCard(16, 16)), 16, 16);
  RecordingCanvas rec;
  rec.Rectangle(1, 2, 30, 20);
  rec.TextOut(4, 5, "Seed");
  rec.DrawImage({0, 0, 3, 2}, TestCard(3, 2));
  MemoryStream meta;
  rec.Save(meta);
  seed("metafile", 2, meta.Bytes(), 31, 21);  // its frame, from the origin
  TfrPictureView view;
  view.Name = "Picture1";
  view.SetGeometry(10, 10, 50, 40);
  view.Picture.SetImage(GraphicKind::Bitmap, TestCard(4, 3));
  MemoryStream record;
  test::WriteRecordAt(view, record);
  seed("record_template", 6, record.Bytes(), 4, 3);
  view.PreparedMode = true;
  view.Picture.SetImage(GraphicKind::Jpeg, TestCard(8, 8));
  record.Clear();
  test::WriteRecordAt(view, record);
  seed("record_prepared", 7, record.Bytes(), 8, 8);
}

}  // namespace
}  // namespace quillet
