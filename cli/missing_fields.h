// The data references of a template's texts checked against the data sets
// the options opened: [Items."Price"] over a CSV file without a Price
// column prints nothing, and check says so before the report runs.
#pragma once

#include <string>
#include <vector>

namespace quillet {
class TfrReport;
}

namespace quillet::cli {

// One line per reference in a memo's brackets to a field that its
// registered data set lacks, naming the memo, the expression and the
// field. References to names that are no registered data set are passed
// over (they may be variables or objects).
std::vector<std::string> MissingFieldWarnings(const TfrReport& report);

}  // namespace quillet::cli
