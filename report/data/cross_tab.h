// Cross-tab bands. The cross (vertical) bands — cross header, cross data,
// cross footer — cut the horizontal bands into intersections. A horizontal
// band holding such intersections draws them after its own objects: the
// cross header's, then the cross-data band's once per record of the cross
// data set (one column each, side by side), then the cross footer's.
// Columns that do not fit before the page's right edge continue on the
// next prepared page to the side, at the same height.
#pragma once

#include <functional>

namespace quillet {

class PageFormation;
class TfrBand;

// More columns than this in one showing end the run with a calculation
// error (a data set that never reaches its end would add pages for ever).
constexpr int kMaxCrossColumns = 10'000;

// Writes the intersections of `band` with the cross columns into the
// prepared pages, from the page the band is drawn on; PageIndex is that
// page again afterwards. Errors are recorded as calculation errors, which
// stop the run.
void DrawCrossTab(TfrBand& band);

// The largest of `measure`'s heights over the cross columns of `band`
// (measure gives the band's height for the column being measured).
int MeasureCrossColumns(TfrBand& band, const std::function<int()>& measure);

// Reads the cross-data band's data source as entries "band=source;" and
// gives each named band (kinds 4 to 21) its own cross data set: a count
// makes one the band owns, any other source names a registered data set.
void LinkCrossDataSources(PageFormation& page);

}  // namespace quillet
