// Bands across page and column breaks, at exact positions: objects pushed
// down by a split memo's leftover, a stretched band that is not breakable,
// a page continued on the previous one with page footers, forced breaks
// from a band's script, and the position kept after them.
#include <functional>

#include "report/formation/active_objects.h"
#include "report/formation/band.h"
#include "tests/report/formation/formation_support.h"

namespace quillet::test {
namespace {

using Objects = std::vector<PreparedObject>;

// A report whose band scripts act through a hook, standing in for the
// script interpreter ("NEWPAGE", "NEWCOLUMN", assigning "CURY").
class ScriptedReport : public TfrReport {
 public:
  void RunBandScript(const TfrView* bandView) override {
    TfrBand* band = ActiveTfrBand(Prep());
    if (bandView && !bandView->ScriptLines.empty() && band && onBandScript)
      onBandScript(*band, bandView->ScriptLines.front());
  }
  std::function<void(TfrBand&, const std::string&)> onBandScript;
};

class FormationBreaks : public FormationTest {};

std::vector<const PreparedObject*> AllNamed(const std::vector<Objects>& pages,
                                            const std::string& name, std::vector<int>* where) {
  std::vector<const PreparedObject*> found;
  for (std::size_t p = 0; p < pages.size(); ++p)
    for (const auto& o : pages[p])
      if (o.Name == name) {
        found.push_back(&o);
        if (where) where->push_back(int(p));
      }
  return found;
}

TEST_F(FormationBreaks, ObjectsBelowASplitMemoMoveDownByItsLeftover) {
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btReportSummary, "Summary", 100, 1600, flStretched | flBandBreaked);
  // A memo of fixed height (not stretched to the band), taller than a page:
  // what does not fit the first page is its leftover.
  b.Memo("Body", 20, 105, 300, 1500, NumberedLines("Line", 90)).Flags &= ~flStretched;
  b.Shape("Below", 50, 1610, 40, 10);   // under the memo, within its width
  b.Shape("Beside", 500, 140, 40, 10);  // beside the memo
  ASSERT_TRUE(report.Prepare());
  ASSERT_GE(report.PreparedPages.Count(), 2);
  std::vector<Objects> pages;
  for (int p = 0; p < report.PreparedPages.Count(); ++p) pages.push_back(PageObjects(report, p));

  // Beside keeps its place in the band's first part.
  std::vector<int> besidePages;
  const auto beside = AllNamed(pages, "Beside", &besidePages);
  ASSERT_EQ(beside.size(), 1u);
  EXPECT_EQ(besidePages[0], 0);
  EXPECT_EQ(beside[0]->Top, kMargin + 40);

  // Below follows the memo's last piece with the gap it had in the template.
  std::vector<int> bodyPages, belowPages;
  const auto body = AllNamed(pages, "Body", &bodyPages);
  const auto below = AllNamed(pages, "Below", &belowPages);
  ASSERT_EQ(below.size(), 1u);
  ASSERT_GE(body.size(), 2u);
  EXPECT_EQ(belowPages[0], bodyPages.back());
  EXPECT_EQ(below[0]->Top, body.back()->Top + body.back()->Height + 5);
  EXPECT_EQ(body.back()->Top, kMargin);  // a continued piece starts at the top edge
  // Every line once, in order.
  StringList lines;
  for (const PreparedObject* o : body) lines.insert(lines.end(), o->Text.begin(), o->Text.end());
  EXPECT_EQ(lines, NumberedLines("Line", 90));
}

// A breaking band carries its whole text on, however many pages it takes:
// 8,000 lines of 10-point type are some 120,000 pixels, beyond the bound
// that a band which may not break is cut to.
TEST_F(FormationBreaks, AMemoTallerThanTheFormationBoundPrintsEveryLine) {
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btReportSummary, "Summary", 100, 40, flStretched | flBandBreaked);
  b.Memo("Body", 20, 105, 300, 30, NumberedLines("Line", 8000));
  ASSERT_TRUE(report.Prepare());
  ASSERT_GT(report.PreparedPages.Count(), 100);
  StringList lines;
  for (int p = 0; p < report.PreparedPages.Count(); ++p)
    for (const PreparedObject& o : PageObjects(report, p))
      if (o.Name == "Body") lines.insert(lines.end(), o.Text.begin(), o.Text.end());
  EXPECT_EQ(lines, NumberedLines("Line", 8000));
}

TEST_F(FormationBreaks, AStretchedBandThatMayNotBreakMovesWholeToTheNextPage) {
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btReportTitle, "Title", 0, 900);
  b.Memo("TitleText", 20, 5, 300, 20, {"Title"});
  b.Band(btReportSummary, "Summary", 1000, 40, flStretched);
  auto& tall = b.Memo("Tall", 20, 1005, 300, 30, NumberedLines("Line", 12));
  tall.Flags |= flStretched;
  auto& side = b.Memo("Side", 400, 1010, 100, 20, {"beside"});
  side.Flags |= flStretched;
  ASSERT_TRUE(report.Prepare());
  ASSERT_EQ(report.PreparedPages.Count(), 2);
  EXPECT_EQ(PageNames(report, 0), (std::vector<std::string>{"TitleText"}));
  const Objects second = PageObjects(report, 1);
  ASSERT_EQ(second.size(), 2u);
  const PreparedObject* t = FindObject(second, "Tall");
  const PreparedObject* s = FindObject(second, "Side");
  EXPECT_EQ(t->Top, kMargin + 5);
  EXPECT_EQ(s->Top, kMargin + 10);
  // Both stretched objects reach the band's stretched bottom, which holds
  // the twelve lines (more than the 131 pixels left on the first page).
  EXPECT_EQ(s->Top + s->Height, t->Top + t->Height);
  EXPECT_GT(t->Height, 131);
  EXPECT_EQ(t->Text, NumberedLines("Line", 12));
}

