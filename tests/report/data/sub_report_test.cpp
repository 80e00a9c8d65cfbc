// Sub-reports: another template page formed inside a band — beside the
// band's other objects, side by side, continued across pages (also from a
// sub-report inside a sub-report), with groups and aggregates, and the
// limits that end a run with a calculation error.
#include "report/data/sub_reports.h"
#include "report/views/subreport_view.h"
#include "tests/report/data/data_support.h"
#include "tests/report/formation/formation_support.h"

namespace quillet::test {
namespace {

constexpr int kBottom = 1051;  // lowest position on the test pages

TfrSubReportView& SubReport(PageBuilder& b, const std::string& name, int left, int top,
                            int target) {
  auto v = std::make_unique<TfrSubReportView>();
  v->Name = name;
  v->SetGeometry(left, top, 200, 20);
  v->SubPageIndex = target;
  return static_cast<TfrSubReportView&>(*b.Page().AddObject(std::move(v)));
}

// A page whose master data band repeats `source` times, one row of 20
// pixels each with the text "<prefix> <LINE#>".
void RowsPage(TfrReport& report, const std::string& prefix, const std::string& source) {
  PageBuilder b(report.Template);
  b.Band(btMasterData, prefix + "Band", 100, 20).FormatText = source;
  b.Memo(prefix, kMargin, 100, 150, 16, {prefix + " [LINE#]"});
}

// Texts of the objects of that name on one prepared page, top to bottom.
StringList TextsOn(TfrReport& report, int page, const std::string& name) {
  StringList texts;
  for (const auto& o : PageObjects(report, page))
    if (o.Name == name) texts.push_back(o.Text.empty() ? std::string() : o.Text[0]);
  return texts;
}

StringList Numbered(const std::string& prefix, int from, int to) {
  StringList lines;
  for (int i = from; i <= to; ++i) lines.push_back(prefix + " " + std::to_string(i));
  return lines;
}

std::string Messages(const HeadlessHost& host) {
  std::string all;
  for (const auto& m : host.messages) all += m.text + "\n";
  return all;
}

class SubReports : public FormationTest {};

TEST_F(SubReports, FormedInsideItsBandBesideTheOtherObjects) {
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btReportTitle, "Title", 0, 40);
  b.Memo("Caption", kMargin, 2, 200, 16, {"Items"});
  SubReport(b, "Sub", 300, 10, 1);
  b.Band(btReportSummary, "Summary", 200, 20);
  b.Memo("After", kMargin, 200, 200, 16, {"after"});
  RowsPage(report, "Row", "3");
  ASSERT_TRUE(report.Prepare()) << Messages(host);
  ASSERT_EQ(report.PreparedPages.Count(), 1);  // the target page is not formed on its own

  const auto objects = PageObjects(report, 0);
  std::vector<std::string> names;
  for (const auto& o : objects) names.push_back(o.Name);
  EXPECT_EQ(names, (std::vector<std::string>{"Caption", "Row", "Row", "Row", "After"}));
  EXPECT_EQ(TextsOn(report, 0, "Row"), Numbered("Row", 1, 3));
  // The rows start at the sub-report's place in the band; x adds the
  // sub-report's x to the host's column offset (its left edge).
  EXPECT_EQ(objects[0].Top, kMargin + 2);
  EXPECT_EQ(objects[1].Top, kMargin + 10);
  EXPECT_EQ(objects[1].Left, 300 + kMargin);
  EXPECT_EQ(objects[3].Top, kMargin + 10 + 40);
  // The summary follows the lowest sub-report row.
  EXPECT_EQ(objects[4].Top, kMargin + 10 + 60);
}

TEST_F(SubReports, ShortSubReportKeepsItsBandsHeightReserved) {
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btReportTitle, "Title", 0, 120);
  SubReport(b, "Sub", 300, 0, 1);
  b.Band(btReportSummary, "Summary", 200, 20);
  b.Memo("After", kMargin, 200, 200, 16, {"after"});
  RowsPage(report, "Row", "1");
  ASSERT_TRUE(report.Prepare()) << Messages(host);
  const auto objects = PageObjects(report, 0);
  ASSERT_EQ(objects.size(), 2u);
  EXPECT_EQ(objects[1].Name, "After");
  EXPECT_EQ(objects[1].Top, kMargin + 120);
}

