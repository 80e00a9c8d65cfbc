// Footers that keep together with their last record, and headers repeated
// on the pages their data continues on: which objects a page break leaves
// on each page.
#include "tests/report/data/data_support.h"
#include "tests/report/formation/formation_support.h"

namespace quillet::test {
namespace {

constexpr std::uint16_t kPlain = flBandOnFirstPage | flBandOnLastPage;
constexpr std::uint16_t kRepeat = kPlain | flBandRepeatHeader;
constexpr std::uint16_t kKeep = kPlain | flBandKeepTogether;

using Names = std::vector<std::string>;

Names Head(const Names& names, std::size_t n) {
  return Names(names.begin(),
               names.begin() + static_cast<std::ptrdiff_t>(std::min(n, names.size())));
}
Names Tail(const Names& names, std::size_t n) {
  return Names(names.end() - static_cast<std::ptrdiff_t>(std::min(n, names.size())), names.end());
}

class KeepTogether : public FormationTest {};

// Groups of rows 100 pixels high between a 20-pixel header and a 50-pixel
// footer; the page holds y 20 to 1051.
struct GroupCase {
  const char* what;
  int firstGroupRows;  // the rows of group "a"; groups "b" and "c" have one
  std::uint16_t headerFlags;
  std::uint16_t footerFlags;
  Names page1End;    // the last objects of page 1
  Names page2Start;  // the first objects of page 2
};

class GroupFooters : public KeepTogether, public ::testing::WithParamInterface<GroupCase> {};

TEST_P(GroupFooters, BreakWhereTheCaseSays) {
  const GroupCase& c = GetParam();
  std::vector<RowsDataset::Row> rows;
  for (int i = 1; i <= c.firstGroupRows; ++i) rows.push_back({"a", i});
  rows.push_back({"b", 101});
  rows.push_back({"c", 102});
  RowsDataset data("Rows", {"G", "V"}, rows);
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btGroupHeader, "Group", 0, 20, c.headerFlags).FormatText = "Rows.G";
  b.Memo("GText", 0, 2, 100, 16, {"[Rows.G]"});
  b.Band(btMasterData, "Data", 30, 100).FormatText = "Rows";
  b.Memo("Row", 0, 32, 100, 16, {"[Rows.V]"});
  b.Band(btGroupFooter, "Foot", 140, 50, c.footerFlags);
  b.Memo("FootText", 0, 142, 100, 16, {"end [Rows.G] [SUM([Rows.V])]"});
  ASSERT_TRUE(report.Prepare());
  ASSERT_GE(report.PreparedPages.Count(), 2);
  EXPECT_EQ(Tail(PageNames(report, 0), c.page1End.size()), c.page1End);
  EXPECT_EQ(Head(PageNames(report, 1), c.page2Start.size()), c.page2Start);
  // Moving a record never counts it twice nor loses it.
  StringList sums = Texts(report, "FootText");
  ASSERT_EQ(sums.size(), 3u);
  EXPECT_EQ(sums[0], "end a " + std::to_string(c.firstGroupRows * (c.firstGroupRows + 1) / 2));
  EXPECT_EQ(sums[1], "end b 101");
}

// Ten rows end at y 1040: the footer of group "a" does not fit below them.
// Eight rows and their footer end at y 890: group "b" (header and its one
// row) fits below, its footer does not.
INSTANTIATE_TEST_SUITE_P(
    Layouts, GroupFooters,
    ::testing::Values(
        GroupCase{
            "FooterAloneWithoutTheOption", 10, kPlain, kPlain, {"Row"}, {"FootText", "GText"}},
        GroupCase{"LastRecordGoesAlong", 10, kPlain, kKeep, {"Row"}, {"Row", "FootText", "GText"}},
        GroupCase{"RepeatedHeaderAboveTheMovedRecord",
                  10,
                  kRepeat,
                  kKeep,
                  {"Row"},
                  {"GText", "Row", "FootText", "GText"}},
        GroupCase{"RepeatedHeaderAboveALoneFooter",
                  10,
                  kRepeat,
                  kPlain,
                  {"Row"},
                  {"GText", "FootText", "GText"}},
        GroupCase{"OneRowGroupStaysWhole",
                  8,
                  kPlain,
                  kPlain,
                  {"FootText", "GText", "Row"},
                  {"FootText", "GText"}},
        GroupCase{"OneRowGroupMovesWithItsHeader",
                  8,
                  kRepeat,
                  kKeep,
                  {"Row", "FootText"},
                  {"GText", "Row", "FootText", "GText"}}),
    [](const auto& info) { return std::string(info.param.what); });

// The data band's own footer at the end of the data, with and without the
// option; the report summary that follows does not keep together.
TEST_F(KeepTogether, AMasterFooterTakesTheLastRecordAlong) {
  for (const std::uint16_t flags : {kPlain, kKeep}) {
    SCOPED_TRACE(flags);
    std::vector<RowsDataset::Row> rows;
    for (int i = 1; i <= 10; ++i) rows.push_back({i});
    RowsDataset data("Rows", {"V"}, rows);
    TfrReport report;
    PageBuilder b(report.Template);
    b.Band(btMasterData, "Data", 0, 100).FormatText = "Rows";  // ten rows to y 1020
    b.Memo("Row", 0, 2, 100, 16, {"[Rows.V]"});
    b.Band(btMasterFooter, "End", 110, 50, flags);
    b.Memo("EndText", 0, 112, 100, 16, {"[COUNT(Data)] rows"});
    ASSERT_TRUE(report.Prepare());
    ASSERT_EQ(report.PreparedPages.Count(), 2);
    if (flags == kKeep) {
      EXPECT_EQ(PageNames(report, 1), (Names{"Row", "EndText"}));
      EXPECT_EQ(Texts(report, "Row").back(), "10");
    } else {
      EXPECT_EQ(PageNames(report, 1), (Names{"EndText"}));
    }
    EXPECT_EQ(Texts(report, "EndText"), (StringList{"10 rows"}));
  }
}

// A footer higher than the room a fresh page leaves below the record is
// shown where it falls: keeping together never breaks at a fresh top.
TEST_F(KeepTogether, ARecordAtAFreshTopStays) {
  RowsDataset data("Rows", {"V"}, {{1}});
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btMasterData, "Data", 0, 1000).FormatText = "Rows";
  b.Memo("Row", 0, 2, 100, 16, {"[Rows.V]"});
  b.Band(btMasterFooter, "End", 1010, 40, kKeep);
  b.Memo("EndText", 0, 1012, 100, 16, {"end"});
  ASSERT_TRUE(report.Prepare());
  ASSERT_EQ(report.PreparedPages.Count(), 2);
  EXPECT_EQ(PageNames(report, 0), (Names{"Row"}));
  EXPECT_EQ(PageNames(report, 1), (Names{"EndText"}));
}

