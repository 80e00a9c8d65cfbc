// Opening the preview: the engine host's modal window on the report's
// pages (gone with the window), nothing without pages, and the TfrPreview
// panel that borrows the window's page area.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>
#include <QTimer>

#include "preview/preview_panel.h"
#include "preview/preview_view.h"
#include "preview/qt_engine_host.h"
#include "preview/toolbar_button.h"
#include "report/template/page.h"
#include "tests/fakes/fake_printer.h"
#include "tests/preview/preview_support.h"

namespace quillet {
namespace {

using test::AddPages;

class PreviewShowTest : public test::PreviewTest {};

TEST_F(PreviewShowTest, TheHostShowsAModalWindowThatTakesThePagesWithIt) {
  AddPages(report.PreparedPages, 2);
  report.Title = "Sheet";
  QtEngineHost qtHost;
  Engine().SetHost(&qtHost);
  QString caption;
  int pagesShown = 0;
  bool wasModal = false;
  qtHost.PreviewOpened = [&](TfrPreviewForm& form) {
    QTimer::singleShot(0, &form, [&] {
      caption = form.windowTitle();
      pagesShown = form.PageCount();
      wasModal = form.isModal() || form.isVisible();
      form.HandleKey(Qt::Key_Escape, Qt::NoModifier);
    });
  };
  report.ShowPrepared();
  Engine().SetHost(&host);
  EXPECT_EQ(caption, "Preview - Sheet");
  EXPECT_EQ(pagesShown, 2);
  EXPECT_TRUE(wasModal);
  EXPECT_EQ(report.PreparedPages.Count(), 0) << "the pages went with the window";
  EXPECT_EQ(Prep().ActiveReport, &report);
}

TEST_F(PreviewShowTest, NoPagesOpenNothing) {
  QtEngineHost qtHost;
  bool opened = false;
  qtHost.PreviewOpened = [&](TfrPreviewForm&) { opened = true; };
  qtHost.ShowPrepared(report);
  EXPECT_FALSE(opened);
}

TEST_F(PreviewShowTest, ThePanelBorrowsThePageAreaAndReportsPages) {
  AddPages(report.PreparedPages, 3);
  QWidget window;
  window.resize(700, 500);
  auto* panel = new TfrPreview(&window);
  panel->setGeometry(0, 0, 700, 500);
  std::vector<int> changes;
  panel->OnPageChanged = [&](TfrPreview&, int page) { changes.push_back(page); };
  report.Preview = panel;
  QtEngineHost qtHost;
  qtHost.ShowPrepared(report);
  window.show();
  TfrPreviewForm& form = panel->Form();
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(form.PreviewPanel()->parentWidget(), panel);
  EXPECT_EQ(form.PageCount(), 3);
  EXPECT_EQ(form.WheelFactor, 3);
  // Help and close need the strip in the window itself.
  panel->SetShowToolbar(true);
  form.ApplyButtons();
  EXPECT_TRUE(form.HelpBtn()->isHidden());
  EXPECT_TRUE(form.ExitBtn()->isHidden());
  changes.clear();
  QKeyEvent ctrlPageDown(QEvent::KeyPress, Qt::Key_PageDown, Qt::ControlModifier);
  QApplication::sendEvent(form.PageBox(), &ctrlPageDown);  // the box is in the panel now
  EXPECT_TRUE(ctrlPageDown.isAccepted());
  EXPECT_EQ(changes, std::vector<int>{2});
  EXPECT_EQ(panel->CurrentPageNumber(), 2);
  const int pos = form.VScrollBar()->value();
  form.BoxWheel(-1);
  EXPECT_EQ(form.VScrollBar()->value(), pos + 30);
  panel->SetScrollBars(ssNone);
  EXPECT_TRUE(form.VScrollBar()->parentWidget()->isHidden());
  panel->Disconnect();
  EXPECT_EQ(report.PreparedPages.Count(), 3);
  report.Preview = nullptr;
}

TEST_F(PreviewShowTest, PageSetupPreparesTheReportAgainWithTheNewMargins) {
  StopEnginePrinter(Engine());
  test::FakePrinter platform({test::FakeDevice::Named("Office laser")}, 0);
  StartEnginePrinter(Engine(), [&] { return &platform; });
  report.ShowProgress = false;
  report.Template.AddPage().Margins = {36, 36, 36, 36};
  ASSERT_TRUE(report.Prepare());
  TfrPreviewForm form;
  Open(form, report, 900, 600);
  ASSERT_TRUE(form.PageSetupBtn()->isEnabled());
  TfrPreviewForm::PageSetupChoice offered;
  form.AskPageSetup = [&](TfrPreviewForm&, TfrPreviewForm::PageSetupChoice& c) {
    offered = c;
    return false;
  };
  form.PageSetupBtnClick();
  EXPECT_EQ(offered.MarginLeft, 36 * 500 / 18);
  EXPECT_EQ(report.Template.Pages[0]->Margins.Left, 36) << "Cancel changes nothing";
  form.AskPageSetup = [&](TfrPreviewForm&, TfrPreviewForm::PageSetupChoice& c) {
    c.MarginLeft = c.MarginTop = c.MarginRight = c.MarginBottom = 2000;  // 20 mm
    return true;
  };
  form.PgDownClick();
  form.PageSetupBtnClick();
  EXPECT_EQ(report.Template.Pages[0]->Margins.Left, 2000 * 18 / 500);
  ASSERT_EQ(form.PageCount(), 1);
  EXPECT_EQ((*form.Pages())[0].Margins.Left, 72);
  EXPECT_EQ(report.PreparedPages.Count(), 0);
  EXPECT_EQ(form.View.CurrentPage, 1);
  form.Disconnect();
}

}  // namespace
}  // namespace quillet