TEST_F(SubReports, TwoSubReportsSideBySideBothStartAtTheirBandsTop) {
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btReportTitle, "Title", 0, 30);
  SubReport(b, "Left", 0, 0, 1);
  SubReport(b, "Right", 400, 0, 2);
  b.Band(btReportSummary, "Summary", 200, 20);
  b.Memo("After", kMargin, 200, 200, 16, {"after"});
  RowsPage(report, "L", "3");
  RowsPage(report, "R", "5");
  ASSERT_TRUE(report.Prepare()) << Messages(host);
  ASSERT_EQ(report.PreparedPages.Count(), 1);
  EXPECT_EQ(TextsOn(report, 0, "L"), Numbered("L", 1, 3));
  EXPECT_EQ(TextsOn(report, 0, "R"), Numbered("R", 1, 5));
  const auto objects = PageObjects(report, 0);
  const PreparedObject* left = FindObject(objects, "L");
  const PreparedObject* right = FindObject(objects, "R");
  ASSERT_TRUE(left && right);
  EXPECT_EQ(left->Top, kMargin);
  EXPECT_EQ(right->Top, kMargin);
  EXPECT_EQ(right->Left - left->Left, 400);
  EXPECT_EQ(FindObject(objects, "After")->Top, kMargin + 5 * 20);
}

TEST_F(SubReports, ContinueOnTheNextPageBelowThePageHeader) {
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btPageHeader, "Header", 0, 30);
  b.Memo("Head", kMargin, 0, 200, 16, {"page [PAGE#]"});
  b.Band(btMasterData, "Host", 50, 20).FormatText = "1";
  SubReport(b, "Long", 0, 50, 1);
  SubReport(b, "Short", 400, 50, 2);
  b.Band(btReportSummary, "Summary", 200, 20);
  b.Memo("After", kMargin, 200, 200, 16, {"after"});
  RowsPage(report, "L", "60");
  RowsPage(report, "S", "4");
  ASSERT_TRUE(report.Prepare()) << Messages(host);
  ASSERT_EQ(report.PreparedPages.Count(), 2);

  // Rows from y 50 while a row of 20 still fits above the bottom.
  const int top = kMargin + 30;
  const int first = (kBottom - top) / 20;
  EXPECT_EQ(TextsOn(report, 0, "Head"), StringList{"page 1"});
  EXPECT_EQ(TextsOn(report, 0, "L"), Numbered("L", 1, first));
  EXPECT_EQ(TextsOn(report, 0, "S"), Numbered("S", 1, 4));
  EXPECT_TRUE(TextsOn(report, 0, "After").empty());

  EXPECT_EQ(TextsOn(report, 1, "Head"), StringList{"page 2"});
  EXPECT_EQ(TextsOn(report, 1, "L"), Numbered("L", first + 1, 60));
  EXPECT_TRUE(TextsOn(report, 1, "S").empty());
  const auto second = PageObjects(report, 1);
  EXPECT_EQ(FindObject(second, "L")->Top, top);  // right below the page header
  // The summary follows the rows on the page where they ended.
  EXPECT_EQ(FindObject(second, "After")->Top, top + (60 - first) * 20);
}

// A sub-report continued on the next page shows its column header again
// above the rows that go on when the header has RepeatHeader, and only then.
TEST_F(SubReports, AContinuedSubReportRepeatsItsColumnHeader) {
  for (const bool repeat : {false, true}) {
    SCOPED_TRACE(repeat);
    TfrReport report;
    PageBuilder b(report.Template);
    b.Band(btPageHeader, "Header", 0, 30);
    b.Memo("Head", kMargin, 0, 200, 16, {"page [PAGE#]"});
    b.Band(btMasterData, "Host", 50, 20).FormatText = "1";
    SubReport(b, "Long", 0, 50, 1);
    PageBuilder sub(report.Template);
    sub.Band(btMasterHeader, "Titles", 0, 20,
             flBandOnFirstPage | flBandOnLastPage | (repeat ? flBandRepeatHeader : 0));
    sub.Memo("Titles", kMargin, 2, 200, 16, {"titles"});
    sub.Band(btMasterData, "LBand", 100, 20).FormatText = "60";
    sub.Memo("L", kMargin, 100, 150, 16, {"L [LINE#]"});
    ASSERT_TRUE(report.Prepare()) << Messages(host);
    ASSERT_EQ(report.PreparedPages.Count(), 2);
    EXPECT_EQ(TextsOn(report, 0, "Titles"), StringList{"titles"});
    const auto second = PageObjects(report, 1);
    ASSERT_GE(second.size(), 3u);
    if (repeat) {
      EXPECT_EQ(TextsOn(report, 1, "Titles"), StringList{"titles"});
      // Right below the page header, with the rows below it.
      EXPECT_EQ(second[1].Name, "Titles");
      EXPECT_EQ(second[1].Top, kMargin + 30 + 2);
      EXPECT_EQ(second[2].Name, "L");
      EXPECT_EQ(second[2].Top, kMargin + 30 + 20);
    } else {
      EXPECT_TRUE(TextsOn(report, 1, "Titles").empty());
      EXPECT_EQ(second[1].Name, "L");
    }
    // No row is lost or shown twice.
    StringList rows = TextsOn(report, 0, "L");
    for (const std::string& r : TextsOn(report, 1, "L")) rows.push_back(r);
    EXPECT_EQ(rows, Numbered("L", 1, 60));
  }
}

