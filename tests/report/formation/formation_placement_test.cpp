// Where page set-up puts the objects and how it links the bands: objects of
// a cross band's strip outside every horizontal band, alignment in the
// no-band band, headers and footers with their data bands, group pairs,
// and child bands (across kinds, in cycles, in long chains).
#include <chrono>

#include "platform/errors.h"
#include "report/data/data_levels.h"
#include "report/formation/band.h"
#include "report/formation/page_formation.h"
#include "report/formation/run_context.h"
#include "tests/report/formation/formation_support.h"

namespace quillet::test {
namespace {

class FormationPlacement : public FormationTest {};

// The run the pages are set up in, with the data layer a report hands down.
RunContext& TestRun() {
  static DataLevelFormation data(Prep());
  static RunContext run(Engine(), data);
  return run;
}

// Sets the first page up as preparing does (bands made, objects placed).
std::unique_ptr<PageFormation> SetUpFirstPage(TfrReport& report) {
  auto formation = std::make_unique<PageFormation>(*report.Template.Pages[0], report, TestRun());
  Prep().ActiveReport = &report;
  formation->SetUpPage();
  return formation;
}

TEST_F(FormationPlacement, AnObjectInACrossStripButInNoBandIsWrittenAtItsPlace) {
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btReportTitle, "Title", 0, 40);
  auto& cross = b.Band(btCrossData, "Cross", 0, 1000);
  cross.SetGeometry(400, 0, 200, 1000);
  b.Memo("InTitle", 450, 10, 100, 20, {"in the title"});
  b.Memo("InStripOnly", 450, 500, 100, 20, {"no band"});
  ASSERT_TRUE(report.Prepare());
  const auto page = PageObjects(report, 0);
  const PreparedObject* lost = FindObject(page, "InStripOnly");
  ASSERT_NE(lost, nullptr);
  EXPECT_EQ(lost->Left, 450);
  EXPECT_EQ(lost->Top, 500);
}

TEST_F(FormationPlacement, ACrossStripObjectInNoBandBelongsToTheNoBandBand) {
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btCrossData, "Cross", 0, 1000).SetGeometry(400, 0, 200, 1000);
  auto& free = b.Memo("Free", 450, 500, 100, 20, {"x"});
  auto formation = SetUpFirstPage(report);
  PageFormation& f = *formation;
  TfrBand* none = f.Chain(kNoBandKind);
  EXPECT_EQ(free.FormationBand, none);
  EXPECT_EQ(free.Left, 450);
  EXPECT_TRUE(f.Chain(btCrossData)->Views.empty());
}

TEST_F(FormationPlacement, ObjectsInNoBandAlignAgainstTheNoBandBand) {
  TfrReport report;
  PageBuilder b(report.Template);
  b.Shape("Plain", 100, 300, 50, 40);
  b.Shape("Top", 200, 300, 50, 40).BandAlign = baTop;
  b.Shape("Bottom", 300, 300, 50, 40).BandAlign = baBottom;
  b.Memo("MemoTop", 400, 300, 50, 40, {"m"}).BandAlign = baTop;
  ASSERT_TRUE(report.Prepare());
  const auto page = PageObjects(report, 0);
  EXPECT_EQ(FindObject(page, "Plain")->Top, 300);
  // The no-band band starts at the page top (0) and has no height.
  EXPECT_EQ(FindObject(page, "Top")->Top, 0);
  EXPECT_EQ(FindObject(page, "Bottom")->Top, -40);
  EXPECT_EQ(FindObject(page, "MemoTop")->Top, 0);
}

TEST_F(FormationPlacement, HeadersAndFootersJoinTheirDataBandsAndGroupsPairInsideOut) {
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btMasterHeader, "Header1", 0, 20);
  b.Band(btMasterData, "Data1", 30, 20);
  b.Band(btMasterFooter, "Footer1", 60, 20);
  b.Band(btMasterHeader, "Header2", 100, 20);
  b.Band(btMasterData, "Data2", 130, 20);
  b.Band(btMasterFooter, "Footer2", 160, 20);
  // A header that touches its data band (bottom = data top) does not own it.
  b.Band(btDetailHeader, "Touching", 200, 30);
  b.Band(btDetailData, "Detail", 230, 20);
  b.Band(btGroupHeader, "Outer", 300, 10);
  b.Band(btGroupHeader, "Inner", 320, 10);
  b.Band(btGroupFooter, "InnerEnd", 340, 10);
  b.Band(btGroupFooter, "OuterEnd", 360, 10);
  auto formation = SetUpFirstPage(report);
  PageFormation& f = *formation;
  TfrBand* data1 = f.Chain(btMasterData);
  TfrBand* data2 = data1->Next;
  ASSERT_NE(data2, nullptr);
  EXPECT_EQ(data1->Name, "Data1");
  EXPECT_EQ(data1->Header->Name, "Header1");
  EXPECT_EQ(data2->Header->Name, "Header2");
  EXPECT_EQ(data1->Footer->Name, "Footer1");
  EXPECT_EQ(data2->Footer->Name, "Footer2");
  EXPECT_EQ(f.Chain(btMasterFooter)->OwnerDataBand, data1);
  EXPECT_EQ(f.Chain(btDetailHeader)->OwnerDataBand, nullptr);
  EXPECT_EQ(f.Chain(btDetailData)->Header, nullptr);
  TfrBand* outer = f.Chain(btGroupHeader);
  EXPECT_EQ(outer->Name, "Outer");
  EXPECT_EQ(outer->Footer->Name, "OuterEnd");
  EXPECT_EQ(outer->Next->Footer->Name, "InnerEnd");
  // Both group headers join the master-data band, in chain order.
  EXPECT_EQ(data1->FirstGroupHeader, outer);
  EXPECT_EQ(data1->LastGroupHeader, outer->Next);
}

