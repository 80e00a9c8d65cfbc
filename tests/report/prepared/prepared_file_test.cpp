// The prepared-report file: exact bytes, save and load round trips, the
// older variants, and files whose counts or offsets do not hold.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/errors.h"
#include "platform/recording_canvas.h"
#include "report/base/engine_state.h"
#include "report/prepared/compressor.h"
#include "report/views/view_registry.h"
#include "tests/report/prepared/prepared_support.h"
#include "tests/support.h"

namespace quillet {
namespace {

using test::PreparedPagesTest;

class NamingReport : public PreparedPagesReport {
 public:
  void SelectPrinterByName(const std::string& name) override { names.push_back(name); }
  std::vector<std::string> names;
};

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Written(TfrEMFPages& pages) {
  MemoryStream out;
  pages.WritePreparedFile(out);
  return out.BytesAsString();
}

void Load(TfrEMFPages& pages, const std::string& bytes) {
  MemoryStream in(bytes);
  pages.ReadPreparedFile(in);
}

class PreparedFileTest : public PreparedPagesTest {
 protected:
  // Two pages: A4 with three shapes; a custom landscape page with margins
  // that stretches to the printable area, holding one star.
  void MakeTwoPages(TfrEMFPages& pages) {
    pages.AddPage(Paper());
    AddShape(pages, 0, skRectangle, 100, 200, 50, 40, "0;0;0;0;0;0", "Shape1");
    AddShape(pages, 0, skTriangle, 300, 200, 60, 60, "0;0;1;0;0;0", "Shape2");
    AddShape(pages, 0, skPolygon, 100, 500, 90, 90, "6;0;1;30;0;0", "Shape3");
    PagePaper custom = Paper(256, 2500, 1800, 1);
    custom.Margins = {11, 22, 33, 44};
    custom.MarginsApply = false;
    custom.PaperSource = 7;
    pages.AddPage(custom);
    AddShape(pages, 1, skStar, 40, 50, 200, 200, "5;0;0;-90;40;0", "Star");
  }
};

TEST_F(PreparedFileTest, HeaderAndFirstPageEntryBytes) {
  TfrEMFPages pages{Engine()};
  MakeTwoPages(pages);
  const std::string bytes = Written(pages);
  MemoryStream in(bytes);
  EXPECT_EQ(in.ReadU8(), 24);
  EXPECT_EQ(in.ReadU8(), 0);
  EXPECT_EQ(in.ReadU16(), 15);
  EXPECT_EQ(in.ReadBytes(15), "Virtual printer");
  EXPECT_EQ(in.ReadU8(), 0);
  EXPECT_EQ(in.ReadI32(), 2);
  const std::uint64_t entry = in.Position();
  const std::int32_t next = in.ReadI32();
  EXPECT_EQ(in.ReadI16(), 9);
  EXPECT_EQ(in.ReadI32(), 2100);
  EXPECT_EQ(in.ReadI32(), 2970);
  EXPECT_EQ(in.ReadU8(), 0);
  EXPECT_EQ(in.ReadI32(), -1);
  EXPECT_EQ(in.ReadU8(), 1);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(in.ReadI32(), 0);
  const std::vector<std::uint8_t>& stream = pages[0].ObjectStream.Bytes();
  EXPECT_EQ(std::uint64_t(next), entry + 36 + stream.size());
  EXPECT_EQ(in.ReadBytes(stream.size()), std::string(stream.begin(), stream.end()));
}

TEST_F(PreparedFileTest, SaveThenLoadGivesBackEveryByte) {
  TfrEMFPages pages{Engine()};
  MakeTwoPages(pages);
  const std::string path = test::OutputPath("two-pages.frp");
  pages.SavePreparedFile(path);

  NamingReport report;
  TfrEMFPages loaded(Engine(), &report);
  loaded.LoadPreparedFile(path);
  EXPECT_EQ(report.names, std::vector<std::string>{"Virtual printer"});
  ASSERT_EQ(loaded.Count(), 2);
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(loaded[i].PaperSizeCode, pages[i].PaperSizeCode);
    EXPECT_EQ(loaded[i].PaperWidthTenths, pages[i].PaperWidthTenths);
    EXPECT_EQ(loaded[i].PaperHeightTenths, pages[i].PaperHeightTenths);
    EXPECT_EQ(loaded[i].Orientation, pages[i].Orientation);
    EXPECT_EQ(loaded[i].PaperSource, pages[i].PaperSource);
    EXPECT_EQ(loaded[i].MarginsApply, pages[i].MarginsApply);
    EXPECT_EQ(loaded[i].Margins, pages[i].Margins);
    EXPECT_EQ(loaded[i].PageInfo, pages[i].PageInfo);  // recomputed from the printer
    EXPECT_EQ(loaded[i].ObjectStream.Bytes(), pages[i].ObjectStream.Bytes());
  }
  EXPECT_EQ(loaded[1].Margins, (PageMargins{11, 22, 33, 44}));
  EXPECT_EQ(loaded[1].PaperSource, 7);

  const std::string again = test::OutputPath("two-pages-again.frp");
  loaded.SavePreparedFile(again);
  EXPECT_EQ(FileBytes(again), FileBytes(path));

