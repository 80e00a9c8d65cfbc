// PrepareAndPreview with a host that opens the preview on the first page:
// what the host hears of each page formed (only whole pages, totals after a
// counting pass), a stop from the preview keeping what was formed, and an
// error after the first page reaching the preview before the pages go.
#include <algorithm>

#include "platform/errors.h"
#include "tests/report/formation/formation_templates.h"

namespace quillet::test {
namespace {

// A headless host whose preview opens once `openAt` pages are whole.
class EarlyPreviewHost : public HeadlessHost {
 public:
  bool PagesFormed(TfrReport& report, int formed, int total) override {
    calls.push_back(
        {formed, total, report.PreparedPages.Count(), report.InFinalPass, progressVisible});
    if (formed < openAt) return false;
    if (formed >= stopAt) report.StopRequested = true;
    return true;
  }
  void FormationEnded(TfrReport& report, const std::string& error, int formed) override {
    endings.push_back(error);
    wholeAtEnd = formed;
    messagesAtEnd = messages.size();
    pagesAtEnd = report.PreparedPages.Count();
  }

  struct Call {
    int formed, total, inList;
    bool finalPass, progressShown;
  };
  std::vector<Call> calls;
  std::vector<std::string> endings;
  std::size_t messagesAtEnd = 0;
  int pagesAtEnd = 0;
  int wholeAtEnd = -1;
  int openAt = 1;
  int stopAt = 1'000'000;
};

// A page header and footer around a summary of `lines` lines that breaks
// over pages (50 lines to a page).
void BuildLongSummary(TfrReport& report, int lines) {
  PageBuilder b(report.Template);
  b.Band(btPageHeader, "PageHeader", 0, 30);
  b.Memo("HeaderText", 20, 5, 300, 20, {"Header"});
  b.Band(btReportSummary, "Summary", 100, 40, flStretched | flBandBreaked);
  b.Memo("Body", 20, 105, 400, 30, NumberedLines("Line", lines));
  b.Band(btPageFooter, "PageFooter", 1000, 30);
  b.Memo("FooterText", 20, 1005, 300, 20, {"Footer"});
}

class PreviewWhileForming : public FormationTest {
 protected:
  void SetUp() override {
    FormationTest::SetUp();
    Engine().SetHost(&early);
  }
  EarlyPreviewHost early;
};

TEST_F(PreviewWhileForming, TheHostHearsOfWholePagesInOneOrTwoPasses) {
  for (const bool twoPass : {false, true}) {
    SCOPED_TRACE(twoPass ? "two passes" : "one pass");
    early = EarlyPreviewHost{};
    TfrReport report;
    BuildLongSummary(report, 600);
    report.Template.TwoPass = twoPass;
    const TfrReport::PreviewRun run = report.PrepareAndPreview();
    EXPECT_TRUE(run.Prepared);
    EXPECT_TRUE(run.Shown);
    ASSERT_EQ(early.previews.size(), 1u);
    ASSERT_EQ(early.endings, std::vector<std::string>{""});
    const int pages = early.pagesAtEnd;
    EXPECT_EQ(early.wholeAtEnd, pages);
    ASSERT_GT(pages, 5);
    ASSERT_FALSE(early.calls.empty());
    int last = 0;
    for (const auto& c : early.calls) {
      // Only the final pass is shown; the page still forming is not counted.
      EXPECT_TRUE(c.finalPass);
      EXPECT_EQ(c.formed, std::max(0, c.inList - 1));
      EXPECT_GE(c.formed, last);
      EXPECT_EQ(c.total, twoPass ? pages : 0);
      last = c.formed;
    }
    EXPECT_EQ(last, pages - 1);
    if (twoPass) {
      // The counting pass had its window; the preview took over from it.
      EXPECT_EQ(early.progressCaptions.size(), 1u);
      const auto opened = std::find_if(early.calls.begin(), early.calls.end(),
                                       [](const auto& c) { return c.formed >= 1; });
      ASSERT_NE(opened + 1, early.calls.end());
      EXPECT_FALSE((opened + 1)->progressShown);
    }
  }
}

TEST_F(PreviewWhileForming, AStopFromThePreviewKeepsTheWholePages) {
  early.stopAt = 2;
  TfrReport report;
  BuildLongSummary(report, 600);
  const TfrReport::PreviewRun run = report.PrepareAndPreview();
  EXPECT_TRUE(run.Shown);
  ASSERT_EQ(early.endings.size(), 1u);
  EXPECT_TRUE(report.StopRequested);
  // Formation stops at its next check: the break under way ends (without
  // footers, as any stop) and nothing more is formed.
  EXPECT_GE(early.pagesAtEnd, 2);
  EXPECT_LE(early.pagesAtEnd, 4);
  EXPECT_EQ(report.PreparedPages.Count(), early.pagesAtEnd) << "a stop keeps the pages";
  EXPECT_EQ(Texts(report, "FooterText").size(), 2u) << "the two whole pages stay whole";
}

TEST_F(PreviewWhileForming, AnErrorAfterPageOneReachesThePreviewBeforeThePagesGo) {
  TfrReport report;
  BuildLongSummary(report, 600);
  int footers = 0;
  report.Events.OnBeforePrint = [&](StringList&, TfrView& view) {
    if (view.Name == "FooterText" && ++footers == 3) throw ConversionError::InvalidInteger("x3");
  };
  const TfrReport::PreviewRun run = report.PrepareAndPreview();
  EXPECT_FALSE(run.Prepared);
  EXPECT_TRUE(run.Shown) << "the preview opened on page 1 stays";
  ASSERT_EQ(early.endings.size(), 1u);
  EXPECT_NE(early.endings[0].find("'x3' is not a valid integer value"), std::string::npos)
      << early.endings[0];
  EXPECT_EQ(early.messagesAtEnd, 0u) << "the preview hears first, then the box shows";
  // The third footer failed: pages 1 and 2 are whole, page 3 is not.
  EXPECT_EQ(early.wholeAtEnd, 2);
  EXPECT_GE(early.pagesAtEnd, 3);
  for (const auto& c : early.calls) EXPECT_LE(c.formed, 2);
  ASSERT_EQ(early.messages.size(), 1u);
  EXPECT_EQ(early.previews.size(), 1u);
}

// A host that never opens early sees the run as before: no ending, the
// preview once the pages are all there, nothing for a failed run.
TEST_F(PreviewWhileForming, AHostThatWaitsGetsTheWholeReportOrNothing) {
  early.openAt = 1'000'000;
  TfrReport report;
  BuildLongSummary(report, 600);
  EXPECT_TRUE(report.PrepareAndPreview().Shown);
  EXPECT_TRUE(early.endings.empty());
  EXPECT_EQ(early.previews.size(), 1u);

  early.previews.clear();
  report.Events.OnBeforePrint = [](StringList&, TfrView& view) {
    if (view.Name == "FooterText") throw ConversionError::InvalidInteger("x");
  };
  const TfrReport::PreviewRun failed = report.PrepareAndPreview();
  EXPECT_FALSE(failed.Prepared);
  EXPECT_FALSE(failed.Shown);
  EXPECT_TRUE(early.previews.empty());
  EXPECT_EQ(report.PreparedPages.Count(), 0);
}

}  // namespace
}  // namespace quillet::test
