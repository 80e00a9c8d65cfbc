// The sheet printed for real: default settings, page 1, through "Print to
// PDF", rendered back at 600 dpi with pdftoppm and measured. The ellipses
// must come out at their true size: 181 report pixels wide (50.18 mm) and
// 201 report pixels (55.72 mm) apart.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <filesystem>
#include <vector>

#include "sheet/sheet_layout.h"
#include "sheet/sheet_report.h"
#include "platform/headless_host.h"
#include "platform/qt/qt_platform_printer.h"
#include "report/base/engine_state.h"
#include "report/printer/printer.h"
#include "tests/support.h"

namespace quillet {
namespace {

constexpr int kDpi = 600;

double DevicePixels(double reportPixels) {
  return reportPixels * kDpi / ReportPixelsPerInch;
}
double Millimetres(double devicePixels) {
  return devicePixels / kDpi * 25.4;
}

struct DarkRun {
  int from, to;  // inclusive
  double Centre() const { return (from + to) / 2.0; }
};

bool Dark(QRgb c) {
  return qGray(c) < 128;
}

std::vector<DarkRun> RowRuns(const QImage& img, int y) {
  std::vector<DarkRun> runs;
  for (int x = 0; x < img.width(); ++x) {
    if (!Dark(img.pixel(x, y))) continue;
    int end = x;
    while (end + 1 < img.width() && Dark(img.pixel(end + 1, y))) ++end;
    runs.push_back({x, end});
    x = end;
  }
  return runs;
}

std::vector<DarkRun> ColumnRuns(const QImage& img, int x) {
  std::vector<DarkRun> runs;
  for (int y = 0; y < img.height(); ++y) {
    if (!Dark(img.pixel(x, y))) continue;
    int end = y;
    while (end + 1 < img.height() && Dark(img.pixel(x, end + 1))) ++end;
    runs.push_back({y, end});
    y = end;
  }
  return runs;
}

// Renders the PDF's page into pngStem.png; `crop` (when not empty) keeps
// only that part of the page, in pixels of the rendering.
bool Render(const QString& pdf, int dpi, const QString& pngStem, QRect crop = {}) {
  QStringList args{QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"),
                   QStringLiteral("-singlefile")};
  if (!crop.isEmpty())
    args << QStringLiteral("-gray") << QStringLiteral("-x") << QString::number(crop.x())
         << QStringLiteral("-y") << QString::number(crop.y()) << QStringLiteral("-W")
         << QString::number(crop.width()) << QStringLiteral("-H") << QString::number(crop.height());
  args << pdf << pngStem;
  QProcess p;
  p.start(QStringLiteral("pdftoppm"), args);
  return p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

TEST(SheetPrintPdf, EllipsesComeOutAtTheirTrueSize) {
  if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
    GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed: the printed PDF cannot be measured";

  const std::string folder = test::OutputPath("sheet-pdf");
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  QtPlatformPrinter platform(QString::fromStdString(folder));
  const std::vector<std::string> names = platform.PrinterNames();
  platform.SetPrinterIndex(static_cast<int>(names.size()) - 1);  // "Print to PDF"
  StartEnginePrinter([&] { return &platform; });
  HeadlessHost host;
  SetHost(&host);
  Prep() = PreparationState{};
  struct Cleanup {
    ~Cleanup() {
      SetHost(nullptr);
      Prep() = PreparationState{};
      StopEnginePrinter();
    }
  } cleanup;

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
  ASSERT_TRUE(Render(pdf, 96, small));
  // An A4 page.
  const QImage page(small + QStringLiteral(".png"));
  EXPECT_NEAR(page.width(), 794, 1);
  EXPECT_NEAR(page.height(), 1123, 1);
  // The top-left part that holds the two ellipses, in gray, at 600 dpi.
  const QString stem = QDir(QString::fromStdString(folder)).filePath(QStringLiteral("sheet600"));
  ASSERT_TRUE(Render(pdf, kDpi, stem, QRect(0, 0, 2200, 2400)));
  const QImage img(stem + QStringLiteral(".png"));
  ASSERT_FALSE(img.isNull());

  // The first ellipse: left 27, top 16, 181 x 181 report pixels, drawn at
  // the paper's true scale from its corner.
  const int cx = static_cast<int>(DevicePixels(27 + 90.5));
  const int cy = static_cast<int>(DevicePixels(16 + 90.5));
  const std::vector<DarkRun> row = RowRuns(img, cy);
  ASSERT_GE(row.size(), 2u);
  const DarkRun left = row.front();
  DarkRun right = row.front();
  for (const DarkRun& r : row)
    if (r.Centre() < cx + DevicePixels(150)) right = r;  // the outline, not the next object
  const double width = Millimetres(right.Centre() - left.Centre());
  EXPECT_NEAR(width, 181 / ReportPixelsPerInch * 25.4, 0.1) << "width " << width << " mm";
  EXPECT_NEAR(width, 50.18, 0.1);

  const std::vector<DarkRun> column = ColumnRuns(img, cx);
  ASSERT_GE(column.size(), 2u);
  const double top1 = column.front().Centre();
  double top2 = -1;
  for (const DarkRun& r : column) {
    if (r.Centre() > top1 + DevicePixels(181 + 10)) {
      top2 = r.Centre();
      break;
    }
  }
  ASSERT_GT(top2, 0);
  const double distance = Millimetres(top2 - top1);
  EXPECT_NEAR(distance, 201 / ReportPixelsPerInch * 25.4, 0.1) << "distance " << distance << " mm";
  EXPECT_NEAR(distance, 55.72, 0.1);
  // The top outline at its place from the paper's top edge.
  EXPECT_NEAR(Millimetres(top1), 16 / ReportPixelsPerInch * 25.4, 0.3);
}

}  // namespace
}  // namespace quillet
