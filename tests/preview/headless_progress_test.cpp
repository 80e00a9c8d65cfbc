// The headless host runs progress steps as the window would: the request's
// first line shows, a simulated Cancel reaches the caller and sets result 2.
#include <gtest/gtest.h>

#include "platform/headless_host.h"

namespace quillet {
namespace {

TEST(HeadlessProgress, RunsTheStepWithTheRequestsTexts) {
  HeadlessHost host;
  bool visibleInStep = false;
  int result = host.RunWithProgress(ProgressRequest{"Preparing report", "Processing page:  1", {}},
                                    [&](ProgressControl& c) {
                                      visibleInStep = c.Visible();
                                      c.SetFirstLine("Processing page:  2");
                                      c.SetModalResult(1);
                                    });
  EXPECT_EQ(result, 1);
  EXPECT_TRUE(visibleInStep);
  EXPECT_FALSE(host.progressVisible);
  ASSERT_EQ(host.progressCaptions.size(), 1u);
  EXPECT_EQ(host.progressCaptions[0], "Preparing report");
  EXPECT_EQ(host.progressLines,
            (std::vector<std::string>{"Processing page:  1", "Processing page:  2"}));
}

TEST(HeadlessProgress, SimulatedCancelCallsBackOnceAndReturnsCancel) {
  HeadlessHost host;
  host.stopAfterLines = 2;
  int cancels = 0;
  int pages = 0;
  int result = host.RunWithProgress(
      ProgressRequest{"Preparing report", "Printing page:", [&] { ++cancels; }},
      [&](ProgressControl& c) {
        for (int page = 1; page <= 5; ++page) {
          ++pages;
          c.SetFirstLine("Printing page:  " + std::to_string(page));
          c.ProcessMessages();
          if (c.StopRequested()) return;
        }
        c.SetModalResult(1);
      });
  EXPECT_EQ(result, 2);
  EXPECT_EQ(cancels, 1);
  EXPECT_EQ(pages, 1);
}

TEST(HeadlessProgress, CaptionOnlyFormStillWorks) {
  HeadlessHost host;
  EXPECT_EQ(
      host.RunWithProgress("Preparing report", [](ProgressControl& c) { c.SetModalResult(1); }), 1);
  EXPECT_TRUE(host.progressLines.empty());
}

}  // namespace
}  // namespace quillet
