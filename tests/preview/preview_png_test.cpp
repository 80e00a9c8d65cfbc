// Pictures to look at: the preview of the default sheet at "Whole page" and
// at 200 % with a find match marked, and the toolbar with the mouse over a
// button, written into the test output folder.
#include <gtest/gtest.h>

#include <QScrollBar>

#include "preview/preview_view.h"
#include "preview/toolbar_button.h"
#include "sheet/sheet_layout.h"
#include "sheet/sheet_report.h"
#include "tests/preview/input_events.h"
#include "tests/preview/preview_support.h"
#include "tests/support.h"

namespace quillet {
namespace {

class PreviewPng : public test::PreviewTest {};

TEST_F(PreviewPng, TheSheetWholePageAndAtTwoHundredPercentWithAMatch) {
  SheetReportComponent sheet;
  SheetSettings settings;
  LayOutSheet(settings, sheet);
  sheet.Prepare();
  TfrReport& r = sheet.Report();
  r.PreviewButtons = pbZoom | pbLoad | pbSave | pbFind | pbHelp | pbExit;
  TfrPreviewForm form;
  form.resize(1000, 760);
  form.Connect(r);
  form.ApplyButtons();
  form.ResetView(true);
  form.show();
  form.ArrangePreviewPanel();
  form.ChooseZoom(zmWholePage);
  const QImage whole = form.grab().toImage();
  ASSERT_TRUE(whole.save(QString::fromStdString(test::OutputPath("preview_whole_page.png"))));
  // Gray around the page, white inside it.
  const Rect& page = (*form.Pages())[0].PreviewRect;
  const QPoint boxAt = form.PageBox()->mapTo(&form, QPoint(0, 0));
  EXPECT_EQ(whole.pixel(boxAt + QPoint(3, 3)), qRgb(128, 128, 128));
  EXPECT_EQ(whole.pixel(boxAt + QPoint(page.left + 3, page.top + 3)), qRgb(255, 255, 255));

  form.ChooseZoom(200);
  form.StartSearch({"H = 50", true, false});
  ASSERT_TRUE(form.Search.SearchHit);
  const QImage zoomed = form.grab().toImage();
  ASSERT_TRUE(zoomed.save(QString::fromStdString(test::OutputPath("preview_200_find.png"))));
  EXPECT_EQ(form.ZoomBtn()->Caption(), "200%");
  form.close();
}

TEST_F(PreviewPng, ToolbarWithTheMouseOverAButton) {
  test::AddPages(report.PreparedPages, 1);
  report.PreviewButtons = pbZoom | pbLoad | pbSave | pbFind | pbHelp | pbExit;
  TfrPreviewForm form;
  form.resize(400, 300);
  form.Connect(report);
  form.ApplyButtons();
  form.ResetView(true);
  form.show();
  test::Enter(form.SaveBtn());
  EXPECT_TRUE(form.SaveBtn()->MouseInControl());
  const QImage strip = form.ToolbarStrip()->grab().toImage();
  const QImage big = strip.scaled(strip.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  ASSERT_TRUE(big.save(QString::fromStdString(test::OutputPath("preview_toolbar_hover.png"))));
  form.close();
}

}  // namespace
}  // namespace quillet
