// Loading and saving a template of 10,000 shapes, read as ratios against
// copying the same bytes (the baseline of this run).
#include <benchmark/benchmark.h>

#include <cstring>

#include "platform/stream.h"
#include "report/template/report_template.h"
#include "report/views/shape_view.h"
#include "report/views/view_registry.h"

namespace quillet {
namespace {

constexpr int kObjects = 10000;

void Fill(TfrTemplate& t) {
  TfrPage& page = t.AddPage();
  t.PrinterName = "Printer";
  for (int i = 0; i < kObjects; ++i) {
    auto v = std::make_unique<TfrShapeView>();
    v->ObjectType = gtAddIn;
    v->Name = "Shape" + std::to_string(i + 1);
    v->SetGeometry(i % 700, (i / 700) * 50, 40, 40);
    v->Tag = "5;0;0;0;50;0";
    v->Memo = {"caption"};
    page.AddObject(std::move(v));
  }
}

std::vector<std::uint8_t> TemplateBytes() {
  RegisterEngineKinds(Engine());
  TfrTemplate t;
  Fill(t);
  MemoryStream s;
  t.SaveTemplate(s);
  return s.Bytes();
}

void BM_CopyBytes(benchmark::State& state) {
  const auto bytes = TemplateBytes();
  std::vector<std::uint8_t> copy(bytes.size());
  for (auto _ : state) {
    std::memcpy(copy.data(), bytes.data(), bytes.size());
    benchmark::DoNotOptimize(copy.data());
  }
  state.SetBytesProcessed(state.iterations() * std::int64_t(bytes.size()));
}
BENCHMARK(BM_CopyBytes);

void BM_LoadTemplate(benchmark::State& state) {
  const auto bytes = TemplateBytes();
  for (auto _ : state) {
    TfrTemplate t;
    MemoryStream s(bytes);
    t.LoadTemplate(s);
    if (t.ObjectCount() != kObjects) state.SkipWithError("template did not load");
  }
  state.SetBytesProcessed(state.iterations() * std::int64_t(bytes.size()));
}
BENCHMARK(BM_LoadTemplate)->Unit(benchmark::kMillisecond);

void BM_SaveTemplate(benchmark::State& state) {
  RegisterEngineKinds(Engine());
  TfrTemplate t;
  Fill(t);
  std::int64_t written = 0;
  for (auto _ : state) {
    MemoryStream s;
    t.SaveTemplate(s);
    written += std::int64_t(s.Size());
  }
  state.SetBytesProcessed(written);
}
BENCHMARK(BM_SaveTemplate)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quillet
