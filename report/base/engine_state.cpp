#include "report/base/engine_state.h"

namespace quillet {

EngineGlobals& Engine() {
  static EngineGlobals engine;
  return engine;
}

PreparationState& Prep() {
  return Engine().Run;
}

}  // namespace quillet
