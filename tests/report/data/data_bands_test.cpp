// Data bands over data sets: records, headers and footers, LINE#, groups
// with their footers, master and detail levels, aggregates in footers and
// summaries, a two-pass page count, and the bounded band queue.
#include "tests/report/data/data_support.h"
#include "tests/report/formation/formation_support.h"

namespace quillet::test {
namespace {

RowsDataset Items() {
  return RowsDataset("Items", {"Cat", "Item", "Price"},
                     {{"A", "pen", 1},
                      {"A", "ink", 3},
                      {"B", "pad", 10},
                      {"C", "cap", 4},
                      {"C", "box", 6},
                      {"C", "bag", 8}});
}

class DataBands : public FormationTest {};

TEST_F(DataBands, ZeroRecordsShowNeitherBandNorHeaderNorFooter) {
  RowsDataset empty("Empty", {"X"}, {});
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btMasterHeader, "Head", 0, 20);
  b.Memo("HeadText", 0, 2, 100, 16, {"Header"});
  b.Band(btMasterData, "Data", 40, 20).FormatText = "empty";  // names ignore case
  b.Memo("DataText", 0, 42, 100, 16, {"[Empty.X]"});
  b.Band(btMasterFooter, "Foot", 80, 20);
  b.Memo("FootText", 0, 82, 100, 16, {"Footer"});
  ASSERT_TRUE(report.Prepare());
  ASSERT_EQ(report.PreparedPages.Count(), 1);
  EXPECT_TRUE(PageNames(report, 0).empty());
}

TEST_F(DataBands, DigitSourceRepeatsTheBandWithLineNumbers) {
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btMasterHeader, "Head", 0, 20);
  b.Memo("HeadText", 0, 2, 100, 16, {"Header"});
  b.Band(btMasterData, "Data", 40, 20).FormatText = "3";
  b.Memo("Line", 0, 42, 100, 16, {"[LINE#]/[LINETHROUGH#]/[CURRENT#]"});
  b.Band(btMasterFooter, "Foot", 80, 20);
  b.Memo("FootText", 0, 82, 100, 16, {"Footer"});
  ASSERT_TRUE(report.Prepare());
  EXPECT_EQ(Texts(report, "Line"), (StringList{"1/1/1", "2/2/2", "3/3/3"}));
  EXPECT_EQ(PageNames(report, 0),
            (std::vector<std::string>{"HeadText", "Line", "Line", "Line", "FootText"}));
  // Records follow each other down the page.
  const auto objects = PageObjects(report, 0);
  EXPECT_EQ(objects[1].Top + 20, objects[2].Top);
}

TEST_F(DataBands, GroupFootersSeeTheGroupsLastRecordAndLineNumbersRestart) {
  RowsDataset items = Items();
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btGroupHeader, "Group", 0, 20).FormatText = "Items.Cat";
  b.Memo("GroupText", 0, 2, 100, 16, {"[Items.Cat]"});
  b.Band(btMasterData, "Data", 30, 20).FormatText = "Items";
  b.Memo("Row", 0, 32, 200, 16, {"[LINE#] [Items.\"Item\"]"});
  b.Band(btGroupFooter, "GroupFoot", 60, 20);
  b.Memo("Last", 0, 62, 200, 16, {"last [Items.Item] sum [SUM([Items.Price])]"});
  ASSERT_TRUE(report.Prepare());
  EXPECT_EQ(Texts(report, "GroupText"), (StringList{"A", "B", "C"}));
  EXPECT_EQ(Texts(report, "Row"),
            (StringList{"1 pen", "2 ink", "1 pad", "1 cap", "2 box", "3 bag"}));
  EXPECT_EQ(Texts(report, "Last"),
            (StringList{"last ink sum 4", "last pad sum 10", "last bag sum 18"}));
}

