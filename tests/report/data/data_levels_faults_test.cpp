// Data levels across page breaks and passes: group headers repeated on a
// page that another band of the data levels starts, totals of several data
// bands in one band, and counters and totals that start again for the final
// pass of a two-pass report.
#include "report/expr/expression_globals.h"
#include "tests/report/data/data_support.h"
#include "tests/report/formation/formation_support.h"

namespace quillet::test {
namespace {

constexpr std::uint16_t kRepeat = flBandOnFirstPage | flBandOnLastPage | flBandRepeatHeader;

class DataLevelFaults : public FormationTest {};

// Ten rows of 99 pixels fill page 1 to y 1050 of 1051, so the inner group's
// footer starts page 2 while both groups are still open.
TEST_F(DataLevelFaults, AGroupFooterStartingAPageRepeatsTheOpenGroupsHeaders) {
  std::vector<RowsDataset::Row> rows;
  for (int i = 0; i < 10; ++i) rows.push_back({"a", "x", i});
  rows.push_back({"b", "y", 10});
  RowsDataset data("Rows", {"GA", "GB", "V"}, rows);
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btGroupHeader, "GroupA", 0, 20, kRepeat).FormatText = "Rows.GA";
  b.Memo("GAText", 0, 2, 100, 16, {"GA [Rows.GA]"});
  b.Band(btGroupHeader, "GroupB", 30, 20, kRepeat).FormatText = "Rows.GB";
  b.Memo("GBText", 0, 32, 100, 16, {"GB [Rows.GB]"});
  b.Band(btMasterData, "Data", 60, 99).FormatText = "Rows";
  b.Memo("Row", 0, 62, 100, 16, {"[Rows.V]"});
  b.Band(btGroupFooter, "FootB", 170, 20);
  b.Memo("FootBText", 0, 172, 100, 16, {"end GB"});
  b.Band(btGroupFooter, "FootA", 200, 20);
  b.Memo("FootAText", 0, 202, 100, 16, {"end GA"});
  ASSERT_TRUE(report.Prepare());
  ASSERT_GE(report.PreparedPages.Count(), 2);
  const std::vector<std::string> page2 = PageNames(report, 1);
  ASSERT_GE(page2.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(page2.begin(), page2.begin() + 4),
            (std::vector<std::string>{"GAText", "GBText", "FootBText", "FootAText"}));
  // The repeated headers show the group still open; the next group follows.
  EXPECT_EQ(Texts(report, "GAText"), (StringList{"GA a", "GA a", "GA b"}));
  EXPECT_EQ(Texts(report, "GBText"), (StringList{"GB x", "GB x", "GB y"}));
}

// The outer group's footer alone on a new page repeats only the outer
// group: the inner one closed with its own footer.
TEST_F(DataLevelFaults, AClosedInnerGroupIsNotRepeated) {
  std::vector<RowsDataset::Row> rows;
  for (int i = 0; i < 10; ++i) rows.push_back({"a", "x", i});
  RowsDataset data("Rows", {"GA", "GB", "V"}, rows);
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btGroupHeader, "GroupA", 0, 20, kRepeat).FormatText = "Rows.GA";
  b.Memo("GAText", 0, 2, 100, 16, {"GA [Rows.GA]"});
  b.Band(btGroupHeader, "GroupB", 30, 20, kRepeat).FormatText = "Rows.GB";
  b.Memo("GBText", 0, 32, 100, 16, {"GB [Rows.GB]"});
  b.Band(btMasterData, "Data", 60, 97).FormatText = "Rows";  // to y 1030
  b.Memo("Row", 0, 62, 100, 16, {"[Rows.V]"});
  b.Band(btGroupFooter, "FootB", 170, 20);  // to y 1050
  b.Memo("FootBText", 0, 172, 100, 16, {"end GB"});
  b.Band(btGroupFooter, "FootA", 200, 20);
  b.Memo("FootAText", 0, 202, 100, 16, {"end GA"});
  ASSERT_TRUE(report.Prepare());
  ASSERT_EQ(report.PreparedPages.Count(), 2);
  EXPECT_EQ(PageNames(report, 1), (std::vector<std::string>{"GAText", "FootAText"}));
}

