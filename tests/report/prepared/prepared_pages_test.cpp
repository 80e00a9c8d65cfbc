// Prepared pages in memory: page records, drawing from the object stream at
// a scale, the clip test, releasing rebuilt pages, and hit testing.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/errors.h"
#include "platform/recording_canvas.h"
#include "report/base/preparation_report.h"
#include "tests/fakes/fake_printer.h"
#include "tests/report/prepared/prepared_support.h"

namespace quillet {
namespace {

using test::PreparedPagesTest;

// A screen canvas that shows only what meets its clip rectangle.
class ClippedCanvas : public RecordingCanvas {
 public:
  explicit ClippedCanvas(Rect clip) : RecordingCanvas(DeviceKind::Screen), clip_(clip) {}

 protected:
  bool OnRectVisible(const Rect& r) override { return r.Intersects(clip_); }

 private:
  Rect clip_;
};

// A report that takes page events and object clicks.
class EventReport : public PreparationReport {
 public:
  TfrView* FindView(std::string_view) const override { return nullptr; }
  std::string EvaluateBracket(const std::string&) override { return {}; }
  void OnBeginPage(int pageIndex) override { begun.push_back(pageIndex); }
  bool OnObjectClick(TfrView& view) override {
    clicked = view.Name;
    return true;
  }
  bool OnMouseOverObject(TfrView& view, int& cursor) override {
    over = view.Name;
    cursor = 5;
    return true;
  }
  std::vector<int> begun;
  std::string clicked, over;
};

TEST_F(PreparedPagesTest, InsertPageCopiesThePaperAndStartsTheStreamWithItsVersion) {
  TfrEMFPages pages{Engine()};
  PagePaper paper = Paper(256, 1500, 1000, 1);
  paper.Margins = {10, 20, 30, 40};
  paper.MarginsApply = false;
  paper.PaperSource = 3;
  pages.InsertPage(0, paper);
  pages.InsertPage(7, Paper());  // past the end: appended
  pages.InsertPage(0, Paper(11, 1480, 2100));
  ASSERT_EQ(pages.Count(), 3);
  EXPECT_EQ(pages[0].ObjectStream.FirstByte(), 24);
  const PreparedPage& p = pages[1];
  EXPECT_EQ(p.PaperSizeCode, 256);
  EXPECT_EQ(p.PaperWidthTenths, 1500);
  EXPECT_EQ(p.PaperHeightTenths, 1000);
  EXPECT_EQ(p.Orientation, 1);
  EXPECT_EQ(p.PaperSource, 3);
  EXPECT_EQ(p.MarginsApply, 0);
  EXPECT_EQ(p.Margins, (PageMargins{10, 20, 30, 40}));
  EXPECT_EQ(p.PageInfo, paper.PageInfo);
  EXPECT_EQ(p.InUse, 0);
  EXPECT_EQ(p.ObjectStream.Bytes(), std::vector<std::uint8_t>{24});
  EXPECT_EQ(pages[0].PaperSizeCode, 11);
  EXPECT_EQ(pages[2].PaperSizeCode, 9);
  EXPECT_EQ(pages[2].MarginsApply, 1);
  EXPECT_THROW(pages.InsertPage(-1, paper), RangeError);
  EXPECT_THROW(pages[3], RangeError);

  pages.DeletePage(1);
  EXPECT_EQ(pages.Count(), 2);
  EXPECT_EQ(pages[1].PaperSizeCode, 9);
  pages.Clear();
  EXPECT_EQ(pages.Count(), 0);
}

TEST_F(PreparedPagesTest, AddPageFiresBeginPageOnActiveAndOuterReports) {
  EventReport inner, outer;
  TfrEMFPages pages{Engine()};
  Prep().ActiveReport = &inner;
  Prep().OuterReport = &inner;
  Prep().PageIndex = 0;
  pages.AddPage(Paper());
  EXPECT_EQ(inner.begun, std::vector<int>{0});
  Prep().OuterReport = &outer;
  Prep().PageIndex = 1;
  pages.AddPage(Paper());
  EXPECT_EQ(inner.begun, (std::vector<int>{0, 1}));
  EXPECT_EQ(outer.begun, std::vector<int>{1});
  EXPECT_EQ(pages.Count(), 2);
}

TEST_F(PreparedPagesTest, ShapeRecordsFollowTheVersionByte) {
  TfrEMFPages pages{Engine()};
  pages.AddPage(Paper());
  AddShape(pages, 0, skEllipse, 100, 200, 50, 40);
  const std::vector<std::uint8_t>& bytes = pages[0].ObjectStream.Bytes();
  ASSERT_GT(bytes.size(), 17u);
  EXPECT_EQ(bytes[0], 24);
  EXPECT_EQ(bytes[1], 10);  // a registered object kind, named next
  EXPECT_EQ(bytes[2], 12);
  EXPECT_EQ(bytes[3], 0);
  EXPECT_EQ(std::string(bytes.begin() + 4, bytes.begin() + 16), "TfrShapeView");
  EXPECT_EQ(bytes[16], 0);
  EXPECT_EQ(bytes.back(), skEllipse);
}

TEST_F(PreparedPagesTest, DrawPageAtScaleOne) {
  TfrEMFPages pages{Engine()};
  pages.AddPage(Paper());
  AddShape(pages, 0, skRectangle, 100, 200, 50, 40);
  AddShape(pages, 0, skEllipse, 300, 400, 80, 60);
  pages[0].InUse = 1;
  RecordingCanvas canvas;
  pages.DrawPage(0, canvas, {0, 0, 758, 1071});
  ASSERT_EQ(canvas.Ops().size(), 2u);
  EXPECT_EQ(canvas.Ops()[0].kind, OpKind::Rectangle);
  EXPECT_EQ(canvas.Ops()[0].rect, (Rect{100, 200, 151, 241}));
  EXPECT_EQ(canvas.Ops()[0].pen.width, 1);
  EXPECT_EQ(canvas.Ops()[1].kind, OpKind::Ellipse);
  EXPECT_EQ(canvas.Ops()[1].rect, (Rect{300, 400, 381, 461}));
  ASSERT_NE(pages[0].RebuiltPage, nullptr);
  EXPECT_EQ(Prep().ActivePage, pages[0].RebuiltPage.get());
  EXPECT_EQ(pages[0].RebuiltPage->ObjectCount(), 2u);
  // The rebuilt objects keep their report-pixel geometry.
  EXPECT_EQ(pages[0].RebuiltPage->ObjectAt(1)->Left, 300);
}

TEST_F(PreparedPagesTest, DrawPageAtScaleTwoAndAHalfWithAnOffset) {
  TfrEMFPages pages{Engine()};
  pages.AddPage(Paper());  // 758 x 1071 report pixels
  AddShape(pages, 0, skRectangle, 100, 200, 50, 40);
  pages[0].InUse = 1;
  RecordingCanvas canvas;
  // sx = 1895 / 758 = 2.5; sy = 2678 / 1071, a little over 2.5.
  pages.DrawPage(0, canvas, {10, 20, 10 + 1895, 20 + 2678});
  ASSERT_EQ(canvas.Ops().size(), 1u);
  EXPECT_EQ(canvas.Ops()[0].rect, (Rect{260, 520, 386, 621}));
  EXPECT_EQ(canvas.Ops()[0].pen.width, 2);  // 2.5 rounds to even
}

TEST_F(PreparedPagesTest, ScreenDrawingSkipsObjectsOutsideTheClipWidenedByTen) {
  TfrEMFPages pages{Engine()};
  pages.AddPage(Paper());
  AddShape(pages, 0, skRectangle, 100, 100, 50, 50, "0;0;1;0;0;0", "Inside");
  AddShape(pages, 0, skRectangle, 209, 100, 50, 50, "0;0;1;0;0;0", "NineAway");
  AddShape(pages, 0, skRectangle, 211, 100, 50, 50, "0;0;1;0;0;0", "ElevenAway");
  pages[0].InUse = 1;

  ClippedCanvas screen({0, 0, 200, 1071});
  pages.DrawPage(0, screen, {0, 0, 758, 1071});
  ASSERT_EQ(screen.Ops().size(), 2u);
  EXPECT_EQ(screen.Ops()[1].rect.left, 209);

  // A metafile canvas gets every object, whatever it reports as visible.
  class ClippedMetafile : public RecordingCanvas {
   public:
    ClippedMetafile() : RecordingCanvas(DeviceKind::Metafile) {}

   protected:
    bool OnRectVisible(const Rect&) override { return false; }
  } metafile;
  pages.DrawPage(0, metafile, {0, 0, 758, 1071});
  EXPECT_EQ(metafile.Ops().size(), 3u);
}

TEST_F(PreparedPagesTest, PrinterPagesAreDrawnWithoutClipTestOnThePrinterCanvas) {
  test::FakePrinter platform({test::FakeDevice::Named("Laser", 600)});
  StopEnginePrinter(Engine());
  StartEnginePrinter(Engine(), [&platform] { return &platform; });
  TfrEMFPages pages{Engine()};
  pages.AddPage(Paper());
  AddShape(pages, 0, skRectangle, 700, 100, 50, 50);
  pages[0].InUse = 1;
  platform.BeginDoc();
  Canvas& printerCanvas = *platform.PageCanvas();
  pages.DrawPage(0, printerCanvas, {0, 0, 100, 100});  // the object lies far outside
  const auto& ops = platform.Documents[0].Pages[0]->Ops();
  ASSERT_EQ(ops.size(), 1u);
  EXPECT_TRUE(pages[0].RebuiltPage->ObjectAt(0)->OnPrinterCanvas);
  platform.EndDoc();
}

TEST_F(PreparedPagesTest, ARecordPlacingAnObjectFarOffThePageIsMalformed) {
  for (auto [left, height] :
       {std::pair{2000000000, 50}, std::pair{100, 2147483000}, std::pair{-16777217, 50}}) {
    TfrEMFPages pages{Engine()};
    pages.AddPage(Paper());
    AddShape(pages, 0, skRectangle, 100, 100, 50, 50);
    AddShape(pages, 0, skRectangle, left, 100, 50, height);
    pages[0].InUse = 1;
    RecordingCanvas canvas;
    EXPECT_THROW(pages.DrawPage(0, canvas, {0, 0, 758, 1071}), StreamReadError);
    EXPECT_TRUE(canvas.Ops().empty());
  }
}

TEST_F(PreparedPagesTest, ObjectsBeyondDeviceCoordinatesAreNotDrawn) {
  TfrEMFPages pages{Engine()};
  pages.AddPage(Paper());
  AddShape(pages, 0, skRectangle, 100, 100, 50, 50);
  AddShape(pages, 0, skRectangle, 16000000, 100, 50, 50);  // on the page, off any device
  AddShape(pages, 0, skEllipse, 300, 300, 50, 50);
  // Dashed frames drawn as one-pixel lines: one wider than the page, one not.
  auto addFramed = [&pages](int page, float frameWidth) {
    TfrShapeView v;
    v.SetGeometry(10, 10, 50, 50);
    v.FrameTyp = frAllSides;
    v.FrameStyle = fsDash;
    v.FrameWidth = frameWidth;
    v.PreparedMode = true;
    v.Record(pages.RecordStream(page));
    Prep().ActiveView = nullptr;
  };
  addFramed(0, 2000);
  pages[0].InUse = 1;
  RecordingCanvas canvas;
  pages.DrawPage(0, canvas, {0, 0, 758 * 40, 1071 * 40});
  ASSERT_EQ(canvas.Ops().size(), 2u);
  EXPECT_EQ(canvas.Ops()[0].kind, OpKind::Rectangle);
  EXPECT_EQ(canvas.Ops()[1].kind, OpKind::Ellipse);
  canvas.Clear();
  pages.DrawPage(0, canvas, {0, 0, 1895, 2678});
  EXPECT_EQ(canvas.Ops().size(), 3u);  // at 2.5 it can be placed (far off the canvas)

  pages.AddPage(Paper());
  addFramed(1, 1000);
  pages[1].InUse = 1;
  canvas.Clear();
  pages.DrawPage(1, canvas, {0, 0, 1895, 2678});
  // Four sides of at most 1024 one-pixel lines each, then the rectangle.
  EXPECT_EQ(canvas.Ops().size(), 4 * 1024u + 1);
}

TEST_F(PreparedPagesTest, APageWithoutSizeDrawsNothing) {
  TfrEMFPages pages{Engine()};
  pages.AddPage(Paper(256, 0, 0));
  AddShape(pages, 0, skRectangle, 100, 100, 50, 50);
  ASSERT_EQ(pages[0].PageInfo.PaperWidthPx, 0);
  pages[0].InUse = 1;
  RecordingCanvas canvas;
  pages.DrawPage(0, canvas, {0, 0, 758, 1071});
  EXPECT_TRUE(canvas.Ops().empty());
}

TEST_F(PreparedPagesTest, APageNotInUseDrawsNothingAndReleasesItsObjects) {
  TfrEMFPages pages{Engine()};
  pages.AddPage(Paper());
  AddShape(pages, 0, skRectangle, 100, 100, 50, 50);
  pages[0].InUse = 1;
  RecordingCanvas canvas;
  pages.DrawPage(0, canvas, {0, 0, 758, 1071});
  ASSERT_NE(pages[0].RebuiltPage, nullptr);
  pages[0].InUse = 0;
  canvas.Clear();
  pages.DrawPage(0, canvas, {});
  EXPECT_TRUE(canvas.Ops().empty());
  EXPECT_EQ(pages[0].RebuiltPage, nullptr);
  EXPECT_EQ(Prep().ActivePage, nullptr);
  EXPECT_EQ(pages[0].ObjectStream.Size(), pages[0].ObjectStream.Bytes().size());
}

TEST_F(PreparedPagesTest, AnUnregisteredKindStopsThePageAndLeavesNothingRebuilt) {
  TfrEMFPages pages{Engine()};
  pages.AddPage(Paper());
  AddShape(pages, 0, skRectangle, 100, 100, 50, 50);
  MemoryStream& s = pages.RecordStream(0);
  s.WriteU8(10);
  s.WriteU16(9);
  s.WriteBytes("TfrNoView");
  s.WriteU8(0);
  pages[0].InUse = 1;
  RecordingCanvas canvas;
  EXPECT_THROW(pages.DrawPage(0, canvas, {0, 0, 758, 1071}), ClassNotFoundError);
  EXPECT_EQ(pages[0].RebuiltPage, nullptr);
  EXPECT_EQ(Prep().ActivePage, nullptr);
  EXPECT_TRUE(canvas.Ops().empty());

  // A record cut short is a stream read error, with the same clean-up.
  TfrEMFPages cut{Engine()};
  cut.AddPage(Paper());
  AddShape(cut, 0, skRectangle, 100, 100, 50, 50);
  std::vector<std::uint8_t> bytes = cut[0].ObjectStream.Bytes();
  bytes.resize(bytes.size() - 3);
  cut[0].ObjectStream.Assign(bytes);
  cut[0].InUse = 1;
  EXPECT_THROW(cut.DrawPage(0, canvas, {0, 0, 758, 1071}), StreamReadError);
  EXPECT_EQ(cut[0].RebuiltPage, nullptr);
}

TEST_F(PreparedPagesTest, RecordsWrittenAfterARebuildAreAppended) {
  TfrEMFPages pages{Engine()};
  pages.AddPage(Paper());
  AddShape(pages, 0, skRectangle, 100, 100, 50, 50);
  pages.RebuildPage(0);
  AddShape(pages, 0, skEllipse, 300, 300, 50, 50);
  pages.RebuildPage(0);
  EXPECT_EQ(pages[0].RebuiltPage->ObjectCount(), 2u);

  // Also after a rebuild that failed half-way through the stream.
  MemoryStream& s = pages.RecordStream(0);
  s.WriteU8(10);
  s.WriteU16(9);
  s.WriteBytes("TfrNoView");
  s.WriteU8(0);
  AddShape(pages, 0, skTriangle, 500, 300, 50, 50);
  const std::vector<std::uint8_t> before = s.Bytes();
  EXPECT_THROW(pages.RebuildPage(0), ClassNotFoundError);
  AddShape(pages, 0, skStar, 500, 500, 50, 50);
  ASSERT_GT(s.Bytes().size(), before.size());
  EXPECT_TRUE(std::equal(before.begin(), before.end(), s.Bytes().begin()));
}

TEST_F(PreparedPagesTest, HitTestReportsTheObjectWrittenLast) {
  EventReport report;
  TfrEMFPages pages(Engine(), &report);
  pages.AddPage(Paper());
  AddShape(pages, 0, skRectangle, 100, 100, 100, 100, "0;0;1;0;0;0", "Under");
  AddShape(pages, 0, skRectangle, 150, 150, 100, 100, "0;0;1;0;0;0", "Over");
  int cursor = 0;
  EXPECT_TRUE(pages.HitTest(0, {160, 160}, cursor, true));
  EXPECT_EQ(report.clicked, "Over");
  EXPECT_TRUE(pages.HitTest(0, {120, 120}, cursor, false));
  EXPECT_EQ(report.over, "Under");
  EXPECT_EQ(cursor, 5);
  EXPECT_FALSE(pages.HitTest(0, {250, 250}, cursor, true));  // right and bottom edges excluded
  EXPECT_TRUE(pages.HitTest(0, {249, 249}, cursor, true));

  TfrEMFPages silent{Engine()};  // no report: nobody takes the hit
  silent.AddPage(Paper());
  AddShape(silent, 0, skRectangle, 100, 100, 100, 100);
  EXPECT_FALSE(silent.HitTest(0, {120, 120}, cursor, true));
}

TEST_F(PreparedPagesTest, HitTestOnAPageStretchedToThePrintableArea) {
  EventReport report;
  TfrEMFPages pages(Engine(), &report);
  PagePaper paper = Paper();  // 758 x 1071, printable 722 x 1035 at offset 18
  paper.MarginsApply = false;
  paper.Margins = {10, 0, 10, 0};
  pages.AddPage(paper);
  AddShape(pages, 0, skRectangle, 0, 0, 758, 100, "0;0;1;0;0;0", "Band");
  int cursor = 0;
  // sx = (722 - 20) / 758, ox = 10 + 18: the object spans x 28 .. 729.
  EXPECT_FALSE(pages.HitTest(0, {27, 50}, cursor, true));
  EXPECT_TRUE(pages.HitTest(0, {28, 50}, cursor, true));
  EXPECT_TRUE(pages.HitTest(0, {729, 50}, cursor, true));
  EXPECT_FALSE(pages.HitTest(0, {730, 50}, cursor, true));
}

}  // namespace
}  // namespace quillet
