// Where a picture view puts its picture (stretch, keep-aspect, centre), what
// the printer receives, metafiles, and a page drawn for a person to look at.
#include "report/views/picture_view.h"

#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <fstream>
#include <limits>

#include "platform/errors.h"
#include "platform/qt/qt_canvas.h"
#include "platform/recording_canvas.h"
#include "report/base/engine_state.h"
#include "report/graphics/bmp_codec.h"
#include "report/graphics/icon_codec.h"
#include "report/graphics/jpeg_codec.h"
#include "report/views/line_view.h"
#include "tests/support.h"

namespace quillet {
namespace {

RasterImage Solid(int w, int h, std::uint32_t argb) {
  return {w, h, std::vector<std::uint32_t>(std::size_t(w) * h, argb)};
}

// Draws `pic` (no frame sides, no fill) and returns the one image operation.
CanvasOp DrawnImage(TfrPictureView& pic, DeviceKind device = DeviceKind::Screen) {
  Prep().RenderActive = true;
  RecordingCanvas c(device);
  pic.Draw(c);
  EXPECT_EQ(c.Ops().size(), 1u);
  return c.Ops().empty() ? CanvasOp{} : c.Ops()[0];
}

struct Placement {
  int picW, picH;
  std::uint16_t flags;
  double scale;
  Rect expected;
};

TEST(PictureView, PlacementRules) {
  const std::uint16_t S = flStretched, K = flPictureKeepAspect, C = flPictureCenter;
  const Placement cases[] = {
      // 200 x 100 into 100 x 100: kx 0.5 < ky 1, full width (101), 50 high,
      // moved down by (101 - 50) div 2 = 25 when centred.
      {200, 100, std::uint16_t(S | K), 1, {0, 0, 101, 50}},
      {200, 100, std::uint16_t(S | K | C), 1, {0, 25, 101, 75}},
      // 100 x 200: kx 1 >= ky 0.5, full height, 50 wide.
      {100, 200, std::uint16_t(S | K), 1, {0, 0, 50, 101}},
      {100, 200, std::uint16_t(S | K | C), 1, {25, 0, 75, 101}},
      // Stretched without aspect: the whole DrawRect, centring moves nothing.
      {200, 100, S, 1, {0, 0, 101, 101}},
      {200, 100, std::uint16_t(S | C), 1, {0, 0, 101, 101}},
      // At its own size times the device scale, optionally centred.
      {30, 20, 0, 2, {0, 0, 60, 40}},
      {30, 20, C, 2, {70, 80, 130, 120}},
      // Larger than the view: centring moves it up and left.
      {300, 20, C, 1, {-99, 40, 201, 60}},
  };
  for (const Placement& p : cases) {
    SCOPED_TRACE(std::to_string(p.picW) + "x" + std::to_string(p.picH) + " flags " +
                 std::to_string(p.flags) + " scale " + std::to_string(p.scale));
    TfrPictureView pic;
    pic.SetGeometry(0, 0, 100, 100);
    pic.Flags = p.flags;
    pic.DeviceScaleX = pic.DeviceScaleY = p.scale;
    pic.Picture.SetImage(GraphicKind::Bitmap, Solid(p.picW, p.picH, 0xFF336699u));
    const CanvasOp op = DrawnImage(pic);
    EXPECT_EQ(op.kind, OpKind::Image);
    EXPECT_EQ(op.rect, p.expected);
    ASSERT_TRUE(op.image);
    EXPECT_EQ(op.image->width, p.picW);
  }
}

TEST(PictureView, HugeDeviceScaleSaturatesInsteadOfWrapping) {
  TfrPictureView pic;
  pic.SetGeometry(0, 0, 100, 100);
  pic.Flags = 0;
  pic.DeviceScaleX = pic.DeviceScaleY = 1e6;
  pic.DeviceOffsetX = -1000;
  pic.Picture.SetImage(GraphicKind::Bitmap, Solid(4000, 1, 0xFF000000u));
  const CanvasOp op = DrawnImage(pic);
  EXPECT_EQ(op.rect.right, std::numeric_limits<std::int32_t>::max());
  EXPECT_GT(op.rect.bottom, op.rect.top);
}

TEST(PictureView, FrameAndOffsetMoveTheDrawRect) {
  Prep().RenderActive = true;
  TfrPictureView pic;
  pic.SetGeometry(10, 20, 100, 50);
  pic.DeviceOffsetX = 3;
  pic.DeviceOffsetY = 4;
  pic.FrameTyp = frAllSides;
  pic.FrameWidth = 3;
  pic.FillColor = 0x00FFFF;
  pic.Flags = flStretched;
  pic.Picture.SetImage(GraphicKind::Jpeg, Solid(8, 8, 0xFF00FF00u));
  RecordingCanvas c;
  pic.Draw(c);
  // Background, picture, then four frame sides.
  ASSERT_EQ(c.Ops().size(), 6u);
  EXPECT_EQ(c.Ops()[0].kind, OpKind::FillRect);
  EXPECT_EQ(c.Ops()[0].rect, (Rect{13, 24, 113, 74}));
  EXPECT_EQ(c.Ops()[1].kind, OpKind::Image);
  // Insets Round((3 - 1) / 2) = 1 on the left and top, Round(3 / 2) = 2 off the
  // right and bottom, plus one for the exclusive edge.
  EXPECT_EQ(c.Ops()[1].rect, (Rect{14, 25, 112, 73}));
  for (int i = 2; i < 6; ++i) EXPECT_EQ(c.Ops()[i].kind, OpKind::Line);
  EXPECT_EQ(pic.Left, 10);
}

TEST(PictureView, EmptyPictureDrawsOnlyBackgroundAndFrame) {
  Prep().RenderActive = true;
  TfrPictureView pic;
  pic.SetGeometry(0, 0, 40, 40);
  RecordingCanvas c;
  pic.Draw(c);
  EXPECT_TRUE(c.Ops().empty());
  pic.Picture.Load(GraphicKind::Bitmap, {});
  pic.Draw(c);
  EXPECT_TRUE(c.Ops().empty());
}

TEST(PictureView, PrinterReceivesAnOpaqueBitmap) {
  // An icon with a transparent corner pixel, printed: drawn over white.
  RasterImage icon = Solid(2, 2, 0xFF102030u);
  icon.pixels[0] = 0x00102030u;
  TfrPictureView pic;
  pic.SetGeometry(0, 0, 20, 20);
  pic.Picture.SetImage(GraphicKind::Icon, icon);
  pic.OnPrinterCanvas = false;
  EXPECT_EQ(DrawnImage(pic).image->pixels[0] >> 24, 0u);
  pic.OnPrinterCanvas = true;
  CanvasOp op = DrawnImage(pic, DeviceKind::Printer);
  EXPECT_EQ(op.image->pixels[0], 0xFFFFFFFFu);
  EXPECT_EQ(op.image->pixels[3], 0xFF102030u);
  // A bitmap keeps its colours and loses its alpha.
  RasterImage bmp = Solid(2, 1, 0x40102030u);
  pic.Picture.SetImage(GraphicKind::Bitmap, bmp);
  op = DrawnImage(pic, DeviceKind::Printer);
  EXPECT_EQ(op.image->pixels, (std::vector<std::uint32_t>(2, 0xFF102030u)));
}

TEST(PictureView, MetafileIsReplayedScaledIntoTheTarget) {
  RecordingCanvas rec;
  rec.SetBrushColor(0x0000FF);
  rec.FillRect({0, 0, 50, 20});
  rec.SetPen({0x00FF00, 2, PenStyle::Solid, PenMode::Copy});
  rec.Line(10, 15, 40, 15);
  TfrPictureView pic;
  pic.SetGeometry(0, 0, 100, 40);
  pic.Flags = flStretched;
  pic.Picture.SetMetafile(rec);
  ASSERT_EQ(pic.Picture.Kind(), GraphicKind::Metafile);
  // The frame runs from the origin to the furthest pixel any operation touches.
  EXPECT_EQ(pic.Picture.Width(), 50);
  EXPECT_EQ(pic.Picture.Height(), 20);
  Prep().RenderActive = true;
  pic.OnPrinterCanvas = true;  // metafiles stay metafiles on printers
  RecordingCanvas c(DeviceKind::Printer);
  pic.Draw(c);
  // 50 x 20 onto DrawRect (0, 0, 101, 41): x times 2.02, y times 2.05.
  ASSERT_EQ(c.Ops().size(), 2u);
  EXPECT_EQ(c.Ops()[0].kind, OpKind::FillRect);
  EXPECT_EQ(c.Ops()[0].brush.color, 0x0000FFu);
  EXPECT_EQ(c.Ops()[0].rect, (Rect{0, 0, 101, 41}));
  EXPECT_EQ(c.Ops()[1].kind, OpKind::Line);
  EXPECT_EQ(c.Ops()[1].points, (std::vector<Point>{{20, 31}, {81, 31}}));
  EXPECT_EQ(c.Ops()[1].pen.width, 4);  // 2 x the mean of the two scales
  EXPECT_EQ(c.Ops()[1].pen.color, 0x00FF00u);
  // The canvas's own state comes back after the replay.
  EXPECT_EQ(c.GetPen(), Pen{});
}

TEST(PictureView, UnreadableMetafileIsKeptAndDrawsNothing) {
  const std::vector<std::uint8_t> foreign = {0xD7, 0xCD, 0xC6, 0x9A, 0, 0, 1, 2, 3};
  TfrPictureView pic;
  pic.SetGeometry(0, 0, 40, 40);
  pic.Picture.Load(GraphicKind::Metafile, foreign);
  EXPECT_TRUE(pic.Picture.IsEmpty());
  EXPECT_EQ(pic.Picture.Metafile(), nullptr);
  EXPECT_EQ(pic.Picture.Bytes(), foreign);
  Prep().RenderActive = true;
  RecordingCanvas c;
  pic.Draw(c);
  EXPECT_TRUE(c.Ops().empty());
}

TEST(PictureView, BlobsAndFiles) {
  TfrPictureView pic;
  pic.BlobType = btJPG;
  pic.LoadFromBlob(false, EncodeJpeg(Solid(5, 4, 0xFFFFFFFFu)));
  EXPECT_EQ(pic.Picture.Kind(), GraphicKind::Jpeg);
  EXPECT_EQ(pic.Picture.Width(), 5);
  pic.LoadFromBlob(true, {});
  EXPECT_EQ(pic.Picture.Kind(), GraphicKind::None);
  pic.BlobType = btBMP;
  EXPECT_THROW(pic.LoadFromBlob(false, {'B', 'M', 1}), StreamReadError);

  const std::string path = test::OutputPath("picture_view_file.ico");
  const auto ico = EncodeIcon(Solid(3, 3, 0xFF0000FFu));
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(ico.data()), std::streamsize(ico.size()));
  pic.LoadPictureFile(path);
  EXPECT_EQ(pic.Picture.Kind(), GraphicKind::Icon);
  EXPECT_EQ(pic.Picture.Bytes(), ico);
  pic.LoadPictureFile(test::OutputPath("no_such_picture.bmp"));
  EXPECT_EQ(pic.Picture.Kind(), GraphicKind::None);
  pic.LoadPictureFile("");
  EXPECT_TRUE(pic.Picture.IsEmpty());
}

// A gradient with a dark diagonal, so that stretching is visible.
RasterImage Photo(int w, int h) {
  RasterImage img{w, h, std::vector<std::uint32_t>(std::size_t(w) * h)};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      std::uint32_t r = std::uint32_t(40 + x * 200 / w), g = std::uint32_t(80 + y * 150 / h),
                    b = 200;
      if (std::abs(x * h - y * w) < w) r = g = b = 20;
      img.pixels[std::size_t(y) * w + x] = 0xFF000000u | (r << 16) | (g << 8) | b;
    }
  return img;
}

