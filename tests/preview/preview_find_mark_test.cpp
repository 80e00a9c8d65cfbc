// The find mark as the user sees it: a search started from the Find dialog
// (its button or Ctrl+F) leaves the match inverted on screen after the
// dialog has closed and the window has taken the focus back. The pixels are
// read from the window's backing store, what the screen shows, not from a
// fresh paint.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <functional>

#include "preview/preview_search_form.h"
#include "preview/preview_view.h"
#include "preview/toolbar_button.h"
#include "sheet/sheet_layout.h"
#include "sheet/sheet_report.h"
#include "tests/preview/input_events.h"
#include "tests/preview/preview_support.h"
#include "tests/support.h"

namespace quillet {
namespace {

// Lets the window system's events (activation, focus, pending paints) run.
void Settle() {
  for (int i = 0; i < 5; ++i) {
    QEventLoop loop;
    QTimer::singleShot(20, &loop, &QEventLoop::quit);
    loop.exec();
  }
}

// Fills the Find dialog once it is up modally and presses OK.
void AnswerFindDialog(const QString& text) {
  QTimer::singleShot(0, [text] {
    auto* dialog = qobject_cast<TfrPreviewSearchForm*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr) << "the Find dialog is up";
    dialog->Edit1->setText(text);
    dialog->CB1->setChecked(true);
    dialog->accept();
  });
}

class PreviewFindMark : public test::PreviewTest {
 protected:
  void SetUp() override {
    PreviewTest::SetUp();
    SheetSettings settings;  // two 50 mm rectangles
    LayOutSheet(settings, sheet);
    sheet.Prepare();
    TfrReport& r = sheet.Report();
    r.PreviewButtons = pbZoom | pbLoad | pbSave | pbFind | pbHelp | pbExit;
    r.ModalPreview = false;
    form.resize(1000, 760);
    form.Connect(r);
    form.ApplyButtons();
    form.ResetView(true);
    form.show();
    form.activateWindow();
    form.ArrangePreviewPanel();
    Settle();
  }

  // What the screen shows of the window.
  QImage OnScreen() { return form.screen()->grabWindow(form.winId()).toImage(); }

  // Share of dark pixels inside `boxRect` (page box pixels) on screen.
  double DarkShare(const QImage& screen, const QRect& boxRect) {
    const QRect r(form.PageBox()->mapTo(&form, boxRect.topLeft()), boxRect.size());
    int dark = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x) dark += qGray(screen.pixel(x, y)) < 128;
    return double(dark) / (r.width() * r.height());
  }

  // A search through the dialog, opened by `open`; then the window gets
  // the focus back as it does when a modal dialog closes.
  void SearchThroughTheDialog(const std::function<void()>& open) {
    AnswerFindDialog("W = 50");
    open();
    // When the window gets the focus back the window system has it
    // repainted (how much depends on the style and the window manager; the
    // offscreen platform asks for nothing): here all of the page box.
    form.PageBox()->update();
    Settle();
    ASSERT_TRUE(form.Search.SearchHit);
    ASSERT_FALSE(form.LastMark.isEmpty());
  }

  SheetReportComponent sheet;
  TfrPreviewForm form;
};

TEST_F(PreviewFindMark, FindButtonLeavesTheMatchInvertedOnScreen) {
  SearchThroughTheDialog([this] { test::Click(form.FindBtn()); });
  const QImage screen = OnScreen();
  ASSERT_TRUE(
      screen.save(QString::fromStdString(test::OutputPath("preview_find_dialog_mark.png"))));
  // Black text on white inverted: mostly dark inside the mark, white paper
  // just left of it.
  EXPECT_GT(DarkShare(screen, form.LastMark), 0.6);
  EXPECT_LT(DarkShare(screen, form.LastMark.translated(-form.LastMark.width() - 4, 0)), 0.2);

  // Scrolling draws the page afresh without the mark.
  form.VScrollBar()->setValue(form.VScrollBar()->value() + 30);
  Settle();
  EXPECT_TRUE(form.PageBox()->Mark().isEmpty());
  EXPECT_LT(DarkShare(OnScreen(), form.LastMark.translated(0, -30)), 0.4);
}

TEST_F(PreviewFindMark, CtrlFLeavesTheMatchInvertedOnScreen) {
  SearchThroughTheDialog([this] {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_F, Qt::ControlModifier);
    QApplication::sendEvent(form.PageBox(), &press);
  });
  EXPECT_GT(DarkShare(OnScreen(), form.LastMark), 0.6);
  // A repaint that moves nothing keeps it.
  form.PageBox()->repaint();
  EXPECT_GT(DarkShare(OnScreen(), form.LastMark), 0.6);
}

}  // namespace
}  // namespace quillet