// A detail header that starts a page repeats the master's open groups.
TEST_F(DataLevelFaults, ADetailHeaderStartingAPageRepeatsTheMastersGroups) {
  RowsDataset masters("Masters", {"G", "Name"}, {{"g1", "one"}});
  RowsDataset details("Details", {"Line"}, {{"a"}, {"b"}});
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btGroupHeader, "Group", 0, 20, kRepeat).FormatText = "Masters.G";
  b.Memo("GText", 0, 2, 100, 16, {"[Masters.G]"});
  b.Band(btMasterData, "Master", 30, 1000).FormatText = "Masters";  // to y 1040
  b.Memo("MText", 0, 32, 100, 16, {"[Masters.Name]"});
  b.Band(btDetailHeader, "DetailHead", 1040, 20);
  b.Memo("DHText", 0, 1042, 100, 16, {"details"});
  b.Band(btDetailData, "Detail", 1070, 20).FormatText = "Details";
  b.Memo("DText", 0, 1072, 100, 16, {"[Details.Line]"});
  ASSERT_TRUE(report.Prepare());
  ASSERT_EQ(report.PreparedPages.Count(), 2);
  EXPECT_EQ(PageNames(report, 1), (std::vector<std::string>{"GText", "DHText", "DText", "DText"}));
}

// A summary totals two data bands: each call reads its own band's totals.
TEST_F(DataLevelFaults, OneBandTotalsSeveralDataBands) {
  RowsDataset masters("MT", {"Name"}, {{"one"}, {"two"}, {"three"}, {"four"}});
  RowsDataset details("DT", {"qty"}, {{1}, {2}, {3}, {4}, {5}});
  // Only the first master has detail rows; the others print without any.
  details.VisibleRows = [&] { return masters.Dataset().RecordNumber == 0 ? 5 : 0; };
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btMasterData, "MD", 0, 20, flBandOnFirstPage | flBandOnLastPage | flBandPrintIfSubsetEmpty)
      .FormatText = "MT";
  b.Memo("M", 0, 2, 100, 16, {"[MT.Name]"});
  b.Band(btDetailData, "DD", 30, 20).FormatText = "DT";
  b.Memo("D", 0, 32, 100, 16, {"[DT.qty]"});
  b.Band(btReportSummary, "Summary", 60, 20);
  b.Memo("Masters", 0, 62, 100, 16, {"masters=[COUNT(MD)]"});
  b.Memo("Qty", 200, 62, 100, 16, {"qty=[SUM([DT.\"qty\"], DD)]"});
  ASSERT_TRUE(report.Prepare());
  EXPECT_EQ(Texts(report, "Masters"), (StringList{"masters=4"}));
  EXPECT_EQ(Texts(report, "Qty"), (StringList{"qty=15"}));
}

// A null value counts as 0 in a total; an expression that fails while a
// total takes a record is reported with the object that holds the total,
// not the object of the data band written last.
TEST_F(DataLevelFaults, NullsCountAsZeroAndAFailingTotalNamesItsObject) {
  RowsDataset items("Items", {"Name", "Price"},
                    {{"pen", 1}, {"ink", Variant::Null()}, {"pad", 10}});
  for (bool failing : {false, true}) {
    SCOPED_TRACE(failing);
    host.messages.clear();
    TfrReport report;
    report.Name = "frReport1";
    PageBuilder b(report.Template);
    b.Band(btMasterData, "Data", 0, 20).FormatText = "Items";
    b.Memo("Row", 0, 2, 100, 16, {"[Items.Name]"});
    b.Band(btReportSummary, "Summary", 40, 20);
    b.Memo("Total", 0, 42, 200, 16,
           {failing ? "[SUM([Items.Name])]" : "[SUM([Items.Price])] [AVG([Items.Price])]"});
    if (!failing) {
      ASSERT_TRUE(report.Prepare());
      EXPECT_EQ(Texts(report, "Total"), (StringList{"11 3.66666666666667"}));
      continue;
    }
    EXPECT_FALSE(report.Prepare());
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].text.find("\rObject: Total\r"), std::string::npos)
        << host.messages[0].text;
  }
}

