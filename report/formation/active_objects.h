// The preparation state holds the active view and band through the narrow
// interfaces lower folders see; the report component works with the full
// classes behind them.
#pragma once

#include "report/base/engine_state.h"
#include "report/formation/band.h"
#include "report/views/view.h"

namespace quillet {

// The view being evaluated, or none.
inline TfrView* ActiveTfrView(const PreparationState& run) {
  return dynamic_cast<TfrView*>(run.ActiveView);
}

// The band being formed, or none.
inline TfrBand* ActiveTfrBand(const PreparationState& run) {
  return dynamic_cast<TfrBand*>(run.ActiveBand);
}

}  // namespace quillet
