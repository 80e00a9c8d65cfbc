// The sheet printed for real: default settings, page 1, through "Print to
// PDF", rendered back at 600 dpi with pdftoppm and measured (sheet_measure). The ellipses
// must come out at their true size: 181 report pixels wide (50.18 mm) and
// 201 report pixels (55.72 mm) apart.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QStandardPaths>
#include <filesystem>
#include <vector>

#include "platform/headless_host.h"
#include "platform/qt/qt_platform_printer.h"
#include "report/base/engine_state.h"
#include "report/printer/printer.h"
#include "sheet/sheet_layout.h"
#include "sheet/sheet_report.h"
#include "tests/fakes/sheet_measure.h"
#include "tests/support.h"

namespace quillet {
namespace {

TEST(SheetPrintPdf, EllipsesComeOutAtTheirTrueSize) {
  if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
    GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed: the printed PDF cannot be measured";

  const std::string folder = test::OutputPath("sheet-pdf");
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  QtPlatformPrinter platform(QString::fromStdString(folder));
  const std::vector<std::string> names = platform.PrinterNames();
  platform.SetPrinterIndex(static_cast<int>(names.size()) - 1);  // "Print to PDF"
  HeadlessHost host;
  test::FreshEngine engine([&] { return &platform; }, &host);

  SheetReportComponent sheet;
  LayOutSheet(SheetSettings{}, sheet);
  sheet.Prepare();
  ASSERT_EQ(sheet.Report().PreparedPages.Count(), 1);
  sheet.Report().PrintPrepared("1", 1, false, 0);
  ASSERT_TRUE(host.messages.empty()) << host.messages[0].text;
  const QString pdf = platform.LastPdfPath();
  ASSERT_TRUE(QFileInfo::exists(pdf)) << pdf.toStdString();
  EXPECT_TRUE(QFileInfo(pdf).fileName().startsWith(QStringLiteral("Untitled ")));

  // A small picture to look at, and the measuring one.
  const QString small = QString::fromStdString(test::OutputPath("sheet-print"));
  ASSERT_TRUE(test::RenderPdf(pdf, 96, small));
  // An A4 page.
  const QImage page(small + QStringLiteral(".png"));
  EXPECT_NEAR(page.width(), 794, 1);
  EXPECT_NEAR(page.height(), 1123, 1);

  // The first ellipse, 181 x 181 report pixels at left 27, top 16, and the
  // next one 201 report pixels below, drawn at the paper's true scale.
  const test::SheetMeasure m = test::MeasureSheet(
      pdf, QDir(QString::fromStdString(folder)).filePath(QStringLiteral("sheet600")));
  ASSERT_TRUE(m.ok) << m.failure;
  EXPECT_NEAR(m.ellipseWidthMm, 181 / ReportPixelsPerInch * 25.4, 0.1)
      << "width " << m.ellipseWidthMm << " mm";
  EXPECT_NEAR(m.ellipseWidthMm, 50.18, 0.1);
  EXPECT_NEAR(m.stepMm, 201 / ReportPixelsPerInch * 25.4, 0.1) << "distance " << m.stepMm << " mm";
  EXPECT_NEAR(m.stepMm, 55.72, 0.1);
  // The top outline at its place from the paper's top edge.
  EXPECT_NEAR(m.topMm, 16 / ReportPixelsPerInch * 25.4, 0.3);
}

}  // namespace
}  // namespace quillet
