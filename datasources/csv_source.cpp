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
    std::vector<std::string> header;
    if (!NextCells(header)) Fail("has no header row");
    // A byte-order mark before the first name is no part of it.
    if (header[0].rfind("\xEF\xBB\xBF", 0) == 0) header[0].erase(0, 3);
    columns_ = std::move(header);
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
  Close();
  file_ = std::fopen(path_.c_str(), "rb");
  if (!file_) Fail("cannot be opened");
  if (csv_init(parser_.get(), CSV_STRICT | CSV_STRICT_FINI) != 0)
    Fail("cannot be read (out of memory)");
  parserLive_ = true;
  csv_set_delim(parser_.get(), static_cast<unsigned char>(delimiter_));
  finished_ = false;
  cells_.clear();
  rows_.clear();
  line_ = 0;
  // Past the header row again (the constructor reads it itself).
  if (!columns_.empty()) {
    std::vector<std::string> header;
    NextCells(header);
  }
}

void CsvSource::AddCell(const char* text, std::size_t size) {
  cells_.emplace_back(text ? std::string(text, size) : std::string());
}

void CsvSource::EndRow() {
  rows_.push_back(std::move(cells_));
  cells_.clear();
  cells_.reserve(columns_.size());
}

bool CsvSource::Feed() {
  if (finished_) return false;
  char block[kBlock];
  const std::size_t n = std::fread(block, 1, sizeof block, file_);
  if (n > 0) {
    if (csv_parse(parser_.get(), block, n, OnCell, OnRowEnd, this) != n)
      Fail("is not well-formed CSV near row " + std::to_string(line_ + rows_.size() + 1) + ": " +
           csv_strerror(csv_error(parser_.get())));
    return true;
  }
  if (std::ferror(file_)) Fail("cannot be read");
  finished_ = true;
  if (csv_fini(parser_.get(), OnCell, OnRowEnd, this) != 0) Fail("ends inside a quoted field");
  return true;
}

bool CsvSource::NextCells(std::vector<std::string>& cells) {
  while (rows_.empty())
    if (!Feed()) return false;
  cells = std::move(rows_.front());
  rows_.pop_front();
  ++line_;
  return true;
}

bool CsvSource::Read(std::vector<Variant>& row) {
  std::vector<std::string> cells;
  if (!NextCells(cells)) return false;
  row.clear();
  row.reserve(columns_.size());
  for (std::size_t i = 0; i < columns_.size(); ++i)
    row.push_back(i < cells.size() ? TypedFieldValue(cells[i]) : Variant(std::string()));
  return true;
}

}  // namespace quillet