TEST_F(FormationPlacement, ChildBandsAreNamedAcrossKinds) {
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btReportTitle, "Title", 0, 30).ChildBand = "HeaderChild";
  b.Memo("TitleText", 20, 5, 100, 20, {"title"});
  // The child may be any band: here a page header's band object, named in
  // another letter case.
  b.Band(btChild, "headerCHILD", 100, 30);
  b.Memo("ChildText", 20, 105, 100, 20, {"child"});
  b.Band(btReportSummary, "Summary", 200, 30).ChildBand = "Title";
  b.Memo("SummaryText", 20, 205, 100, 20, {"summary"});
  b.Band(btPageFooter, "Footer", 900, 30).ChildBand = "NoSuchBand";
  auto formation = SetUpFirstPage(report);
  PageFormation& f = *formation;
  EXPECT_EQ(f.Chain(btReportTitle)->Child, f.Chain(btChild));
  EXPECT_EQ(f.Chain(btReportSummary)->Child, f.Chain(btReportTitle));
  EXPECT_EQ(f.Chain(btPageFooter)->Child, nullptr);
}

TEST_F(FormationPlacement, ChildBandCyclesAreRefusedByName) {
  struct Case {
    const char* name;
    std::vector<std::pair<const char*, const char*>> links;  // band, its child
    const char* message;
  };
  const Case cases[] = {
      {"itself", {{"Loop", "Loop"}}, "Band Loop names itself as its child band"},
      {"two", {{"A", "B"}, {"B", "A"}}, "Child bands form a cycle through band A"},
      {"into a cycle",
       {{"Start", "A"}, {"A", "B"}, {"B", "A"}},
       "Child bands form a cycle through band A"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Prep() = PreparationState{};
    host.messages.clear();
    TfrReport report;
    report.ShowProgress = false;
    PageBuilder b(report.Template);
    int top = 0;
    for (const auto& [band, child] : c.links) {
      b.Band(std::string(band) == "Start" ? btReportTitle : btChild, band, top, 20).ChildBand =
          child;
      top += 40;
    }
    report.Prepare();
    EXPECT_EQ(report.PreparedPages.Count(), 0);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].text.find(c.message), std::string::npos) << host.messages[0].text;
  }
}

// Band objects named Child1 .. Child<n>, each the child of the one before,
// under a title; each child holds one memo.
void BuildChildChain(TfrReport& report, int n, int height) {
  PageBuilder b(report.Template);
  b.Band(btReportTitle, "Title", 0, height).ChildBand = "Child1";
  for (int i = 1; i <= n; ++i) {
    const int top = 2 * height * i;
    b.Band(btChild, "Child" + std::to_string(i), top, height).ChildBand =
        i < n ? "Child" + std::to_string(i + 1) : "";
    b.Memo("Text" + std::to_string(i), 20, top, 50, height, {"x"});
  }
}

TEST_F(FormationPlacement, ALongChildChainIsShownInOrderWithoutNesting) {
  TfrReport report;
  report.ShowProgress = false;
  BuildChildChain(report, 10'000, 1);
  std::vector<std::string> begun, ended;
  // Page breaks show the (absent) overlay and headers too: only named bands count.
  report.Events.OnBeginBand = [&](TfrBand& band) {
    if (!band.Name.empty()) begun.push_back(band.Name);
  };
  report.Events.OnEndBand = [&](TfrBand& band) {
    if (!band.Name.empty()) ended.push_back(band.Name);
  };
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(report.Prepare());
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  ASSERT_EQ(begun.size(), 10'001u);
  EXPECT_EQ(begun[1], "Child1");
  EXPECT_EQ(begun.back(), "Child10000");
  // Each band ends after its children, innermost first.
  EXPECT_EQ(ended.front(), "Child10000");
  EXPECT_EQ(ended.back(), "Title");
  // The first page holds the title and the children that fit below it.
  const auto first = PageObjects(report, 0);
  ASSERT_GE(first.size(), 2u);
  EXPECT_EQ(first[0].Name, "Text1");
  EXPECT_EQ(first[0].Top, kMargin + 1);
  EXPECT_EQ(first[1].Top, kMargin + 2);
  // Linear in the chain: seconds, not the minute a quadratic walk takes.
  EXPECT_LT(seconds, 20.0);
}

TEST_F(FormationPlacement, ChildChainsBeyondTheBoundAreRefused) {
  TfrReport report;
  PageBuilder b(report.Template);
  // Zero-height bands in one place: only the chain's length matters (and
  // placing that many bands stays quick).
  const int n = PageFormation::kMaxChildDepth + 1;
  for (int i = 1; i <= n; ++i)
    b.Band(btChild, "C" + std::to_string(i), 0, 0).ChildBand =
        i < n ? "C" + std::to_string(i + 1) : "";
  try {
    SetUpFirstPage(report);
    FAIL() << "a chain past the bound was set up";
  } catch (const EngineError& e) {
    EXPECT_STREQ(e.what(), "Band C1 starts a chain of more than 100000 child bands");
  }
}

}  // namespace
}  // namespace quillet::test
