#include "report/base/dataset.h"

namespace quillet {

void TfrDataset::First() {
  RecordNumber = 0;
  if (OnFirst) OnFirst(*this);
}

void TfrDataset::Next() {
  ++RecordNumber;
  if (RangeEnd == reCount && RecordNumber >= RangeEndCount) return;
  if (OnNext) OnNext(*this);
}

void TfrDataset::Prior() {
  --RecordNumber;
  if (OnPrior) OnPrior(*this);
}

bool TfrDataset::Eof() {
  bool eof = RangeEnd == reCount && RecordNumber >= RangeEndCount;
  if (OnCheckEOF) OnCheckEOF(*this, eof);
  return eof;
}

}  // namespace quillet
