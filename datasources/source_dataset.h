// SourceDataset: a named data set the host registers, stepping a RowSource.
// It keeps the current row and the one before it, so a group break can step
// back one record and forward again without reading the source twice. Field
// names and texts reach the engine as UTF-8, as the sources read them.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "datasources/row_source.h"
#include "report/base/dataset.h"
#include "report/expr/dataset_components.h"

namespace quillet {

class SourceDataset : public DataSetComponent {
 public:
  SourceDataset(std::string name, std::unique_ptr<RowSource> source);
  ~SourceDataset() override;

  std::string ComponentName() const override { return name_; }
  bool HasField(std::string_view field) const override { return Column(field) >= 0; }
  TfrDataset& Dataset() override { return cursor_; }
  const Variant& FieldValue(std::string_view field) override;
  // The field names, in column order.
  const std::vector<std::string>& FieldNames() const { return columns_; }

 private:
  class Cursor : public TfrDataset {
   public:
    explicit Cursor(RowSource& source) : source_(source) {}
    void First() override;
    void Next() override;
    // One step back only; a second step raises EngineError.
    void Prior() override;
    bool Eof() override;
    const std::vector<Variant>* Current() const {
      return current_.held ? &current_.values : nullptr;
    }

   private:
    // A row's storage, and whether it holds a row now.
    struct Row {
      std::vector<Variant> values;
      bool held = false;
    };
    static void Exchange(Row& a, Row& b) {
      a.values.swap(b.values);
      std::swap(a.held, b.held);
    }

    RowSource& source_;
    Row current_, previous_, ahead_;
    bool started_ = false;
  };

  int Column(std::string_view field) const;

  std::string name_;
  std::unique_ptr<RowSource> source_;
  std::vector<std::string> columns_;   // the source's, UTF-8
  bool namesDistinct_ = true;          // no two differ in letter case only
  mutable std::size_t nextGuess_ = 0;  // the column Column tries first
  Cursor cursor_;
};

}  // namespace quillet
