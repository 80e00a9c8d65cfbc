// The report component's preparation: single and two-pass runs with their
// progress lines, multi-reports over a data set, cancelling, calculation
// errors, progress events, composite reports, and prepared-report files.
#include <algorithm>

#include "platform/errors.h"
#include "report/base/dataset.h"
#include "report/base/engine_texts.h"
#include "report/component/composite_report.h"
#include "tests/report/formation/formation_templates.h"
#include "tests/support.h"

namespace quillet::test {
namespace {

class ReportPasses : public FormationTest {
 protected:
  // A data set of `n` records driving `report` as a multi-report.
  void DriveBy(TfrReport& report, int n) {
    records.RangeEnd = reCount;
    records.RangeEndCount = n;
    report.Dataset = &records;
    report.ReportType = rtMultiple;
  }
  TfrDataset records;
};

TEST_F(ReportPasses, SinglePassShowsProcessingPageWithoutTotals) {
  TfrReport report;
  report.Title = "Shapes";
  LoadFixture(report, "banded.frf");
  ASSERT_TRUE(report.Prepare());
  EXPECT_EQ(host.progressCaptions, std::vector<std::string>{"Preparing report - Shapes"});
  ASSERT_FALSE(host.progressLines.empty());
  EXPECT_EQ(host.progressLines.front(), "Processing page:  1");
  for (const std::string& line : host.progressLines) {
    EXPECT_EQ(line.rfind("Processing page:  ", 0), 0u) << line;
    EXPECT_EQ(line.find("from"), std::string::npos) << line;
  }
  // The page breaks report pages 2 and 3 as they start.
  EXPECT_NE(std::find(host.progressLines.begin(), host.progressLines.end(), "Processing page:  3"),
            host.progressLines.end());
  EXPECT_EQ(Prep().TotalPageCount, 0);
}

TEST_F(ReportPasses, TwoPassCountsFirstThenShowsTotals) {
  TfrReport report;
  LoadFixture(report, "two_pass.frf");
  ASSERT_TRUE(report.Template.TwoPass);
  DriveBy(report, 3);
  int written = 0;
  std::vector<bool> finalPassAtWrite;
  report.Events.OnBeforePrint = [&](StringList&, TfrView&) {
    ++written;
    finalPassAtWrite.push_back(report.InFinalPass);
  };
  ASSERT_TRUE(report.Prepare());
  EXPECT_EQ(report.PreparedPages.Count(), 3);
  EXPECT_EQ(Prep().TotalPageCount, 3);
  // Two objects per record, written in the final pass only.
  EXPECT_EQ(written, 6);
  EXPECT_TRUE(
      std::all_of(finalPassAtWrite.begin(), finalPassAtWrite.end(), [](bool b) { return b; }));
  EXPECT_TRUE(report.Template.TwoPass);
  EXPECT_FALSE(report.InFinalPass);

  ASSERT_EQ(host.progressCaptions.size(), 1u);  // one window for both passes
  const auto& lines = host.progressLines;
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "Performing 1st pass:  1");
  const auto finalStart = std::find(lines.begin(), lines.end(), "Processing page:  1");
  ASSERT_NE(finalStart, lines.end());
  for (auto it = lines.begin(); it != finalStart; ++it)
    EXPECT_EQ(it->rfind("Performing 1st pass:  ", 0), 0u) << *it;
  for (auto it = finalStart + 1; it != lines.end(); ++it)
    EXPECT_NE(it->find(" from 3"), std::string::npos) << *it;
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Processing page:  2 from 3"), lines.end());
  EXPECT_EQ(PageNames(report, 2), (std::vector<std::string>{"Record", "HeaderText"}));
}

TEST_F(ReportPasses, CancelStopsAfterTheCurrentPageAndKeepsWhatWasFormed) {
  TfrReport report;
  LoadFixture(report, "two_pass.frf");
  report.Template.TwoPass = false;
  DriveBy(report, 200);
  host.stopAfterLines = 6;
  EXPECT_FALSE(report.Prepare());
  const int formed = report.PreparedPages.Count();
  EXPECT_GE(formed, 1);
  EXPECT_LE(formed, 4);
  // Every page formed is whole.
  for (int p = 0; p < formed; ++p)
    EXPECT_EQ(PageNames(report, p), (std::vector<std::string>{"Record", "HeaderText"}));

  // PrepareAndPreview still previews what was formed.
  host.stopRequested = false;
  host.progressLines.clear();
  host.stopAfterLines = -1;
  records.RangeEndCount = 2;
  report.PrepareAndPreview();
  EXPECT_EQ(report.PreparedPages.Count(), 2);
  EXPECT_EQ(host.previews.size(), 1u);
}

TEST_F(ReportPasses, CancelInTheCountingPassLeavesNothingToPreview) {
  TfrReport report;
  LoadFixture(report, "two_pass.frf");
  DriveBy(report, 200);
  host.stopAfterLines = 3;
  report.PrepareAndPreview();
  EXPECT_EQ(report.PreparedPages.Count(), 0);
  EXPECT_TRUE(host.previews.empty());
  for (const std::string& line : host.progressLines)
    EXPECT_EQ(line.rfind("Performing 1st pass:", 0), 0u) << line;
}

TEST_F(ReportPasses, ProgressEventReplacesTheWindow) {
  TfrReport report;
  LoadFixture(report, "banded.frf");
  Prep().TotalPageCount = 42;
  std::vector<int> steps;
  report.Events.OnProgress = [&](int n) {
    steps.push_back(n);
    report.StopRequested = true;  // stops the run, yet Prepare answers true
  };
  EXPECT_TRUE(report.Prepare());
  EXPECT_TRUE(host.progressCaptions.empty());
  EXPECT_FALSE(steps.empty());
  EXPECT_EQ(steps.front(), 1);
  EXPECT_EQ(Prep().TotalPageCount, 42);
}

TEST_F(ReportPasses, CalculationErrorIsShownOnceAndDiscardsThePages) {
  TfrReport report;
  report.Name = "frReport1";
  LoadFixture(report, "banded.frf");
  int writes = 0;
  report.Events.OnBeforePrint = [&](StringList&, TfrView& view) {
    ++writes;
    if (view.Name == "TitleText") throw ConversionError::InvalidInteger("abc");
  };
  const auto before = SavedTemplate(report);
  EXPECT_FALSE(report.Prepare());
  EXPECT_EQ(report.PreparedPages.Count(), 0);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].caption, "Error");
  EXPECT_EQ(host.messages[0].icon, MessageIcon::Error);
  // The report's name with its file, the band and the object, each on a
  // line of its own; no expression was being evaluated.
  EXPECT_EQ(host.messages[0].text,
            "An error occured during calculating\r\rReport: frReport1 (" +
                test::FixturePath("banded.frf") +
                ")\rBand: Title\rObject: TitleText\r\r'abc' is not a valid integer value");
  // The run stopped at the next check: nothing after the title was written.
  EXPECT_EQ(writes, 2);
  EXPECT_EQ(SavedTemplate(report), before);
  EXPECT_FALSE(Prep().CalcErrorFlag);  // the template load clears it again
}

