// Laying out a 1,000-line memo on the 96-dpi measuring canvas. Each figure
// is also given as a ratio to a baseline measured in the same run: one
// width measurement per source line, the least any layout must do.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "platform/qt/qt_canvas.h"
#include "report/base/engine_state.h"
#include "report/views/memo/memo_view.h"

namespace {

using quillet::StringList;
using quillet::TfrMemoView;

StringList LatinText() {
  const char* words[] = {"quick", "brown",   "fox",   "jumps", "over",   "the",    "lazy",
                         "dog",   "measure", "width", "of",    "report", "caption"};
  StringList lines;
  for (int i = 0; i < 1000; ++i) {
    std::string line = "Line " + std::to_string(i) + ":";
    for (int w = 0; w < 10; ++w) line += std::string(" ") + words[(i * 7 + w * 3) % 13];
    lines.push_back(line);
  }
  return lines;
}

StringList CyrillicText() {
  // колокол молоко голова дорога (code page 1251)
  const std::string words[] = {"\xEA\xEE\xEB\xEE\xEA\xEE\xEB", "\xEC\xEE\xEB\xEE\xEA\xEE",
                               "\xE3\xEE\xEB\xEE\xE2\xE0", "\xE4\xEE\xF0\xEE\xE3\xE0"};
  StringList lines;
  for (int i = 0; i < 1000; ++i) {
    std::string line;
    for (int w = 0; w < 8; ++w) line += (w ? " " : "") + words[(i + w) % 4];
    lines.push_back(line);
  }
  return lines;
}

// Seconds for one baseline pass over `lines`.
double BaselineSeconds(const StringList& lines, int charset) {
  quillet::Canvas& mc = *quillet::Engine().MeasuringCanvas;
  quillet::ReportFont font;
  font.Size = 8;
  font.Charset = charset;
  mc.SetFont(font.ToCanvasFont(font.PixelHeight(96)));
  const auto start = std::chrono::steady_clock::now();
  int total = 0;
  for (int rep = 0; rep < 5; ++rep)
    for (const std::string& l : lines) total += mc.TextWidth(l);
  benchmark::DoNotOptimize(total);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / 5;
}

void RunLayout(benchmark::State& state, const StringList& lines, std::uint16_t flags, int charset) {
  TfrMemoView memo;
  memo.Font_.Size = 8;
  memo.Font_.Charset = charset;
  memo.Flags = flags;
  memo.SetGeometry(0, 0, 200, 20000);
  const double baseline = BaselineSeconds(lines, charset);
  std::size_t produced = 0;
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    memo.WorkText = lines;
    produced = memo.LayoutText().Lines.size();
  }
  const double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  state.counters["lines_out"] = static_cast<double>(produced);
  // Wall time of one layout over the baseline's.
  state.counters["x_baseline"] = elapsed / static_cast<double>(state.iterations()) / baseline;
}

void BM_BaselineMeasureEachLine(benchmark::State& state) {
  const StringList lines = LatinText();
  quillet::Canvas& mc = *quillet::Engine().MeasuringCanvas;
  quillet::ReportFont font;
  font.Size = 8;
  mc.SetFont(font.ToCanvasFont(font.PixelHeight(96)));
  for (auto _ : state) {
    int total = 0;
    for (const std::string& l : lines) total += mc.TextWidth(l);
    benchmark::DoNotOptimize(total);
  }
}

void BM_LayoutNoWrap(benchmark::State& state) {
  RunLayout(state, LatinText(), quillet::flStretched, 1);
}

void BM_LayoutWordWrap(benchmark::State& state) {
  RunLayout(state, LatinText(), quillet::flStretched | quillet::flWordWrap, 1);
}

// The same without the measuring shortcuts: every piece measured.
void BM_LayoutWordWrapEveryPiece(benchmark::State& state) {
  quillet::SetLayoutShortcuts(false);
  RunLayout(state, LatinText(), quillet::flStretched | quillet::flWordWrap, 1);
  quillet::SetLayoutShortcuts(true);
}

void BM_LayoutWordBreakCyrillic(benchmark::State& state) {
  RunLayout(state, CyrillicText(),
            quillet::flStretched | quillet::flWordWrap | quillet::flWordBreak, 204);
}

BENCHMARK(BM_BaselineMeasureEachLine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LayoutNoWrap)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LayoutWordWrap)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LayoutWordWrapEveryPiece)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LayoutWordBreakCyrillic)->Unit(benchmark::kMillisecond);

}  // namespace
