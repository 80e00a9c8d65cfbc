#include "datasources/csv_source.h"

#include <csv.h>

#include "datasources/field_types.h"
#include "platform/errors.h"

namespace quillet {
namespace {

void OnCell(void* text, std::size_t size, void* self) {
  static_cast<CsvSource*>(self)->AddCell(static_cast<const char*>(text), size);
}

void OnRowEnd(int /*terminator*/, void* self) {
  static_cast<CsvSource*>(self)->EndRow();
}

constexpr std::size_t kBlock = 64 * 1024;

}  // namespace

CsvSource::CsvSource(std::string path, char delimiter)
    : path_(std::move(path)), delimiter_(delimiter), parser_(std::make_unique<csv_parser>()) {
  try {
    Rewind();
    if (!NextRow()) Fail("has no header row");
    std::vector<std::string> header;
    for (std::size_t i = 0; i < CellCount(); ++i) header.emplace_back(CellText(i));
    // A byte-order mark before the first name is no part of it.
    if (header[0].rfind("\xEF\xBB\xBF", 0) == 0) header[0].erase(0, 3);
    columns_ = std::move(header);
    atFirstRow_ = true;
  } catch (...) {
    Close();  // no destructor runs for a source that failed to open
    throw;
  }
}

CsvSource::~CsvSource() {
  Close();
}

void CsvSource::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  if (parserLive_) csv_free(parser_.get());
  parserLive_ = false;
}

void CsvSource::Fail(const std::string& what) const {
  throw EngineError("CSV file " + path_ + " " + what);
}

void CsvSource::Rewind() {
  // Opened and no row read yet (a data set's First right after it was
  // made): the file is where starting again would leave it.
  if (atFirstRow_) return;
  Close();
  file_ = std::fopen(path_.c_str(), "rb");
  if (!file_) Fail("cannot be opened");
  if (csv_init(parser_.get(), CSV_STRICT | CSV_STRICT_FINI) != 0)
    Fail("cannot be read (out of memory)");
  parserLive_ = true;
  csv_set_delim(parser_.get(), static_cast<unsigned char>(delimiter_));
  finished_ = false;
  cellBytes_.clear();
  cellEnds_.clear();
  rowEnds_.clear();
  nextRow_ = rowStart_ = rowEnd_ = 0;
  line_ = 0;
  // Past the header row again (the constructor reads it itself).
  if (!columns_.empty()) {
    NextRow();
    atFirstRow_ = true;
  }
}

void CsvSource::AddCell(const char* text, std::size_t size) {
  if (text) cellBytes_.append(text, size);
  cellEnds_.push_back(cellBytes_.size());
}

void CsvSource::EndRow() {
  rowEnds_.push_back(cellEnds_.size());
}

std::string_view CsvSource::CellText(std::size_t i) const {
  const std::size_t cell = rowStart_ + i;
  const std::size_t from = cell == 0 ? 0 : cellEnds_[cell - 1];
  return std::string_view(cellBytes_).substr(from, cellEnds_[cell] - from);
}

void CsvSource::DropReadRows() {
  const std::size_t cells = rowEnds_.empty() ? 0 : rowEnds_.back();
  const std::size_t bytes = cells == 0 ? 0 : cellEnds_[cells - 1];
  cellBytes_.erase(0, bytes);
  cellEnds_.erase(cellEnds_.begin(), cellEnds_.begin() + std::ptrdiff_t(cells));
  for (std::size_t& end : cellEnds_) end -= bytes;
  rowEnds_.clear();
  nextRow_ = rowStart_ = rowEnd_ = 0;
}

bool CsvSource::Feed() {
  if (finished_) return false;
  char block[kBlock];
  const std::size_t n = std::fread(block, 1, sizeof block, file_);
  if (n > 0) {
    if (csv_parse(parser_.get(), block, n, OnCell, OnRowEnd, this) != n)
      Fail("is not well-formed CSV near row " +
           std::to_string(line_ + (rowEnds_.size() - nextRow_) + 1) + ": " +
           csv_strerror(csv_error(parser_.get())));
    return true;
  }
  if (std::ferror(file_)) Fail("cannot be read");
  finished_ = true;
  if (csv_fini(parser_.get(), OnCell, OnRowEnd, this) != 0) Fail("ends inside a quoted field");
  return true;
}

bool CsvSource::NextRow() {
  if (nextRow_ == rowEnds_.size()) {
    DropReadRows();
    while (rowEnds_.empty())
      if (!Feed()) return false;
  }
  rowStart_ = nextRow_ == 0 ? 0 : rowEnds_[nextRow_ - 1];
  rowEnd_ = rowEnds_[nextRow_++];
  ++line_;
  return true;
}

bool CsvSource::Read(std::vector<Variant>& row) {
  atFirstRow_ = false;
  if (!NextRow()) return false;
  // The row's storage is reused: a source read to its end allocates no row.
  row.resize(columns_.size());
  for (std::size_t i = 0; i < columns_.size(); ++i)
    row[i] = i < CellCount() ? TypedFieldValue(CellText(i)) : Variant(std::string());
  return true;
}

}  // namespace quillet
