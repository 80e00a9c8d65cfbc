// Band objects and pages reached by name while their page is formed: a
// script moves, sizes, hides and relinks the run-time band, steps its data
// set, and reads the page's edges as formation computes them.
#include <gtest/gtest.h>

#include "report/base/engine_state.h"
#include "report/expr/expression_globals.h"
#include "tests/report/formation/formation_support.h"

namespace quillet::test {
namespace {

class BandNamesFormation : public FormationTest {};

TEST_F(BandNamesFormation, ScriptsResizeHideAndRelinkTheBandsBeingFormed) {
  TfrReport report;
  PageBuilder b(report.Template);
  auto& title = b.Band(btReportTitle, "Title", 0, 40);
  // The title grows to 100, hides the summary and takes Extra as its child.
  title.ScriptLines = {"begin", "  Title.Height := 100;", "  Summary.Visible := False;",
                       "  Title.ChildBand := 'Extra'", "end"};
  b.Memo("TitleText", 20, 5, 300, 20, {"[Title.Height] [Summary.Visible]"});
  b.Band(btChild, "Extra", 300, 30);
  b.Memo("ExtraText", 20, 305, 300, 20, {"Extra"});
  b.Band(btReportSummary, "Summary", 400, 30);
  b.Memo("SummaryText", 20, 405, 300, 20, {"Summary"});
  ASSERT_TRUE(report.Prepare());
  ASSERT_TRUE(host.messages.empty()) << host.messages[0].text;
  const auto objects = PageObjects(report, 0);
  ASSERT_NE(FindObject(objects, "TitleText"), nullptr);
  EXPECT_EQ(FindObject(objects, "TitleText")->Text, (StringList{"100 False"}));
  // The child follows the title's new height; the summary is gone.
  ASSERT_NE(FindObject(objects, "ExtraText"), nullptr);
  EXPECT_EQ(FindObject(objects, "ExtraText")->Top, kMargin + 100 + 5);
  EXPECT_EQ(FindObject(objects, "SummaryText"), nullptr);
  // The template keeps its own geometry.
  EXPECT_EQ(report.Template.FindView("Title")->Height, 40);
}

TEST_F(BandNamesFormation, ABandCannotBecomeItsOwnChildAgain) {
  TfrReport report;
  PageBuilder b(report.Template);
  auto& title = b.Band(btReportTitle, "Title", 0, 40);
  title.ScriptLines = {"begin Extra.ChildBand := 'Title'; Title.ChildBand := 'Extra' end"};
  b.Memo("TitleText", 20, 5, 300, 20, {"Title"});
  b.Band(btChild, "Extra", 300, 30);
  report.Prepare();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].text.find("the child bands lead back to it"), std::string::npos)
      << host.messages[0].text;
}

// A template whose band names itself as its child ends the run with a
// message instead of showing the band until the stack runs out.
TEST_F(BandNamesFormation, ATemplateBandThatIsItsOwnChildIsRefused) {
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btReportTitle, "Title", 0, 40).ChildBand = "Title";
  b.Memo("TitleText", 20, 5, 300, 20, {"Title"});
  report.Prepare();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].text.find("Band Title names itself as its child band"),
            std::string::npos)
      << host.messages[0].text;
  EXPECT_EQ(report.PreparedPages.Count(), 0);
}

TEST_F(BandNamesFormation, ADataBandsDataSetIsSteppedAndReplacedByName) {
  TfrReport report;
  PageBuilder b(report.Template);
  auto& title = b.Band(btReportTitle, "Title", 0, 40);
  title.ScriptLines = {"begin",
                       "  Before := Items.EOF;",
                       "  Items.Next; Items.Next; Items.Prior; Items.Next; Items.Next;",
                       "  AtEnd := Items.EOF;",
                       "  Items.First;",
                       "  Again := Items.EOF;",
                       "  Items.DataSource := '1';",
                       "  Items.Next;",
                       "  Replaced := Items.EOF",
                       "end"};
  b.Memo("TitleText", 20, 5, 300, 20, {"Title"});
  b.Band(btMasterData, "Items", 100, 20).FormatText = "3";
  report.Prepare();
  ASSERT_TRUE(host.messages.empty()) << host.messages[0].text;
  const TfrVariables& v = Expressions(Engine()).GlobalVariables;
  EXPECT_FALSE(v.GetValue("BEFORE").AsBoolean());
  EXPECT_TRUE(v.GetValue("ATEND").AsBoolean());
  EXPECT_FALSE(v.GetValue("AGAIN").AsBoolean());
  EXPECT_TRUE(v.GetValue("REPLACED").AsBoolean());
}

TEST_F(BandNamesFormation, PageMarginsReadTheEdgesWhileFormed) {
  TfrReport report;
  PageBuilder b(report.Template);
  b.Page().Margins = {kMargin, 0, kMargin, kMargin};
  b.Band(btReportTitle, "Title", 0, 40);
  b.Memo("TitleText", 20, 5, 300, 20,
         {"[Page1.LeftMargin] [Page1.TopMargin] [Page1.RightMargin] [Page1.BottomMargin]"});
  b.Band(btPageFooter, "Footer", 1000, 30);
  ASSERT_TRUE(report.Prepare());
  ASSERT_TRUE(host.messages.empty()) << host.messages[0].text;
  const PrinterPageInfo& info = report.PreparedPages[0].PageInfo;
  // A margin of 0 is the printable area's edge; the footer's room is left.
  const std::string expected = std::to_string(kMargin) + " " + std::to_string(info.OffsetYPx) +
                               " " + std::to_string(info.PaperWidthPx - kMargin) + " " +
                               std::to_string(info.PaperHeightPx - kMargin - 30);
  EXPECT_EQ(FindObject(PageObjects(report, 0), "TitleText")->Text, (StringList{expected}));
  // Outside a run they are the margins themselves.
  EXPECT_EQ(report.Template.Pages[0]->ReadProperty("BottomMargin").AsInteger(), kMargin);
  EXPECT_EQ(report.Template.Pages[0]->ReadProperty("TopMargin").AsInteger(), 0);
}

}  // namespace
}  // namespace quillet::test
