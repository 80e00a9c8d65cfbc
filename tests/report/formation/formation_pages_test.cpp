// Page-level formation: the no-band band of the sheet's kind of page,
// multi-column bands, a summary that does not fit, empty pages, pages
// continuing on the previous one, and bands that cannot fit any page.
#include <algorithm>
#include <limits>

#include "report/base/dataset.h"
#include "tests/report/formation/formation_templates.h"

namespace quillet::test {
namespace {

using Objects = std::vector<PreparedObject>;

class FormationPages : public FormationTest {};

TEST_F(FormationPages, NoBandPageWritesVisibleObjectsAtTheirPlacesInTemplateOrder) {
  TfrReport report;
  PageBuilder b(report.Template);
  b.Shape("A", 27, 16, 181, 181);
  b.Memo("B", 99, 106, 60, 15, {"W = 50"});
  b.Shape("Hidden", 27, 217, 181, 181).Visible = 0;
  b.Memo("C", 99, 91, 60, 15, {"H = 50"});
  int endPages = 0;
  report.Events.OnEndPage = [&](int) { ++endPages; };
  ASSERT_TRUE(report.Prepare());
  ASSERT_EQ(report.PreparedPages.Count(), 1);
  const Objects page = PageObjects(report, 0);
  ASSERT_EQ(page.size(), 3u);
  EXPECT_EQ(page[0].Name, "A");
  EXPECT_EQ(page[0].Left, 27);
  EXPECT_EQ(page[0].Top, 16);
  EXPECT_EQ(page[1].Name, "B");
  EXPECT_EQ(page[1].Top, 106);
  EXPECT_EQ(page[2].Name, "C");
  EXPECT_EQ(page[2].Text, StringList{"H = 50"});
  EXPECT_EQ(Prep().PageIndex, 1);
  EXPECT_EQ(endPages, 1);
  // The prepared page carries the template page's paper.
  EXPECT_EQ(report.PreparedPages[0].PaperSizeCode, 9);
  EXPECT_EQ(report.PreparedPages[0].Margins.Top, kMargin);
}

TEST_F(FormationPages, MultiColumnBandPlacesShowingsSideBySideThenANewRow) {
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btReportTitle, "Title", 0, 30);
  auto& cell = b.Band(btChild, "Cell", 100, 40);
  cell.Columns = 3;
  cell.ColumnWidth = 100;
  cell.ColumnGap = 10;
  cell.NewColumnAfter = 1;
  b.Memo("CellText", 20, 105, 90, 20, {"cell"});
  b.Band(btReportSummary, "Summary", 200, 30);
  b.Memo("SummaryText", 20, 205, 200, 20, {"after the cells"});
  // The title's end shows the cell band four times, as "SHOWBAND" would.
  report.Events.OnEndBand = [&](TfrBand& band) {
    if (band.Name != "Title") return;
    for (int i = 0; i < 4; ++i) band.Page->PresentNamedBand("CELL");
  };
  ASSERT_TRUE(report.Prepare());
  const Objects page = PageObjects(report, 0);
  std::vector<std::pair<int, int>> cells;
  for (const auto& o : page)
    if (o.Name == "CellText") cells.emplace_back(o.Left, o.Top);
  const int top = kMargin + 30 + 5;
  EXPECT_EQ(cells, (std::vector<std::pair<int, int>>{
                       {20, top}, {20 + 110, top}, {20 + 220, top}, {20, top + 40}}));
  // The row left half full is closed before the summary.
  const PreparedObject* summary = FindObject(page, "SummaryText");
  ASSERT_NE(summary, nullptr);
  EXPECT_EQ(summary->Left, 20);
  EXPECT_EQ(summary->Top, kMargin + 30 + 40 + 40 + 5);
}

TEST_F(FormationPages, SummaryThatDoesNotFitStartsANewPageWithItsHeader) {
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btPageHeader, "PageHeader", 0, 30, 0);  // not on the first page
  b.Memo("HeaderText", 20, 5, 200, 20, {"header"});
  b.Band(btReportTitle, "Title", 40, 990);  // leaves 31 of the page's 1031
  b.Memo("TitleText", 20, 45, 200, 20, {"tall title"});
  b.Band(btReportSummary, "Summary", 1040, 60);
  b.Memo("SummaryText", 20, 1045, 200, 20, {"summary"});
  ASSERT_TRUE(report.Prepare());
  ASSERT_EQ(report.PreparedPages.Count(), 2);
  EXPECT_EQ(PageNames(report, 0), (std::vector<std::string>{"TitleText"}));
  const Objects second = PageObjects(report, 1);
  EXPECT_EQ(PageNames(report, 1), (std::vector<std::string>{"HeaderText", "SummaryText"}));
  EXPECT_EQ(FindObject(second, "SummaryText")->Top, kMargin + 30 + 5);
}

