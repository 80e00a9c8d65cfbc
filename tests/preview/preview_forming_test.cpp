// The preview window on a report that still forms: open (and page 1 drawn)
// before formation ends, the page count and the progress growing, Cancel
// keeping what was formed, an error after page 1 shown beside the pages
// formed before it, and closing the window stopping formation.
#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "platform/errors.h"
#include "preview/preview_view.h"
#include "preview/qt_engine_host.h"
#include "tests/preview/preview_support.h"
#include "tests/report/formation/formation_support.h"

namespace quillet {
namespace {

// The program's host with message boxes recorded instead of shown.
class QuietQtHost : public QtEngineHost {
 public:
  MessageResult ShowMessage(const std::string& text, const std::string&, MessageIcon,
                            MessageButtons) override {
    messages.push_back(text);
    return MessageResult::Ok;
  }
  std::vector<std::string> messages;
};

// What the window showed at one progress step of formation.
struct Seen {
  int pageNumber = 0;
  bool visible = false;
  bool forming = false;
  int shown = 0;       // the window's page count
  int inList = 0;      // pages in the report's list (the last one forming)
  bool drawn = false;  // page 1 carries ink in the page box
  QString label;       // "Page 1/N"
  int progressMax = -1;
  bool saveEnabled = true;  // saving waits for the end
  bool cancelEnabled = false;
};

// True when the page box shows something other than white paper and gray
// background inside page 1's rectangle.
bool PageOneHasInk(TfrPreviewForm& form) {
  const QImage box = form.PageBox()->grab().toImage();
  const Rect& r = (*form.Pages())[0].PreviewRect;
  for (int y = std::max(0, r.top + form.View.ViewOffsetY + 2);
       y < std::min(box.height(), r.bottom + form.View.ViewOffsetY - 2); ++y)
    for (int x = std::max(0, r.left + form.View.ViewOffsetX + 2);
         x < std::min(box.width(), r.right + form.View.ViewOffsetX - 2); ++x) {
      const QRgb c = box.pixel(x, y);
      if (c != qRgb(255, 255, 255) && c != qRgb(128, 128, 128)) return true;
    }
  return false;
}

// The toolbar's Save button (the fourth item).
QWidget* SaveButton(const TfrPreviewForm& form) {
  return form.ToolbarItems().at(3);
}

class PreviewFormingTest : public test::PreviewTest {
 protected:
  void SetUp() override {
    test::PreviewTest::SetUp();
    windows.RefreshMs = 0;  // every step refreshes: the test sees each page
    Engine().SetHost(&windows);
    test::PageBuilder b(report.Template);
    b.Band(btPageHeader, "PageHeader", 0, 30);
    b.Memo("HeaderText", 20, 5, 300, 20, {"Header"});
    b.Band(btReportSummary, "Summary", 100, 40, flStretched | flBandBreaked);
    b.Memo("Body", 20, 105, 400, 30, test::NumberedLines("Line", 600));
    b.Band(btPageFooter, "PageFooter", 1000, 30);
    b.Memo("FooterText", 20, 1005, 300, 20, {"Footer"});
    report.Title = "Long";
    // Each progress step looks at the window first, then runs `atStep`.
    report.Events.OnProgress = [this](int n) {
      if (form) {
        Seen s{n, form->isVisible(), form->Forming(), form->PageCount(),
               report.PreparedPages.Count()};
        if (s.shown > 0) s.drawn = PageOneHasInk(*form);
        s.label = form->PageLabel()->text();
        s.progressMax = form->FormingProgress()->maximum();
        s.saveEnabled = SaveButton(*form)->isEnabled();
        s.cancelEnabled = form->CancelButton()->isEnabled();
        seen.push_back(s);
      }
      if (form && form->PageCount() == 3 && !snapshot.empty()) {
        // The window midway, for people to look at.
        form->grab().save(QString::fromStdString(test::OutputPath(snapshot)));
        snapshot.clear();
      }
      if (atStep) atStep(n);
    };
    windows.PreviewOpened = [this](TfrPreviewForm& f) {
      form = &f;
      QObject::connect(&f, &TfrPreviewForm::FormationEnded, &f, [this] {
        QTimer::singleShot(0, form, [this] {
          endCount = form->PageCount();
          saveEnabledAtEnd = SaveButton(*form)->isEnabled();
          status = form->StatusLine()->isVisible() ? form->StatusLine()->text() : QString();
          statusIsError = !form->StatusLine()->styleSheet().isEmpty();
          form->close();
        });
      });
    };
  }
  void TearDown() override {
    Engine().SetHost(&host);
    test::PreviewTest::TearDown();
  }