TEST_F(DataBands, BandsWithoutDataFollowTheDataBandBeforeThemInItsChain) {
  RowsDataset items = Items();
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btMasterData, "Data", 0, 20).FormatText = "Items";
  b.Memo("First", 0, 2, 200, 16, {"[Items.Item]"});
  b.Band(btMasterData, "More", 30, 30);
  b.Memo("Second", 0, 32, 200, 16, {"more [Items.Item]"});
  ASSERT_TRUE(report.Prepare());
  EXPECT_EQ(Texts(report, "Second"),
            (StringList{"more pen", "more ink", "more pad", "more cap", "more box", "more bag"}));
  const auto objects = PageObjects(report, 0);
  ASSERT_EQ(objects.size(), 12u);
  EXPECT_EQ(objects[0].Name, "First");
  EXPECT_EQ(objects[1].Name, "Second");
  EXPECT_EQ(objects[1].Top, objects[0].Top + 20);
  EXPECT_EQ(objects[2].Top, objects[0].Top + 50);
}

TEST_F(DataBands, MasterWithoutDetailRowsIsHiddenUnlessPrintIfSubsetEmpty) {
  for (bool printEmpty : {false, true}) {
    SCOPED_TRACE(printEmpty);
    RowsDataset masters("Masters", {"Name"}, {{"one"}, {"two"}, {"three"}});
    RowsDataset details("Details", {"Line"}, {{"a"}, {"b"}});
    // "two" has no detail rows; the others have two.
    details.VisibleRows = [&] { return masters.Dataset().RecordNumber == 1 ? 0 : 2; };
    TfrReport report;
    PageBuilder b(report.Template);
    std::uint16_t flags = flBandOnFirstPage | flBandOnLastPage;
    if (printEmpty) flags |= flBandPrintIfSubsetEmpty;
    b.Band(btMasterData, "Master", 0, 20, flags).FormatText = "Masters";
    b.Memo("MasterText", 0, 2, 100, 16, {"[Masters.Name]"});
    b.Band(btDetailData, "Detail", 40, 20).FormatText = "Details";
    b.Memo("DetailText", 0, 42, 100, 16, {"[Masters.Name]-[Details.Line]"});
    ASSERT_TRUE(report.Prepare());
    EXPECT_EQ(Texts(report, "MasterText"),
              printEmpty ? (StringList{"one", "two", "three"}) : (StringList{"one", "three"}));
    EXPECT_EQ(Texts(report, "DetailText"), (StringList{"one-a", "one-b", "three-a", "three-b"}));
  }
}

TEST_F(DataBands, DictionaryVariablesNameDataFields) {
  RowsDataset items = Items();
  TfrReport report;
  report.Template.Dictionary.VariableTable = {{"Cost", "Items.\"Price\""}, {"Label", "items.ITEM"}};
  PageBuilder b(report.Template);
  b.Band(btMasterData, "Data", 0, 20).FormatText = "Items";
  b.Memo("Row", 0, 2, 200, 16, {"[Label]=[Cost]"});
  b.Band(btReportSummary, "Summary", 40, 20);
  b.Memo("Total", 0, 42, 200, 16, {"[SUM([Cost])]"});
  ASSERT_TRUE(report.Prepare());
  EXPECT_EQ(Texts(report, "Row"),
            (StringList{"pen=1", "ink=3", "pad=10", "cap=4", "box=6", "bag=8"}));
  EXPECT_EQ(Texts(report, "Total"), (StringList{"32"}));
}

TEST_F(DataBands, InvisibleRecordsCountOnlyWhereTheCallAsksForThem) {
  RowsDataset items = Items();
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btMasterData, "Data", 0, 20).FormatText = "Items";
  report.Template.Pages[0]->Objects.back()->Visible = 0;
  b.Memo("Row", 0, 2, 200, 16, {"[Items.Item]"});
  b.Band(btReportSummary, "Summary", 40, 20);
  b.Memo("Total", 0, 42, 300, 16,
         {"[SUM([Items.Price])] [SUM([Items.Price], Data, 1)] [COUNT(Data, 1)]"});
  ASSERT_TRUE(report.Prepare());
  EXPECT_TRUE(Texts(report, "Row").empty());
  EXPECT_EQ(Texts(report, "Total"), (StringList{"0 32 6"}));
}

