// The first two pages of the banded fixture drawn through DrawPage into an
// image, side by side, for a person to look at; plus a few pixel probes.
#include <QImage>

#include "platform/qt/qt_canvas.h"
#include "tests/report/formation/formation_templates.h"
#include "tests/support.h"

namespace quillet::test {
namespace {

class FormationPicture : public FormationTest {};

TEST_F(FormationPicture, FirstTwoPagesOfTheBandedReport) {
  TfrReport report;
  LoadFixture(report, "banded.frf");
  ASSERT_TRUE(report.Prepare());
  ASSERT_GE(report.PreparedPages.Count(), 2);
  const int w = report.PreparedPages[0].PageInfo.PaperWidthPx;
  const int h = report.PreparedPages[0].PageInfo.PaperHeightPx;
  QtImageCanvas canvas(2 * w + 30, h + 20, MakeColor(160, 160, 160));
  for (int p = 0; p < 2; ++p) {
    const Rect page{10 + p * (w + 10), 10, 10 + p * (w + 10) + w, 10 + h};
    canvas.SetBrushStyle(BrushStyle::Solid);
    canvas.SetBrushColor(clWhite);
    canvas.FillRect(page);
    report.PreparedPages[p].InUse = 1;
    report.PreparedPages.DrawPage(p, canvas, page);
  }
  const QImage& img = canvas.Image();
  ASSERT_TRUE(img.save(QString::fromStdString(OutputPath("formation_pages.png"))));

  // Text of the title on page 1 near (10 + 20, 10 + 25); none at the same
  // place on page 2, where the header sits instead.
  auto inkIn = [&](int x0, int y0, int x1, int y1) {
    int ink = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) ink += qGray(img.pixel(x, y)) < 128;
    return ink;
  };
  EXPECT_GT(inkIn(30, 35, 150, 50), 20);               // "Report title"
  EXPECT_GT(inkIn(30, 65, 150, 80), 20);               // "Page header" below it
  EXPECT_GT(inkIn(20 + w + 10, 35, 150 + w, 50), 20);  // header on page 2
  EXPECT_GT(inkIn(30, 1036, 150, 1051), 20);           // footer of page 1
  EXPECT_EQ(inkIn(10 + w + 10 + 600, 210, 10 + w + 10 + 700, 310),
            0);  // the logo is on page 1 only
  EXPECT_GT(inkIn(10 + 600, 210, 10 + 700, 310), 0);
}

}  // namespace
}  // namespace quillet::test
