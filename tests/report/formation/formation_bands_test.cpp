// Page formation of banded templates: page header and footer, title and
// summary, a stretched memo breaking over pages, page columns, child bands,
// forced new pages, and where objects land.
#include <algorithm>

#include "tests/report/formation/formation_templates.h"

namespace quillet::test {
namespace {

using Objects = std::vector<PreparedObject>;

// All body lines of every page, in page order.
StringList BodyText(TfrReport& report, const std::string& name) {
  StringList all;
  for (int p = 0; p < report.PreparedPages.Count(); ++p)
    for (const auto& o : PageObjects(report, p))
      if (o.Name == name) all.insert(all.end(), o.Text.begin(), o.Text.end());
  return all;
}

class FormationBands : public FormationTest {};

TEST_F(FormationBands, FixturesMatchTheTemplatesBuiltInCode) {
  struct Case {
    const char* file;
    void (*build)(TfrReport&);
  };
  for (const Case& c :
       {Case{"banded.frf", BuildBanded}, Case{"columns.frf", BuildColumns},
        Case{"children.frf", BuildChildren}, Case{"first_page_rules.frf", BuildFirstPageRules},
        Case{"two_pass.frf", BuildTwoPass}}) {
    TfrReport report;
    c.build(report);
    CheckFixture(report, c.file);
  }
}

TEST_F(FormationBands, HeaderAndFooterOnEveryPageTitleFirstBodyOverThreePages) {
  TfrReport report;
  LoadFixture(report, "banded.frf");
  ASSERT_TRUE(host.messages.empty());
  ASSERT_TRUE(report.Prepare());
  ASSERT_EQ(report.PreparedPages.Count(), 3);

  const Objects first = PageObjects(report, 0);
  // The no-band shape comes first (the no-band band is shown as the page
  // starts), then the title, the header below it and the body's first piece.
  EXPECT_EQ(PageNames(report, 0),
            (std::vector<std::string>{"Logo", "TitleText", "HeaderText", "Body", "FooterText"}));
  EXPECT_EQ(FindObject(first, "Logo")->Top, 200);
  EXPECT_EQ(FindObject(first, "TitleText")->Top, kMargin + 5);
  EXPECT_EQ(FindObject(first, "HeaderText")->Top, kMargin + 30 + 5);
  EXPECT_EQ(FindObject(first, "Body")->Top, kMargin + 60 + 5);
  // The footer sits on the page's bottom edge: 1071 - 20 - 30, plus its y.
  EXPECT_EQ(FindObject(first, "FooterText")->Top, 1021 + 5);

  for (int p = 1; p < 3; ++p) {
    const Objects page = PageObjects(report, p);
    EXPECT_EQ(PageNames(report, p), (std::vector<std::string>{"HeaderText", "Body", "FooterText"}))
        << "page " << p + 1;
    EXPECT_EQ(FindObject(page, "HeaderText")->Top, kMargin + 5);
    // A continued piece starts right below the header.
    EXPECT_EQ(FindObject(page, "Body")->Top, kMargin + 30);
    EXPECT_EQ(FindObject(page, "FooterText")->Top, 1026);
  }
  // Every line once, in order; the pieces stay above the footer.
  EXPECT_EQ(BodyText(report, "Body"), NumberedLines("Body line", kBodyLines));
  for (int p = 0; p < 3; ++p) {
    const Objects objects = PageObjects(report, p);
    const PreparedObject* body = FindObject(objects, "Body");
    EXPECT_LE(body->Top + body->Height, 1021) << "page " << p + 1;
    EXPECT_GT(body->Text.size(), 5u) << "page " << p + 1;
  }
  EXPECT_EQ(Prep().PageIndex, 3);
}

TEST_F(FormationBands, TemplateIsUnchangedAndPreparationRepeats) {
  TfrReport report;
  LoadFixture(report, "banded.frf");
  const auto before = SavedTemplate(report);
  ASSERT_TRUE(report.Prepare());
  std::vector<std::vector<std::uint8_t>> first;
  for (int p = 0; p < report.PreparedPages.Count(); ++p)
    first.push_back(report.PreparedPages[p].ObjectStream.Bytes());
  EXPECT_EQ(SavedTemplate(report), before);
  ASSERT_TRUE(report.Prepare());
  ASSERT_EQ(report.PreparedPages.Count(), static_cast<int>(first.size()));
  for (int p = 0; p < report.PreparedPages.Count(); ++p) {
    EXPECT_EQ(report.PreparedPages[p].ObjectStream.Bytes(), first[p]) << "page " << p + 1;
    // Finished pages are held packed, the last one too.
    EXPECT_FALSE(report.PreparedPages[p].ObjectStream.IsOpen()) << "page " << p + 1;
  }
}

TEST_F(FormationBands, TwoPageColumnsFillSideBySideThenANewPage) {
  TfrReport report;
  LoadFixture(report, "columns.frf");
  ASSERT_TRUE(report.Prepare());
  ASSERT_EQ(report.PreparedPages.Count(), 2);
  const int columnWidth = (738 - 20 - 20) / 2;
  const Objects first = PageObjects(report, 0);
  std::vector<int> bodyX, headerX;
  for (const auto& o : first) {
    if (o.Name == "Body") bodyX.push_back(o.Left);
    if (o.Name == "ColumnTitle") headerX.push_back(o.Left);
  }
  EXPECT_EQ(bodyX, (std::vector<int>{20, 20 + columnWidth + 20}));
  EXPECT_EQ(headerX, (std::vector<int>{20, 20 + columnWidth + 20}));
  // The second column starts where the first did: below the column header.
  std::vector<int> bodyY;
  for (const auto& o : first)
    if (o.Name == "Body") bodyY.push_back(o.Top);
  EXPECT_EQ(bodyY[1], kMargin + 30);
  const Objects second = PageObjects(report, 1);
  EXPECT_EQ(FindObject(second, "Body")->Left, 20);
  EXPECT_EQ(BodyText(report, "Body"), NumberedLines("Entry", 150));
}

TEST_F(FormationBands, ChildBandsFollowTheirBandEvenAnInvisibleOne) {
  TfrReport report;
  LoadFixture(report, "children.frf");
  ASSERT_TRUE(report.Prepare());
  ASSERT_EQ(report.PreparedPages.Count(), 2);
  EXPECT_EQ(PageNames(report, 0), (std::vector<std::string>{"TitleText", "ChildText"}));
  const Objects first = PageObjects(report, 0);
  EXPECT_EQ(FindObject(first, "ChildText")->Top, kMargin + 30 + 5);
  // The child starts a new page; the hidden summary shows only its child.
  const Objects second = PageObjects(report, 1);
  EXPECT_EQ(PageNames(report, 1), (std::vector<std::string>{"SecondChildText"}));
  EXPECT_EQ(second[0].Top, kMargin + 5);
}

TEST_F(FormationBands, FooterRulesOfTheFirstAndLastPage) {
  TfrReport report;
  LoadFixture(report, "first_page_rules.frf");
  ASSERT_TRUE(report.Prepare());
  ASSERT_EQ(report.PreparedPages.Count(), 2);
  // Page 1: the header lacks "OnFirstPage", so only the title; no footer.
  EXPECT_EQ(PageNames(report, 0), (std::vector<std::string>{"TitleText"}));
  // Page 2 (the last): header from the page break, summary, footer.
  EXPECT_EQ(PageNames(report, 1),
            (std::vector<std::string>{"HeaderText", "SummaryText", "FooterText"}));
  const Objects second = PageObjects(report, 1);
  EXPECT_EQ(FindObject(second, "SummaryText")->Top, kMargin + 30 + 5);
}

TEST_F(FormationBands, FooterWithoutFirstOrLastPageFlagsShowsOnMiddlePagesOnly) {
  TfrReport report;
  BuildBanded(report);
  for (const auto& v : report.Template.Pages[0]->Objects)
    if (v->Name == "PageFooter") v->Flags = 0;
  ASSERT_TRUE(report.Prepare());
  ASSERT_EQ(report.PreparedPages.Count(), 3);
  auto has = [&](int page) {
    const auto names = PageNames(report, page);
    return std::find(names.begin(), names.end(), "FooterText") != names.end();
  };
  EXPECT_FALSE(has(0));
  EXPECT_TRUE(has(1));
  EXPECT_FALSE(has(2));
}

TEST_F(FormationBands, ForcedNewPageFromTheBandsEventPutsTheBandOnTheNextPage) {
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btReportTitle, "Title", 0, 30);
  b.Memo("TitleText", 20, 5, 300, 20, {"Title"});
  b.Band(btReportSummary, "Summary", 100, 30);
  b.Memo("SummaryText", 20, 105, 300, 20, {"Summary"});
  std::vector<std::string> shown;
  report.Events.OnBeginBand = [&](TfrBand& band) {
    shown.push_back(band.Name);
    if (band.Name == "Summary") band.ForcedNewPages = 1;  // what "NEWPAGE" asks for
  };
  std::vector<int> begun, ended;
  report.Events.OnBeginPage = [&](int i) { begun.push_back(i); };
  report.Events.OnEndPage = [&](int i) { ended.push_back(i); };
  ASSERT_TRUE(report.Prepare());
  ASSERT_EQ(report.PreparedPages.Count(), 2);
  EXPECT_EQ(PageNames(report, 0), (std::vector<std::string>{"TitleText"}));
  const Objects second = PageObjects(report, 1);
  ASSERT_EQ(second.size(), 1u);
  EXPECT_EQ(second[0].Name, "SummaryText");
  EXPECT_EQ(second[0].Top, kMargin + 5);
  EXPECT_EQ(begun, (std::vector<int>{0, 1}));
  EXPECT_EQ(ended, (std::vector<int>{1}));
  EXPECT_NE(std::find(shown.begin(), shown.end(), "Title"), shown.end());
}

TEST_F(FormationBands, ObjectsBelongToTheBandTheirTopLiesIn) {
  TfrReport report;
  PageBuilder b(report.Template);
  // Two summary bands: the lower one on the page is shown second.
  b.Band(btReportSummary, "SummaryLow", 300, 40);
  b.Band(btReportSummary, "SummaryHigh", 200, 40);
  b.Memo("OnLowTop", 20, 300, 100, 20, {"a"});
  b.Memo("OnHighBottom", 20, 240, 100, 20, {"b"});  // exactly on the bottom edge
  // A title overlapping the high summary takes the object first (lower kind).
  b.Band(btReportTitle, "Title", 190, 30);
  b.Memo("InBoth", 200, 205, 100, 20, {"c"});
  b.Memo("Outside", 20, 500, 100, 20, {"d"});
  ASSERT_TRUE(report.Prepare());
  ASSERT_EQ(report.PreparedPages.Count(), 1);
  const Objects page = PageObjects(report, 0);
  // The chain of summaries starts with the one higher on the page.
  EXPECT_EQ(PageNames(report, 0), (std::vector<std::string>{"Outside", "InBoth", "OnHighBottom"}));
  // Outside any band: at its template position. Title at the top edge, then
  // the high summary, then the low one, each at its own offset in the band.
  EXPECT_EQ(FindObject(page, "Outside")->Top, 500);
  EXPECT_EQ(FindObject(page, "InBoth")->Top, kMargin + 15);
  EXPECT_EQ(FindObject(page, "OnHighBottom")->Top, kMargin + 30 + 40);
}

TEST_F(FormationBands, InvisibleObjectsAreNotWrittenAndBottomAlignedOnesSitOnTheBandBottom) {
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btReportTitle, "Title", 0, 60);
  b.Memo("Hidden", 20, 5, 100, 20, {"x"}).Visible = 0;
  auto& bottom = b.Shape("Bottom", 200, 5, 50, 10);
  bottom.BandAlign = baBottom;
  ASSERT_TRUE(report.Prepare());
  const Objects page = PageObjects(report, 0);
  ASSERT_EQ(page.size(), 1u);
  EXPECT_EQ(page[0].Name, "Bottom");
  EXPECT_EQ(page[0].Top, kMargin + 60 - 10);
}

