// Printing prepared pages on the fake printer: which pages print in which
// order, copies, documents per paper, where a page lands on the printer
// canvas, progress lines, cancelling, and errors that leave nothing printed.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/errors.h"
#include "platform/headless_host.h"
#include "report/base/engine_state.h"
#include "report/component/report.h"
#include "report/views/shape_view.h"
#include "tests/fakes/fake_printer.h"
#include "tests/support.h"

namespace quillet {
namespace {

using test::FakeDevice;
using test::FakeDocument;
using test::FakePrinter;

constexpr int kDpi = 600;
constexpr int kOffset = 100;  // the fake device's printable-area offset

// A printer whose page requests can be made to fail.
class FailingPrinter : public FakePrinter {
 public:
  using FakePrinter::FakePrinter;
  void NewPage() override {
    if (failNewPage) throw EngineError("The printer is out of paper");
    FakePrinter::NewPage();
  }
  bool failNewPage = false;
};

class ReportPrintingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_ = FailingPrinter({FakeDevice::Named("Laser", kDpi)}, 0);
    test::StartFreshEngine([this] { return &platform_; }, &host_);
  }
  void TearDown() override { test::StopFreshEngine(); }

  // Appends a page whose one rectangle sits at left 20 x its page number,
  // so the printed canvas tells which page it was.
  void AddPage(std::uint8_t orientation = 0) {
    PagePaper paper;
    paper.PaperSizeCode = 9;
    paper.PaperWidthTenths = orientation ? 2970 : 2100;
    paper.PaperHeightTenths = orientation ? 2100 : 2970;
    paper.Orientation = orientation;
    const int index = report_.PreparedPages.Count();
    report_.PreparedPages.InsertPage(index, paper);
    TfrShapeView v;
    v.Name = "Shape" + std::to_string(index + 1);
    v.SetGeometry(20 * (index + 1), 0, 10, 10);
    v.PreparedMode = true;
    v.Record(report_.PreparedPages.RecordStream(index));
    Prep().ActiveView = nullptr;
  }
  void AddPages(int n) {
    for (int i = 0; i < n; ++i) AddPage();
  }

  // The page numbers a document holds, read back from where each page's
  // rectangle was drawn; 0 for a page with nothing on it.
  static std::vector<int> PageNumbers(const FakeDocument& doc) {
    std::vector<int> numbers;
    for (const auto& page : doc.Pages) {
      int n = 0;
      for (const CanvasOp& op : page->Ops()) {
        if (op.kind != OpKind::Rectangle) continue;
        n = static_cast<int>(
            std::lround((op.rect.left + kOffset) / (20.0 * kDpi / ReportPixelsPerInch)));
        break;
      }
      numbers.push_back(n);
    }
    return numbers;
  }
  std::vector<int> Printed() const {
    EXPECT_EQ(platform_.Documents.size(), 1u);
    if (platform_.Documents.empty()) return {};
    EXPECT_TRUE(platform_.Documents[0].Ended);
    return PageNumbers(platform_.Documents[0]);
  }

  FailingPrinter platform_;
  HeadlessHost host_;
  TfrReport report_;
};

TEST_F(ReportPrintingTest, SheetRoadPrintsPageOneUnderTheProgressWindow) {
  AddPages(1);
  report_.PrintPrepared("1", 1, false, 0);
  ASSERT_EQ(platform_.Documents.size(), 1u);
  const FakeDocument& doc = platform_.Documents[0];
  EXPECT_EQ(doc.Title, "Untitled");
  EXPECT_EQ(doc.Copies, 1);
  EXPECT_TRUE(doc.Ended);
  EXPECT_FALSE(doc.Aborted);
  EXPECT_EQ(PageNumbers(doc), std::vector<int>{1});
  EXPECT_EQ(host_.progressCaptions, std::vector<std::string>{"Preparing report"});
  EXPECT_EQ(host_.progressLines, (std::vector<std::string>{"Printing page:", "Printing page:  1"}));
  EXPECT_FALSE(platform_.Printing());
  // The rebuilt objects were released once the page was out.
  EXPECT_EQ(report_.PreparedPages[0].InUse, 0);
  EXPECT_EQ(report_.PreparedPages[0].RebuiltPage, nullptr);
  EXPECT_EQ(report_.PrintRangeText, "1");
}

