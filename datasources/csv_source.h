// CsvSource: rows of a CSV file with a header row (RFC 4180 quoting, UTF-8,
// a chosen delimiter), read a block at a time as the data set moves. Cells
// become integers, decimals, dates or text (TypedFieldValue).
#pragma once

#include <cstdio>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "datasources/row_source.h"

struct csv_parser;

namespace quillet {

class CsvSource : public RowSource {
 public:
  // Opens the file and reads its header row. Raises EngineError naming the
  // file when it cannot be opened, is not well-formed CSV or has no header.
  explicit CsvSource(std::string path, char delimiter = ',');
  ~CsvSource() override;
  CsvSource(const CsvSource&) = delete;
  CsvSource& operator=(const CsvSource&) = delete;

  const std::vector<std::string>& Columns() const override { return columns_; }
  void Rewind() override;
  bool Read(std::vector<Variant>& row) override;

  // The parser's callbacks: one cell, one row end.
  void AddCell(const char* text, std::size_t size);
  void EndRow();

 private:
  // Parses the next block; false at the end of the file.
  bool Feed();
  bool NextCells(std::vector<std::string>& cells);
  [[noreturn]] void Fail(const std::string& what) const;
  // Closes the file and frees the parser's buffer.
  void Close();

  std::string path_;
  char delimiter_;
  std::FILE* file_ = nullptr;
  std::unique_ptr<csv_parser> parser_;
  bool parserLive_ = false;
  bool finished_ = false;
  std::vector<std::string> cells_;
  std::deque<std::vector<std::string>> rows_;
  std::vector<std::string> columns_;
  long long line_ = 0;  // rows read so far, for messages
};

}  // namespace quillet
