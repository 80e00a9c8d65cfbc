// The outline the group headers leave beside the prepared pages: one entry
// per group, with the header's text, page, position and depth; repeated
// headers and a second pass add none; Clear and Swap take it along.
#include "report/prepared/page_outline.h"
#include "tests/report/data/data_support.h"
#include "tests/report/formation/formation_support.h"

namespace quillet::test {
namespace {

RowsDataset Items() {
  return RowsDataset("Items", {"Cat", "Item"},
                     {{"A", "pen"}, {"A", "ink"}, {"B", "pad"}, {"C", "cap"}, {"C", "box"}});
}

class GroupOutline : public FormationTest {};

struct Expected {
  std::string text;
  int page, level;
};

std::vector<Expected> Entries(const TfrEMFPages& pages) {
  std::vector<Expected> out;
  for (const PageOutlineEntry& e : pages.Outline) out.push_back({e.Text, e.PageIndex, e.Level});
  return out;
}

bool operator==(const Expected& a, const Expected& b) {
  return a.text == b.text && a.page == b.page && a.level == b.level;
}

void PrintTo(const Expected& e, std::ostream* os) {
  *os << "{" << e.text << ", page " << e.page << ", level " << e.level << "}";
}

// Categories (a memo on a repeated header) over items (no memo: the
// condition's value shows); records 480 pixels high, two to a page.
void BuildNestedGroups(TfrReport& report) {
  report.Template.TwoPass = true;
  PageBuilder b(report.Template);
  b.Band(btGroupHeader, "Category", 0, 30, flBandOnFirstPage | flBandRepeatHeader).FormatText =
      "Items.Cat";
  b.Memo("Caption", 10, 4, 300, 20, {"Category  [Items.Cat]", "(continued)"});
  b.Memo("Later", 0, 4, 5, 20, {"not this one"}).Left = 400;
  b.Band(btGroupHeader, "Item", 40, 20).FormatText = "Items.Item";
  b.Band(btMasterData, "Data", 70, 480).FormatText = "Items";
  b.Memo("Row", 0, 72, 200, 16, {"[Items.Item]"});
}

TEST_F(GroupOutline, EachGroupOnceWithItsTextPageAndDepth) {
  RowsDataset items = Items();
  TfrReport report;
  BuildNestedGroups(report);
  ASSERT_TRUE(report.Prepare());
  ASSERT_EQ(report.PreparedPages.Count(), 3);
  // Two passes, repeated category headers on pages 2 and 3: still one
  // entry per group, in the order shown.
  EXPECT_EQ(Entries(report.PreparedPages), (std::vector<Expected>{{"Category A (continued)", 0, 0},
                                                                  {"pen", 0, 1},
                                                                  {"ink", 0, 1},
                                                                  {"Category B (continued)", 1, 0},
                                                                  {"pad", 1, 1},
                                                                  {"Category C (continued)", 1, 0},
                                                                  {"cap", 1, 1},
                                                                  {"box", 2, 1}}));
  // Each entry stands where its header was drawn: category B at the top of
  // page 2, its caption 4 pixels below; "pen" right below category A.
  const PageOutline& outline = report.PreparedPages.Outline;
  EXPECT_EQ(outline[0].Top, kMargin);
  EXPECT_EQ(outline[1].Top, kMargin + 30);
  EXPECT_EQ(outline[3].Top + 4, PageObjects(report, 1).at(0).Top);
  EXPECT_EQ(PageObjects(report, 1).at(0).Name, "Caption");
}

TEST_F(GroupOutline, DetailGroupsNestBelowTheMasterGroupsAndBlankValuesShowSo) {
  RowsDataset items = Items();
  RowsDataset parts("Parts", {"Kind"}, {{"x"}, {""}});
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btGroupHeader, "Category", 0, 20).FormatText = "Items.Cat";
  b.Band(btMasterData, "Data", 30, 20).FormatText = "Items";
  auto& kind = b.Band(btGroupHeader, "Kind", 60, 20);
  kind.FormatText = "Parts.Kind";
  kind.Master = "Detail";
  b.Band(btDetailData, "Detail", 90, 20).FormatText = "Parts";
  ASSERT_TRUE(report.Prepare());
  const auto entries = Entries(report.PreparedPages);
  ASSERT_GE(entries.size(), 3u);
  EXPECT_EQ(entries[0], (Expected{"A", 0, 0}));
  EXPECT_EQ(entries[1], (Expected{"x", 0, 1}));
  EXPECT_EQ(entries[2], (Expected{"(blank)", 0, 1}));
}

TEST_F(GroupOutline, ClearEmptiesItAndSwapTakesItAlong) {
  RowsDataset items = Items();
  TfrReport report;
  BuildNestedGroups(report);
  ASSERT_TRUE(report.Prepare());
  const std::size_t n = report.PreparedPages.Outline.size();
  TfrEMFPages other{Engine()};
  other.Swap(report.PreparedPages);
  EXPECT_TRUE(report.PreparedPages.Outline.empty());
  EXPECT_EQ(other.Outline.size(), n);
  other.Clear();
  EXPECT_TRUE(other.Outline.empty());
}

}  // namespace
}  // namespace quillet::test