TEST_F(ReportPrintingTest, TitleNamesTheDocumentAndTheWindow) {
  AddPages(1);
  report_.Title = "Invoices";
  int printReportCalls = 0;
  report_.Events.OnPrintReport = [&] { ++printReportCalls; };
  report_.PrintPrepared("", 1, false, 0);
  ASSERT_EQ(platform_.Documents.size(), 1u);
  EXPECT_EQ(platform_.Documents[0].Title, "Invoices");
  EXPECT_EQ(host_.progressCaptions, std::vector<std::string>{"Preparing report - Invoices"});
  EXPECT_EQ(printReportCalls, 1);
}

TEST_F(ReportPrintingTest, CollatedCopiesRepeatThePassUncollatedGoToThePrinter) {
  AddPages(3);
  report_.PrintPrepared("", 2, true, 0);
  EXPECT_EQ(Printed(), (std::vector<int>{1, 2, 3, 1, 2, 3}));
  EXPECT_EQ(platform_.Documents[0].Copies, 1);

  platform_.Documents.clear();
  report_.PrintPrepared("", 2, false, 0);
  EXPECT_EQ(Printed(), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(platform_.Documents[0].Copies, 2);

  for (int copies : {0, -3}) {
    platform_.Documents.clear();
    report_.PrintPrepared("2", copies, true, 0);
    EXPECT_EQ(Printed(), std::vector<int>{2}) << copies;
    EXPECT_EQ(platform_.Documents[0].Copies, 1);
  }
}

TEST_F(ReportPrintingTest, RangesPrintAscendingOncePerPass) {
  AddPages(12);
  struct Row {
    const char* range;
    std::vector<int> pages;
  };
  const Row rows[] = {
      {"5-", {5, 6, 7, 8, 9, 10, 11, 12}},
      {"1,3,5-7,30", {1, 3, 5, 6, 7}},
      {"3-1", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},  // adds nothing: every page
      {"1-3-5", {3, 4, 5}},
      {"2,2", {2}},
      {"1 0", {10}},
      {"9,4,1", {1, 4, 9}},
      {"11-2000000000", {11, 12}},
  };
  report_.ShowProgress = false;
  for (const Row& row : rows) {
    platform_.Documents.clear();
    report_.PrintPrepared(row.range, 1, false, 0);
    EXPECT_EQ(Printed(), row.pages) << row.range;
  }
}

TEST_F(ReportPrintingTest, OddAndEvenSelection) {
  AddPages(5);
  report_.ShowProgress = false;
  report_.PrintPrepared("2-5", 1, false, 1);
  EXPECT_EQ(Printed(), (std::vector<int>{3, 5}));

  platform_.Documents.clear();
  report_.PrintPrepared("", 1, false, 2);
  EXPECT_EQ(Printed(), (std::vector<int>{2, 4}));

  // Even pages of page 1 alone: nothing. The empty document is dropped
  // instead of coming out as a blank sheet.
  platform_.Documents.clear();
  report_.PrintPrepared("1", 1, false, 2);
  ASSERT_EQ(platform_.Documents.size(), 1u);
  EXPECT_TRUE(platform_.Documents[0].Aborted);
  EXPECT_FALSE(platform_.Documents[0].Ended);
  EXPECT_FALSE(platform_.Printing());
}

TEST_F(ReportPrintingTest, PaperChangeStartsANewDocument) {
  AddPage(0);
  AddPage(0);
  AddPage(1);
  report_.ShowProgress = false;
  report_.PrintPrepared("", 1, false, 0);
  ASSERT_EQ(platform_.Documents.size(), 2u);
  EXPECT_TRUE(platform_.Documents[0].Ended);
  EXPECT_EQ(PageNumbers(platform_.Documents[0]), (std::vector<int>{1, 2}));
  EXPECT_TRUE(platform_.Documents[1].Ended);
  EXPECT_EQ(PageNumbers(platform_.Documents[1]), (std::vector<int>{3}));
  EXPECT_EQ(platform_.Documents[1].Title, "Untitled");
  // The landscape page's information is that of the landscape paper.
  EXPECT_GT(report_.PreparedPages[2].PageInfo.DevPaperWidth,
            report_.PreparedPages[2].PageInfo.DevPaperHeight);

  // Only the landscape page: the portrait document set up from page 1 had
  // no page yet and is dropped.
  platform_.Documents.clear();
  report_.PrintPrepared("3", 1, false, 0);
  ASSERT_EQ(platform_.Documents.size(), 2u);
  EXPECT_TRUE(platform_.Documents[0].Aborted);
  EXPECT_EQ(PageNumbers(platform_.Documents[1]), (std::vector<int>{3}));
}

TEST_F(ReportPrintingTest, PageCoversThePhysicalSheetOrStretchesIntoThePrintableArea) {
  // One rectangle at each page's corner.
  PagePaper paper;
  paper.PaperWidthTenths = 2100;
  paper.PaperHeightTenths = 2970;
  for (int i = 0; i < 2; ++i) {
    report_.PreparedPages.InsertPage(i, paper);
    TfrShapeView v;
    v.SetGeometry(0, 0, 100, 100);
    v.PreparedMode = true;
    v.Record(report_.PreparedPages.RecordStream(i));
    Prep().ActiveView = nullptr;
  }
  PreparedPage& stretched = report_.PreparedPages[1];
  stretched.MarginsApply = 0;
  stretched.Margins = {20, 30, 41, 50};
  report_.ShowProgress = false;
  report_.PrintPrepared("", 1, false, 0);
  ASSERT_EQ(platform_.Documents.size(), 1u);
  const FakeDocument& doc = platform_.Documents[0];
  ASSERT_EQ(doc.Pages.size(), 2u);

  const PrinterPageInfo& info = report_.PreparedPages[0].PageInfo;
  EXPECT_EQ(info.DevOffsetX, kOffset);
  const CanvasOp& whole = doc.Pages[0]->Ops().at(0);
  EXPECT_EQ(whole.rect.left, -kOffset);
  EXPECT_EQ(whole.rect.top, -kOffset);
  // 100 report pixels at the true size: 100 / 91.6256 inch at 600 dpi.
  EXPECT_NEAR(whole.rect.right - whole.rect.left, 100 * kDpi / ReportPixelsPerInch, 1.5);

  const PrinterPageInfo& s = stretched.PageInfo;
  const CanvasOp& inside = doc.Pages[1]->Ops().at(0);
  const int left =
      static_cast<int>(std::nearbyint(20.0 * s.DevPrintableWidth / s.PrintableWidthPx));
  const int top =
      static_cast<int>(std::nearbyint(30.0 * s.DevPrintableHeight / s.PrintableHeightPx));
  const int right =
      s.DevPrintableWidth -
      static_cast<int>(std::nearbyint(41.0 * s.DevPrintableWidth / s.PrintableWidthPx));
  EXPECT_EQ(inside.rect.left, left);
  EXPECT_EQ(inside.rect.top, top);
  // The page's width squeezed into the printable width inside the margins.
  EXPECT_NEAR(inside.rect.right - inside.rect.left, 100.0 * (right - left) / s.PaperWidthPx, 1.5);
}

TEST_F(ReportPrintingTest, CancelDuringPageTwoAbortsAfterIt) {
  AddPages(5);
  // Lines: "Printing page:", then one per printed page; the stop comes
  // while page 2 is reported.
  host_.stopAfterLines = 3;
  report_.PrintPrepared("", 1, false, 0);
  ASSERT_EQ(platform_.Documents.size(), 1u);
  EXPECT_TRUE(platform_.Documents[0].Aborted);
  EXPECT_FALSE(platform_.Documents[0].Ended);
  EXPECT_EQ(PageNumbers(platform_.Documents[0]), (std::vector<int>{1, 2}));
  EXPECT_TRUE(report_.StopRequested);
  EXPECT_FALSE(platform_.Printing());
}

TEST_F(ReportPrintingTest, OnProgressTakesThePageNumbersAndCanStopTheJob) {
  AddPages(5);
  std::vector<int> numbers;
  report_.Events.OnProgress = [&](int n) {
    numbers.push_back(n);
    if (n == 3) report_.StopRequested = true;
  };
  bool mouseOverSeen = false;
  report_.Events.OnMouseOverObject = [&](TfrView&, int&) { mouseOverSeen = true; };
  report_.PrintPrepared("", 1, false, 0);
  EXPECT_EQ(numbers, (std::vector<int>{1, 2, 3}));
  EXPECT_TRUE(host_.progressLines.empty());
  ASSERT_EQ(platform_.Documents.size(), 1u);
  EXPECT_TRUE(platform_.Documents[0].Aborted);
  // The mouse-over handler is back after the job.
  ASSERT_TRUE(report_.Events.OnMouseOverObject);
  TfrShapeView v;
  int cursor = 0;
  report_.Events.OnMouseOverObject(v, cursor);
  EXPECT_TRUE(mouseOverSeen);
}

TEST_F(ReportPrintingTest, BadRangeItemPrintsNothing) {
  AddPages(3);
  for (const char* range : {"1,,3", "-5", "2-x", "abc"}) {
    try {
      report_.PrintPrepared(range, 1, false, 0);
      ADD_FAILURE() << range;
    } catch (const ConversionError& e) {
      EXPECT_NE(std::string(e.what()).find("is not a valid integer value"), std::string::npos);
    }
    EXPECT_TRUE(platform_.Documents.empty()) << range;
    EXPECT_FALSE(platform_.Printing());
  }
  try {
    report_.PrintPrepared("1,x7", 1, false, 0);
  } catch (const ConversionError& e) {
    EXPECT_STREQ(e.what(), "'x7' is not a valid integer value");
  }
  EXPECT_EQ(report_.PreparedPages.Count(), 3);
}

TEST_F(ReportPrintingTest, PrinterFailureAbortsTheDocumentAndReleasesThePage) {
  AddPages(3);
  platform_.failNewPage = true;
  EXPECT_THROW(report_.PrintPrepared("", 1, false, 0), EngineError);
  ASSERT_EQ(platform_.Documents.size(), 1u);
  EXPECT_TRUE(platform_.Documents[0].Aborted);
  EXPECT_FALSE(platform_.Printing());
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(report_.PreparedPages[i].InUse, 0);
    EXPECT_EQ(report_.PreparedPages[i].RebuiltPage, nullptr);
  }
  // The printer is free again: the next job prints.
  platform_.failNewPage = false;
  platform_.Documents.clear();
  report_.PrintPrepared("", 1, false, 0);
  EXPECT_EQ(Printed(), (std::vector<int>{1, 2, 3}));
}

TEST_F(ReportPrintingTest, NoInstalledPrinterIsAnError) {
  FakePrinter empty;
  StopEnginePrinter(Engine());
  StartEnginePrinter(Engine(), [&] { return &empty; });
  AddPages(1);
  report_.ShowProgress = false;
  EXPECT_THROW(report_.PrintPrepared("", 1, false, 0), EngineError);
}

}  // namespace
}  // namespace quillet
