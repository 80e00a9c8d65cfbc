// A registered data set over rows kept in memory, for the data band suites:
// the engine steps it as any host's data set.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "report/base/dataset.h"
#include "report/base/text_format.h"
#include "report/expr/dataset_components.h"

namespace quillet::test {

class RowsDataset : public DataSetComponent {
 public:
  using Row = std::vector<Variant>;
  RowsDataset(std::string name, std::vector<std::string> columns, std::vector<Row> rows)
      : name_(std::move(name)), columns_(std::move(columns)), rows_(std::move(rows)) {
    cursor_.OnCheckEOF = [this](TfrDataset& d, bool& eof) { eof = d.RecordNumber >= RowCount(); };
    RegisterDataset(this);
  }
  ~RowsDataset() override { UnregisterDataset(this); }

  // The rows visible now; all of them unless a filter says fewer (a detail
  // data set following its master).
  std::function<int()> VisibleRows;

  std::string ComponentName() const override { return name_; }
  bool HasField(std::string_view field) const override { return Column(field) >= 0; }
  TfrDataset& Dataset() override { return cursor_; }
  const Variant& FieldValue(std::string_view field) override {
    static const Variant null = Variant::Null();
    const int c = Column(field);
    const int r = cursor_.RecordNumber;
    if (c < 0 || r < 0 || r >= RowCount()) return null;
    return rows_[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
  }

 private:
  int RowCount() const { return VisibleRows ? VisibleRows() : static_cast<int>(rows_.size()); }
  int Column(std::string_view field) const {
    for (std::size_t i = 0; i < columns_.size(); ++i)
      if (EqualsIgnoreCase(columns_[i], field)) return static_cast<int>(i);
    return -1;
  }

  std::string name_;
  std::vector<std::string> columns_;
  std::vector<Row> rows_;
  TfrUserDataset cursor_;
};

}  // namespace quillet::test