TEST_F(DataLevelFaults, TheFinalPassCountsRecordsFromOne) {
  TfrReport report;
  report.Template.TwoPass = true;
  PageBuilder b(report.Template);
  b.Band(btMasterData, "Data", 0, 20).FormatText = "3";
  b.Memo("Line", 0, 2, 100, 16, {"[LINE#]/[CURRENT#]"});
  ASSERT_TRUE(report.Prepare());
  EXPECT_EQ(Texts(report, "Line"), (StringList{"1/1", "2/2", "3/3"}));
}

// Ten rows of 100 pixels fill a page above a 20-pixel footer that is not
// shown on the last page: the counting pass leaves the last page's totals
// behind, and the final pass must not start from them.
TEST_F(DataLevelFaults, APageFooterOffTheLastPageStartsTheFinalPassFromZero) {
  std::vector<RowsDataset::Row> rows;
  for (int i = 1; i <= 25; ++i) rows.push_back({i});
  RowsDataset data("Rows", {"V"}, rows);
  for (bool twoPass : {false, true}) {
    SCOPED_TRACE(twoPass);
    TfrReport report;
    report.Template.TwoPass = twoPass;
    PageBuilder b(report.Template);
    b.Band(btPageFooter, "PageFoot", 0, 20, flBandOnFirstPage);
    b.Memo("Totals", 0, 2, 200, 16, {"s=[SUM([Rows.V])] n=[COUNT(Data)]"});
    b.Band(btMasterData, "Data", 40, 100).FormatText = "Rows";
    b.Memo("Row", 0, 42, 100, 16, {"[Rows.V]"});
    ASSERT_TRUE(report.Prepare());
    ASSERT_EQ(report.PreparedPages.Count(), 3);
    EXPECT_EQ(Texts(report, "Totals"), (StringList{"s=55 n=10", "s=155 n=10"}));
  }
}

// The page's column width as set-up computes it: (718 - 20) / 2 between the
// 20-pixel margins with a 20-pixel gap. A script that sets it moves the
// next column by the new width.
TEST_F(DataLevelFaults, ThePagesColumnWidthIsANamedProperty) {
  for (bool scripted : {false, true}) {
    SCOPED_TRACE(scripted);
    TfrReport report;
    PageBuilder b(report.Template);
    b.Page().Columns = 2;
    b.Page().ColumnGap = 20;
    auto& data = b.Band(btMasterData, "Data", 0, 20);
    data.FormatText = "1";
    if (scripted) data.ScriptLines = {"begin", "  PAGE1.ColumnWidth := 100;", "  NEWCOLUMN", "end"};
    b.Memo("Width", 0, 2, 100, 16, {"[PAGE1.ColumnWidth]"});
    ASSERT_TRUE(report.Prepare());
    EXPECT_EQ(Texts(report, "Width"), (StringList{scripted ? "100" : "349"}));
    const auto objects = PageObjects(report, 0);
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_EQ(objects[0].Left, scripted ? 100 + 20 : 0);  // from the left margin
    EXPECT_EQ(Expressions(Engine()).GlobalVariables.IndexOfName("PAGE1.ColumnWidth"), -1);
  }
}

// With margins 0 the page's limits are the virtual printer's printable area
// (x 18 to 740 on A4), for the width alignment that runs before formation
// as for the left alignment that runs while a band is written; a page read
// from JSON has no printer page information until then.
TEST_F(DataLevelFaults, WidthAlignmentBeforeFormationKeepsToThePrintableArea) {
  TfrReport report;
  PageBuilder b(report.Template);
  b.Page().Margins = {};
  b.Page().PageInfo = PrinterPageInfo{};
  b.Band(btPageHeader, "Header", 0, 40);
  b.Memo("Wide", 0, 2, 756, 16, {"wide"}).BandAlign = baWidth;
  b.Memo("Left", 300, 20, 100, 16, {"left"}).BandAlign = baLeft;
  ASSERT_TRUE(report.Prepare());
  const auto objects = PageObjects(report, 0);
  const PreparedObject* wide = FindObject(objects, "Wide");
  const PreparedObject* left = FindObject(objects, "Left");
  ASSERT_TRUE(wide && left);
  EXPECT_EQ(left->Left, 18);
  EXPECT_EQ(wide->Left, 18);
  EXPECT_EQ(wide->Width, 721);
}

}  // namespace
}  // namespace quillet::test
