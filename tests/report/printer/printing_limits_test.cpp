// Band alignment against the page's printing limits: a margin of 0 means
// the edge of the printer's printable area (the virtual printer: offset 18,
// printable width 722 on A4), any other margin the margin itself.
#include <limits>

#include "tests/report/formation/formation_support.h"

namespace quillet::test {
namespace {

struct Placed {
  int left, width;
};

class PrintingLimits : public FormationTest {
 protected:
  // A4 on the virtual printer with all four margins set to `margin`.
  void SetUpPage(int margin) {
    page.Margins = {margin, margin, margin, margin};
    EnginePrinter(Engine()).SetPaper(kA4PaperSize, 2100, 2970, -1, 0, true);
    EnginePrinter(Engine()).FillPageInfo(page.PageInfo);
  }
  // Aligns a lone 100-pixel-wide shape at x 300 as no band does (drawing a
  // page outside formation).
  Placed AlignAlone(std::uint8_t align) {
    TfrShapeView v;
    v.SetGeometry(300, 50, 100, 20);
    v.BandAlign = align;
    Prep().ActivePage = &page;
    Prep().ActiveBand = nullptr;
    Prep().RenderActive = true;
    v.AttachCanvas(nullptr);
    return {v.Left, v.Width};
  }

  TfrPage page{Engine()};
};

TEST_F(PrintingLimits, ZeroMarginsAlignToThePrintableArea) {
  SetUpPage(0);
  EXPECT_EQ(page.LeftLimit(), 18);
  EXPECT_EQ(page.RightLimit(), 740);
  EXPECT_EQ(AlignAlone(baLeft).left, 18);
  EXPECT_EQ(AlignAlone(baRight).left, 640);
  EXPECT_EQ(AlignAlone(baCenter).left, 18 + (722 - 100) / 2);
  const Placed width = AlignAlone(baWidth);
  EXPECT_EQ(width.left, 18);
  EXPECT_EQ(width.width, 721);
  const Placed rest = AlignAlone(baRest);
  EXPECT_EQ(rest.left, 18);
  EXPECT_EQ(rest.width, 722);
  EXPECT_EQ(AlignAlone(baNone).left, 300);
}

TEST_F(PrintingLimits, SetMarginsAlignToTheMargins) {
  SetUpPage(20);
  EXPECT_EQ(page.LeftLimit(), 20);
  EXPECT_EQ(page.RightLimit(), 758 - 20);
  EXPECT_EQ(AlignAlone(baLeft).left, 20);
  EXPECT_EQ(AlignAlone(baRight).left, 638);
  EXPECT_EQ(AlignAlone(baCenter).left, 20 + (718 - 100) / 2);
  const Placed width = AlignAlone(baWidth);
  EXPECT_EQ(width.left, 20);
  EXPECT_EQ(width.width, 717);
  const Placed rest = AlignAlone(baRest);
  EXPECT_EQ(rest.left, 20);
  EXPECT_EQ(rest.width, 718);
}

TEST_F(PrintingLimits, MarginsThatDoNotApplyGiveThePaperEdges) {
  SetUpPage(0);
  page.MarginsApply = 0;
  EXPECT_EQ(page.LeftLimit(), 0);
  EXPECT_EQ(page.RightLimit(), 758);
  EXPECT_EQ(AlignAlone(baRight).left, 658);
}

TEST_F(PrintingLimits, AFarMarginSaturatesInsteadOfWrapping) {
  SetUpPage(0);
  page.Margins.Right = std::numeric_limits<std::int32_t>::min();
  EXPECT_EQ(page.RightLimit(), std::numeric_limits<std::int32_t>::max());
}

// The same alignments written by formation, in a band and in no band, with
// zero and with set margins: what the prepared page stores.
TEST_F(PrintingLimits, FormedObjectsStoreTheAlignedPositions) {
  for (int margin : {0, 20}) {
    SCOPED_TRACE("margins " + std::to_string(margin));
    const int left = margin ? 20 : 18;
    const int right = margin ? 738 : 740;
    TfrReport report;
    PageBuilder b(report.Template);
    b.Page().Margins = {margin, margin, margin, margin};
    b.Band(btReportTitle, "Title", 0, 40);
    const std::pair<const char*, std::uint8_t> kinds[] = {
        {"Left", baLeft}, {"Right", baRight}, {"Center", baCenter}, {"Width", baWidth}};
    int top = 5;
    for (const auto& [name, align] : kinds) {
      b.Shape(std::string("Band") + name, 300, top, 100, 4).BandAlign = align;
      b.Shape(std::string("Free") + name, 300, 200 + top, 100, 4).BandAlign = align;
      top += 6;
    }
    // A row: a left-aligned view, a rest view and a right-aligned view.
    b.Shape("RowLeft", 100, 500, 50, 10).BandAlign = baLeft;
    b.Shape("RowRest", 300, 500, 10, 10).BandAlign = baRest;
    b.Shape("RowRight", 600, 500, 60, 10).BandAlign = baRight;
    ASSERT_TRUE(report.Prepare());
    const auto page = PageObjects(report, 0);
    for (const char* where : {"Band", "Free"}) {
      const std::string w = where;
      EXPECT_EQ(FindObject(page, w + "Left")->Left, left) << w;
      EXPECT_EQ(FindObject(page, w + "Right")->Left, right - 100) << w;
      EXPECT_EQ(FindObject(page, w + "Center")->Left, left + (right - left - 100) / 2) << w;
      // Sized once before forming, when no band is being formed.
      EXPECT_EQ(FindObject(page, w + "Width")->Left, left) << w;
      EXPECT_EQ(FindObject(page, w + "Width")->Width, right - left - 1) << w;
    }
    EXPECT_EQ(FindObject(page, "RowLeft")->Left, left);
    EXPECT_EQ(FindObject(page, "RowRight")->Left, right - 60);
    // The rest view runs from the left view's right edge to the right view.
    const PreparedObject* rest = FindObject(page, "RowRest");
    EXPECT_EQ(rest->Left, left + 50);
    EXPECT_EQ(rest->Left + rest->Width, right - 60);
  }
}

}  // namespace
}  // namespace quillet::test
