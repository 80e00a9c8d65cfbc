// The preview window: page ownership, the sheet's buttons, zoom and its
// memory, paging keys, painting only what is in view, dragging, and
// saving and loading prepared-report files.
#include <gtest/gtest.h>

#include <QLabel>
#include <QScrollBar>
#include <QTemporaryDir>
#include <fstream>

#include "platform/recording_canvas.h"
#include "preview/preview_view.h"
#include "preview/toolbar_button.h"
#include "tests/preview/input_events.h"
#include "tests/preview/preview_support.h"

namespace quillet {
namespace {

using test::AddPages;
using test::PreviewTest;

class PreviewFormTest : public PreviewTest {};

TEST_F(PreviewFormTest, ConnectTakesThePagesAndDisconnectGivesThemBack) {
  AddPages(report.PreparedPages, 3);
  TfrPreviewForm form;
  form.Connect(report);
  EXPECT_EQ(form.PageCount(), 3);
  EXPECT_EQ(report.PreparedPages.Count(), 0);
  form.Disconnect();
  EXPECT_EQ(form.Pages(), nullptr);
  EXPECT_EQ(report.PreparedPages.Count(), 3);
}

TEST_F(PreviewFormTest, TheSheetsButtonsInOrder) {
  AddPages(report.PreparedPages, 1);
  report.PreviewButtons = pbZoom | pbLoad | pbSave | pbFind | pbHelp | pbExit;
  TfrPreviewForm form;
  form.Connect(report);
  form.ApplyButtons();
  QList<QWidget*> shown;
  for (QWidget* w : form.ToolbarItems())
    if (!w->isHidden()) shown << w;
  const QList<QWidget*> expected{form.ZoomBtn(), form.ToolbarItems()[1], form.LoadBtn(),
                                 form.SaveBtn(), form.ToolbarItems()[6], form.FindBtn(),
                                 form.HelpBtn(), form.ToolbarItems()[9], form.ExitBtn()};
  EXPECT_EQ(shown, expected);
  for (int i = 1; i < shown.size(); ++i)
    EXPECT_EQ(shown[i]->x(), shown[i - 1]->x() + shown[i - 1]->width()) << i;
  // The virtual printer is no installed printer.
  EXPECT_FALSE(form.PrintBtn()->isEnabled());
}

TEST_F(PreviewFormTest, OnePageAtOneHundredPercent) {
  AddPages(report.PreparedPages, 1);
  TfrPreviewForm form;
  Open(form, report, 1000, 1200);
  const Rect& r = (*form.Pages())[0].PreviewRect;
  EXPECT_EQ(r.left, (1000 - 794) / 2);
  EXPECT_EQ(r.top, 10);
  EXPECT_EQ(form.PageLabel()->text(), "Page 1/1");
  EXPECT_EQ(form.ZoomBtn()->Caption(), "100%");
  EXPECT_FALSE(form.VScrollBar()->isEnabled());
  EXPECT_FALSE(form.HScrollBar()->isEnabled());
}

TEST_F(PreviewFormTest, ZoomChoicesAreRememberedForTheNextPreview) {
  AddPages(report.PreparedPages, 2);
  {
    TfrPreviewForm form;
    Open(form, report, 820, 600);
    form.ChooseZoom(1);
    EXPECT_EQ(form.ZoomBtn()->Caption(), "101%");
    form.ChooseZoom(50);
    EXPECT_DOUBLE_EQ(form.View.Scale, 0.5);
    EXPECT_EQ(form.ZoomBtn()->Caption(), "50%");
    form.Disconnect();
  }
  TfrPreviewForm next;
  Open(next, report, 820, 600);
  EXPECT_DOUBLE_EQ(next.View.Scale, 0.5);
  next.Disconnect();
  // A report asking for whole pages sets the memory for all later previews.
  report.InitialZoom = pzOnePage;
  TfrPreviewForm third;
  Open(third, report, 820, 600);
  EXPECT_EQ(third.View.ZoomMode, zmWholePage);
  EXPECT_DOUBLE_EQ(third.View.Scale, 580.0 / 1123);
  EXPECT_EQ(ZoomMemory().LastZoomMode, zmWholePage);
}

TEST_F(PreviewFormTest, PagingKeysAndButtons) {
  AddPages(report.PreparedPages, 4);
  TfrPreviewForm form;
  Open(form, report, 900, 600);
  const auto top = [&](int page) { return (*form.Pages())[page - 1].PreviewRect.top; };
  EXPECT_TRUE(form.HandleKey(Qt::Key_PageDown, Qt::ControlModifier));
  EXPECT_EQ(form.View.CurrentPage, 2);
  EXPECT_EQ(form.PageLabel()->text(), "Page 2/4");
  EXPECT_EQ(form.VScrollBar()->value(), top(2) - 10);
  EXPECT_TRUE(form.HandleKey(Qt::Key_PageDown, Qt::NoModifier));
  EXPECT_EQ(form.VScrollBar()->value(), top(2) - 10 + 200);
  EXPECT_TRUE(form.HandleKey(Qt::Key_Down, Qt::NoModifier));
  EXPECT_EQ(form.VScrollBar()->value(), top(2) + 200);
  // Home and End reach the focused control without Ctrl.
  EXPECT_FALSE(form.HandleKey(Qt::Key_End, Qt::NoModifier));
  EXPECT_TRUE(form.HandleKey(Qt::Key_End, Qt::ControlModifier));
  EXPECT_EQ(form.View.CurrentPage, 4);
  EXPECT_EQ(form.PageLabel()->text(), "Page 4/4");
  EXPECT_EQ(form.VScrollBar()->value(), top(4) - 10);
  form.PgDownClick();
  EXPECT_EQ(form.View.CurrentPage, 4);
  EXPECT_TRUE(form.HandleKey(Qt::Key_Home, Qt::ControlModifier));
  EXPECT_EQ(form.VScrollBar()->value(), 0);
  EXPECT_EQ(form.View.CurrentPage, 1);
  form.PgUpClick();
  EXPECT_EQ(form.View.CurrentPage, 1);
  EXPECT_EQ(form.VScrollBar()->value(), 0);
  // Ctrl with any other key is consumed without effect.
  EXPECT_TRUE(form.HandleKey(Qt::Key_Q, Qt::ControlModifier));
  EXPECT_FALSE(form.HandleKey(Qt::Key_Q, Qt::NoModifier));
  // Scrolling by hand makes the page at the top current.
  form.VScrollBar()->setValue(top(3) - 5);
  EXPECT_EQ(form.View.CurrentPage, 3);
}

TEST_F(PreviewFormTest, ALastPageShorterThanTheViewStaysCurrent) {
  AddPages(report.PreparedPages, 2);
  TfrPreviewForm form;
  Open(form, report, 900, 1200);
  form.PgDownClick();
  // The bar stops short of the page's top, where the first page still shows.
  EXPECT_EQ(form.VScrollBar()->value(), form.VScrollBar()->maximum());
  EXPECT_LT(form.VScrollBar()->value(), (*form.Pages())[1].PreviewRect.top - 10);
  EXPECT_EQ(form.View.CurrentPage, 2);
  EXPECT_EQ(form.PageLabel()->text(), "Page 2/2");
}

TEST_F(PreviewFormTest, PaintingUsesThePagesInViewAndReleasesTheOthers) {
  AddPages(report.PreparedPages, 10);
  TfrPreviewForm form;
  Open(form, report, 900, 600);
  TfrEMFPages& pages = *form.Pages();
  RecordingCanvas sink;
  for (int i = 0; i < pages.Count(); ++i) {
    pages[i].InUse = 1;
    pages.DrawPage(i, sink, {0, 0, 10, 10});
    ASSERT_NE(pages[i].RebuiltPage, nullptr);
  }
  form.PageBox()->grab();
  EXPECT_EQ(pages[0].InUse, 1);
  for (int i = 1; i < pages.Count(); ++i) {
    EXPECT_EQ(pages[i].InUse, 0) << i;
    EXPECT_EQ(pages[i].RebuiltPage, nullptr) << i;
  }
  form.VScrollBar()->setValue(pages[5].PreviewRect.top - 10);
  form.PageBox()->grab();
  EXPECT_EQ(pages[0].InUse, 0);
  EXPECT_EQ(pages[0].RebuiltPage, nullptr);
  EXPECT_EQ(pages[5].InUse, 1);
  EXPECT_NE(pages[5].RebuiltPage, nullptr);
}

TEST_F(PreviewFormTest, DraggingTheGrayLeavesThePageAndMovesTheView) {
  AddPages(report.PreparedPages, 3);
  TfrPreviewForm form;
  Open(form, report, 900, 600);
  form.PgDownClick();
  const int before = form.VScrollBar()->value();
  TfrPBox* box = form.PageBox();
  test::Press(box, {2, 300});  // left of the centred page
  EXPECT_TRUE(box->Dragging);
  EXPECT_EQ(box->ClickedPage, 0);
  EXPECT_EQ(form.View.CurrentPage, 2);
  test::SendDrag(box, {2, 250});
  EXPECT_EQ(form.VScrollBar()->value(), before + 50);
  test::Release(box, {2, 250});
  EXPECT_FALSE(box->Dragging);
  // A press on a page makes it current; the wheel moves by 10 pixels.
  const Rect& r = (*form.Pages())[0].PreviewRect;
  form.VScrollBar()->setValue(0);
  test::Press(box, {r.left + 5, r.top + 5});
  EXPECT_EQ(box->ClickedPage, 1);
  EXPECT_EQ(form.View.CurrentPage, 1);
  form.BoxWheel(-2);
  EXPECT_EQ(form.VScrollBar()->value(), 20);
}

TEST_F(PreviewFormTest, SavedPagesLoadBackByteForByte) {
  AddPages(report.PreparedPages, 2);
  for (int i = 0; i < 2; ++i) report.PreparedPages.RecordStream(i).WriteU8(0);  // distinct bytes
  std::vector<std::vector<std::uint8_t>> before;
  for (int i = 0; i < 2; ++i) before.push_back(report.PreparedPages[i].ObjectStream.Bytes());
  QTemporaryDir dir;
  TfrPreviewForm form;
  Open(form, report, 900, 600);
  const std::string name = dir.filePath("sheet.txt").toStdString();
  form.AskSaveName = [&](TfrPreviewForm&) { return QString::fromStdString(name); };
  form.SaveBtnClick();
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(form.PageCount(), 2);
  EXPECT_EQ(report.PreparedPages.Count(), 0);
  const std::string saved = dir.filePath("sheet.frp").toStdString();
  ASSERT_TRUE(std::ifstream(saved).good()) << "the extension becomes .frp";

  TfrReport other;
  TfrPreviewForm second;
  AddPages(other.PreparedPages, 1);
  Open(second, other, 900, 600);
  second.PgDownClick();
  second.AskOpenName = [&](TfrPreviewForm&) { return QString::fromStdString(saved); };
  second.LoadBtnClick();
  ASSERT_EQ(second.PageCount(), 2);
  EXPECT_EQ(second.View.CurrentPage, 1);
  EXPECT_EQ(second.PageLabel()->text(), "Page 1/2");
  for (int i = 0; i < 2; ++i) EXPECT_EQ((*second.Pages())[i].ObjectStream.Bytes(), before[i]);
}

TEST_F(PreviewFormTest, AFileThatCannotBeReadIsReportedAndLosesNothing) {
  AddPages(report.PreparedPages, 2);
  QTemporaryDir dir;
  const std::string bad = dir.filePath("bad.frp").toStdString();
  std::ofstream(bad) << "not a prepared report";
  TfrPreviewForm form;
  Open(form, report, 900, 600);
  form.AskOpenName = [&](TfrPreviewForm&) { return QString::fromStdString(bad); };
  form.LoadBtnClick();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(form.PageCount(), 2);
  EXPECT_EQ(report.PreparedPages.Count(), 0);
  host.messages.clear();
  form.AskOpenName = [&](TfrPreviewForm&) { return dir.filePath("missing.frp"); };
  form.LoadBtnClick();
  EXPECT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(form.PageCount(), 2);
  // Saving into a folder that does not exist keeps the pages too.
  host.messages.clear();
  form.AskSaveName = [&](TfrPreviewForm&) { return dir.filePath("no/such/dir/x.frp"); };
  form.SaveBtnClick();
  EXPECT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(form.PageCount(), 2);
  // Cancel changes nothing.
  form.AskOpenName = [](TfrPreviewForm&) { return QString(); };
  form.LoadBtnClick();
  EXPECT_EQ(form.PageCount(), 2);
}

TEST_F(PreviewFormTest, ContextHelpShowsTheControlsText) {
  AddPages(report.PreparedPages, 1);
  TfrPreviewForm form;
  Open(form, report, 900, 600);
  form.HelpBtnClick();
  EXPECT_TRUE(form.HelpMode());
  const QPoint onBox = form.PageBox()->mapTo(&form, QPoint(5, 5));
  EXPECT_EQ(form.HelpAt(onBox), hcPageBox);
  EXPECT_FALSE(form.HelpMode());
  EXPECT_EQ(form.LastHelpText, PreviewHelpText(hcPageBox));
  form.HelpBtnClick();
  EXPECT_EQ(form.HelpAt(form.HelpBtn()->mapTo(&form, QPoint(3, 3))), 0);
}

TEST_F(PreviewFormTest, WindowPositionIsKeptInTheUserSettings) {
  AddPages(report.PreparedPages, 1);
  report.ModalPreview = false;
  {
    TfrPreviewForm form;
    form.Connect(report);
    form.show();
    form.setWindowState(Qt::WindowNoState);
    form.setGeometry(40, 50, 640, 480);
    form.ExitBtnClick();
  }
  QSettings settings(QSettings::UserScope, "Quillet");
  settings.beginGroup("Form/TfrPreviewForm");
  EXPECT_EQ(settings.value("Width").toInt(), 640);
  EXPECT_EQ(settings.value("Height").toInt(), 480);
  EXPECT_FALSE(settings.value("Maximized").toBool());
}

}  // namespace
}  // namespace quillet