TEST_F(FormationBreaks, APageContinuedOnThePreviousKeepsThatPagesFooterOnly) {
  TfrReport report;
  PageBuilder first(report.Template);
  first.Band(btReportTitle, "Title1", 0, 30);
  first.Memo("First", 20, 5, 100, 20, {"first"});
  first.Band(btPageFooter, "Footer1", 900, 30);
  first.Memo("FirstFooter", 20, 905, 100, 20, {"footer 1"});
  PageBuilder second(report.Template);
  second.Page().PrintToPrevPage = 1;
  second.Band(btReportTitle, "Title2", 0, 30);
  second.Memo("Second", 20, 5, 100, 20, {"second"});
  second.Band(btPageFooter, "Footer2", 900, 40);
  second.Memo("SecondFooter", 20, 905, 100, 20, {"footer 2"});
  ASSERT_TRUE(report.Prepare());
  ASSERT_EQ(report.PreparedPages.Count(), 1);
  const Objects page = PageObjects(report, 0);
  EXPECT_EQ(PageNames(report, 0), (std::vector<std::string>{"First", "FirstFooter", "Second"}));
  EXPECT_EQ(FindObject(page, "First")->Top, kMargin + 5);
  // The first page's footer sits at its own bottom limit (1051 - 30).
  EXPECT_EQ(FindObject(page, "FirstFooter")->Top, 1021 + 5);
  // The second template page goes on where the first stopped.
  EXPECT_EQ(FindObject(page, "Second")->Top, kMargin + 30 + 5);
}

TEST_F(FormationBreaks, APositionSetWhileBreaksArePendingIsKeptAfterThem) {
  for (bool keep : {false, true}) {
    SCOPED_TRACE(keep ? "kept" : "not kept");
    ScriptedReport report;
    PageBuilder b(report.Template);
    b.Band(btReportTitle, "Title", 0, 30);
    b.Memo("TitleText", 20, 5, 100, 20, {"title"});
    b.Band(btReportSummary, "Summary", 100, 30).ScriptLines = {"NEWPAGE"};
    b.Memo("SummaryText", 20, 105, 100, 20, {"summary"});
    report.onBandScript = [keep](TfrBand& band, const std::string&) {
      band.ForcedNewPages = 1;
      band.KeepYAfterBreaks = keep;
    };
    ASSERT_TRUE(report.Prepare());
    ASSERT_EQ(report.PreparedPages.Count(), 2);
    const Objects second = PageObjects(report, 1);
    ASSERT_EQ(second.size(), 1u);
    // Kept: the position the band had on the first page (below the title).
    EXPECT_EQ(second[0].Top, (keep ? kMargin + 30 : kMargin) + 5);
  }
}

TEST_F(FormationBreaks, AForcedNewColumnStartsTheNextColumnBelowTheColumnHeader) {
  ScriptedReport report;
  PageBuilder b(report.Template);
  b.Page().Columns = 2;
  b.Page().ColumnGap = 20;
  b.Band(btReportTitle, "Title", 0, 30);
  b.Memo("TitleText", 20, 5, 100, 20, {"title"});
  b.Band(btColumnHeader, "ColumnHeader", 40, 20);
  b.Memo("ColumnHead", 20, 45, 100, 10, {"column"});
  b.Band(btReportSummary, "Summary", 100, 30).ScriptLines = {"NEWCOLUMN"};
  b.Memo("SummaryText", 20, 105, 100, 20, {"summary"});
  report.onBandScript = [](TfrBand& band, const std::string& script) {
    if (script == "NEWCOLUMN") band.ForcedNewColumns = 1;
  };
  ASSERT_TRUE(report.Prepare());
  ASSERT_EQ(report.PreparedPages.Count(), 1);
  const Objects page = PageObjects(report, 0);
  ASSERT_EQ(page.size(), 4u);
  // Column width (738 - 20 - 20) / 2 = 349; the second column starts 369
  // pixels to the right, at the column header's top (below the title).
  EXPECT_EQ(page[0].Name, "TitleText");
  EXPECT_EQ(page[1].Name, "ColumnHead");
  EXPECT_EQ(page[1].Left, 20);
  EXPECT_EQ(page[1].Top, 55);
  EXPECT_EQ(page[2].Name, "ColumnHead");
  EXPECT_EQ(page[2].Left, 20 + 369);
  EXPECT_EQ(page[2].Top, 55);
  EXPECT_EQ(page[3].Name, "SummaryText");
  EXPECT_EQ(page[3].Left, 20 + 369);
  EXPECT_EQ(page[3].Top, 75);
}

}  // namespace
}  // namespace quillet::test