TEST_F(DataBands, ThreeLevelsWithFootersAndLineNumbersPerLevel) {
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btMasterData, "Master", 0, 20).FormatText = "2";
  b.Memo("M", 0, 2, 100, 16, {"M[LINE#]"});
  b.Band(btDetailData, "Detail", 30, 20).FormatText = "2";
  b.Memo("D", 0, 32, 100, 16, {"D[LINE#]"});
  b.Band(btSubDetailData, "Sub", 60, 20).FormatText = "1";
  b.Memo("S", 0, 62, 100, 16, {"S[LINE#]"});
  b.Band(btDetailFooter, "DetailFoot", 90, 20);
  b.Memo("DF", 0, 92, 100, 16, {"DF [COUNT(Detail)]"});
  ASSERT_TRUE(report.Prepare());
  StringList texts;
  for (const auto& o : PageObjects(report, 0)) texts.push_back(o.Text.at(0));
  EXPECT_EQ(texts, (StringList{"M1", "D1", "S1", "D2", "S1", "DF 2", "M2", "D1", "S1", "D2", "S1",
                               "DF 2"}));
}

TEST_F(DataBands, AveragesInFootersAndInTheSummaryAfterSeveralGroupFooters) {
  RowsDataset items = Items();
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btReportSummary, "Summary", 200, 20);
  b.Memo("Total", 0, 202, 300, 16,
         {"[AVG([Items.Price])] [COUNT(Data)] [MIN([Items.Price])] [MAX([Items.Price])]"});
  b.Band(btGroupHeader, "Group", 0, 20).FormatText = "Items.Cat";
  b.Band(btMasterData, "Data", 30, 20).FormatText = "Items";
  b.Memo("Row", 0, 32, 200, 16, {"[Items.Price]"});
  b.Band(btGroupFooter, "GroupFoot", 60, 20);
  b.Memo("Avg", 0, 62, 200, 16, {"[AVG([Items.Price])]"});
  b.Band(btMasterFooter, "Foot", 100, 20);
  b.Memo("FootAvg", 0, 102, 200, 16, {"[AVG([Items.Price])]"});
  ASSERT_TRUE(report.Prepare());
  EXPECT_EQ(Texts(report, "Avg"), (StringList{"2", "10", "6"}));
  // 32 over six records, though each group footer started its own count again.
  EXPECT_EQ(Texts(report, "FootAvg"), (StringList{"5.33333333333333"}));
  EXPECT_EQ(Texts(report, "Total"), (StringList{"5.33333333333333 6 1 10"}));
}

TEST_F(DataBands, TwoPassPageCountOverManyRecords) {
  TfrReport report;
  report.Template.TwoPass = true;
  PageBuilder b(report.Template);
  b.Band(btPageFooter, "PageFoot", 0, 20);
  b.Memo("PageNo", 0, 2, 200, 16, {"Page [PAGE#] of [TOTALPAGES]"});
  b.Band(btMasterData, "Data", 40, 100).FormatText = "25";
  b.Memo("Row", 0, 42, 100, 16, {"[LINE#]"});
  ASSERT_TRUE(report.Prepare());
  const int n = report.PreparedPages.Count();
  ASSERT_GT(n, 2);
  StringList expected;
  for (int p = 1; p <= n; ++p)
    expected.push_back("Page " + std::to_string(p) + " of " + std::to_string(n));
  EXPECT_EQ(Texts(report, "PageNo"), expected);
  EXPECT_EQ(Texts(report, "Row").size(), 25u);
}

TEST_F(DataBands, MoreWaitingBandsThanTheQueueHoldsEndWithACalculationError) {
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btMasterData, "Data", 0, 10).FormatText = "1";
  // Every group header waits with the first record: more than 100 at once.
  for (int i = 0; i < 120; ++i) b.Band(btGroupHeader, "G" + std::to_string(i), 20 + i, 1);
  report.Prepare();
  EXPECT_TRUE(Prep().CalcErrorFlag || !host.messages.empty());
  EXPECT_TRUE(report.StopRequested);
}

}  // namespace
}  // namespace quillet::test
