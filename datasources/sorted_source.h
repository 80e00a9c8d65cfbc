// SortedSource: the rows of another source in the order of sort keys, for
// data that cannot sort itself (a CSV file) and must arrive in group order.
// The rows are read and sorted once, on the first Rewind or Read, and then
// held: unlike the streaming sources, a sorted source keeps every row.
//
// Values sort by their type: numbers by value, dates by time, texts
// alphabetically with letter case ignored (then, between texts that differ
// in case only, by their bytes). Within one column the empty cell comes
// first, then numbers, then dates, then texts; a descending key reverses
// all of it. Rows equal in every key keep their order in the file.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "datasources/row_source.h"

namespace quillet {

struct SortKey {
  std::string column;  // matched to the source's columns with letter case ignored
  bool descending = false;
  friend bool operator==(const SortKey&, const SortKey&) = default;
};

// "Category, Name DESC" into its keys: columns separated by commas, each
// optionally followed by ASC or DESC (any letter case). Raises EngineError
// for an empty list or an empty column name.
std::vector<SortKey> ParseSortKeys(std::string_view text);

// The order of two values of a sort key column: negative, zero or positive.
int CompareSortValues(const Variant& a, const Variant& b);

class SortedSource : public RowSource {
 public:
  // Raises EngineError naming `what` (the data set) and the column when a
  // key names no column of `source`.
  SortedSource(std::unique_ptr<RowSource> source, std::vector<SortKey> keys,
               const std::string& what);

  const std::vector<std::string>& Columns() const override { return source_->Columns(); }
  void Rewind() override;
  bool Read(std::vector<Variant>& row) override;

 private:
  void Load();

  std::unique_ptr<RowSource> source_;
  struct Key {
    std::size_t column;
    bool descending;
  };
  std::vector<Key> keys_;
  std::vector<std::vector<Variant>> rows_;
  bool loaded_ = false;
  std::size_t next_ = 0;
};

}  // namespace quillet