  QuietQtHost windows;
  TfrReport report;
  TfrPreviewForm* form = nullptr;
  std::vector<Seen> seen;
  std::function<void(int)> atStep;
  int endCount = -1;
  std::string snapshot;  // a picture of the window at page 3 goes here
  bool saveEnabledAtEnd = false;
  QString status;
  bool statusIsError = false;
};

TEST_F(PreviewFormingTest, TheWindowOpensOnPageOneAndFollowsTheGrowingCount) {
  for (const bool twoPass : {false, true}) {
    SCOPED_TRACE(twoPass ? "two passes" : "one pass");
    seen.clear();
    form = nullptr;
    report.Template.TwoPass = twoPass;
    snapshot = twoPass ? "preview_forming_two_pass.png" : "preview_forming_one_pass.png";
    const TfrReport::PreviewRun run = report.PrepareAndPreview();
    ASSERT_TRUE(run.Shown);
    ASSERT_GE(seen.size(), 5u);
    const int pages = endCount;
    ASSERT_GT(pages, 5);
    int last = 0;
    for (const Seen& s : seen) {
      EXPECT_TRUE(s.visible);
      EXPECT_TRUE(s.forming);
      EXPECT_EQ(s.shown, s.inList - 1) << "the page still forming is not shown";
      EXPECT_GE(s.shown, last);
      EXPECT_TRUE(s.drawn) << "page 1 is drawn while formation goes on";
      EXPECT_EQ(s.label, QString("Page 1/%1").arg(s.shown));
      EXPECT_EQ(s.progressMax, twoPass ? pages : 0);
      EXPECT_FALSE(s.saveEnabled);
      EXPECT_TRUE(s.cancelEnabled);
      last = s.shown;
    }
    EXPECT_LT(seen.front().shown, pages);
    EXPECT_EQ(last, pages - 1);
    EXPECT_TRUE(status.isEmpty()) << status.toStdString();
    EXPECT_TRUE(saveEnabledAtEnd);
    EXPECT_TRUE(windows.messages.empty());
  }
}

TEST_F(PreviewFormingTest, CancelKeepsWhatWasFormed) {
  atStep = [this](int) {
    if (form && form->PageCount() >= 2 && form->CancelButton()->isEnabled())
      form->CancelButton()->click();
  };
  ASSERT_TRUE(report.PrepareAndPreview().Shown);
  EXPECT_TRUE(report.StopRequested);
  // Formation stops at its next check, keeping the two pages shown at the
  // click and the break that was under way.
  EXPECT_GE(endCount, 2);
  EXPECT_LE(endCount, 4);
  EXPECT_TRUE(status.contains("cancelled")) << status.toStdString();
  EXPECT_FALSE(statusIsError);
}

TEST_F(PreviewFormingTest, AnErrorAfterPageOneShowsTheErrorAndThePagesBeforeIt) {
  int footers = 0;
  report.Events.OnBeforePrint = [&](StringList&, TfrView& view) {
    if (view.Name == "FooterText" && ++footers == 3) throw ConversionError::InvalidInteger("x3");
  };
  const TfrReport::PreviewRun run = report.PrepareAndPreview();
  EXPECT_FALSE(run.Prepared);
  EXPECT_TRUE(run.Shown);
  ASSERT_EQ(windows.messages.size(), 1u);
  EXPECT_NE(windows.messages[0].find("'x3' is not a valid integer value"), std::string::npos);
  // Pages 1 and 2 were whole; page 3 broke while its footer formed.
  EXPECT_EQ(endCount, 2);
  EXPECT_TRUE(statusIsError);
  EXPECT_TRUE(status.contains("'x3' is not a valid integer value")) << status.toStdString();
  EXPECT_EQ(report.PreparedPages.Count(), 0) << "the window took the pages";
}

TEST_F(PreviewFormingTest, ClosingTheWindowWhileFormingStopsFormation) {
  atStep = [this](int) {
    if (form && form->PageCount() >= 2 && form->isVisible()) form->close();
  };
  const TfrReport::PreviewRun run = report.PrepareAndPreview();
  EXPECT_TRUE(report.StopRequested);
  EXPECT_TRUE(run.Shown);
  EXPECT_LE(seen.back().inList, 4) << "formation stopped soon after the close";
  EXPECT_EQ(endCount, -1) << "a closed window is not shown again";
}

}  // namespace
}  // namespace quillet
