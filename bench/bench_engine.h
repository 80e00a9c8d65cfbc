// What every benchmark program needs of the engine: Arial served by
// Liberation Sans, the object kinds, the 96-dpi measuring canvas and the
// virtual printer. Make one after the Qt application, before running.
#pragma once

#include "platform/qt/qt_canvas.h"
#include "report/base/engine_state.h"
#include "report/printer/printer.h"
#include "report/views/view_registry.h"

namespace quillet::bench {

class BenchEngine {
 public:
  BenchEngine() {
    InstallFontSubstitutions();
    RegisterEngineKinds();
    Engine().MeasuringCanvas = &measuring_;
    StartEnginePrinter(nullptr);
  }
  ~BenchEngine() {
    StopEnginePrinter();
    Engine().MeasuringCanvas = nullptr;
  }
  BenchEngine(const BenchEngine&) = delete;
  BenchEngine& operator=(const BenchEngine&) = delete;

 private:
  QtImageCanvas measuring_{4, 4};
};

}  // namespace quillet::bench
