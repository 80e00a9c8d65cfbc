// RunContext: what one preparation hands down to its page formations, their
// bands and the data layer: the engine it runs in with its preparation
// state, and the services page formation needs of data-driven formation
// (DataFormation).
//
// The report component makes one when it sets up the formations of a
// preparation and keeps it as long as they live; each PageFormation holds
// it by reference and its bands reach it through their page. The data layer
// sits above formation and implements DataFormation; formation never
// includes it, and cannot run without it (the context takes a reference).
#pragma once

#include <cstddef>
#include <functional>

#include "report/base/engine_state.h"

namespace quillet {

class PageFormation;
class TfrBand;

// Data-driven formation, as page formation and its bands call it.
class DataFormation {
 public:
  virtual ~DataFormation() = default;
  // Shows the page's data levels with their headers, footers and groups.
  virtual void ShowDataLevels(PageFormation& page) = 0;
  // Registers an accumulator for every aggregate call of the page.
  virtual void PreScanAggregates(PageFormation& page) = 0;
  // Adds the current record to a data band's accumulators.
  virtual void Accumulate(TfrBand& band) = 0;
  // Resets the accumulators a band shows, or stores a group header's value.
  virtual void Reset(TfrBand& band) = 0;
  // Forms and replays the target pages of a band's sub-report objects, from
  // the object at index `first` of its Views (its first visible sub-report
  // object) to the end; CurrentY ends below the lowest of them.
  virtual void FormSubReports(TfrBand& band, std::size_t first) = 0;
  // Writes the intersections of a horizontal band with the cross columns,
  // after the band's own objects.
  virtual void DrawCrossObjects(TfrBand& band) = 0;
  // The largest height of a band over the cross columns: `measure` gives
  // the band's height for the column being measured.
  virtual int MeasureCrossColumns(TfrBand& band, const std::function<int()>& measure) = 0;
  // Gives the bands the cross-data band's data source names their own
  // cross data sets (placing the objects of a page).
  virtual void LinkCrossDataSources(PageFormation& page) = 0;
};

class RunContext {
 public:
  // Neither is owned; both outlive the context.
  RunContext(EngineGlobals& engine, DataFormation& data) : engine_(engine), data_(data) {}
  RunContext(const RunContext&) = delete;
  RunContext& operator=(const RunContext&) = delete;

  EngineGlobals& Globals() const { return engine_; }
  PreparationState& State() const { return engine_.Run; }
  DataFormation& Data() const { return data_; }

 private:
  EngineGlobals& engine_;
  DataFormation& data_;
};

}  // namespace quillet
