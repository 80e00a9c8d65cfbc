// PNG and SVG pictures beside the older kinds, how templates store them
// (version 26, which older readers refuse by its version byte), and pictures
// taken from files: paths from the template's folder, the message for a file
// that is missing, data fields holding a path or the bytes.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/errors.h"
#include "platform/recording_canvas.h"
#include "report/base/data_field.h"
#include "report/graphics/bmp_codec.h"
#include "report/graphics/icon_codec.h"
#include "report/graphics/jpeg_codec.h"
#include "report/graphics/png_codec.h"
#include "report/template/page.h"
#include "report/template/template_json.h"
#include "report/views/picture_view.h"
#include "tests/report/template/template_support.h"

namespace quillet::test {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kRed = 0xFFFF0000u;
constexpr std::uint32_t kSeeThroughBlue = 0x800000FFu;

// A 3 x 2 PNG written by Qt itself, not by the engine's encoder: red, half
// transparent blue, green on top; white below.
Bytes QtPng() {
  QImage image(3, 2, QImage::Format_ARGB32);
  image.setPixel(0, 0, kRed);
  image.setPixel(1, 0, kSeeThroughBlue);
  image.setPixel(2, 0, 0xFF00FF00u);
  for (int x = 0; x < 3; ++x) image.setPixel(x, 1, 0xFFFFFFFFu);
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  EXPECT_TRUE(image.save(&buffer, "PNG"));
  return Bytes(data.begin(), data.end());
}

// 40 x 20: the left half red, the right half blue.
const std::string kSvg =
    "<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"40\" "
    "height=\"20\"><rect width=\"20\" height=\"20\" fill=\"#ff0000\"/>"
    "<rect x=\"20\" width=\"20\" height=\"20\" fill=\"#0000ff\"/></svg>\n";

Bytes SvgBytes() {
  return Bytes(kSvg.begin(), kSvg.end());
}

RasterImage Solid(int w, int h, std::uint32_t argb) {
  return {w, h, std::vector<std::uint32_t>(std::size_t(w) * h, argb)};
}

std::uint32_t Pixel(const RasterImage& image, int x, int y) {
  return image.pixels[std::size_t(y) * std::size_t(image.width) + std::size_t(x)];
}

// A folder of this test's own under the test output folder, emptied first.
fs::path FreshFolder(const std::string& name) {
  const fs::path dir = fs::path(OutputPath("picture_files")) / name;
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

void WriteFile(const fs::path& path, const Bytes& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

TEST(PictureFormats, EachKindDecodesAndIsKnownByItsSignature) {
  struct Case {
    GraphicKind kind;
    Bytes bytes;
    int width, height;
  };
  const Case cases[] = {
      {GraphicKind::Bitmap, EncodeBmp(Solid(5, 4, kRed), 24), 5, 4},
      {GraphicKind::Jpeg, EncodeJpeg(Solid(8, 6, kRed)), 8, 6},
      {GraphicKind::Icon, EncodeIcon(Solid(16, 16, kRed)), 16, 16},
      {GraphicKind::Png, QtPng(), 3, 2},
      {GraphicKind::Svg, SvgBytes(), 40, 20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.kind));
    EXPECT_EQ(SniffGraphicKind(c.bytes), c.kind);
    Graphic g;
    g.Load(c.kind, c.bytes);
    EXPECT_EQ(g.Kind(), c.kind);
    EXPECT_EQ(g.Width(), c.width);
    EXPECT_EQ(g.Height(), c.height);
    EXPECT_TRUE(g.Refusal().empty());
  }
  EXPECT_EQ(SniffGraphicKind(Bytes{'h', 'e', 'l', 'l', 'o'}), GraphicKind::None);
}

TEST(PictureFormats, PngKeepsEveryPixelAndItsAlpha) {
  Graphic g;
  g.Load(GraphicKind::Png, QtPng());
  const RasterImage& image = g.Image();
  EXPECT_EQ(Pixel(image, 0, 0), kRed);
  EXPECT_EQ(Pixel(image, 1, 0), kSeeThroughBlue);
  EXPECT_EQ(Pixel(image, 2, 0), 0xFF00FF00u);
  EXPECT_EQ(Pixel(image, 1, 1), 0xFFFFFFFFu);
  // Printers get it over white.
  EXPECT_EQ(Pixel(g.ToBitmap24(), 1, 0), 0xFF7F7FFFu);

  // The engine's own PNG (SetImage) reads back to the same pixels.
  Graphic again;
  again.SetImage(GraphicKind::Png, image);
  EXPECT_EQ(again.Kind(), GraphicKind::Png);
  EXPECT_EQ(again.Image(), image);
}

TEST(PictureFormats, SvgIsRenderedAtTheSizeItIsDrawnAt) {
  Graphic g;
  g.Load(GraphicKind::Svg, SvgBytes());
  EXPECT_TRUE(g.Image().IsEmpty());  // nothing is kept but the drawing
  RecordingCanvas canvas;
  g.Draw(canvas, {10, 10, 410, 210});
  ASSERT_EQ(canvas.Ops().size(), 1u);
  const CanvasOp& op = canvas.Ops()[0];
  ASSERT_EQ(op.kind, OpKind::Image);
  ASSERT_TRUE(op.image);
  EXPECT_EQ(op.image->width, 400);
  EXPECT_EQ(op.image->height, 200);
  EXPECT_EQ(Pixel(*op.image, 100, 100), kRed);
  EXPECT_EQ(Pixel(*op.image, 300, 100), 0xFF0000FFu);
  // The printer's opaque bitmap is rendered at the size asked for too.
  const RasterImage flat = g.ToBitmap24(80, 40);
  EXPECT_EQ(flat.width, 80);
  EXPECT_EQ(Pixel(flat, 70, 20), 0xFF0000FFu);
}

TEST(PictureFormats, BadPngAndSvgBytesAreRefusedWithTheReason) {
  Bytes huge = QtPng();
  huge[16] = huge[17] = 0x7F;  // the header's width: past any limit
  Bytes cut = QtPng();
  cut.resize(cut.size() / 2 + 10);
  const std::string broken = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"10\"><rect";
  struct Case {
    GraphicKind kind;
    Bytes bytes;
    const char* says;
  } const cases[] = {
      {GraphicKind::Png, huge, "larger than the engine accepts"},
      {GraphicKind::Png, cut, "PNG"},
      {GraphicKind::Png, EncodeBmp(Solid(2, 2, kRed), 24), "not a PNG file"},
      {GraphicKind::Svg, Bytes(broken.begin(), broken.end()), "SVG"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.says);
    Graphic g;
    try {
      g.Load(c.kind, c.bytes);
      ADD_FAILURE() << "read";
    } catch (const StreamReadError& e) {
      EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << e.what();
    }
    EXPECT_EQ(g.Kind(), GraphicKind::None);
  }
}

class PictureTemplateTest : public TemplateTest {
 protected:
  static TfrPictureView& AddPicture(TfrTemplate& t, const std::string& name) {
    if (t.Pages.empty()) t.AddPage();
    auto view = std::make_unique<TfrPictureView>();
    view->Name = name;
    view->SetGeometry(10, 10, 200, 100);
    TfrPictureView& added = *view;
    t.Pages[0]->AddObject(std::move(view));
    return added;
  }
  static TfrPictureView& PictureOf(TfrTemplate& t, std::size_t index = 0) {
    return dynamic_cast<TfrPictureView&>(*t.Pages.at(0)->Objects.at(index));
  }
};

TEST_F(PictureTemplateTest, NewKindsAreStoredAsVersion26AndComeBackByteForByte) {
  struct Case {
    GraphicKind kind;
    Bytes bytes;
    std::uint8_t blobType;
    int version;
  } const cases[] = {
      {GraphicKind::Bitmap, EncodeBmp(Solid(5, 4, kRed), 24), btBMP, 24},
      {GraphicKind::Png, QtPng(), btBMP, 26},
      {GraphicKind::Svg, SvgBytes(), btBMP, 26},
      // A data field of the newer kinds needs the newer version as well.
      {GraphicKind::None, {}, btPNG, 26},
      {GraphicKind::None, {}, btFileName, 26},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.kind) * 10 + c.blobType);
    TfrTemplate t;
    TfrPictureView& p = AddPicture(t, "Logo");
    p.Picture.Load(c.kind, c.bytes);
    p.BlobType = c.blobType;
    const Bytes saved = Save(t);
    EXPECT_EQ(saved.at(0), c.version);
    TfrTemplate loaded;
    Load(loaded, saved);
    ASSERT_TRUE(host.messages.empty()) << host.messages.front().text;
    TfrPictureView& back = PictureOf(loaded);
    EXPECT_EQ(back.Picture.Kind(), c.kind);
    EXPECT_EQ(back.Picture.Bytes(), c.bytes);
    EXPECT_EQ(back.BlobType, c.blobType);
    EXPECT_EQ(Save(loaded), saved);
  }
}

