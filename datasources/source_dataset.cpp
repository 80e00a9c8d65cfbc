#include "datasources/source_dataset.h"

#include <algorithm>

#include "datasources/engine_text.h"
#include "platform/errors.h"
#include "report/base/text_format.h"

namespace quillet {

SourceDataset::SourceDataset(std::string name, std::unique_ptr<RowSource> source)
    : name_(std::move(name)), source_(std::move(source)), cursor_(*source_) {
  for (const std::string& column : source_->Columns()) columns_.push_back(EngineTextOfUtf8(column));
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
  const int c = Column(field);
  const std::vector<Variant>* row = cursor_.Current();
  if (c < 0 || !row || static_cast<std::size_t>(c) >= row->size()) return kNull;
  return (*row)[static_cast<std::size_t>(c)];
}

std::optional<std::vector<Variant>> SourceDataset::Cursor::ReadRow() {
  std::vector<Variant> row;
  if (!source_.Read(row)) return std::nullopt;
  return row;
}

void SourceDataset::Cursor::First() {
  source_.Rewind();
  previous_.reset();
  ahead_.reset();
  current_ = ReadRow();
  started_ = true;
  TfrDataset::First();
}

void SourceDataset::Cursor::Next() {
  if (!started_) return First();
  if (!current_) return;  // past the end it stays there
  // The row before the previous one is no longer needed: its storage takes
  // the next row, so stepping allocates no row.
  std::swap(previous_, current_);
  if (ahead_) {
    current_ = std::move(ahead_);
    ahead_.reset();
  } else {
    if (!current_) current_.emplace();
    if (!source_.Read(*current_)) current_.reset();
  }
  TfrDataset::Next();
}

void SourceDataset::Cursor::Prior() {
  if (!previous_) throw EngineError("a data set steps back one record only");
  ahead_ = std::move(current_);
  current_ = std::move(previous_);
  previous_.reset();
  TfrDataset::Prior();
}

bool SourceDataset::Cursor::Eof() {
  bool eof = !started_ || !current_;
  if (OnCheckEOF) OnCheckEOF(*this, eof);
  return eof;
}

}  // namespace quillet
