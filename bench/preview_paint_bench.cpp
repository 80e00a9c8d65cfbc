// Painting the preview: a page of 2,000 objects at 100 % and at 25 %, and
// scrolling through a report of 1,000 pages. The page painted at 100 % is
// read against its baseline of the same run, drawing the same page straight
// into an image with DrawPage; the scroll against painting one view.
#include <benchmark/benchmark.h>

#include <QLayout>
#include <QPainter>
#include <QScrollBar>

#include "platform/qt/qt_canvas.h"
#include "preview/preview_form.h"
#include "preview/preview_view.h"
#include "report/base/engine_state.h"
#include "report/component/report.h"
#include "report/printer/printer.h"
#include "report/views/memo/memo_view.h"
#include "report/views/shape_view.h"
#include "report/views/view_registry.h"

namespace quillet {
namespace {

constexpr int kObjects = 2000;
constexpr int kPages = 1000;

// A report of `pages` pages, each holding `objects` shapes and captions.
void Prepare(TfrReport& report, int pages, int objects) {
  report.ShowProgress = false;
  report.Template.ClearTemplate();
  for (int p = 0; p < pages; ++p) {
    TfrPage& page = report.Template.AddPage();
    for (int i = 0; i < objects; ++i) {
      const int x = 20 + (i % 40) * 18;
      const int y = 20 + (i / 40) * 20;
      if (i % 2) {
        auto v = std::make_unique<TfrMemoView>();
        v->Name = "Memo" + std::to_string(i);
        v->SetGeometry(x, y, 17, 18);
        v->Memo = {"W" + std::to_string(i % 100)};
        page.AddObject(std::move(v));
      } else {
        auto v = std::make_unique<TfrShapeView>();
        v->Name = "Shape" + std::to_string(i);
        v->SetGeometry(x, y, 16, 16);
        page.AddObject(std::move(v));
      }
    }
  }
  report.Prepare();
}

struct Window {
  explicit Window(TfrReport& report, int zoomTag) {
    form.resize(1000, 800);
    form.layout()->activate();  // a hidden window lays out only when asked
    form.Connect(report);
    form.ApplyButtons();
    form.ResetView(true);
    form.ArrangePreviewPanel();
    form.ChooseZoom(zoomTag);
  }
  ~Window() { form.Disconnect(); }
  TfrPreviewForm form;
};

void PaintPage(benchmark::State& state, int zoomTag) {
  TfrReport report;
  Prepare(report, 1, kObjects);
  Window w(report, zoomTag);
  QImage image(w.form.PageBox()->size(), QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter painter(&image);
    w.form.PaintBox(painter, QRegion(image.rect()));
  }
  state.SetItemsProcessed(state.iterations() * kObjects);
}

void BM_PaintPageOf2000ObjectsAt100(benchmark::State& state) {
  PaintPage(state, 100);
}
BENCHMARK(BM_PaintPageOf2000ObjectsAt100)->Unit(benchmark::kMillisecond);

void BM_PaintPageOf2000ObjectsAt25(benchmark::State& state) {
  PaintPage(state, 25);
}
BENCHMARK(BM_PaintPageOf2000ObjectsAt25)->Unit(benchmark::kMillisecond);

// Baseline: the same page drawn straight into an image at 100 %.
void BM_DrawPageDirectly(benchmark::State& state) {
  TfrReport report;
  Prepare(report, 1, kObjects);
  TfrEMFPages& pages = report.PreparedPages;
  pages[0].InUse = 1;
  const PrinterPageInfo& info = pages[0].PageInfo;
  QtImageCanvas canvas(info.PaperWidthPx, info.PaperHeightPx);
  for (auto _ : state) pages.DrawPage(0, canvas, {0, 0, info.PaperWidthPx, info.PaperHeightPx});
  state.SetItemsProcessed(state.iterations() * kObjects);
}
BENCHMARK(BM_DrawPageDirectly)->Unit(benchmark::kMillisecond);

// Scrolling a 1,000-page report from top to bottom a view at a time; pages
// out of view are released as the view moves on.
void BM_ScrollThrough1000Pages(benchmark::State& state) {
  TfrReport report;
  Prepare(report, kPages, 10);
  Window w(report, 100);
  QImage image(w.form.PageBox()->size(), QImage::Format_RGB32);
  QScrollBar* bar = w.form.VScrollBar();
  int views = 0;
  for (auto _ : state) {
    for (int pos = 0; pos <= bar->maximum(); pos += image.height()) {
      bar->setValue(pos);
      QPainter painter(&image);
      w.form.PaintBox(painter, QRegion(image.rect()));
      ++views;
    }
    bar->setValue(0);
  }
  state.counters["views"] = benchmark::Counter(views, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ScrollThrough1000Pages)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
}  // namespace quillet
