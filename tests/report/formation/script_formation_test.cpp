// Scripts while a report prepares: page, band and object scripts, a running
// total, a CURY move, hidden bands and objects, Cancel of a script that
// loops for ever, and script errors as calculation errors.
#include <gtest/gtest.h>

#include "report/base/engine_state.h"
#include "report/expr/expression_globals.h"
#include "tests/report/formation/formation_support.h"

namespace quillet::test {
namespace {

// Page script resets the total; the title, a hidden column header and the
// summary add to it; the summary moves itself 50 pixels down; the title's
// object script hides the note below it; the footer shows the total.
inline void BuildScripted(TfrReport& report) {
  PageBuilder b(report.Template);
  b.Page().ScriptLines = {"begin", "  Total := 0;", "  Progress := 'Scripts'", "end"};
  b.Band(btPageHeader, "PageHeader", 0, 30);
  b.Memo("HeaderText", 20, 5, 300, 20, {"Header [Total]"});
  auto& title = b.Band(btReportTitle, "Title", 40, 60);
  title.ScriptLines = {"begin Total := Total + 10 end"};
  auto& titleText = b.Memo("TitleText", 20, 45, 300, 20, {"Title [Total]"});
  titleText.ScriptLines = {"begin { the note is for the designer only }", "  Note.Visible := False",
                           "end"};
  b.Memo("Note", 20, 70, 300, 20, {"Note"});
  auto& hidden = b.Band(btColumnHeader, "Hidden", 110, 30);
  hidden.Visible = 0;
  hidden.ScriptLines = {"Total := Total + 100"};
  b.Memo("HiddenText", 20, 115, 300, 20, {"Never shown"});
  auto& summary = b.Band(btReportSummary, "Summary", 200, 30);
  summary.ScriptLines = {"begin", "  Total := Total + 5;", "  CurY := CurY + 50", "end"};
  b.Memo("SummaryText", 20, 205, 300, 20, {"Total [Total]"});
  b.Band(btPageFooter, "PageFooter", 1000, 30);
  b.Memo("FooterText", 20, 1005, 300, 20, {"Footer [Total]"});
}

class ScriptFormation : public FormationTest {};

TEST_F(ScriptFormation, FixtureMatchesTheTemplateBuiltInCode) {
  TfrReport report;
  BuildScripted(report);
  CheckFixture(report, "scripted.frf");
}

TEST_F(ScriptFormation, PageBandAndObjectScriptsShapeThePage) {
  TfrReport report;
  LoadFixture(report, "scripted.frf");
  ASSERT_TRUE(report.Prepare());
  ASSERT_TRUE(host.messages.empty()) << host.messages[0].text;
  ASSERT_EQ(report.PreparedPages.Count(), 1);
  const auto objects = PageObjects(report, 0);
  std::vector<std::string> names;
  for (const auto& o : objects) names.push_back(o.Name);
  // The title comes first on the first page, then the page header.
  EXPECT_EQ(names,
            (std::vector<std::string>{"TitleText", "HeaderText", "SummaryText", "FooterText"}));
  EXPECT_EQ(FindObject(objects, "TitleText")->Text, (StringList{"Title 10"}));
  EXPECT_EQ(FindObject(objects, "HeaderText")->Text, (StringList{"Header 10"}));
  // The hidden band's script still ran.
  EXPECT_EQ(FindObject(objects, "SummaryText")->Text, (StringList{"Total 115"}));
  EXPECT_EQ(FindObject(objects, "FooterText")->Text, (StringList{"Footer 115"}));
  // Title 60 and header 30 pixels high below the 20-pixel margin; the
  // summary 50 pixels below where it would have been.
  EXPECT_EQ(FindObject(objects, "SummaryText")->Top, kMargin + 30 + 60 + 50 + 5);
  EXPECT_NE(std::find(host.progressLines.begin(), host.progressLines.end(), "Scripts"),
            host.progressLines.end());
  // The template is as it was.
  EXPECT_EQ(report.Template.FindView("Note")->Visible, -1);
}

TEST_F(ScriptFormation, ScriptThatLoopsForEverIsCancelledThroughTheProgressWindow) {
  TfrReport report;
  PageBuilder b(report.Template);
  auto& title = b.Band(btReportTitle, "Title", 0, 30);
  title.ScriptLines = {"begin x := 0; while 1 do x := x + 1 end"};
  b.Memo("TitleText", 20, 5, 300, 20, {"Title"});
  // Cancel is pressed as the band begins, so it reaches the script's loop.
  report.Events.OnBeginBand = [this](TfrBand&) { host.stopRequested = true; };
  EXPECT_FALSE(report.Prepare());
  EXPECT_TRUE(host.stopRequested);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_GT(Expressions(Engine()).GlobalVariables.GetValue("X").AsInteger(), 0);
}

TEST_F(ScriptFormation, ScriptErrorsBecomeCalculationErrors) {
  TfrReport report;
  PageBuilder b(report.Template);
  auto& title = b.Band(btReportTitle, "Title", 0, 30);
  title.ScriptLines = {"begin x := 1; goto 5 end"};
  b.Memo("TitleText", 20, 5, 300, 20, {"Title"});
  report.Prepare();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].text.find("Undefined label \"5:\""), std::string::npos)
      << host.messages[0].text;
  EXPECT_EQ(report.PreparedPages.Count(), 0);
}

TEST_F(ScriptFormation, BandShowingItselfFromItsScriptIsBounded) {
  TfrReport report;
  PageBuilder b(report.Template);
  auto& title = b.Band(btReportTitle, "Title", 0, 30);
  title.ScriptLines = {"ShowBand(Title)"};
  b.Memo("TitleText", 20, 5, 300, 20, {"Title"});
  report.Prepare();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].text.find("Scripts nested more than 32 levels"), std::string::npos)
      << host.messages[0].text;
}

}  // namespace
}  // namespace quillet::test