TEST_F(SubReports, ASubReportInsideASubReportContinuesFromItsPendingBand) {
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btReportTitle, "Title", 0, 20);
  SubReport(b, "Outer", 0, 0, 1);
  PageBuilder outer(report.Template);
  outer.Band(btMasterData, "OuterBand", 100, 20).FormatText = "2";
  outer.Memo("O", kMargin, 100, 100, 16, {"O [LINE#]"});
  SubReport(outer, "Inner", 200, 100, 2);
  RowsPage(report, "I", "40");
  ASSERT_TRUE(report.Prepare()) << Messages(host);
  ASSERT_EQ(report.PreparedPages.Count(), 2);

  StringList outerTexts, innerTexts;
  for (int p = 0; p < 2; ++p) {
    for (const auto& t : TextsOn(report, p, "O")) outerTexts.push_back(t);
    for (const auto& t : TextsOn(report, p, "I")) innerTexts.push_back(t);
  }
  EXPECT_EQ(outerTexts, (StringList{"O 1", "O 2"}));
  // Each outer record shows its own forty inner rows, in order.
  StringList expected = Numbered("I", 1, 40);
  for (const auto& t : Numbered("I", 1, 40)) expected.push_back(t);
  EXPECT_EQ(innerTexts, expected);
  // The second outer record starts below the first one's last inner row,
  // and its inner rows go on on the next page.
  EXPECT_EQ(TextsOn(report, 0, "O"), (StringList{"O 1", "O 2"}));
  const auto first = PageObjects(report, 0);
  const PreparedObject* o2 = nullptr;
  for (const auto& o : first)
    if (o.Name == "O" && o.Text == StringList{"O 2"}) o2 = &o;
  ASSERT_TRUE(o2);
  int lowestInner = 0;
  for (const auto& o : first)
    if (o.Name == "I" && o.Top < o2->Top) lowestInner = std::max(lowestInner, o.Top);
  EXPECT_EQ(o2->Top, lowestInner + 20);
  EXPECT_EQ(PageObjects(report, 1).front().Top, kMargin);
}

TEST_F(SubReports, GroupsAndTheirFootersReplayWithTheirOwnRecords) {
  RowsDataset items("Items", {"Cat", "Item", "Price"},
                    {{"A", "pen", 1}, {"A", "ink", 3}, {"B", "pad", 10}, {"C", "cap", 4}});
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btReportTitle, "Title", 0, 20);
  SubReport(b, "Sub", 0, 0, 1);
  PageBuilder sub(report.Template);
  sub.Band(btGroupHeader, "Group", 0, 20).FormatText = "Items.Cat";
  sub.Memo("GroupText", kMargin, 2, 100, 16, {"[Items.Cat]"});
  sub.Band(btMasterData, "Data", 30, 20).FormatText = "Items";
  sub.Memo("Row", kMargin, 32, 200, 16, {"[Items.Item] [CURRENT#]"});
  sub.Band(btGroupFooter, "GroupFoot", 60, 20);
  sub.Memo("Last", kMargin, 62, 200, 16, {"last [Items.Item] sum [SUM([Items.Price])]"});
  ASSERT_TRUE(report.Prepare()) << Messages(host);
  EXPECT_EQ(TextsOn(report, 0, "GroupText"), (StringList{"A", "B", "C"}));
  EXPECT_EQ(TextsOn(report, 0, "Row"), (StringList{"pen 1", "ink 2", "pad 3", "cap 4"}));
  EXPECT_EQ(TextsOn(report, 0, "Last"),
            (StringList{"last ink sum 4", "last pad sum 10", "last cap sum 4"}));
}

