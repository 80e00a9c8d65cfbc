#include "datasources/csv_source.h"

#include <csv.h>

#include <algorithm>

#include "platform/errors.h"

namespace quillet {
namespace {

// The file is read a block at a time and parsed a slice at a time: the
// cells of a slice's rows stay in the cache until they are read.
constexpr std::size_t kBlock = 64 * 1024;
constexpr std::size_t kSlice = 512;

}  // namespace

CsvSource::CsvSource(std::string path, char delimiter, const std::vector<std::string>& textColumns)
    : path_(std::move(path)),
      delimiter_(delimiter),
      parser_(std::make_unique<csv_parser>()),
      block_(std::make_unique_for_overwrite<char[]>(kBlock)) {
  try {
    CheckEncoding();
    Rewind();
    if (!NextRow()) Fail("has no header row");
    std::vector<std::string> header = rows_.TakeTexts();
    // A byte-order mark before the first name is no part of it.
    if (header[0].rfind("\xEF\xBB\xBF", 0) == 0) header[0].erase(0, 3);
    for (std::size_t i = 0; i < header.size(); ++i)
      for (std::size_t j = 0; j < i; ++j)
        if (header[i] == header[j])
          Fail("names column '" + header[i] + "' twice (columns " + std::to_string(j + 1) +
               " and " + std::to_string(i + 1) + "): the second could not be read");
    columns_ = std::move(header);
    if (!textColumns.empty()) {
      std::vector<bool> text(columns_.size(), false);
      for (const std::string& name : textColumns) {
        const auto at = std::find(columns_.begin(), columns_.end(), name);
        if (at == columns_.end()) Fail("has no column '" + name + "' to keep as text");
        text[std::size_t(at - columns_.begin())] = true;
      }
      rows_.KeepAsText(std::move(text));
      // Rows parsed with the header were typed: start again untyped.
      atFirstRow_ = false;
      Rewind();
    }
    atFirstRow_ = true;
    CheckWidths();  // of the rows parsed with the header
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

void CsvSource::FailOnMalformedText() const {
  if (rows_.MalformedRow())
    Fail("is not UTF-8 text: row " + std::to_string(line_ + rows_.MalformedRow()) +
         " holds bytes that are no UTF-8 character");
}

void CsvSource::CheckEncoding() const {
  std::FILE* f = std::fopen(path_.c_str(), "rb");
  if (!f) return;  // Rewind says why
  unsigned char b[4] = {};
  const std::size_t n = std::fread(b, 1, sizeof b, f);
  std::fclose(f);
  if (n >= 4 && ((b[0] == 0xFF && b[1] == 0xFE && b[2] == 0 && b[3] == 0) ||
                 (b[0] == 0 && b[1] == 0 && b[2] == 0xFE && b[3] == 0xFF)))
    Fail("is UTF-32 (it starts with a UTF-32 byte-order mark): save it as UTF-8");
  if (n >= 2 && ((b[0] == 0xFF && b[1] == 0xFE) || (b[0] == 0xFE && b[1] == 0xFF)))
    Fail(std::string("is UTF-16") + (b[0] == 0xFF ? " little-endian" : " big-endian") +
         " (it starts with a UTF-16 byte-order mark): save it as UTF-8");
  // Without a mark, UTF-16 text shows as a zero byte beside each ASCII one.
  if (n >= 2 && (b[0] == 0 || b[1] == 0))
    Fail("holds zero bytes at its start: it looks like UTF-16 or binary, not UTF-8 text");
}

void CsvSource::CheckWidths() const {
  if (const std::size_t row = rows_.WrongWidthRow(); row != 0 && !columns_.empty())
    Fail("row " + std::to_string(row) + " (counting the header as row 1) has " +
         std::to_string(rows_.WrongWidthCells()) + " fields where the header has " +
         std::to_string(columns_.size()) + ": quote a field that holds the delimiter");
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
  blockAt_ = blockEnd_ = 0;
  // Rows keep as many cells as the first header read has, should the file
  // have changed since.
  rows_.Restart(columns_.size());
  line_ = 0;
  // Past the header row again (the constructor reads it itself).
  if (!columns_.empty()) {
    if (NextRow()) rows_.TakeTexts();
    atFirstRow_ = true;
  }
}

bool CsvSource::Feed() {
  if (finished_) return false;
  if (blockAt_ == blockEnd_) {
    blockAt_ = 0;
    blockEnd_ = std::fread(block_.get(), 1, kBlock, file_);
    if (blockEnd_ == 0) {
      if (std::ferror(file_)) Fail("cannot be read");
      finished_ = true;
      if (csv_fini(parser_.get(), ParsedRows::OnCell, ParsedRows::OnRowEnd, &rows_) != 0)
        Fail("ends inside a quoted field");
      FailOnMalformedText();
      CheckWidths();
      return true;
    }
  }
  const std::size_t n = std::min(kSlice, blockEnd_ - blockAt_);
  if (csv_parse(parser_.get(), block_.get() + blockAt_, n, ParsedRows::OnCell, ParsedRows::OnRowEnd,
                &rows_) != n)
    Fail("is not well-formed CSV near row " + std::to_string(line_ + rows_.Waiting() + 1) + ": " +
         csv_strerror(csv_error(parser_.get())));
  FailOnMalformedText();
  blockAt_ += n;
  CheckWidths();
  return true;
}

bool CsvSource::NextRow() {
  if (rows_.Waiting() == 0) {
    rows_.DropTaken();
    while (rows_.Waiting() == 0)
      if (!Feed()) return false;
  }
  ++line_;
  return true;
}

bool CsvSource::Read(std::vector<Variant>& row) {
  atFirstRow_ = false;
  if (!NextRow()) return false;
  // A row of the wrong width parsed with this one stops the reading here,
  // before a report is formed from part of the file.
  CheckWidths();
  // The row's storage is reused: a source read to its end allocates no row.
  rows_.Take(row, columns_.size());
  return true;
}

}  // namespace quillet