// A checkerboard with a red border.
RasterImage Checker(int w, int h) {
  RasterImage img{w, h, std::vector<std::uint32_t>(std::size_t(w) * h)};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      std::uint32_t px = ((x / 4 + y / 4) % 2) ? 0xFF000000u : 0xFFFFFFFFu;
      if (x == 0 || y == 0 || x == w - 1 || y == h - 1) px = 0xFFFF0000u;
      img.pixels[std::size_t(y) * w + x] = px;
    }
  return img;
}

TEST(PictureView, PageForAPersonToLookAt) {
  Prep().RenderActive = true;
  QtImageCanvas page(640, 300);

  TfrLineView line;
  line.SetGeometry(20, 20, 600, 1);
  line.FrameWidth = 3;
  line.FrameColor = 0x00800000;  // navy
  line.Draw(page);

  // A JPEG 120 x 60, stretched with its aspect into 200 x 200, centred.
  TfrPictureView jpeg;
  jpeg.SetGeometry(20, 50, 200, 200);
  jpeg.Flags = flStretched | flPictureKeepAspect | flPictureCenter;
  jpeg.FrameTyp = frAllSides;
  jpeg.FrameColor = 0x000000;
  jpeg.Picture.Load(GraphicKind::Jpeg, EncodeJpeg(Photo(120, 60)));
  jpeg.Draw(page);

  // A 24-bit BMP 32 x 24 at its own size, twice scaled, centred in 200 x 200.
  TfrPictureView bmp;
  bmp.SetGeometry(130, 25, 100, 100);
  bmp.DeviceScaleX = bmp.DeviceScaleY = 2.0;
  bmp.Flags = flPictureCenter;
  bmp.FrameTyp = frAllSides;
  bmp.FrameColor = 0x008000;
  bmp.FillColor = 0xE0E0E0;
  bmp.Picture.Load(GraphicKind::Bitmap, EncodeBmp(Checker(32, 24), 24));
  bmp.Draw(page);

  // The same BMP stretched (no aspect) into a wide box.
  TfrPictureView wide;
  wide.SetGeometry(480, 50, 140, 200);
  wide.Flags = flStretched;
  wide.FrameTyp = frAllSides;
  wide.Picture = bmp.Picture;
  wide.Draw(page);

  const QImage& img = page.Image();
  ASSERT_TRUE(img.save(QString::fromStdString(test::OutputPath("views_page.png"))));
  // Pixel probes: line, JPEG middle row (letterboxed: white above), BMP border.
  EXPECT_EQ(img.pixelColor(300, 20).rgb() & 0xFFFFFF, 0x000080u);
  EXPECT_EQ(img.pixelColor(120, 70).rgb() & 0xFFFFFF, 0xFFFFFFu);  // above the centred JPEG
  const QColor mid = img.pixelColor(30, 150);
  EXPECT_GT(mid.blue(), 150);  // inside the JPEG
  // The BMP's 64 x 48 device pixels centred in the 200 x 200 device box at
  // (260, 50): offset ((200 - 64) div 2, (200 - 48) div 2) = (68, 76).
  EXPECT_EQ(img.pixelColor(328, 126).rgb() & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(img.pixelColor(327, 126).rgb() & 0xFFFFFF, 0xE0E0E0u);
  EXPECT_EQ(img.pixelColor(391, 173).rgb() & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(img.pixelColor(392, 174).rgb() & 0xFFFFFF, 0xE0E0E0u);
  EXPECT_EQ(img.pixelColor(265, 60).rgb() & 0xFFFFFF, 0xE0E0E0u);  // fill around the BMP
}

}  // namespace
}  // namespace quillet
