// The data level procedure: shows the data bands of the master, detail and
// subdetail levels once per record, with their headers, footers and group
// headers and footers, through a queue of bands waiting to be shown (a
// master record is shown only when its detail level shows something).
#pragma once

#include <array>
#include <cstddef>
#include <functional>

#include "report/base/aggregate_values.h"
#include "report/formation/run_context.h"

namespace quillet {

class PageFormation;
class TfrBand;

// The bands waiting to be shown while a page's data levels are formed.
class BandQueue {
 public:
  static constexpr int kCapacity = 100;

  explicit BandQueue(PageFormation& page) : page_(page) {}
  // Queues a band (nothing for none). More waiting bands than the queue
  // holds raise EngineError rather than being dropped silently.
  void Add(TfrBand* band);
  // Shows every queued band that is present, in order, and empties.
  void Flush();
  void DropLast();
  bool Empty() const { return count_ == 0; }
  int Count() const { return count_; }
  // The band queued first; none when the queue is empty.
  TfrBand* First() const { return count_ > 0 ? bands_[0] : nullptr; }
  // The designed height of the queued bands that will show.
  int Height() const;

 private:
  PageFormation& page_;
  std::array<TfrBand*, kCapacity> bands_{};
  int count_ = 0;
};

// Shows the page's data levels from the master level down (ComposePage).
void ShowDataLevels(PageFormation& page);

// The data layer as one preparation's formation and aggregate functions
// see it. What a run accumulates lives in the run's bands; `state` is the
// run's preparation state (not owned).
class DataLevelFormation final : public DataFormation, public AggregateValues {
 public:
  explicit DataLevelFormation(const PreparationState& state) : state_(state) {}

  void ShowDataLevels(PageFormation& page) override;
  void PreScanAggregates(PageFormation& page) override;
  void Accumulate(TfrBand& band) override;
  void Reset(TfrBand& band) override;
  void FormSubReports(TfrBand& band, std::size_t first) override;
  void DrawCrossObjects(TfrBand& band) override;
  int MeasureCrossColumns(TfrBand& band, const std::function<int()>& measure) override;
  void LinkCrossDataSources(PageFormation& page) override;
  void Aggregate(AggregateCode code, const Variant& p1, const Variant& p2, const Variant& p3,
                 Variant& result) override;

 private:
  const PreparationState& state_;
};

}  // namespace quillet
