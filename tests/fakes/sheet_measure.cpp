#include "tests/fakes/sheet_measure.h"

#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <vector>

#include "report/printer/printer.h"

namespace quillet::test {
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

std::vector<DarkRun> Runs(const QImage& img, bool row, int at) {
  std::vector<DarkRun> runs;
  const int n = row ? img.width() : img.height();
  const auto dark = [&](int i) { return Dark(row ? img.pixel(i, at) : img.pixel(at, i)); };
  for (int i = 0; i < n; ++i) {
    if (!dark(i)) continue;
    int end = i;
    while (end + 1 < n && dark(end + 1)) ++end;
    runs.push_back({i, end});
    i = end;
  }
  return runs;
}

}  // namespace

bool RenderPdf(const QString& pdf, int dpi, const QString& pngStem, QRect crop) {
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

SheetMeasure MeasureSheet(const QString& pdf, const QString& workStem) {
  SheetMeasure m;
  if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty()) {
    m.failure = "pdftoppm (poppler-utils) is not installed";
    return m;
  }
  // The top-left part that holds the first two ellipses.
  if (!RenderPdf(pdf, kDpi, workStem, QRect(0, 0, 2200, 2400))) {
    m.failure = "pdftoppm could not render " + pdf.toStdString();
    return m;
  }
  const QImage img(workStem + QStringLiteral(".png"));
  if (img.isNull()) {
    m.failure = "no rendering of " + pdf.toStdString();
    return m;
  }
  const int cx = static_cast<int>(DevicePixels(27 + 90.5));
  const int cy = static_cast<int>(DevicePixels(16 + 90.5));
  const std::vector<DarkRun> row = Runs(img, true, cy);
  const std::vector<DarkRun> column = Runs(img, false, cx);
  if (row.size() < 2 || column.size() < 2) {
    m.failure = "the first ellipse is not where the sheet puts it";
    return m;
  }
  DarkRun right = row.front();
  for (const DarkRun& r : row)
    if (r.Centre() < cx + DevicePixels(150)) right = r;  // the outline, not the captions
  const double top1 = column.front().Centre();
  double top2 = -1;
  for (const DarkRun& r : column)
    if (r.Centre() > top1 + DevicePixels(181 + 10)) {
      top2 = r.Centre();
      break;
    }
  if (top2 < 0) {
    m.failure = "no second ellipse below the first";
    return m;
  }
  m.ok = true;
  m.ellipseWidthMm = Millimetres(right.Centre() - row.front().Centre());
  m.stepMm = Millimetres(top2 - top1);
  m.topMm = Millimetres(top1);
  return m;
}

}  // namespace quillet::test
