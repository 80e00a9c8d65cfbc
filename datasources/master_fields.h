// Master fields in a query: ":Orders.Id" in a --dataset query stands for
// the field Id of the data set Orders in its current record. A detail
// band's data set starts again for every master record, and its query then
// runs with the master's current values, so it holds that record's rows:
//   SELECT * FROM order_lines WHERE order_id = :Orders.id
// Marks inside quoted texts or comments, and "::" casts, are left alone.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillet {

struct MasterField {
  std::string dataset, field;
};

struct MasterFieldQuery {
  std::string text;                 // the query with each mark replaced by "?"
  std::vector<MasterField> fields;  // the marks, in order of their "?"
};

MasterFieldQuery FindMasterFields(std::string_view query);

}  // namespace quillet