TEST_F(FormationBands, OverlayOnEveryPageAndColumnFooterBelowEachPiece) {
  TfrReport report;
  BuildBanded(report);
  TfrPage& page = *report.Template.Pages[0];
  // The long memo breaks in the title here: a summary leaves the column
  // footer out of its pages, a title does not.
  for (const auto& v : page.Objects) {
    if (v->Name == "Title") static_cast<TfrBandView&>(*v).FrameTyp = btChild;
    if (v->Name == "Summary") static_cast<TfrBandView&>(*v).FrameTyp = btReportTitle;
  }
  auto overlay = std::make_unique<TfrBandView>();
  overlay->Name = "Overlay";
  overlay->FrameTyp = btOverlay;
  overlay->SetGeometry(0, 600, 758, 40);
  page.AddObject(std::move(overlay));
  auto mark = std::make_unique<TfrMemoView>();
  mark->Name = "Mark";
  mark->SetGeometry(300, 605, 100, 20);
  mark->Memo = {"DRAFT"};
  page.AddObject(std::move(mark));
  auto footer = std::make_unique<TfrBandView>();
  footer->Name = "ColumnFooter";
  footer->FrameTyp = btColumnFooter;
  footer->SetGeometry(0, 700, 758, 20);
  page.AddObject(std::move(footer));
  auto foot = std::make_unique<TfrMemoView>();
  foot->Name = "ColumnFoot";
  foot->SetGeometry(20, 702, 100, 16);
  foot->Memo = {"continued"};
  page.AddObject(std::move(foot));

  ASSERT_TRUE(report.Prepare());
  ASSERT_GE(report.PreparedPages.Count(), 3);
  for (int p = 0; p < report.PreparedPages.Count(); ++p) {
    const Objects objects = PageObjects(report, p);
    const PreparedObject* m = FindObject(objects, "Mark");
    ASSERT_NE(m, nullptr) << "page " << p + 1;
    EXPECT_EQ(m->Top, 605);  // the overlay keeps its own place
    const PreparedObject* body = FindObject(objects, "Body");
    const PreparedObject* cf = FindObject(objects, "ColumnFoot");
    ASSERT_NE(body, nullptr);
    ASSERT_NE(cf, nullptr) << "page " << p + 1;
    // The piece leaves room for the column footer, which follows it.
    EXPECT_LE(body->Top + body->Height, 1021 - 20) << "page " << p + 1;
    EXPECT_GE(cf->Top, body->Top + body->Height - 2) << "page " << p + 1;
  }
  EXPECT_EQ(BodyText(report, "Body"), NumberedLines("Body line", kBodyLines));
}

}  // namespace
}  // namespace quillet::test
