#include "report/functions/aggregate_calls.h"

namespace quillet {

AggregateHandler& Aggregates() {
  static AggregateHandler handler;
  return handler;
}

}  // namespace quillet
