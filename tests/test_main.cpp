// Every test program runs with a Qt application on the offscreen platform
// and the engine's session: Arial served by Liberation Sans, the engine's
// kinds registered and the 96-dpi measuring canvas in place. Each test
// starts the engine printer it needs (most use the fake printer).
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "session/engine_session.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  quillet::EngineSession session(nullptr, quillet::SessionPrinters::NotStarted);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
