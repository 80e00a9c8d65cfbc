// CsvSource: rows of a CSV file with a header row (RFC 4180 quoting, UTF-8,
// a chosen delimiter), read a block at a time as the data set moves. Cells
// become integers, decimals, dates or text (TypedFieldValue).
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
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
  // Makes the next parsed row the current one (its cells CellText(0) ..
  // CellText(CellCount() - 1)); false at the end of the file.
  bool NextRow();
  std::size_t CellCount() const { return rowEnd_ - rowStart_; }
  std::string_view CellText(std::size_t i) const;
  // Drops the rows already read, keeping a row the parser is still in.
  void DropReadRows();
  [[noreturn]] void Fail(const std::string& what) const;
  // Closes the file and frees the parser's buffer.
  void Close();

  std::string path_;
  char delimiter_;
  std::FILE* file_ = nullptr;
  std::unique_ptr<csv_parser> parser_;
  bool parserLive_ = false;
  bool finished_ = false;
  bool atFirstRow_ = false;  // past the header, no row read since
  // The rows parsed and not yet read, in one buffer that the next blocks
  // reuse: the cells' bytes one after another, where each cell ends in
  // them, and where each row ends in cellEnds_.
  std::string cellBytes_;
  std::vector<std::size_t> cellEnds_;
  std::vector<std::size_t> rowEnds_;
  std::size_t nextRow_ = 0;                // in rowEnds_
  std::size_t rowStart_ = 0, rowEnd_ = 0;  // the current row's cells
  std::vector<std::string> columns_;
  long long line_ = 0;  // rows read so far, for messages
};

}  // namespace quillet
