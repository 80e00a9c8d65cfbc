// Aggregates of data bands: the pre-scan that registers an accumulator for
// every aggregate call (SUM, MIN, MAX, AVG, COUNT) in the bands that show
// them, accumulating after each showing of a data band, reading for the
// standard functions, and resetting after a displaying band is shown.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "report/base/aggregate_values.h"

namespace quillet {

class PageFormation;
class TfrBand;
struct AggregateAccumulator;
struct PreparationState;

// With AggregateScan set, evaluates every aggregate call of the bands that
// show aggregates of each data band, which registers the accumulators. An
// error is recorded as a calculation error and ends the scan.
void PreScanAggregates(PageFormation& page);
// Adds the current record to `band`'s accumulators (only those counting
// invisible showings when the band is not visible).
void AccumulateAggregates(TfrBand& band);
// Adds the current record to the accumulators of `band`'s intersections
// with cross column `column` (1-based), copying the registered ones for
// that column when it is first accumulated.
void AccumulateColumn(TfrBand& band, int column);
// Adds what the accumulators of `from` took to those of `into` with the
// same key (a copy of each that `into` lacks is added): sums and counts add
// up, minimum and maximum compare, an average takes both sums and counts.
void MergeAccumulators(std::vector<AggregateAccumulator>& into,
                       const std::vector<AggregateAccumulator>& from);
// After `band` is shown: resets the accumulators it displays, or, for a
// group header, stores its condition's value (and every later group
// header's) as their GroupValue.
void ResetAggregates(TfrBand& band);
// Evaluates a group header's condition into `value`, with the header as
// the active band and object; a failure is recorded as a calculation error
// blamed on the header, and answers false.
bool EvaluateGroupCondition(TfrBand& header, Variant& value);
// The standard functions' aggregate handler: registers during the pre-scan,
// reads the accumulator otherwise. An aggregate that names a band its page
// does not hold raises ParserError.
void HandleAggregate(const PreparationState& prep, AggregateCode code, const Variant& p1,
                     const Variant& p2, const Variant& p3, Variant& result);

// "<band>\1<code>\1<expression>\1<flag>\1".
std::string AggregateKey(std::string_view bandName, AggregateCode code, std::string_view expression,
                         std::string_view flag);

}  // namespace quillet
