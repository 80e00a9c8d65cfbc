// The --sort option of the data options:
//   --sort NAME=KEYS   sorts the --csv data set NAME before the report is
//                      formed; KEYS are columns separated by commas, each
//                      optionally followed by ASC or DESC:
//                      --sort "Items=Category,Name DESC"   (repeatable)
// A query sorts itself (ORDER BY), so --sort names --csv data sets only; one
// naming none, or a column the file lacks, is one error naming it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "datasources/sorted_source.h"
#include "session/command_options.h"

namespace quillet::cli {

class SortOptions {
 public:
  // Reads every --sort option; UsageError for one that is not NAME=KEYS or
  // names one data set twice.
  explicit SortOptions(const Options& options);

  // The rows of the --csv data set `name` read from `path`: sorted when a
  // --sort names it, otherwise `source` as it is.
  std::unique_ptr<RowSource> Apply(const std::string& name, const std::string& path,
                                   std::unique_ptr<RowSource> source);
  // UsageError for a --sort that named no --csv data set.
  void CheckAllApplied() const;

 private:
  struct Sort {
    std::string name;
    std::vector<SortKey> keys;
    bool applied = false;
  };
  std::vector<Sort> sorts_;
};

}  // namespace quillet::cli
