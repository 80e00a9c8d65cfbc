// How far page formation goes: a band that fits on no fresh page ends the
// run at once, and so does a report that forms more prepared pages than
// the engine allows; each says which limit it met.
#include "report/views/band_view.h"
#include "tests/report/formation/formation_support.h"

namespace quillet::test {
namespace {

class FormationLimits : public FormationTest {
 protected:
  void TearDown() override {
    TfrEMFPages::PageLimit = TfrEMFPages::kDefaultPageLimit;
    FormationTest::TearDown();
  }
  std::string OnlyMessage() {
    EXPECT_EQ(host.messages.size(), 1u);
    return host.messages.empty() ? std::string() : host.messages[0].text;
  }
};

TEST_F(FormationLimits, TheDefaultLimitIsAMillionPages) {
  EXPECT_EQ(TfrEMFPages::PageLimit, 1'000'000);
}

TEST_F(FormationLimits, ADataBandTallerThanAnyPageEndsTheRunNamingTheBand) {
  for (const bool stretched : {false, true}) {
    SCOPED_TRACE(stretched);
    host.messages.clear();
    TfrReport report;
    PageBuilder b(report.Template);
    b.Band(btMasterData, "Tall", 0, 5000, stretched ? flStretched : 0).FormatText = "100000";
    b.Memo("Text", 0, 10, 100, 16, {"[LINE#]"});
    EXPECT_FALSE(report.Prepare());
    EXPECT_EQ(report.PreparedPages.Count(), 0);
    EXPECT_NE(OnlyMessage().find("Band Tall is 5000 pixels high and fits on no page"),
              std::string::npos)
        << OnlyMessage();
  }
}

TEST_F(FormationLimits, ABandThatFitsAFreshPageMovesThereAndTheRunGoesOn) {
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btReportTitle, "Title", 0, 900);
  b.Band(btMasterData, "Data", 1000, 400).FormatText = "3";
  b.Memo("Text", 0, 1010, 100, 16, {"[LINE#]"});
  ASSERT_TRUE(report.Prepare()) << OnlyMessage();
  // The records do not fit below the title; they go on from the next page.
  EXPECT_TRUE(PageNames(report, 0).empty());
  int records = 0;
  for (int p = 1; p < report.PreparedPages.Count(); ++p)
    for (const std::string& name : PageNames(report, p)) records += name == "Text";
  EXPECT_EQ(records, 3);
}

TEST_F(FormationLimits, APagePerRecordStopsAtThePreparedPageLimit) {
  TfrEMFPages::PageLimit = 300;
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btMasterData, "Data", 0, 20, flBandFormNewPage).FormatText = "1000000";
  b.Memo("Text", 0, 2, 100, 16, {"[LINE#]"});
  EXPECT_FALSE(report.Prepare());
  EXPECT_EQ(report.PreparedPages.Count(), 0);  // a run that failed leaves none
  EXPECT_NE(OnlyMessage().find("more than 300 prepared pages"), std::string::npos) << OnlyMessage();
}

}  // namespace
}  // namespace quillet::test