TEST_F(FormationPages, EmptyPagesAreLeftOutWhenTheReportSaysSo) {
  TfrReport report;
  report.PrintIfEmpty = false;
  PageBuilder first(report.Template);
  first.Memo("Lonely", 20, 20, 100, 20, {"no data band"});
  PageBuilder second(report.Template);
  second.Band(btMasterData, "Data", 100, 30).FormatText = "3";
  second.Memo("WithData", 20, 20, 100, 20, {"three records"});
  ASSERT_TRUE(report.Prepare());
  ASSERT_EQ(report.PreparedPages.Count(), 1);
  EXPECT_EQ(PageNames(report, 0), (std::vector<std::string>{"WithData"}));
}

TEST_F(FormationPages, APageMarkedPrintToPrevPageContinuesOnTheLastPage) {
  TfrReport report;
  PageBuilder first(report.Template);
  first.Band(btReportTitle, "Title1", 0, 30);
  first.Memo("First", 20, 5, 100, 20, {"first page"});
  PageBuilder second(report.Template);
  second.Page().PrintToPrevPage = 1;
  second.Band(btReportTitle, "Title2", 0, 30);
  second.Memo("Second", 20, 5, 100, 20, {"second page"});
  ASSERT_TRUE(report.Prepare());
  ASSERT_EQ(report.PreparedPages.Count(), 1);
  const Objects page = PageObjects(report, 0);
  EXPECT_EQ(FindObject(page, "First")->Top, kMargin + 5);
  EXPECT_EQ(FindObject(page, "Second")->Top, kMargin + 30 + 5);
  EXPECT_EQ(Prep().PageIndex, 1);
}

TEST_F(FormationPages, HeaderTallerThanThePageEndsTheRunWithAnError) {
  TfrReport report;
  report.ShowProgress = false;
  PageBuilder b(report.Template);
  b.Band(btPageHeader, "Huge", 0, 1500);
  b.Memo("HugeText", 20, 5, 100, 20, {"huge"});
  b.Band(btReportTitle, "Title", 1600, 30, flBandFormNewPage);
  EXPECT_FALSE(report.Prepare());
  EXPECT_EQ(report.PreparedPages.Count(), 0);
  ASSERT_EQ(host.messages.size(), 1u);
  // Named before a second page is begun for it.
  EXPECT_NE(host.messages[0].text.find("Band Huge is 1500 pixels high and fits on no page"),
            std::string::npos)
      << host.messages[0].text;
}

TEST_F(FormationPages, ShapeTallerThanAnyPageInABreakingBandIsWrittenOnce) {
  TfrReport report;
  report.ShowProgress = false;
  PageBuilder b(report.Template);
  b.Band(btReportSummary, "Summary", 0, 1400, flBandBreaked);
  b.Memo("Before", 20, 5, 100, 20, {"before"});
  b.Shape("Tall", 20, 40, 100, 1300);
  ASSERT_TRUE(report.Prepare());
  EXPECT_TRUE(host.messages.empty());
  ASSERT_EQ(report.PreparedPages.Count(), 2);
  EXPECT_EQ(PageNames(report, 0), (std::vector<std::string>{"Before"}));
  EXPECT_EQ(PageNames(report, 1), (std::vector<std::string>{"Tall"}));
}

TEST_F(FormationPages, HostileGeometryFormsWithoutWrappingAround) {
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  TfrReport report;
  report.ShowProgress = false;
  PageBuilder b(report.Template);
  b.Page().Columns = kMax;
  b.Page().ColumnGap = kMin;
  auto& band = b.Band(btReportTitle, "Title", kMin, kMax, flStretched | flBandBreaked);
  band.Columns = kMax;
  band.ColumnWidth = kMax;
  band.ColumnGap = kMax;
  b.Memo("Far", kMax, kMax, kMax, kMax, {"far away"});
  b.Shape("Negative", kMin, kMin, kMin, kMin);
  b.Band(btReportSummary, "Summary", kMax, kMax, flBandBreaked);
  b.Memo("Tall", 20, 0, 100, kMax, NumberedLines("x", 3));
  report.Prepare();  // whatever it forms, it forms without overflow
  EXPECT_LE(report.PreparedPages.Count(), 40);
  EXPECT_EQ(report.Template.Pages[0]->Columns, kMax);  // the template is untouched
}

}  // namespace
}  // namespace quillet::test

namespace quillet::test {
namespace {

TEST_F(FormationPages, AlignedObjectsSizedBeforeFormingLeaveTheTemplateAsItWas) {
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btPageHeader, "PageHeader", 0, 30);
  b.Memo("Wide", 20, 5, 300, 20, {"spans the page"}).BandAlign = baWidth;
  const auto before = SavedTemplate(report);
  ASSERT_TRUE(report.Prepare());
  EXPECT_EQ(SavedTemplate(report), before);
  EXPECT_EQ(report.FindView("Wide")->Width, 300);
}

}  // namespace
}  // namespace quillet::test