TEST_F(PictureTemplateTest, ReadersOfAnOlderVersionRefuseTheNewerPictures) {
  TfrTemplate t;
  AddPicture(t, "Logo").Picture.Load(GraphicKind::Png, QtPng());
  Bytes saved = Save(t);
  ASSERT_EQ(saved.at(0), kPictureFilesVersion);
  // The whole stream is refused by its version byte, with a message that
  // names it, as a reader of versions up to 25 refuses a version 26 stream.
  saved[0] = kNewestStreamVersion + 1;
  TfrTemplate newer;
  Load(newer, saved);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].text.find("stream version 28"), std::string::npos)
      << host.messages[0].text;
  // A record of a newer kind inside an older stream is no picture.
  TfrPictureView view;
  view.Picture.Load(GraphicKind::Png, QtPng());
  MemoryStream record;
  RecordWriter writer(record, kPictureFilesVersion);
  view.WriteRecord(writer);
  record.Seek(0);
  TfrPictureView reader;
  EXPECT_THROW(ReadRecordAt(reader, record, kUtf8TextsVersion), StreamReadError);
}

TEST_F(PictureTemplateTest, PreparedPagesTakeTheNewerVersionWhenAPictureNeedsIt) {
  TfrPictureView bitmap, png;
  bitmap.PreparedMode = png.PreparedMode = true;
  bitmap.Picture.Load(GraphicKind::Bitmap, EncodeBmp(Solid(2, 2, kRed), 24));
  png.Picture.Load(GraphicKind::Png, QtPng());
  png.PictureFile = "logo.png";
  MemoryStream page;
  page.WriteU8(kNamedRecordsVersion);  // a page begins with its version byte
  AppendObjectRecord(page, bitmap);
  EXPECT_EQ(page.Bytes().front(), kNamedRecordsVersion);
  AppendObjectRecord(page, png);
  EXPECT_EQ(page.Bytes().front(), kPictureFilesVersion);
  // Both records read back from the recoded page, the bytes kept with the
  // path they came from.
  MemoryStream in(page.Bytes());
  RecordReader reader(in, in.ReadU8());
  for (const TfrPictureView* expected : {&bitmap, &png}) {
    ASSERT_EQ(reader.ReadU8(), gtPicture);
    TfrPictureView back;
    back.PreparedMode = true;
    ReadViewRecord(reader, back);
    EXPECT_EQ(back.Picture.Kind(), expected->Picture.Kind());
    EXPECT_EQ(back.Picture.Image(), expected->Picture.Image());
    EXPECT_EQ(back.PictureFile, expected->PictureFile);
  }
}

