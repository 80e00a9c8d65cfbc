// Every test program runs with a Qt application on the offscreen platform,
// Arial served by Liberation Sans, the engine's kinds registered, and the
// 96-dpi measuring canvas in place.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "platform/qt/qt_canvas.h"
#include "report/base/engine_state.h"
#include "report/component/engine_library.h"
#include "report/views/view_registry.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  quillet::InstallFontSubstitutions();
  quillet::RegisterEngineKinds();
  quillet::QtImageCanvas measuring(4, 4);
  quillet::Engine().MeasuringCanvas = &measuring;
  quillet::StartEngineLibrary();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
