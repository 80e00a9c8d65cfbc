// A data-set field's value as a view bound to it loads it (a picture from a
// BLOB column): the bytes the data set holds for the current record, or
// null.
#pragma once

#include <string>

namespace quillet {

struct TfrDataField {
  bool IsNull = true;
  std::string Bytes;
};

}  // namespace quillet