TEST(PicturePaths, RelativePathsStartFromTheTemplatesFolder) {
  struct Case {
    const char* directory;
    const char* path;
    const char* resolved;
  } const cases[] = {
      {"/reports/q1", "logo.png", "/reports/q1/logo.png"},
      {"/reports/q1", "img/logo.png", "/reports/q1/img/logo.png"},
      {"/reports/q1", "../shared/logo.png", "/reports/shared/logo.png"},
      {"/reports/q1", "/srv/logo.png", "/srv/logo.png"},
      {"", "img/logo.png", "img/logo.png"},  // no template file: the working directory
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    TfrPictureView view;
    view.TemplateDirectory = c.directory;
    EXPECT_EQ(view.ResolvedPath(c.path), c.resolved);
  }
}

TEST_F(PictureTemplateTest, ATemplateFileReadsItsPictureFromBesideItInEitherForm) {
  const fs::path dir = FreshFolder("beside");
  WriteFile(dir / "img" / "logo.png", QtPng());
  TfrTemplate t;
  TfrPictureView& p = AddPicture(t, "Logo");
  p.PictureFile = "img/logo.png";
  const std::string stream = (dir / "report.frf").string();
  t.SaveTemplateFile(stream);
  const std::string json = WriteTemplateJson(t);
  EXPECT_NE(json.find("\"file\": \"img/logo.png\""), std::string::npos) << json;

  // Read from another working directory, so that only the template's folder
  // can lead to the picture.
  const fs::path before = fs::current_path();
  fs::current_path(FreshFolder("elsewhere"));
  TfrTemplate fromStream, fromJson;
  fromStream.LoadTemplateFile(stream);
  ReadTemplateJson(json, fromJson, dir.string());
  fs::current_path(before);
  for (TfrTemplate* loaded : {&fromStream, &fromJson}) {
    TfrPictureView& back = PictureOf(*loaded);
    EXPECT_EQ(back.PictureFile, "img/logo.png");
    EXPECT_EQ(back.Picture.Kind(), GraphicKind::Png);
    EXPECT_EQ(back.Picture.Width(), 3);
    EXPECT_FALSE(back.PictureFileMissing);
    // The template keeps the path, not the bytes.
    const Bytes saved = Save(*loaded);
    const Bytes png = QtPng();
    EXPECT_EQ(saved.at(0), kPictureFilesVersion);
    EXPECT_EQ(std::search(saved.begin(), saved.end(), png.begin(), png.end()), saved.end());
  }
}

