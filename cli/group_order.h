// The order check of grouped data: a group whose condition takes a value
// again after other values came between is shown twice, with its header,
// footer and totals split. Walking the data sets the options opened, this
// finds such groups before the report is formed.
#pragma once

#include <string>
#include <vector>

namespace quillet {
class TfrReport;
class TfrView;
}  // namespace quillet

namespace quillet::cli {

struct GroupWarning {
  const TfrView* band = nullptr;  // the group header
  std::string message;
};

// One warning per group header whose data arrives out of group order,
// naming the value that came back and the record it came back at. Group
// headers over no registered data set, and data sets that cannot be
// walked on their own (a detail query waiting for its master), are passed
// over. The data sets are left at their first record.
std::vector<GroupWarning> UnsortedGroupWarnings(TfrReport& report);

}  // namespace quillet::cli
