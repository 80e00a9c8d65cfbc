// Drawing each shape kind into the recording canvas and into a QImage.
// Read the figures against BM_FillRectBaseline of the same run.
#include <benchmark/benchmark.h>

#include <type_traits>

#include "platform/qt/qt_canvas.h"
#include "platform/recording_canvas.h"
#include "report/base/engine_state.h"
#include "report/views/shape_view.h"

namespace quillet {
namespace {

const char* kTags[] = {
    "0;0;0;0;0;0",    "0;0;0;0;0;0", "0;0;0;0;0;0", "0;0;0;0;0;0", "", "", "24;0;0;15;0;0", "", "",
    "12;0;0;-90;45;5"};

template <typename C>
void DrawKind(benchmark::State& state, C& canvas) {
  Prep().RenderActive = true;
  TfrShapeView v;
  v.ShapeKind = static_cast<std::uint8_t>(state.range(0));
  v.SetGeometry(20, 20, 181, 181);
  v.FrameWidth = 2;
  v.FillColor = MakeColor(200, 220, 255);
  for (auto _ : state) {
    v.Tag = kTags[state.range(0)];
    v.Draw(canvas);
    if constexpr (std::is_same_v<C, RecordingCanvas>) canvas.Clear();
    benchmark::ClobberMemory();
  }
  state.SetLabel(std::to_string(state.range(0)));
}

void BM_ShapeIntoRecording(benchmark::State& state) {
  RecordingCanvas canvas;
  DrawKind(state, canvas);
}
BENCHMARK(BM_ShapeIntoRecording)->DenseRange(0, 9);

void BM_ShapeIntoImage(benchmark::State& state) {
  QtImageCanvas canvas(240, 240);
  DrawKind(state, canvas);
}
BENCHMARK(BM_ShapeIntoImage)->DenseRange(0, 9);

// The baseline: one filled rectangle of the same size straight onto the image.
void BM_FillRectBaseline(benchmark::State& state) {
  QtImageCanvas canvas(240, 240);
  canvas.SetBrushColor(MakeColor(200, 220, 255));
  for (auto _ : state) {
    canvas.FillRect({20, 20, 202, 202});
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FillRectBaseline);

}  // namespace
}  // namespace quillet
