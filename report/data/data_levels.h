// The data level procedure: shows the data bands of the master, detail and
// subdetail levels once per record, with their headers, footers and group
// headers and footers, through a queue of bands waiting to be shown (a
// master record is shown only when its detail level shows something).
#pragma once

#include <array>

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

// Installs data-driven formation into page formation and the aggregate
// functions; called when the engine library starts.
void InstallDataFormation();

}  // namespace quillet
