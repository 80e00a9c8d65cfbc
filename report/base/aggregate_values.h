// Where the standard library's aggregate functions (SUM, AVG, MIN, MAX,
// COUNT) get their values: the data layer of the preparation in progress,
// which keeps the accumulators of its data bands. Outside a preparation
// there is none and an aggregate answers "0".
#pragma once

#include "report/base/variant.h"

namespace quillet {

// Aggregate codes of the standard functions.
enum AggregateCode { agSum = 11, agMin = 12, agMax = 13, agAvg = 14, agCount = 15 };

class AggregateValues {
 public:
  virtual ~AggregateValues() = default;
  // One aggregate call. p1..p3 are the call's raw argument texts (for COUNT
  // the band name and the count-invisible flag; for the others the
  // expression, the band name and the flag). While objects are pre-scanned
  // for aggregates it registers the call; otherwise it sets `result` to the
  // accumulated value.
  virtual void Aggregate(AggregateCode code, const Variant& p1, const Variant& p2,
                         const Variant& p3, Variant& result) = 0;
};

}  // namespace quillet