TEST_F(SubReports, LimitsEndTheRunWithACalculationError) {
  {
    SCOPED_TRACE("more than 35 objects from the first sub-report on");
    TfrReport report;
    PageBuilder b(report.Template);
    b.Band(btReportTitle, "Title", 0, 40);
    for (int i = 0; i < 36; ++i) SubReport(b, "Sub" + std::to_string(i), 10 * i, 10, 1);
    RowsPage(report, "Row", "1");
    host.messages.clear();
    report.Prepare();
    EXPECT_TRUE(report.StopRequested);
    EXPECT_NE(Messages(host).find("Band Title holds 36 objects from its first sub-report on; "
                                  "at most 35 can be formed"),
              std::string::npos)
        << Messages(host);
  }
  {
    SCOPED_TRACE("35 objects are formed");
    TfrReport report;
    PageBuilder b(report.Template);
    b.Band(btReportTitle, "Title", 0, 40);
    for (int i = 0; i < 35; ++i) {
      // Each its own page: one page cannot be shown twice at once.
      SubReport(b, "Sub" + std::to_string(i), 10 * i, 10, i + 1);
    }
    for (int i = 0; i < 35; ++i) RowsPage(report, "Row", "1");
    host.messages.clear();
    ASSERT_TRUE(report.Prepare()) << Messages(host);
    EXPECT_EQ(TextsOn(report, 0, "Row").size(), 35u);
  }
}

TEST_F(SubReports, PagesThatShowEachOtherEndWithACalculationError) {
  // Page 0 shows page 1, page 1 shows page 2, page 2 shows page 1 again.
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btReportTitle, "Title", 0, 20);
  SubReport(b, "ToB", 0, 0, 1);
  PageBuilder pageB(report.Template);
  pageB.Band(btMasterData, "BData", 0, 20).FormatText = "1";
  SubReport(pageB, "ToC", 0, 0, 2);
  PageBuilder pageC(report.Template);
  pageC.Band(btMasterData, "CData", 0, 20).FormatText = "1";
  SubReport(pageC, "BackToB", 0, 0, 1);
  report.Prepare();
  EXPECT_TRUE(report.StopRequested);
  EXPECT_NE(Messages(host).find("Sub-report BackToB shows page Page2, which a sub-report is "
                                "forming already"),
            std::string::npos)
      << Messages(host);
}

TEST_F(SubReports, NestingIsBounded) {
  // Page i shows page i + 1 from a band of its own, each a page deeper.
  auto chain = [this](int pages) {
    auto report = std::make_unique<TfrReport>();
    for (int i = 0; i < pages; ++i) {
      PageBuilder b(report->Template);
      b.Band(btMasterData, "Data" + std::to_string(i), 0, 20).FormatText = "1";
      b.Memo("Level", kMargin, 0, 100, 16, {"level " + std::to_string(i)});
      if (i + 1 < pages) SubReport(b, "Sub" + std::to_string(i), 100, 0, i + 1);
    }
    host.messages.clear();
    report->Prepare();
    return report;
  };
  auto deepest = chain(kMaxSubReportDepth + 1);
  EXPECT_FALSE(deepest->StopRequested) << Messages(host);
  EXPECT_EQ(TextsOn(*deepest, 0, "Level").size(), std::size_t(kMaxSubReportDepth + 1));
  auto tooDeep = chain(kMaxSubReportDepth + 2);
  EXPECT_TRUE(tooDeep->StopRequested);
  EXPECT_NE(Messages(host).find("Sub-reports are nested more than 16 levels deep"),
            std::string::npos)
      << Messages(host);
}

TEST_F(SubReports, TheSamePageTwiceInOneBandIsRefused) {
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btReportTitle, "Title", 0, 20);
  SubReport(b, "First", 0, 0, 1);
  SubReport(b, "Second", 300, 0, 1);
  RowsPage(report, "Row", "2");
  report.Prepare();
  EXPECT_NE(Messages(host).find("Sub-report Second shows page Page2"), std::string::npos)
      << Messages(host);
}

TEST_F(SubReports, ABandTallerThanAPageEndsWithAnErrorInsteadOfEndlessPages) {
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btReportTitle, "Title", 0, 20);
  SubReport(b, "Sub", 0, 0, 1);
  PageBuilder sub(report.Template);
  sub.Band(btMasterData, "Huge", 0, 2000).FormatText = "1";
  report.Prepare();
  EXPECT_TRUE(report.StopRequested);
  EXPECT_NE(Messages(host).find("Band Huge of sub-report page Page2 does not fit on a page"),
            std::string::npos)
      << Messages(host);
  EXPECT_LE(report.PreparedPages.Count(), 2);
}

TEST_F(SubReports, ASubReportNamingNoPageIsAnError) {
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btReportTitle, "Title", 0, 20);
  SubReport(b, "Lost", 0, 0, 7);
  report.Prepare();
  EXPECT_NE(Messages(host).find("Sub-report Lost shows page index 7, which is no report page"),
            std::string::npos)
      << Messages(host);
}

}  // namespace
}  // namespace quillet::test
