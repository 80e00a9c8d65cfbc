// Where page formation hands over to data-driven formation: the data
// levels of a page, the aggregate pre-scan, accumulating and resetting
// aggregates, cross-tab columns. Data-driven formation lives in a layer above this one and
// installs itself here when the engine library starts; an empty seam does
// nothing (a page then shows no data band and no aggregate is kept).
#pragma once

#include <cstddef>
#include <functional>

namespace quillet {

class PageFormation;
class TfrBand;

struct DataFormationSeams {
  // Shows the page's data levels with their headers, footers and groups.
  std::function<void(PageFormation&)> ShowDataLevels;
  // Registers an accumulator for every aggregate call of the page.
  std::function<void(PageFormation&)> PreScanAggregates;
  // Adds the current record to a data band's accumulators.
  std::function<void(TfrBand&)> Accumulate;
  // Resets the accumulators a band shows, or stores a group header's value.
  std::function<void(TfrBand&)> Reset;

  // Sub-reports
  // Forms and replays the target pages of a band's sub-report objects, from
  // the object at this index of its Views (its first visible sub-report
  // object) to the end; CurrentY ends below the lowest of them.
  std::function<void(TfrBand&, std::size_t)> FormSubReports;

  // Cross-tab
  // Writes the intersections of a horizontal band with the cross columns,
  // after the band's own objects.
  std::function<void(TfrBand&)> DrawCrossObjects;
  // The largest height of a band over the cross columns: `measure` gives
  // the band's height for the column being measured.
  std::function<int(TfrBand&, const std::function<int()>& measure)> MeasureCrossColumns;
  // Gives the bands the cross-data band's data source names their own
  // cross data sets (placing the objects of a page).
  std::function<void(PageFormation&)> LinkCrossDataSources;
};

DataFormationSeams& DataSeams();

}  // namespace quillet
