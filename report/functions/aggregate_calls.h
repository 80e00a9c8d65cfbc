// Where the standard library's aggregate functions (SUM, AVG, MIN, MAX,
// COUNT) get their values. Data bands keep the accumulators; until they
// are installed (when the engine library starts) an aggregate answers "0".
#pragma once

#include <functional>

#include "report/base/variant.h"

namespace quillet {

// Aggregate codes of the standard functions.
enum AggregateCode { agSum = 11, agMin = 12, agMax = 13, agAvg = 14, agCount = 15 };

// (code, p1, p2, p3, result): p1..p3 are the call's raw argument texts
// (for COUNT the band name and the count-invisible flag; for the others the
// expression, the band name and the flag).
using AggregateHandler = std::function<void(AggregateCode code, const Variant& p1,
                                            const Variant& p2, const Variant& p3, Variant& result)>;

// The handler in force: it registers the call while AggregateScan is set and
// reads the accumulated value otherwise.
AggregateHandler& Aggregates();

}  // namespace quillet