// A master record with RepeatHeader is shown again above the detail rows it
// continues on the next page, after the repeated groups it belongs to and
// before the detail header; its totals count it once.
TEST_F(KeepTogether, AMasterRecordRepeatsAboveItsContinuingDetails) {
  for (const std::uint16_t flags : {kPlain, kRepeat}) {
    SCOPED_TRACE(flags);
    RowsDataset masters("Masters", {"Name"}, {{"one"}, {"two"}});
    RowsDataset details("Details", {"Line"},
                        {{1}, {2}, {3}, {4}, {5}, {6}, {7}, {8}, {9}, {10}, {11}, {12}});
    details.VisibleRows = [&] { return masters.Dataset().RecordNumber == 0 ? 12 : 2; };
    TfrReport report;
    PageBuilder b(report.Template);
    b.Band(btMasterData, "Master", 0, 30, flags).FormatText = "Masters";
    b.Memo("MText", 0, 2, 100, 16, {"Order [Masters.Name]"});
    b.Band(btDetailHeader, "Titles", 40, 20, kRepeat);
    b.Memo("Titles", 0, 42, 100, 16, {"titles"});
    b.Band(btDetailData, "Detail", 70, 100).FormatText = "Details";  // 9 rows on page 1
    b.Memo("DText", 0, 72, 100, 16, {"[Details.Line]"});
    b.Band(btReportSummary, "Summary", 180, 20);
    b.Memo("Count", 0, 182, 100, 16, {"[COUNT(Master)] orders"});
    ASSERT_TRUE(report.Prepare());
    ASSERT_GE(report.PreparedPages.Count(), 2);
    const Names page2 = Head(PageNames(report, 1), 3);
    if (flags == kRepeat) {
      EXPECT_EQ(page2, (Names{"MText", "Titles", "DText"}));
      EXPECT_EQ(Texts(report, "MText"), (StringList{"Order one", "Order one", "Order two"}));
    } else {
      EXPECT_EQ(page2, (Names{"Titles", "DText", "DText"}));
      EXPECT_EQ(Texts(report, "MText"), (StringList{"Order one", "Order two"}));
    }
    EXPECT_EQ(Texts(report, "Count"), (StringList{"2 orders"}));
  }
}

}  // namespace
}  // namespace quillet::test
