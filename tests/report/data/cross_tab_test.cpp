// Cross-tab bands: columns across a horizontal band, one per record of the
// cross data set, with the cross header and footer; columns that spill onto
// pages to the side; per-column and per-row aggregates; cross data sources;
// and the bounds that keep a broken cross-tab from running away.
#include <climits>

#include "tests/report/data/data_support.h"
#include "tests/report/formation/formation_support.h"

namespace quillet::test {
namespace {

// A vertical band over the whole page height.
TfrBandView& CrossBand(PageBuilder& b, BandType type, const std::string& name, int left, int width,
                       std::uint16_t flags = 0) {
  TfrBandView& band = b.Band(type, name, 0, 1071, flags);
  band.SetGeometry(left, 0, width, 1071);
  return band;
}

// The objects of that name on a page, in the order they were written.
std::vector<PreparedObject> Named(TfrReport& report, int page, const std::string& name) {
  std::vector<PreparedObject> found;
  for (auto& o : PageObjects(report, page))
    if (o.Name == name) found.push_back(std::move(o));
  return found;
}

StringList TextsOf(const std::vector<PreparedObject>& objects) {
  StringList texts;
  for (const auto& o : objects) texts.push_back(o.Text.empty() ? std::string() : o.Text[0]);
  return texts;
}

std::vector<int> LeftsOf(const std::vector<PreparedObject>& objects) {
  std::vector<int> lefts;
  for (const auto& o : objects) lefts.push_back(o.Left);
  return lefts;
}

RowsDataset Months(int n = 3) {
  static const char* names[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::vector<RowsDataset::Row> rows;
  for (int i = 0; i < n; ++i) rows.push_back({names[i % 12], i == 0 ? 1 : i == 1 ? 10 : 100});
  return RowsDataset("Months", {"Name", "Factor"}, std::move(rows));
}

RowsDataset Products() {
  return RowsDataset("Products", {"Name", "Qty"}, {{"pen", 2}, {"ink", 3}});
}

class CrossTabs : public FormationTest {};

// Products down (master data), months across (cross data): a name column in
// the cross header, one cell per month, a row total in the cross footer.
TEST_F(CrossTabs, OneColumnPerRecordBetweenTheCrossHeaderAndFooter) {
  RowsDataset months = Months();
  RowsDataset products = Products();
  TfrReport report;
  std::vector<std::pair<int, int>> printed;  // column, width offered
  int begun = 0;
  report.Events.OnBeginColumn = [&](TfrBand&) { ++begun; };
  report.Events.OnPrintColumn = [&](int column, int& width) {
    printed.emplace_back(column, width);
    if (column == 2) width = 120;  // the third column moves right
  };
  PageBuilder b(report.Template);
  CrossBand(b, btCrossHeader, "Names", 20, 100);
  CrossBand(b, btCrossData, "Columns", 120, 80).FormatText = "Months";
  CrossBand(b, btCrossFooter, "Totals", 200, 60);
  b.Band(btMasterData, "Rows", 100, 20).FormatText = "Products";
  b.Memo("Name", 20, 100, 90, 18, {"[LINE#]. [Products.Name]"});
  b.Memo("Cell", 120, 100, 70, 18, {"[Products.Name]-[Months.Name] [COLUMN#]"});
  b.Memo("Total", 200, 100, 60, 18, {"[SUM(Products.Qty * Months.Factor)]"});
  ASSERT_TRUE(report.Prepare());
  ASSERT_EQ(report.PreparedPages.Count(), 1);

  const auto cells = Named(report, 0, "Cell");
  EXPECT_EQ(TextsOf(cells), (StringList{"pen-Jan 1", "pen-Feb 2", "pen-Mar 3", "ink-Jan 1",
                                        "ink-Feb 2", "ink-Mar 3"}));
  // Columns follow the header; the handler widened the second column.
  EXPECT_EQ(LeftsOf(cells), (std::vector<int>{120, 200, 320, 120, 200, 320}));
  EXPECT_EQ(cells[0].Top, cells[2].Top);
  EXPECT_EQ(cells[3].Top, cells[0].Top + 20);
  // Intersections count lines as the band they are drawn with.
  EXPECT_EQ(TextsOf(Named(report, 0, "Name")), (StringList{"1. pen", "2. ink"}));
  EXPECT_EQ(LeftsOf(Named(report, 0, "Name")), (std::vector<int>{20, 20}));
  // The cross footer follows the last column and totals the row.
  const auto totals = Named(report, 0, "Total");
  EXPECT_EQ(TextsOf(totals), (StringList{"222", "333"}));
  EXPECT_EQ(LeftsOf(totals), (std::vector<int>{440, 440}));

  EXPECT_EQ(begun, 2);
  ASSERT_EQ(printed.size(), 6u);
  EXPECT_EQ(printed[0], std::make_pair(1, 80));
  EXPECT_EQ(printed[2], std::make_pair(3, 120));  // a changed width holds for the row
  EXPECT_EQ(printed[3], std::make_pair(1, 80));   // and the next row starts from the design
}

TEST_F(CrossTabs, ColumnSumsAndAveragesInAFooterAndPlainTotalsBesideThem) {
  RowsDataset months = Months();
  RowsDataset products = Products();
  TfrReport report;
  PageBuilder b(report.Template);
  CrossBand(b, btCrossData, "Columns", 120, 100).FormatText = "Months";
  b.Band(btMasterData, "Rows", 100, 20).FormatText = "Products";
  b.Memo("Cell", 120, 100, 90, 18, {"[Products.Qty * Months.Factor]"});
  b.Band(btMasterFooter, "Foot", 140, 20);
  b.Memo("Plain", 20, 140, 90, 18, {"[SUM(Products.Qty)]"});
  b.Memo("ColumnSum", 120, 140, 90, 18,
         {"[SUM(Products.Qty * Months.Factor)]/[AVG(Products.Qty * Months.Factor)]"});
  ASSERT_TRUE(report.Prepare());
  EXPECT_EQ(TextsOf(Named(report, 0, "Cell")), (StringList{"2", "20", "200", "3", "30", "300"}));
  // The footer has as many columns as the widest row.
  EXPECT_EQ(TextsOf(Named(report, 0, "ColumnSum")), (StringList{"5/2.5", "50/25", "500/250"}));
  EXPECT_EQ(TextsOf(Named(report, 0, "Plain")), (StringList{"5"}));
}

TEST_F(CrossTabs, ColumnSumsStartAgainAfterEachGroupFooter) {
  RowsDataset months = Months(2);
  RowsDataset items("Items", {"Cat", "Qty"}, {{"A", 1}, {"A", 2}, {"B", 5}});
  TfrReport report;
  PageBuilder b(report.Template);
  CrossBand(b, btCrossData, "Columns", 120, 100).FormatText = "Months";
  b.Band(btGroupHeader, "Group", 60, 20).FormatText = "Items.Cat";
  b.Band(btMasterData, "Rows", 100, 20).FormatText = "Items";
  b.Memo("Cell", 120, 100, 90, 18, {"[Items.Qty * Months.Factor]"});
  b.Band(btGroupFooter, "GroupFoot", 140, 20);
  b.Memo("Sum", 120, 140, 90, 18, {"[SUM(Items.Qty * Months.Factor)]"});
  ASSERT_TRUE(report.Prepare());
  EXPECT_EQ(TextsOf(Named(report, 0, "Sum")), (StringList{"3", "30", "5", "50"}));
}

// Where a totals row meets the cross footer, the cell totals every cell of
// the rows since that row's band was last shown: a group footer's corner its
// group, the master footer's corner all rows. Each aggregate kind combines
// rows as it combines cells.
TEST_F(CrossTabs, TheCornerOfATotalsRowTotalsItsRows) {
  struct Case {
    const char* call;
    StringList rowCells;     // the cross footer cell of each data row
    StringList groupCorner;  // of each group footer
    StringList grandCorner;  // of the master footer
  };
  // Rows A 1, A 2, B 5 over the factors 1 and 10.
  const Case cases[] = {
      {"SUM", {"11", "22", "55"}, {"33", "55"}, {"88"}},
      {"COUNT", {"2", "2", "2"}, {"4", "2"}, {"6"}},
      {"MIN", {"1", "2", "5"}, {"1", "5"}, {"1"}},
      {"MAX", {"10", "20", "50"}, {"20", "50"}, {"50"}},
      {"AVG", {"5.5", "11", "27.5"}, {"8.25", "27.5"}, {"14.6666666666667"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.call);
    RowsDataset months = Months(2);
    RowsDataset items("Items", {"Cat", "Qty"}, {{"A", 1}, {"A", 2}, {"B", 5}});
    const std::string call = std::string(c.call) == "COUNT"
                                 ? "[COUNT(Columns)]"
                                 : "[" + std::string(c.call) + "(Items.Qty * Months.Factor)]";
    TfrReport report;
    PageBuilder b(report.Template);
    CrossBand(b, btCrossData, "Columns", 120, 100).FormatText = "Months";
    CrossBand(b, btCrossFooter, "Totals", 220, 100);
    b.Band(btGroupHeader, "Group", 60, 20).FormatText = "Items.Cat";
    b.Band(btMasterData, "Rows", 100, 20).FormatText = "Items";
    b.Memo("Cell", 120, 100, 90, 18, {"[Items.Qty * Months.Factor]"});
    b.Memo("RowTotal", 220, 100, 90, 18, {call});
    b.Band(btGroupFooter, "GroupFoot", 140, 20);
    b.Memo("GroupCorner", 220, 140, 90, 18, {call});
    b.Band(btMasterFooter, "Foot", 180, 20);
    b.Memo("GrandCorner", 220, 180, 90, 18, {call});
    ASSERT_TRUE(report.Prepare());
    EXPECT_EQ(TextsOf(Named(report, 0, "RowTotal")), c.rowCells);
    EXPECT_EQ(TextsOf(Named(report, 0, "GroupCorner")), c.groupCorner);
    EXPECT_EQ(TextsOf(Named(report, 0, "GrandCorner")), c.grandCorner);
  }
}

// Twelve columns of 100 after a header of 150 do not fit the 718 pixels
// between the margins: five on the first page, the rest on pages to the
// side. The page header's month titles spill the same way; every row comes
// back to the page it started on.
TEST_F(CrossTabs, ColumnsThatDoNotFitContinueOnPagesToTheSide) {
  for (bool repeat : {true, false}) {
    SCOPED_TRACE(repeat);
    RowsDataset months = Months(12);
    TfrReport report;
    PageBuilder b(report.Template);
    b.Band(btPageHeader, "PageHead", 20, 40);
    b.Memo("Title", 20, 20, 300, 18, {"Sales [PAGE#]"});
    b.Memo("Month", 170, 40, 90, 18, {"[Months.Name]"});
    CrossBand(b, btCrossHeader, "Names", 20, 150, repeat ? flBandRepeatHeader : 0);
    CrossBand(b, btCrossData, "Columns", 170, 100).FormatText = "Months";
    b.Band(btMasterData, "Rows", 100, 20).FormatText = "2";
    b.Memo("Name", 20, 100, 140, 18, {"row"});
    b.Memo("Cell", 170, 100, 90, 18, {"[Months.Name]"});
    b.Band(btMasterFooter, "Foot", 140, 20);
    b.Memo("End", 20, 140, 300, 18, {"end"});
    ASSERT_TRUE(report.Prepare());
    ASSERT_EQ(report.PreparedPages.Count(), repeat ? 3 : 2);

    const auto first = Named(report, 0, "Cell");
    EXPECT_EQ(TextsOf(first),
              (StringList{"Jan", "Feb", "Mar", "Apr", "May", "Jan", "Feb", "Mar", "Apr", "May"}));
    EXPECT_EQ(LeftsOf(first)[4], 570);
    EXPECT_EQ(TextsOf(Named(report, 0, "Month")), (StringList{"Jan", "Feb", "Mar", "Apr", "May"}));
    const auto second = Named(report, 1, "Cell");
    ASSERT_FALSE(second.empty());
    EXPECT_EQ(second[0].Text.at(0), "Jun");
    EXPECT_EQ(second[0].Left, repeat ? 170 : 20);  // after the repeated header, or at the margin
    EXPECT_EQ(second[0].Top, first[0].Top);
    if (repeat) {
      EXPECT_EQ(TextsOf(second),
                (StringList{"Jun", "Jul", "Aug", "Sep", "Oct", "Jun", "Jul", "Aug", "Sep", "Oct"}));
      EXPECT_EQ(second[5].Top, first[5].Top);
      EXPECT_EQ(TextsOf(Named(report, 2, "Cell")), (StringList{"Nov", "Dec", "Nov", "Dec"}));
      EXPECT_EQ(TextsOf(Named(report, 2, "Month")), (StringList{"Nov", "Dec"}));
      EXPECT_EQ(TextsOf(Named(report, 2, "Title")), (StringList{"Sales 3"}));
    } else {
      EXPECT_EQ(second.size(), 14u);  // seven columns from the margin
      EXPECT_EQ(TextsOf(Named(report, 1, "Month")).back(), "Dec");
    }
    // The cross header again where it repeats; the page header on every page.
    EXPECT_EQ(Named(report, 1, "Name").size(), repeat ? 2u : 0u);
    EXPECT_EQ(TextsOf(Named(report, 1, "Title")), (StringList{"Sales 2"}));
    EXPECT_EQ(Named(report, 1, "Month").front().Top, Named(report, 0, "Month").front().Top);
    // Bands without cross objects stay on the page the rows started on.
    EXPECT_EQ(Named(report, 0, "End").size(), 1u);
    EXPECT_TRUE(Named(report, 1, "End").empty());
  }
}

TEST_F(CrossTabs, TheCountingPassFindsTheSidePagesButWritesNothingTwice) {
  RowsDataset months = Months(12);
  TfrReport report;
  report.Template.TwoPass = true;
  PageBuilder b(report.Template);
  b.Band(btPageHeader, "PageHead", 20, 20);
  b.Memo("Title", 20, 20, 200, 18, {"[PAGE#] of [TOTALPAGES]"});
  CrossBand(b, btCrossData, "Columns", 170, 100).FormatText = "Months";
  b.Band(btMasterData, "Rows", 100, 20).FormatText = "1";
  b.Memo("Cell", 170, 100, 90, 18, {"[Months.Name]"});
  ASSERT_TRUE(report.Prepare());
  ASSERT_EQ(report.PreparedPages.Count(), 2);
  EXPECT_EQ(TextsOf(Named(report, 0, "Title")), (StringList{"1 of 2"}));
  EXPECT_EQ(TextsOf(Named(report, 1, "Title")), (StringList{"2 of 2"}));
  EXPECT_EQ(Named(report, 0, "Cell").size(), 5u);
  EXPECT_EQ(Named(report, 1, "Cell").size(), 7u);
}

// A stretched band is as high as its tallest column needs.
TEST_F(CrossTabs, AStretchedBandMeasuresEveryColumn) {
  RowsDataset months("Months", {"Note"}, {{"short"}, {"a note long enough to take several lines"}});
  TfrReport report;
  PageBuilder b(report.Template);
  CrossBand(b, btCrossData, "Columns", 120, 100).FormatText = "Months";
  b.Band(btMasterData, "Rows", 100, 20, flStretched).FormatText = "2";
  b.Memo("Cell", 120, 100, 90, 18, {"[Months.Note]"}).Flags |= flStretched;
  ASSERT_TRUE(report.Prepare());
  const auto cells = Named(report, 0, "Cell");
  ASSERT_EQ(cells.size(), 4u);
  // Each column is written with its own text, not the last one measured.
  EXPECT_EQ(cells[0].Text, (StringList{"short"}));
  EXPECT_EQ(cells[2].Text, (StringList{"short"}));
  EXPECT_EQ(cells[1].Text, (StringList{"a note long enough to take several lines"}));
  EXPECT_GT(cells[2].Top - cells[0].Top, 40);
  // Stretched cells grow to the row's height, in every column.
  EXPECT_EQ(cells[0].Height, cells[1].Height);
  EXPECT_EQ(cells[2].Top - cells[0].Top, cells[0].Height);
}

TEST_F(CrossTabs, TheCrossDataSourceGivesNamedBandsTheirOwnColumns) {
  RowsDataset months = Months();
  TfrReport report;
  PageBuilder b(report.Template);
  CrossBand(b, btCrossData, "Columns", 120, 100).FormatText = " rows = 2 ; Head=Months;";
  b.Band(btMasterHeader, "Head", 60, 20);
  b.Memo("Title", 120, 60, 90, 18, {"[Months.Name]"});
  b.Band(btMasterData, "Rows", 100, 20).FormatText = "1";
  b.Memo("Cell", 120, 100, 90, 18, {"[COLUMN#]"});
  b.Band(btMasterFooter, "Foot", 140, 20);
  b.Memo("Sum", 120, 140, 90, 18, {"f[COLUMN#]"});
  ASSERT_TRUE(report.Prepare());
  EXPECT_EQ(TextsOf(Named(report, 0, "Title")), (StringList{"Jan", "Feb", "Mar"}));
  EXPECT_EQ(TextsOf(Named(report, 0, "Cell")), (StringList{"1", "2"}));
  // A master footer after its data takes as many columns as the widest row.
  EXPECT_EQ(TextsOf(Named(report, 0, "Sum")), (StringList{"f1", "f2", "f3"}));
}

// ---- Bounds and failures -------------------------------------------------

TEST_F(CrossTabs, AnErrorInAColumnStopsTheRunWithACalculationError) {
  RowsDataset months = Months();
  TfrReport report;
  int printed = 0;
  report.Events.OnPrintColumn = [&](int, int&) { ++printed; };
  PageBuilder b(report.Template);
  CrossBand(b, btCrossData, "Columns", 120, 100).FormatText = "Months";
  b.Band(btMasterData, "Rows", 100, 20).FormatText = "50";
  b.Memo("Cell", 120, 100, 90, 18, {"[COPY('abc', Months.Name, 1)]"});
  EXPECT_FALSE(report.Prepare());
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].caption, "Error");
  EXPECT_NE(host.messages[0].text.find("'Jan' is not a valid integer value"), std::string::npos)
      << host.messages[0].text;
  EXPECT_EQ(printed, 1);  // neither the next column nor the next record
}

TEST_F(CrossTabs, AColumnDataSetWithoutEndIsCutOffLoudly) {
  RowsDataset endless("Endless", {"X"}, {{1}});
  endless.VisibleRows = [] { return INT_MAX; };
  TfrReport report;
  PageBuilder b(report.Template);
  CrossBand(b, btCrossData, "Columns", 120, 5).FormatText = "Endless";
  b.Band(btMasterData, "Rows", 100, 20).FormatText = "1";
  b.Memo("Cell", 120, 100, 5, 18, {"x"});
  EXPECT_FALSE(report.Prepare());
  ASSERT_FALSE(host.messages.empty());
  EXPECT_NE(host.messages[0].text.find("more than 10000 cross-tab columns"), std::string::npos)
      << host.messages[0].text;
}

// A column wider than the page is written on a page of its own rather than
// sending the columns after it from page to page for ever.
TEST_F(CrossTabs, AColumnWiderThanThePageTakesOnePageEach) {
  RowsDataset months = Months();
  TfrReport report;
  PageBuilder b(report.Template);
  CrossBand(b, btCrossHeader, "Names", 20, 100);
  CrossBand(b, btCrossData, "Columns", 120, 900).FormatText = "Months";
  b.Band(btMasterData, "Rows", 100, 20).FormatText = "1";
  b.Memo("Name", 20, 100, 90, 18, {"row"});
  b.Memo("Cell", 120, 100, 90, 18, {"[Months.Name]"});
  ASSERT_TRUE(report.Prepare());
  ASSERT_EQ(report.PreparedPages.Count(), 4);
  EXPECT_EQ(Named(report, 0, "Name").size(), 1u);
  EXPECT_TRUE(Named(report, 0, "Cell").empty());
  for (int p = 1; p <= 3; ++p) EXPECT_EQ(LeftsOf(Named(report, p, "Cell")), (std::vector<int>{20}));
}

TEST_F(CrossTabs, ABandShownFromAColumnCannotStartAnotherCrossTab) {
  RowsDataset months = Months();
  TfrReport report;
  PageBuilder b(report.Template);
  TfrBandView& columns = CrossBand(b, btCrossData, "Columns", 120, 100);
  columns.FormatText = "Months";
  columns.ScriptLines = {"SHOWBAND(Other)"};
  b.Band(btMasterData, "Rows", 100, 20).FormatText = "1";
  b.Memo("Cell", 120, 100, 90, 18, {"[Months.Name]"});
  b.Band(btChild, "Other", 140, 20);
  b.Memo("OtherCell", 120, 140, 90, 18, {"[Months.Name]"});
  EXPECT_FALSE(report.Prepare());
  ASSERT_FALSE(host.messages.empty());
  EXPECT_NE(host.messages[0].text.find("while another band draws its own"), std::string::npos)
      << host.messages[0].text;
}

}  // namespace
}  // namespace quillet::test
