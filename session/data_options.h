// The data options of every command that loads a template:
//   --csv NAME=FILE.csv      a CSV file with a header row (repeatable)
//                            (a pipe, /dev/stdin too: read once into a
//                            temporary file; a device is refused)
//   --csv-delimiter C        the CSV files' delimiter (one character, or "tab")
//   --csv-text NAME=COL,COL  columns of a --csv data set kept as text, never
//                            typed as numbers or dates (repeatable)
//   --db CONNECTION          an SQLite file, or driver=QPSQL;host=…;dbname=…;user=…
//                            (the password from QUILLET_DB_PASSWORD)
//   --dataset NAME=SELECT …  a query's rows over --db (repeatable)
//                            (":Orders.id" in it: see datasources/master_fields.h)
//   --sort NAME=KEYS         sorts a --csv data set (session/sort_options.h)
// Each becomes a data set registered under NAME for the template's data
// bands. A missing file, a bad query, a data band naming no data set or a
// name given twice raises one error naming it.
#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "session/command_options.h"

namespace quillet {
class SourceDataset;
class ScratchCopy;
class SqlConnection;
class TfrReport;
}  // namespace quillet

namespace quillet::cli {

// A data set as the options opened it: its name and its fields.
struct DataSetNames {
  std::string name;
  std::vector<std::string> fields;
};

class DataOptions {
 public:
  // The valued options to accept besides a command's own.
  static std::set<std::string> Names();
  static std::set<std::string> With(std::set<std::string> own);
  // Whether any data option was given.
  static bool Given(const Options& options);
  // The files the data options read, as given: every --csv file, and the
  // --db SQLite file (a connection string to a server names no file).
  // UsageError for a --csv that is not NAME=FILE.
  static std::vector<std::string> FilesRead(const Options& options);

  // Opens every data set the options name and registers it.
  explicit DataOptions(const Options& options);
  ~DataOptions();
  DataOptions(const DataOptions&) = delete;
  DataOptions& operator=(const DataOptions&) = delete;

  // Raises EngineError for the first data band of the loaded template whose
  // data source is neither a count nor a registered data set.
  static void CheckTemplate(const TfrReport& report);

  // Moves every data set to its first record.
  void MoveToFirstRecords();

  // The opened data sets' names, each with its field names.
  std::vector<DataSetNames> GivenDataSets() const;

 private:
  std::vector<std::unique_ptr<ScratchCopy>> copies_;  // of piped CSV files
  std::unique_ptr<SqlConnection> database_;
  std::vector<std::unique_ptr<SourceDataset>> datasets_;  // freed before the database
};

}  // namespace quillet::cli
