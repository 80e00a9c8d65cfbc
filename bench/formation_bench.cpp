// Forming pages: a no-band page of 10,000 objects, and a memo of 20,000
// lines breaking over pages. Read each against its baseline of the same
// run: writing the same records straight into a stream, and laying the
// same memo out once.
#include <benchmark/benchmark.h>

#include "platform/qt/qt_canvas.h"
#include "platform/stream.h"
#include "report/base/engine_state.h"
#include "report/component/report.h"
#include "report/printer/printer.h"
#include "report/views/band_view.h"
#include "report/views/memo/memo_view.h"
#include "report/views/shape_view.h"
#include "report/views/view_registry.h"

namespace quillet {
namespace {

constexpr int kObjects = 10000;
constexpr int kMemoLines = 20000;

void FillShapes(TfrPage& page) {
  for (int i = 0; i < kObjects; ++i) {
    auto v = std::make_unique<TfrShapeView>();
    v->Name = "Shape" + std::to_string(i + 1);
    v->SetGeometry(20 + (i % 70) * 10, 20 + (i / 70) * 7, 8, 6);
    page.AddObject(std::move(v));
  }
}

TfrMemoView& AddLongMemo(TfrPage& page) {
  auto band = std::make_unique<TfrBandView>();
  band->Name = "Summary";
  band->FrameTyp = btReportSummary;
  band->Flags = flStretched | flBandBreaked;
  band->SetGeometry(0, 100, 758, 40);
  page.AddObject(std::move(band));
  auto memo = std::make_unique<TfrMemoView>();
  memo->Name = "Body";
  memo->SetGeometry(20, 105, 400, 30);
  for (int i = 1; i <= kMemoLines; ++i) memo->Memo.push_back("Line number " + std::to_string(i));
  return static_cast<TfrMemoView&>(*page.AddObject(std::move(memo)));
}

void BM_NoBandPageOf10000Objects(benchmark::State& state) {
  TfrReport report;
  report.ShowProgress = false;
  FillShapes(report.Template.AddPage());
  for (auto _ : state) {
    report.Prepare();
    benchmark::DoNotOptimize(report.PreparedPages.Count());
  }
  state.SetItemsProcessed(state.iterations() * kObjects);
}
BENCHMARK(BM_NoBandPageOf10000Objects)->Unit(benchmark::kMillisecond);

// Baseline: the same 10,000 records written straight into one stream.
void BM_RecordsWrittenDirectly(benchmark::State& state) {
  TfrPage page{Engine()};
  FillShapes(page);
  for (const auto& v : page.Objects) v->PreparedMode = true;
  Prep().RenderActive = true;
  for (auto _ : state) {
    MemoryStream s;
    for (const auto& v : page.Objects) v->Record(s);
    benchmark::DoNotOptimize(s.Size());
  }
  state.SetItemsProcessed(state.iterations() * kObjects);
}
BENCHMARK(BM_RecordsWrittenDirectly)->Unit(benchmark::kMillisecond);

void BM_MemoOf20000LinesSplitAcrossPages(benchmark::State& state) {
  TfrReport report;
  report.ShowProgress = false;
  AddLongMemo(report.Template.AddPage());
  for (auto _ : state) {
    report.Prepare();
    benchmark::DoNotOptimize(report.PreparedPages.Count());
  }
  state.counters["pages"] = report.PreparedPages.Count();
}
BENCHMARK(BM_MemoOf20000LinesSplitAcrossPages)->Unit(benchmark::kMillisecond);

// Baseline: laying the same memo out once (what measuring its height costs).
void BM_MemoLaidOutOnce(benchmark::State& state) {
  TfrPage page{Engine()};
  TfrMemoView& memo = AddLongMemo(page);
  Prep().RenderActive = true;
  for (auto _ : state) benchmark::DoNotOptimize(memo.CalcHeight());
}
BENCHMARK(BM_MemoLaidOutOnce)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quillet
