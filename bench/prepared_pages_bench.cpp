// Prepared pages: saving and loading a 10,000-page file, drawing a page of
// 500 objects, and memory while 10,000 pages are drawn one after another.
// Read each figure against the baseline of the same run.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstring>

#include "platform/qt/qt_canvas.h"
#include "platform/recording_canvas.h"
#include "report/base/engine_state.h"
#include "report/prepared/prepared_pages.h"
#include "report/printer/page_paper.h"
#include "report/printer/printer.h"
#include "report/views/shape_view.h"
#include "report/views/view_registry.h"

namespace quillet {
namespace {

PagePaper A4() {
  PagePaper p;
  p.PaperWidthTenths = 2100;
  p.PaperHeightTenths = 2970;
  ApplyPagePaper(EnginePrinter(Engine()), p);
  return p;
}

void FillPages(TfrEMFPages& pages, int count, int objectsPerPage) {
  const PagePaper paper = A4();
  for (int i = 0; i < count; ++i) {
    pages.InsertPage(i, paper);
    for (int k = 0; k < objectsPerPage; ++k) {
      TfrShapeView v;
      v.Name = "Shape" + std::to_string(k);
      v.ShapeKind = static_cast<std::uint8_t>(k % 3);
      v.Tag = "5;0;1;0;50;0";
      v.SetGeometry(10 + (k * 37) % 700, 10 + (k * 53) % 1000, 40, 30);
      v.PreparedMode = true;
      v.Record(pages.RecordStream(i));
    }
  }
  Prep().ActiveView = nullptr;
}

long MaxRssKb() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

void BM_SaveLoad10000Pages(benchmark::State& state) {
  TfrEMFPages pages{Engine()};
  FillPages(pages, 10000, 6);
  std::size_t bytes = 0;
  for (auto _ : state) {
    MemoryStream file;
    pages.WritePreparedFile(file);
    file.Seek(0);
    TfrEMFPages back{Engine()};
    back.ReadPreparedFile(file);
    bytes = file.Bytes().size();
    benchmark::DoNotOptimize(back.Count());
  }
  state.counters["pages/s"] =
      benchmark::Counter(10000.0 * state.iterations(), benchmark::Counter::kIsRate);
  state.counters["bytes/page"] = double(bytes) / 10000;
}
BENCHMARK(BM_SaveLoad10000Pages)->Unit(benchmark::kMillisecond);

// Baseline: copying the same file's bytes twice (out and back in).
void BM_CopyFileBytesBaseline(benchmark::State& state) {
  TfrEMFPages pages{Engine()};
  FillPages(pages, 10000, 6);
  MemoryStream file;
  pages.WritePreparedFile(file);
  std::vector<std::uint8_t> a(file.Bytes()), b(a.size());
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), a.size());
    std::memcpy(a.data(), b.data(), a.size());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_CopyFileBytesBaseline)->Unit(benchmark::kMillisecond);

template <typename MakeCanvas>
void DrawPage500(benchmark::State& state, MakeCanvas make) {
  TfrEMFPages pages{Engine()};
  FillPages(pages, 1, 500);
  auto canvas = make();
  for (auto _ : state) {
    pages[0].InUse = 1;
    pages.DrawPage(0, *canvas, {0, 0, 758, 1071});
    pages[0].InUse = 0;
    pages.DrawPage(0, *canvas, {});  // releases the rebuilt page, as the printer does
    if constexpr (std::is_same_v<decltype(canvas), std::unique_ptr<RecordingCanvas>>)
      canvas->Clear();
  }
}

void BM_DrawPage500IntoImage(benchmark::State& state) {
  DrawPage500(state, [] { return std::make_unique<QtImageCanvas>(758, 1071); });
}
BENCHMARK(BM_DrawPage500IntoImage)->Unit(benchmark::kMillisecond);

void BM_DrawPage500IntoRecording(benchmark::State& state) {
  DrawPage500(state, [] { return std::make_unique<RecordingCanvas>(DeviceKind::Metafile); });
}
BENCHMARK(BM_DrawPage500IntoRecording)->Unit(benchmark::kMillisecond);

// Baseline: 500 filled rectangles straight onto the image.
void BM_FillRects500Baseline(benchmark::State& state) {
  QtImageCanvas canvas(758, 1071);
  for (auto _ : state)
    for (int k = 0; k < 500; ++k)
      canvas.FillRect(
          {10 + (k * 37) % 700, 10 + (k * 53) % 1000, 50 + (k * 37) % 700, 40 + (k * 53) % 1000});
}
BENCHMARK(BM_FillRects500Baseline)->Unit(benchmark::kMillisecond);

// Peak memory growth while every page of a 10,000-page report is drawn once:
// it stays flat, since each rebuilt page is released after drawing.
void BM_Draw10000PagesPeakMemory(benchmark::State& state) {
  TfrEMFPages pages{Engine()};
  FillPages(pages, 10000, 6);
  RecordingCanvas canvas(DeviceKind::Metafile);
  const long before = MaxRssKb();
  for (auto _ : state) {
    for (int i = 0; i < pages.Count(); ++i) {
      pages[i].InUse = 1;
      pages.DrawPage(i, canvas, {0, 0, 758, 1071});
      pages[i].InUse = 0;
      pages.DrawPage(i, canvas, {});
      canvas.Clear();
    }
  }
  state.counters["peak growth KB"] = double(MaxRssKb() - before);
}
BENCHMARK(BM_Draw10000PagesPeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace quillet
