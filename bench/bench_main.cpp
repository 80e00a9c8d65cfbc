// The one main of every benchmark program: a Qt application on the offscreen
// platform and the engine's session with the virtual printer, then the
// benchmarks the command line selects.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>

#include "session/engine_session.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  quillet::EngineSession session(nullptr, quillet::SessionPrinters::VirtualOnly);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
