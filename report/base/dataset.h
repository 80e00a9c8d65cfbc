// TfrDataset: the engine's view of a data set — a cursor over records that
// data bands and multi-reports step through. The base holds no data: it
// counts records and lets its events (or a subclass) say where the data
// ends. TfrUserDataset is the one a band makes for a fixed repeat count.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace quillet {

enum TfrRangeBegin : std::uint8_t { rbFirst, rbCurrent };
enum TfrRangeEnd : std::uint8_t { reLast, reCurrent, reCount };

class TfrDataset {
 public:
  virtual ~TfrDataset() = default;

  // Database data sets open and close their data here; the base has none.
  virtual void OpenData() {}
  virtual void CloseData() {}
  // RecordNumber := 0, then OnFirst.
  virtual void First();
  // RecordNumber + 1, then OnNext unless a counted range has run out.
  virtual void Next();
  // RecordNumber - 1, then OnPrior.
  virtual void Prior();
  // True when a counted range has run out; OnCheckEOF may change the answer.
  virtual bool Eof();

  std::string Name;
  TfrRangeBegin RangeBegin = rbFirst;
  TfrRangeEnd RangeEnd = reLast;
  std::int32_t RangeEndCount = 0;
  std::int32_t RecordNumber = 0;

  std::function<void(TfrDataset&)> OnFirst;
  std::function<void(TfrDataset&)> OnNext;
  std::function<void(TfrDataset&)> OnPrior;
  std::function<void(TfrDataset&, bool& eof)> OnCheckEOF;
};

class TfrUserDataset : public TfrDataset {};

}  // namespace quillet
