// The progress window: the step starts from the posted event once the window
// is on screen, Cancel and Escape raise the stop request without cutting the
// step short, and the modal result comes back.
#include "preview/progress_form.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QPushButton>
#include <stdexcept>

#include "tests/preview/input_events.h"

namespace quillet {
namespace {

int CountProgressWindows() {
  int n = 0;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (qobject_cast<TfrProgressForm*>(w)) ++n;
  return n;
}

TEST(ProgressForm, IsOneWindowForTheWholeProcess) {
  TfrProgressForm& a = TfrProgressForm::Instance();
  TfrProgressForm& b = TfrProgressForm::Instance();
  EXPECT_EQ(&a, &b);
  a.RunWithProgress({"Preparing report", "", {}}, [](ProgressControl& c) { c.SetModalResult(1); });
  EXPECT_EQ(CountProgressWindows(), 1);
  EXPECT_EQ(a.parent(), nullptr);
  EXPECT_TRUE(a.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_FALSE(a.windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_EQ(a.size(), QSize(278, 106));
}

TEST(ProgressForm, RunsTheStepOnlyOnceTheWindowShows) {
  TfrProgressForm& form = TfrProgressForm::Instance();
  form.SetSecondLine("left over from last time");
  int calls = 0;
  bool visibleInStep = false;
  bool modalInStep = false;
  QString caption, first, second, button;
  int result = form.RunWithProgress({"Preparing report", "Processing page:  1", {}},
                                    [&](ProgressControl& c) {
                                      ++calls;
                                      visibleInStep = form.isVisible();
                                      modalInStep = QApplication::activeModalWidget() == &form;
                                      caption = form.Caption();
                                      first = form.FirstLine();
                                      second = form.SecondLine();
                                      button = form.CancelButton()->text();
                                      c.SetModalResult(1);
                                    });
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(visibleInStep);
  EXPECT_TRUE(modalInStep);
  EXPECT_EQ(caption, "Preparing report");
  EXPECT_EQ(first, "Processing page:  1");
  EXPECT_EQ(second, "");
  EXPECT_EQ(button, "Cancel");
  EXPECT_EQ(result, 1);
  EXPECT_FALSE(form.isVisible());
  EXPECT_FALSE(form.Running());
}

TEST(ProgressForm, ShowsEngineBytesAsText) {
  TfrProgressForm& form = TfrProgressForm::Instance();
  QString caption, first, second;
  form.RunWithProgress({"Preparing report - Résumé", "Printing page:", {}},
                       [&](ProgressControl& c) {
                         c.SetFirstLine("Printing page:  3 from 5");
                         c.SetSecondLine("€ 42");
                         c.ProcessMessages();
                         caption = form.Caption();
                         first = form.FirstLine();
                         second = form.SecondLine();
                       });
  EXPECT_EQ(caption, QString::fromUtf8("Preparing report - Résumé"));
  EXPECT_EQ(first, "Printing page:  3 from 5");
  EXPECT_EQ(second, QString::fromUtf8("€ 42"));
}

TEST(ProgressForm, ResultIsWhatTheStepSetLastOrZero) {
  TfrProgressForm& form = TfrProgressForm::Instance();
  EXPECT_EQ(form.RunWithProgress({"c", "", {}}, [](ProgressControl&) {}), 0);
  EXPECT_EQ(form.RunWithProgress({"c", "", {}},
                                 [](ProgressControl& c) {
                                   c.SetModalResult(2);
                                   c.SetModalResult(1);
                                 }),
            1);
}

// A step of `pages` pages that presses `press` after page `cancelAt` and
// stops at the next check, as preparation does.
struct PagedStep {
  int pages = 5;
  int cancelAt = 2;
  std::function<void(TfrProgressForm&)> press;
  int pagesDone = 0;
  bool runningAfterPress = false;
  bool stopSeenBeforeProcessing = false;

  void operator()(ProgressControl& c) {
    auto& form = static_cast<TfrProgressForm&>(c);
    for (int page = 1; page <= pages; ++page) {
      c.SetFirstLine("Processing page:  " + std::to_string(page));
      ++pagesDone;
      if (page == cancelAt) {
        stopSeenBeforeProcessing = c.StopRequested();
        press(form);
      }
      c.ProcessMessages();
      if (page == cancelAt) runningAfterPress = form.Running() && form.isVisible();
      if (c.StopRequested()) {
        c.SetModalResult(2);
        return;
      }
    }
    c.SetModalResult(1);
  }
};

TEST(ProgressForm, CancelButtonStopsAfterTheCurrentPage) {
  TfrProgressForm& form = TfrProgressForm::Instance();
  int cancels = 0;
  PagedStep step;
  step.press = [](TfrProgressForm& f) { test::Click(f.CancelButton()); };
  int result = form.RunWithProgress({"Preparing report", "Processing page:  1", [&] { ++cancels; }},
                                    std::ref(step));
  EXPECT_EQ(result, 2);
  EXPECT_EQ(cancels, 1);
  EXPECT_EQ(step.pagesDone, 2);
  EXPECT_FALSE(step.stopSeenBeforeProcessing);
  EXPECT_TRUE(step.runningAfterPress);  // the loop waits for the step
  EXPECT_FALSE(form.isVisible());
}

TEST(ProgressForm, EscapePressesCancel) {
  TfrProgressForm& form = TfrProgressForm::Instance();
  int cancels = 0;
  PagedStep step;
  step.cancelAt = 3;
  step.press = [](TfrProgressForm& f) { test::KeyClick(&f, Qt::Key_Escape); };
  int result = form.RunWithProgress({"Preparing report", "", [&] { ++cancels; }}, std::ref(step));
  EXPECT_EQ(result, 2);
  EXPECT_EQ(cancels, 1);
  EXPECT_EQ(step.pagesDone, 3);
}

TEST(ProgressForm, CancelWithoutAStepCheckStillReturnsCancel) {
  // The step ignores the stop request and sets no result: Cancel's 2 stands.
  TfrProgressForm& form = TfrProgressForm::Instance();
  int result = form.RunWithProgress({"c", "", {}}, [&](ProgressControl& c) {
    form.CancelButton()->click();
    c.ProcessMessages();
  });
  EXPECT_EQ(result, 2);
}

TEST(ProgressForm, StopRequestIsClearedForTheNextRun) {
  TfrProgressForm& form = TfrProgressForm::Instance();
  form.RunWithProgress({"c", "", {}}, [&](ProgressControl&) { form.CancelButton()->click(); });
  bool stopAtStart = true;
  int result = form.RunWithProgress({"c", "", {}}, [&](ProgressControl& c) {
    stopAtStart = c.StopRequested();
    c.SetModalResult(1);
  });
  EXPECT_FALSE(stopAtStart);
  EXPECT_EQ(result, 1);
}

TEST(ProgressForm, CannotBeClosedOtherwise) {
  TfrProgressForm& form = TfrProgressForm::Instance();
  bool visibleAfterClose = false;
  bool stop = true;
  int result = form.RunWithProgress({"c", "", {}}, [&](ProgressControl& c) {
    form.close();
    c.ProcessMessages();
    visibleAfterClose = form.isVisible();
    stop = c.StopRequested();
    c.SetModalResult(1);
  });
  EXPECT_TRUE(visibleAfterClose);
  EXPECT_FALSE(stop);
  EXPECT_EQ(result, 1);
}

TEST(ProgressForm, HidingDuringTheStepKeepsTheLoopAndRestores) {
  // As a dialog page shown during preparation does.
  TfrProgressForm& form = TfrProgressForm::Instance();
  bool hiddenMeanwhile = false;
  int pagesAfter = 0;
  int result = form.RunWithProgress({"c", "", {}}, [&](ProgressControl& c) {
    bool was = c.Visible();
    c.SetVisible(false);
    c.ProcessMessages();
    hiddenMeanwhile = !form.isVisible();
    c.SetVisible(was);
    for (int i = 0; i < 3; ++i, ++pagesAfter) c.ProcessMessages();
    c.SetModalResult(1);
  });
  EXPECT_TRUE(hiddenMeanwhile);
  EXPECT_EQ(pagesAfter, 3);
  EXPECT_EQ(result, 1);
}

TEST(ProgressForm, ErrorInTheStepEndsTheWindowAndReachesTheCaller) {
  TfrProgressForm& form = TfrProgressForm::Instance();
  EXPECT_THROW(form.RunWithProgress({"c", "", {}},
                                    [](ProgressControl&) { throw std::runtime_error("boom"); }),
               std::runtime_error);
  EXPECT_FALSE(form.isVisible());
  EXPECT_FALSE(form.Running());
  EXPECT_EQ(form.RunWithProgress({"c", "", {}}, [](ProgressControl& c) { c.SetModalResult(1); }),
            1);
}

TEST(ProgressForm, NestedRunUsesTheSameWindow) {
  TfrProgressForm& form = TfrProgressForm::Instance();
  int inner = -1;
  int outerCancels = 0, innerCancels = 0;
  QString innerFirst;
  int result = form.RunWithProgress(
      {"outer", "Performing 1st pass:", [&] { ++outerCancels; }}, [&](ProgressControl& c) {
        c.SetModalResult(1);
        inner = form.RunWithProgress({"inner", "Processing page:  1", [&] { ++innerCancels; }},
                                     [&](ProgressControl& c2) {
                                       innerFirst = form.FirstLine();
                                       form.CancelButton()->click();
                                       c2.SetModalResult(2);
                                     });
      });
  EXPECT_EQ(innerFirst, "Processing page:  1");
  EXPECT_EQ(inner, 2);
  EXPECT_EQ(innerCancels, 1);
  EXPECT_EQ(outerCancels, 1);
  EXPECT_EQ(result, 2);  // the press stops the outer operation too
  EXPECT_EQ(CountProgressWindows(), 1);
}

}  // namespace
}  // namespace quillet
