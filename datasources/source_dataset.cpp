#include "datasources/source_dataset.h"

#include <algorithm>

#include "platform/errors.h"
#include "report/base/text_format.h"

namespace quillet {

SourceDataset::SourceDataset(std::string name, std::unique_ptr<RowSource> source)
    : name_(std::move(name)), source_(std::move(source)), cursor_(*source_) {
  columns_ = source_->Columns();
  std::vector<std::string> upper;
  for (const std::string& column : columns_) upper.push_back(UpperCase(column));
  std::sort(upper.begin(), upper.end());
  namesDistinct_ = std::adjacent_find(upper.begin(), upper.end()) == upper.end();
}

SourceDataset::~SourceDataset() {
  UnregisterDataset(this);
}

namespace {

const Variant kNull = Variant::Null();

}  // namespace

int SourceDataset::Column(std::string_view field) const {
  // A report reads a record's fields in the same order every record: the
  // column after the one found last is tried first. (Where two names differ
  // only in letter case the first is meant, so there the search is plain.)
  const std::size_t n = columns_.size();
  std::size_t found = nextGuess_;
  if (!namesDistinct_ || found >= n || !EqualsIgnoreCase(columns_[found], field)) {
    found = 0;
    while (found < n && !EqualsIgnoreCase(columns_[found], field)) ++found;
    if (found == n) return -1;
  }
  nextGuess_ = found + 1 == n ? 0 : found + 1;
  return static_cast<int>(found);
}

const Variant& SourceDataset::FieldValue(std::string_view field) {
  // The guess of Column, tried here first: it answers nearly every call.
  std::size_t c = nextGuess_;
  if (namesDistinct_ && c < columns_.size() && EqualsIgnoreCase(columns_[c], field)) {
    nextGuess_ = c + 1 == columns_.size() ? 0 : c + 1;
  } else {
    const int found = Column(field);
    if (found < 0) return kNull;
    c = static_cast<std::size_t>(found);
  }
  const std::vector<Variant>* row = cursor_.Current();
  if (!row || c >= row->size()) return kNull;
  return (*row)[c];
}

void SourceDataset::Cursor::First() {
  source_.Rewind();
  previous_.held = ahead_.held = false;
  current_.held = source_.Read(current_.values);
  started_ = true;
  TfrDataset::First();
}

void SourceDataset::Cursor::Next() {
  if (!started_) return First();
  if (!current_.held) return;  // past the end it stays there
  // The row before the previous one is no longer needed: its storage takes
  // the next row, so stepping allocates no row.
  Exchange(previous_, current_);
  if (ahead_.held) {
    Exchange(current_, ahead_);
    ahead_.held = false;
  } else {
    current_.held = source_.Read(current_.values);
  }
  TfrDataset::Next();
}

void SourceDataset::Cursor::Prior() {
  if (!previous_.held) throw EngineError("a data set steps back one record only");
  Exchange(ahead_, current_);
  Exchange(current_, previous_);
  previous_.held = false;
  TfrDataset::Prior();
}

bool SourceDataset::Cursor::Eof() {
  bool eof = !started_ || !current_.held;
  if (OnCheckEOF) OnCheckEOF(*this, eof);
  return eof;
}

}  // namespace quillet
