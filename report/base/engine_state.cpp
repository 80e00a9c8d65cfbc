#include "report/base/engine_state.h"

namespace quillet {

PreparationState& Prep() {
  static PreparationState state;
  return state;
}

EngineGlobals& Engine() {
  static EngineGlobals globals;
  return globals;
}

}  // namespace quillet