// Without the window the run used to report success with its pages gone.
TEST_F(ReportPasses, CalculationErrorWithoutTheWindowReturnsFalseToo) {
  TfrReport report;
  LoadFixture(report, "banded.frf");
  report.ShowProgress = false;
  report.Events.OnBeforePrint = [&](StringList&, TfrView&) { throw EngineError("broken"); };
  EXPECT_FALSE(report.Prepare());
  EXPECT_EQ(report.PreparedPages.Count(), 0);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].text.find("\rbroken"), std::string::npos);
}

TEST_F(ReportPasses, EventsFireInTheirOrder) {
  TfrReport report;
  LoadFixture(report, "first_page_rules.frf");
  std::vector<std::string> log;
  report.Events.OnBeginDoc = [&] { log.push_back("BeginDoc"); };
  report.Events.OnEndDoc = [&] { log.push_back("EndDoc"); };
  report.Events.OnBeginPage = [&](int i) { log.push_back("BeginPage " + std::to_string(i)); };
  report.Events.OnEndPage = [&](int i) { log.push_back("EndPage " + std::to_string(i)); };
  report.Events.OnBeginBand = [&](TfrBand& b) {
    if (b.IsPresent()) log.push_back("Band " + b.Name);
  };
  ASSERT_TRUE(report.Prepare());
  // Page 0's footer is not wanted (no "OnFirstPage"), so neither is its end
  // event; the last one fires once the page is formed, when the footers
  // have moved PageIndex past the last page.
  EXPECT_EQ(log, (std::vector<std::string>{"BeginDoc", "BeginPage 0", "Band Title", "BeginPage 1",
                                           "Band PageHeader", "Band Summary", "EndPage 1",
                                           "Band PageFooter", "EndPage 2", "EndDoc"}));
}

TEST_F(ReportPasses, CompositeReportFormsItsReportsIntoItsOwnPages) {
  TfrReport first, second;
  LoadFixture(first, "children.frf");
  LoadFixture(second, "first_page_rules.frf");
  TfrCompositeReport composite;
  composite.ReportList = {&first, &second};
  const auto firstBefore = SavedTemplate(first);
  ASSERT_TRUE(composite.Prepare());
  ASSERT_EQ(composite.PreparedPages.Count(), 4);
  EXPECT_EQ(first.PreparedPages.Count(), 0);
  EXPECT_EQ(PageNames(composite, 0), (std::vector<std::string>{"TitleText", "ChildText"}));
  EXPECT_EQ(PageNames(composite, 3),
            (std::vector<std::string>{"HeaderText", "SummaryText", "FooterText"}));
  EXPECT_EQ(SavedTemplate(first), firstBefore);
}

