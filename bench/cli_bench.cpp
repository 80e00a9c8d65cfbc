// quillet-cli on a 1,000-page banded report: preparing the template, and
// rendering the prepared pages to PNG and to PDF. Each figure includes the
// program's start; read them against BM_CliStartBaseline of the same run.
#include <benchmark/benchmark.h>

#include <QProcess>
#include <QTemporaryDir>
#include <stdexcept>

#include "platform/qt/qt_canvas.h"
#include "report/base/engine_state.h"
#include "report/template/page.h"
#include "report/template/report_template.h"
#include "report/views/band_view.h"
#include "report/views/memo/memo_view.h"
#include "report/views/view_registry.h"

namespace quillet {
namespace {

// In 12-point type about 57 lines of the memo fill a page, so 57,000 lines
// make some 1,000 pages (a memo holds at most 65,535 lines).
constexpr int kMemoLines = 57000;

QTemporaryDir& Work() {
  static QTemporaryDir dir;
  return dir;
}

QString InWork(const char* name) {
  return Work().filePath(QString::fromLatin1(name));
}

void Cli(const QStringList& args) {
  QProcess p;
  p.start(QStringLiteral(QUILLET_CLI), args);
  if (!p.waitForFinished(600000) || p.exitCode() != 0)
    throw std::runtime_error("quillet-cli failed: " + p.readAllStandardError().toStdString());
}

// A page header on every page, and a summary whose memo breaks over pages.
void WriteTemplate() {
  TfrTemplate t;
  t.Pages.push_back(std::make_unique<TfrPage>(Engine()));
  TfrPage& page = *t.Pages.back();
  auto header = std::make_unique<TfrBandView>();
  header->Name = "PageHeader1";
  header->FrameTyp = btPageHeader;
  header->SetGeometry(0, 20, 758, 30);
  page.AddObject(std::move(header));
  auto title = std::make_unique<TfrMemoView>();
  title->Name = "Title1";
  title->SetGeometry(20, 22, 400, 20);
  title->Memo = {"A thousand pages"};
  page.AddObject(std::move(title));
  auto band = std::make_unique<TfrBandView>();
  band->Name = "Summary1";
  band->FrameTyp = btReportSummary;
  band->Flags = flStretched | flBandBreaked;
  band->SetGeometry(0, 100, 758, 40);
  page.AddObject(std::move(band));
  auto memo = std::make_unique<TfrMemoView>();
  memo->Name = "Body";
  memo->SetGeometry(20, 105, 400, 30);
  memo->Font_.Size = 12;
  for (int i = 1; i <= kMemoLines; ++i) memo->Memo.push_back("Line number " + std::to_string(i));
  page.AddObject(std::move(memo));
  t.SaveTemplateFile(InWork("thousand.frf").toStdString());
  Cli({"prepare", InWork("thousand.frf"), "-o", InWork("thousand.frp")});
}

// The template and its prepared file, written once before the first
// benchmark that reads them.
void EnsureWritten() {
  static const bool written = (WriteTemplate(), true);
  (void)written;
}

void BM_ReportPageCount(benchmark::State& state) {
  EnsureWritten();
  QProcess p;
  p.start(QStringLiteral(QUILLET_CLI), {"info", InWork("thousand.frp")});
  p.waitForFinished(600000);
  const QByteArray first = p.readAllStandardOutput().split('\n').value(0);
  for (auto _ : state) {
  }
  state.SetLabel(first.toStdString());
}
BENCHMARK(BM_ReportPageCount)->Iterations(1);

void BM_CliStartBaseline(benchmark::State& state) {
  for (auto _ : state) Cli({"printers"});
}
BENCHMARK(BM_CliStartBaseline)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CliPrepare1000Pages(benchmark::State& state) {
  EnsureWritten();
  for (auto _ : state) Cli({"prepare", InWork("thousand.frf"), "-o", InWork("again.frp")});
}
BENCHMARK(BM_CliPrepare1000Pages)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_CliRender1000PagesToPng(benchmark::State& state) {
  EnsureWritten();
  for (auto _ : state)
    Cli({"render", InWork("thousand.frp"), "--png", InWork("png"), "--scale", "0.5"});
}
BENCHMARK(BM_CliRender1000PagesToPng)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_CliRender1000PagesToPdf(benchmark::State& state) {
  EnsureWritten();
  for (auto _ : state) Cli({"render", InWork("thousand.frp"), "--pdf", InWork("thousand.pdf")});
}
BENCHMARK(BM_CliRender1000PagesToPdf)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace quillet
