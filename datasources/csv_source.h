// CsvSource: rows of a CSV file with a header row (RFC 4180 quoting, UTF-8,
// a chosen delimiter), read a block at a time as the data set moves. Cells
// become integers, decimals, dates or text (TypedFieldValue), except in the
// columns named to stay text. Nothing given is dropped or changed silently:
// a row with more or fewer cells than the header, two columns of one name
// and a UTF-16 file are refused, each saying where or what. A UTF-8
// byte-order mark is skipped.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "datasources/parsed_rows.h"
#include "datasources/row_source.h"

struct csv_parser;

namespace quillet {

class CsvSource : public RowSource {
 public:
  // Opens the file and reads its header row. Raises EngineError naming the
  // file when it cannot be opened, is not well-formed CSV, has no header,
  // names a column twice, or `textColumns` names a column it lacks.
  explicit CsvSource(std::string path, char delimiter = ',',
                     const std::vector<std::string>& textColumns = {});
  ~CsvSource() override;
  CsvSource(const CsvSource&) = delete;
  CsvSource& operator=(const CsvSource&) = delete;

  const std::vector<std::string>& Columns() const override { return columns_; }
  void Rewind() override;
  bool Read(std::vector<Variant>& row) override;

 private:
  // Parses the next slice of the file; false at the end of the file.
  bool Feed();
  // Parses on until a complete row waits in rows_; false at the end of the
  // file. The caller takes the row, and it counts as read.
  bool NextRow();
  [[noreturn]] void Fail(const std::string& what) const;
  // Fails naming the first row with a cell that is not UTF-8, if any.
  void FailOnMalformedText() const;
  // Raises EngineError for a row whose width differs from the header's.
  void CheckWidths() const;
  // Refuses a file in an encoding other than UTF-8, by its first bytes.
  void CheckEncoding() const;
  // Closes the file and frees the parser's buffer.
  void Close();

  std::string path_;
  char delimiter_;
  std::FILE* file_ = nullptr;
  std::unique_ptr<csv_parser> parser_;
  bool parserLive_ = false;
  std::unique_ptr<char[]> block_;           // the file's bytes read last
  std::size_t blockAt_ = 0, blockEnd_ = 0;  // what of them the parser has had
  bool finished_ = false;
  bool atFirstRow_ = false;  // past the header, no row read since
  ParsedRows rows_;
  std::vector<std::string> columns_;
  long long line_ = 0;  // rows read so far, for messages
};

}  // namespace quillet