  // A loaded page draws like the page it was saved from.
  pages[0].InUse = loaded[0].InUse = 1;
  RecordingCanvas before, after;
  pages.DrawPage(0, before, {0, 0, 758, 1071});
  loaded.DrawPage(0, after, {0, 0, 758, 1071});
  ASSERT_EQ(before.Ops().size(), 3u);
  ASSERT_EQ(after.Ops().size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(after.Ops()[i].kind, before.Ops()[i].kind);
    EXPECT_EQ(after.Ops()[i].rect, before.Ops()[i].rect);
    EXPECT_EQ(after.Ops()[i].points, before.Ops()[i].points);
  }
}

TEST_F(PreparedFileTest, AThousandPagesRoundTrip) {
  TfrEMFPages pages{Engine()};
  for (int i = 0; i < 1000; ++i) {
    pages.AddPage(Paper());
    AddShape(pages, i, static_cast<std::uint8_t>(i % 10), i % 700, i % 1000, 40, 30,
             "0;0;" + std::to_string(i % 2) + ";0;0;0", "Shape" + std::to_string(i));
  }
  const std::string bytes = Written(pages);
  TfrEMFPages loaded{Engine()};
  Load(loaded, bytes);
  ASSERT_EQ(loaded.Count(), 1000);
  EXPECT_EQ(loaded[999].ObjectStream.Bytes(), pages[999].ObjectStream.Bytes());
  EXPECT_EQ(Written(loaded), bytes);
  for (int i = 0; i < 1000; ++i) EXPECT_EQ(loaded[i].RebuiltPage, nullptr);
}

TEST_F(PreparedFileTest, LoadingReplacesThePages) {
  TfrEMFPages pages{Engine()};
  MakeTwoPages(pages);
  TfrEMFPages one{Engine()};
  one.AddPage(Paper());
  Load(pages, Written(one));
  EXPECT_EQ(pages.Count(), 1);
}

TEST_F(PreparedFileTest, AFileWithoutVersionByteHasNoSourcesOrMargins) {
  // Compression byte 0, printer name "P", one page of 16 header bytes and a
  // page stream holding only its version byte.
  MemoryStream f;
  f.WriteU8(0);
  f.WriteU16(1);
  f.WriteBytes("P");
  f.WriteU8(0);
  f.WriteI32(1);
  const std::int32_t next = static_cast<std::int32_t>(f.Position() + 16 + 1);
  f.WriteI32(next);
  f.WriteI16(11);
  f.WriteI32(1480);
  f.WriteI32(2100);
  f.WriteU8(0);
  f.WriteU8(1);
  f.WriteU8(24);
  f.Seek(0);
  NamingReport report;
  TfrEMFPages pages(Engine(), &report);
  pages.ReadPreparedFile(f);
  EXPECT_EQ(report.names, std::vector<std::string>{"P"});
  ASSERT_EQ(pages.Count(), 1);
  EXPECT_EQ(pages[0].PaperSizeCode, 11);
  EXPECT_EQ(pages[0].PaperSource, -1);
  EXPECT_EQ(pages[0].Margins, PageMargins{});
  EXPECT_EQ(pages[0].MarginsApply, 1);
  EXPECT_EQ(pages[0].PageInfo.PaperWidthPx, 534);  // A5 on the virtual printer
  EXPECT_EQ(pages[0].ObjectStream.Bytes(), std::vector<std::uint8_t>{24});
}

TEST_F(PreparedFileTest, ACompressedFileLoadsBlankPages) {
  TfrEMFPages pages{Engine()};
  MakeTwoPages(pages);
  std::string bytes = Written(pages);
  bytes[1] = 1;  // marked compressed: this system's compressor writes nothing
  TfrEMFPages loaded{Engine()};
  Load(loaded, bytes);
  ASSERT_EQ(loaded.Count(), 2);
  EXPECT_EQ(loaded[0].ObjectStream.Size(), 0u);
  loaded[0].InUse = 1;
  RecordingCanvas canvas;
  loaded.DrawPage(0, canvas, {0, 0, 758, 1071});
  EXPECT_TRUE(canvas.Ops().empty());

  // Writing with the flag set runs the compressor, which writes no page data.
  Compressor(Engine()).CompressionEnabled = true;
  const std::string packed = Written(pages);
  Compressor(Engine()).CompressionEnabled = false;
  EXPECT_EQ(packed[1], 1);
  TfrEMFPages reloaded{Engine()};
  Load(reloaded, packed);
  ASSERT_EQ(reloaded.Count(), 2);
  EXPECT_EQ(reloaded[1].ObjectStream.Size(), 0u);
}

TEST_F(PreparedFileTest, ShortOrInconsistentFilesKeepThePagesReadBefore) {
  TfrEMFPages pages{Engine()};
  MakeTwoPages(pages);
  const std::string good = Written(pages);
  MemoryStream probe(good);
  probe.Seek(2 + 2 + 15 + 1 + 4);
  const std::int32_t secondEntry = probe.ReadI32();

  auto expectOnePage = [&](const std::string& bytes, const char* what) {
    SCOPED_TRACE(what);
    TfrEMFPages loaded{Engine()};
    EXPECT_THROW(Load(loaded, bytes), StreamReadError);
    ASSERT_EQ(loaded.Count(), 1);
    EXPECT_EQ(loaded[0].ObjectStream.Bytes(), pages[0].ObjectStream.Bytes());
  };

  expectOnePage(good.substr(0, good.size() - 5), "cut inside the second page");
  expectOnePage(good.substr(0, secondEntry + 10), "cut inside the second header");

  std::string past = good;  // the second page's next offset points past the end
  MemoryStream patch(std::string(past.begin(), past.end()));
  patch.Seek(std::uint64_t(secondEntry));
  patch.WriteI32(0x7FFFFFF0);
  expectOnePage(patch.BytesAsString(), "next past the end");

  patch.Seek(std::uint64_t(secondEntry));
  patch.WriteI32(secondEntry + 3);  // before the end of its own header
  expectOnePage(patch.BytesAsString(), "next inside its header");

  std::string many = good;  // claims two billion pages
  MemoryStream countPatch{std::string(many)};
  countPatch.Seek(2 + 2 + 15 + 1);
  countPatch.WriteI32(0x7FFFFFFF);
  {
    TfrEMFPages loaded{Engine()};
    EXPECT_THROW(Load(loaded, countPatch.BytesAsString()), StreamReadError);
    EXPECT_EQ(loaded.Count(), 2);
  }
  countPatch.Seek(2 + 2 + 15 + 1);
  countPatch.WriteI32(-3);
  {
    TfrEMFPages loaded{Engine()};
    EXPECT_THROW(Load(loaded, countPatch.BytesAsString()), StreamReadError);
    EXPECT_EQ(loaded.Count(), 0);
  }
  {
    TfrEMFPages loaded{Engine()};
    EXPECT_THROW(Load(loaded, std::string("\x18", 1)), StreamReadError);
    EXPECT_THROW(Load(loaded, std::string()), StreamReadError);
    EXPECT_EQ(loaded.Count(), 0);
  }
}

TEST_F(PreparedFileTest, AFailedSaveLeavesTheOldFile) {
  TfrEMFPages pages{Engine()};
  MakeTwoPages(pages);
  const std::string path = test::OutputPath("kept.frp");
  for (const auto& entry : std::filesystem::directory_iterator(test::OutputPath("")))
    if (entry.path().filename().string().starts_with("kept.frp"))
      std::filesystem::remove(entry.path());
  pages.SavePreparedFile(path);
  const std::string before = FileBytes(path);
  TfrPrinter& printer = EnginePrinter(Engine());
  printer.PrinterNames[printer.SelectedPrinterIndex] = std::string(70000, 'x');  // cannot be stored
  pages.AddPage(Paper());
  EXPECT_THROW(pages.SavePreparedFile(path), StreamWriteError);
  EXPECT_EQ(FileBytes(path), before);
  int leftovers = 0;
  for (const auto& entry : std::filesystem::directory_iterator(test::OutputPath("")))
    if (entry.path().filename().string().starts_with("kept.frp") &&
        entry.path().filename() != "kept.frp")
      ++leftovers;
  EXPECT_EQ(leftovers, 0);
}

// The older picture-based format: printer names ended by a zero byte, a
// page count, and per page a header and one metafile.
std::string PictureFile(const std::string& metafile) {
  MemoryStream f;
  f.WriteBytes("Laser\rInkjet");
  f.WriteU8(0);
  f.WriteI32(1);
  const std::int32_t next = static_cast<std::int32_t>(f.Position() + 16 + metafile.size());
  f.WriteI32(next);
  f.WriteI16(9);
  f.WriteI32(2100);
  f.WriteI32(2970);
  f.WriteU8(0);
  f.WriteU8(1);
  f.WriteBytes(metafile);
  return f.BytesAsString();
}

TEST_F(PreparedFileTest, PictureFilesNeedThePictureObject) {
  NamingReport report;
  TfrEMFPages pages(Engine(), &report);
  Engine().OldFormatPictures = nullptr;
  EXPECT_THROW(Load(pages, PictureFile("META")), EngineError);
  EXPECT_EQ(report.names, std::vector<std::string>{"Laser"});
  EXPECT_EQ(pages.Count(), 0);

  std::string seen;
  int seenW = 0, seenH = 0;
  Engine().OldFormatPictures = [&](Stream& out, const std::string& metafile, int w, int h) {
    seen = metafile;
    seenW = w;
    seenH = h;
    out.WriteU8(1);
  };
  Load(pages, PictureFile("META"));
  RegisterEngineKinds(Engine());  // puts the engine's own picture writer back
  ASSERT_EQ(pages.Count(), 1);
  EXPECT_EQ(seen, "META");
  EXPECT_EQ(seenW, 758);
  EXPECT_EQ(seenH, 1071);
  EXPECT_EQ(pages[0].PaperSource, -1);
  EXPECT_EQ(pages[0].ObjectStream.Bytes(), (std::vector<std::uint8_t>{24, 1}));
}

}  // namespace
}  // namespace quillet