TEST_F(PictureTemplateTest, AMissingFileIsNamedWithTheObjectAndBothPaths) {
  const fs::path dir = FreshFolder("missing");
  const std::string json =
      R"({"pages": [{"objects": [{"type": "picture", "name": "Logo", "width": 50,
          "height": 50, "picture": {"file": "img/gone.png"}}]}]})";
  TfrTemplate t;
  ReadTemplateJson(json, t, dir.string());
  TfrPictureView& p = PictureOf(t);
  EXPECT_TRUE(p.PictureFileMissing);
  EXPECT_TRUE(p.Picture.IsEmpty());
  const std::string looked = (dir / "img" / "gone.png").lexically_normal().string();
  EXPECT_EQ(p.Picture.Refusal(),
            "picture file \"img/gone.png\" not found (looked for " + looked + ")");
  // Such a picture stops the preparation rather than print a page without it.
  MemoryStream page;
  try {
    p.Record(page);
    ADD_FAILURE() << "recorded";
  } catch (const FileOpenError& e) {
    EXPECT_EQ(std::string(e.what()), "Picture Logo: " + p.Picture.Refusal());
  }
  // The path is kept for the next save, and the file is read once it exists.
  EXPECT_NE(WriteTemplateJson(t).find("img/gone.png"), std::string::npos);
  WriteFile(dir / "img" / "gone.png", QtPng());
  t.ResolvePictureFiles();
  EXPECT_FALSE(p.PictureFileMissing);
  EXPECT_EQ(p.Picture.Kind(), GraphicKind::Png);
}

TEST_F(PictureTemplateTest, ADataFieldGivesThePicturesBytesOrItsPath) {
  const fs::path dir = FreshFolder("fields");
  WriteFile(dir / "photos" / "a.svg", SvgBytes());
  auto field = [](const Bytes& bytes) {
    TfrDataField f;
    f.IsNull = false;
    f.Bytes.assign(bytes.begin(), bytes.end());
    return f;
  };
  auto text = [](const std::string& s) { return Bytes(s.begin(), s.end()); };
  struct Case {
    std::uint8_t blobType;
    Bytes value;
    GraphicKind kind;
    int width;
  } const cases[] = {
      {btPNG, QtPng(), GraphicKind::Png, 3},
      {btSVG, SvgBytes(), GraphicKind::Svg, 40},
      {btFileName, text("photos/a.svg"), GraphicKind::Svg, 40},
      {btFileName, text((dir / "photos" / "a.svg").string()), GraphicKind::Svg, 40},
      {btFileName, {}, GraphicKind::None, 0},  // an empty path: no picture
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.value.begin(), c.value.end()).substr(0, 20));
    TfrPictureView view;
    view.Name = "Photo";
    view.TemplateDirectory = dir.string();
    view.BlobType = c.blobType;
    const TfrDataField f = field(c.value);
    view.LoadFromField(&f);
    EXPECT_EQ(view.Picture.Kind(), c.kind);
    EXPECT_EQ(view.Picture.Width(), c.width);
  }

  TfrPictureView view;
  view.Name = "Photo";
  view.TemplateDirectory = dir.string();
  view.BlobType = btFileName;
  const TfrDataField missing = field(text("photos/b.png"));
  try {
    view.LoadFromField(&missing);
    ADD_FAILURE() << "loaded";
  } catch (const FileOpenError& e) {
    EXPECT_EQ(std::string(e.what()),
              "Picture Photo: picture file \"photos/b.png\" not found "
              "(looked for " +
                  (dir / "photos" / "b.png").lexically_normal().string() + ")");
  }
  // A file that is there but holds no picture says what it holds instead.
  WriteFile(dir / "photos" / "notes.txt", text("not a picture"));
  const TfrDataField notes = field(text("photos/notes.txt"));
  try {
    view.LoadFromField(&notes);
    ADD_FAILURE() << "loaded";
  } catch (const FileOpenError& e) {
    EXPECT_NE(std::string(e.what()).find("none of BMP, JPEG, PNG, SVG"), std::string::npos)
        << e.what();
  }
}

}  // namespace
}  // namespace quillet::test
