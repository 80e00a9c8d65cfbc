// The sheet's prepared page drawn through DrawPage at 100 % and at 250 %.
#include <gtest/gtest.h>

#include "platform/qt/qt_canvas.h"
#include "report/base/engine_state.h"
#include "report/printer/printer.h"
#include "sheet/sheet_layout.h"
#include "sheet/sheet_report.h"
#include "tests/support.h"

namespace quillet {
namespace {

bool Dark(const QImage& img, int x, int y) {
  return qGray(img.pixel(x, y)) < 128;
}

// The first column from the left, on row y, that holds ink.
int FirstInk(const QImage& img, int y) {
  for (int x = 0; x < img.width(); ++x)
    if (Dark(img, x, y)) return x;
  return -1;
}

TEST(SheetPreparedPicture, DrawsAtTrueAndEnlargedScale) {
  StartEnginePrinter(Engine(), nullptr);
  {
    SheetReportComponent sheet;
    SheetSettings s;
    s.Count = 3;
    LayOutSheet(s, sheet);
    ASSERT_TRUE(sheet.Report().Prepare());
    TfrEMFPages& pages = sheet.Report().PreparedPages;
    ASSERT_EQ(pages.Count(), 1);
    const PrinterPageInfo& info = pages[0].PageInfo;

    pages[0].InUse = 1;
    QtImageCanvas full(info.PaperWidthPx, info.PaperHeightPx);
    pages.DrawPage(0, full, {0, 0, info.PaperWidthPx, info.PaperHeightPx});
    QtImageCanvas big(Round(info.PaperWidthPx * 2.5) + 40, 1200);
    pages.DrawPage(0, big,
                   {40, 0, 40 + Round(info.PaperWidthPx * 2.5), Round(info.PaperHeightPx * 2.5)});
    pages[0].InUse = 0;
    pages.DrawPage(0, full, {});
    ASSERT_TRUE(full.Image().save(QString::fromStdString(test::OutputPath("sheet_100.png"))));
    ASSERT_TRUE(big.Image().save(QString::fromStdString(test::OutputPath("sheet_250.png"))));

    // The first ellipse spans x 27 .. 208 with its centre row at 106.
    EXPECT_EQ(FirstInk(full.Image(), 106), 27);
    EXPECT_TRUE(Dark(full.Image(), 208, 106) || Dark(full.Image(), 207, 106));
    // Enlarged: its left edge at 40 + 27 x 2.5 = 107.5, within a pixel.
    EXPECT_NEAR(FirstInk(big.Image(), Round(106 * 2.5)), 107, 1);
    // The third ellipse is there too (top 418).
    EXPECT_EQ(FirstInk(full.Image(), 418 + 90), 27);
  }
  test::StopFreshEngine();
}

}  // namespace
}  // namespace quillet
