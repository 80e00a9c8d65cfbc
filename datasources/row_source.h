// Where a host data set's rows come from: a source read front to back that
// can start again. Sources read as formation moves; none holds more than the
// rows the cursor keeps.
#pragma once

#include <string>
#include <vector>

#include "report/base/variant.h"

namespace quillet {

class RowSource {
 public:
  virtual ~RowSource() = default;
  // The column names, in row order, as UTF-8.
  virtual const std::vector<std::string>& Columns() const = 0;
  // Starts again before the first row.
  virtual void Rewind() = 0;
  // The next row into `row`; false after the last. Its texts are UTF-8,
  // except raw bytes (a BLOB), which stay as they are.
  // Raises EngineError when the source cannot be read.
  virtual bool Read(std::vector<Variant>& row) = 0;
};

}  // namespace quillet