TEST_F(ReportPasses, FindViewIgnoresCaseAndPrefersTheEarlierPage) {
  TfrReport report;
  PageBuilder one(report.Template);
  one.Memo("Caption", 20, 20, 100, 20, {"first"});
  PageBuilder two(report.Template);
  two.Memo("Caption", 20, 20, 100, 20, {"second"});
  ASSERT_NE(report.FindView("CAPTION"), nullptr);
  EXPECT_EQ(report.FindView("caption")->Memo[0], "first");
  EXPECT_EQ(report.FindView("Nothing"), nullptr);
}

TEST_F(ReportPasses, PreparedFileRoundTripAndTemplateFiles) {
  TfrReport report;
  LoadFixture(report, "banded.frf");
  ASSERT_TRUE(report.Prepare());
  const std::string path = OutputPath("banded.frp");
  report.SavePrepared(path);
  TfrReport other;
  other.LoadPrepared(path);
  EXPECT_FALSE(other.BuiltFromTemplate);
  ASSERT_EQ(other.PreparedPages.Count(), report.PreparedPages.Count());
  for (int p = 0; p < other.PreparedPages.Count(); ++p)
    EXPECT_EQ(other.PreparedPages[p].ObjectStream.Bytes(),
              report.PreparedPages[p].ObjectStream.Bytes());
  EXPECT_THROW(other.LoadPrepared(OutputPath("missing.frp")), std::exception);

  const std::string templatePath = OutputPath("banded_copy.frf");
  report.SaveTemplateFile(templatePath);
  TfrReport copy;
  copy.LoadTemplateFile(templatePath);
  EXPECT_EQ(SavedTemplate(copy), SavedTemplate(report));
}

TEST(EngineTexts, QuotedNumbersAndUnknownOnes) {
  EXPECT_EQ(EngineText(55205), "Processing page:");
  EXPECT_EQ(EngineText(55077 + 22), "None");
  EXPECT_EQ(EngineText(55077 + 5), "Master data");
  EXPECT_EQ(EngineText(55206), "Error");
  EXPECT_EQ(EngineText(55439), "Undefined symbol");
  EXPECT_EQ(EngineText(55178), "");
  EXPECT_EQ(EngineText(53000), "");
  EXPECT_EQ(EngineText(-1), "");
}

TEST(Datasets, CountedRangesAndTheirEvents) {
  TfrDataset d;
  d.RangeEnd = reCount;
  d.RangeEndCount = 2;
  int nexts = 0;
  d.OnNext = [&](TfrDataset&) { ++nexts; };
  d.First();
  EXPECT_FALSE(d.Eof());
  d.Next();
  EXPECT_FALSE(d.Eof());
  d.Next();
  EXPECT_TRUE(d.Eof());
  EXPECT_EQ(nexts, 1);  // no OnNext past the counted end
  d.OnCheckEOF = [](TfrDataset&, bool& eof) { eof = false; };
  EXPECT_FALSE(d.Eof());
  TfrDataset open;  // reLast: the events decide where it ends
  EXPECT_FALSE(open.Eof());
}

}  // namespace
}  // namespace quillet::test

namespace quillet::test {
namespace {

TEST_F(ReportPasses, TwoPassWithoutTheWindowStillCountsFirst) {
  TfrReport report;
  LoadFixture(report, "two_pass.frf");
  report.ShowProgress = false;
  DriveBy(report, 4);
  ASSERT_TRUE(report.Prepare());
  EXPECT_EQ(report.PreparedPages.Count(), 4);
  EXPECT_EQ(Prep().TotalPageCount, 4);
  EXPECT_TRUE(host.progressLines.empty());
  // The engine state keeps no reference into the template it restored.
  EXPECT_EQ(Prep().ActivePage, nullptr);
  EXPECT_EQ(Prep().ActiveBand, nullptr);
}

}  // namespace
}  // namespace quillet::test

namespace quillet::test {
namespace {

TEST_F(ReportPasses, CompositeAppendsAReportWhoseFirstPageContinuesThePrevious) {
  TfrReport first, second;
  PageBuilder a(first.Template);
  a.Band(btReportTitle, "TitleA", 0, 30);
  a.Memo("A", 20, 5, 100, 20, {"first report"});
  PageBuilder b(second.Template);
  b.Page().PrintToPrevPage = 1;
  b.Band(btReportTitle, "TitleB", 0, 30);
  b.Memo("B", 20, 5, 100, 20, {"second report"});
  TfrCompositeReport composite;
  composite.ReportList = {&first, &second};
  ASSERT_TRUE(composite.Prepare());
  ASSERT_EQ(composite.PreparedPages.Count(), 1);
  const auto page = PageObjects(composite, 0);
  EXPECT_EQ(FindObject(page, "A")->Top, kMargin + 5);
  EXPECT_EQ(FindObject(page, "B")->Top, kMargin + 30 + 5);

  // A landscape second report starts its own page instead.
  second.Template.Pages[0]->Orientation = 1;
  ASSERT_TRUE(composite.Prepare());
  EXPECT_EQ(composite.PreparedPages.Count(), 2);
}

}  // namespace
}  // namespace quillet::test
