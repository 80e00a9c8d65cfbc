#include "session/data_options.h"

#include <sys/stat.h>

#include <algorithm>
#include <map>

#include "datasources/csv_source.h"
#include "datasources/source_dataset.h"
#include "datasources/sql_source.h"
#include "platform/errors.h"
#include "platform/output_file.h"
#include "report/base/text_format.h"
#include "report/component/report.h"
#include "report/template/missing_data.h"
#include "report/template/page.h"
#include "report/views/band_view.h"
#include "session/sort_options.h"

namespace quillet::cli {
namespace {

// "NAME=VALUE" of a --csv or --dataset option.
std::pair<std::string, std::string> NameAndValue(const std::string& option,
                                                 const std::string& text) {
  const auto eq = text.find('=');
  if (eq == std::string::npos || eq == 0 || eq + 1 == text.size())
    throw UsageError("--" + option + " wants NAME=" +
                     (option == "csv" ? "FILE.csv" : "SELECT ...") + ", not '" + text + "'");
  return {text.substr(0, eq), text.substr(eq + 1)};
}

// The columns each data set keeps as text: "--csv-text NAME=COL,COL".
std::map<std::string, std::vector<std::string>> TextColumns(const Options& options) {
  std::map<std::string, std::vector<std::string>> columns;
  for (const std::string& text : options.Values("csv-text")) {
    const auto eq = text.find('=');
    if (eq == std::string::npos || eq == 0 || eq + 1 == text.size())
      throw UsageError("--csv-text wants NAME=COLUMN,COLUMN..., not '" + text + "'");
    std::vector<std::string>& list = columns[text.substr(0, eq)];
    std::size_t at = eq + 1;
    while (at <= text.size()) {
      const auto comma = std::min(text.find(',', at), text.size());
      if (comma > at) list.push_back(text.substr(at, comma - at));
      at = comma + 1;
    }
  }
  return columns;
}

// A --csv file as CsvSource can read it: a regular file as it is, a pipe
// (or /dev/stdin on one) read once into a temporary file, since a report
// may read its data more than once. A device or a folder is refused.
std::string ReadableCsv(const std::string& name, const std::string& path,
                        std::vector<std::unique_ptr<ScratchCopy>>& copies) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return path;  // CsvSource names the reason
  if (S_ISDIR(st.st_mode))
    throw UsageError("--csv " + name + "=" + path + ": cannot read " + path + ": it is a folder");
  if (S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode)) {
    copies.push_back(std::make_unique<ScratchCopy>(path));
    return copies.back()->Path();
  }
  if (!S_ISREG(st.st_mode))
    throw UsageError("--csv " + name + "=" + path + ": cannot read " + path +
                     ": a device, not a file or a pipe");
  return path;
}

char Delimiter(const Options& options) {
  const auto text = options.Value("csv-delimiter");
  if (!text) return ',';
  if (*text == "tab") return '\t';
  if (text->size() != 1 || *text == "\"" || *text == "\n" || *text == "\r")
    throw UsageError("--csv-delimiter wants one character (or \"tab\"), not '" + *text + "'");
  return (*text)[0];
}

}  // namespace

std::set<std::string> DataOptions::Names() {
  return {"csv", "csv-delimiter", "csv-text", "db", "dataset", "max-steps", "page-memory", "sort"};
}

std::set<std::string> DataOptions::With(std::set<std::string> own) {
  own.merge(Names());
  return own;
}

bool DataOptions::Given(const Options& options) {
  for (const std::string& name : Names())
    if (name != "max-steps" && name != "page-memory" && options.Has(name)) return true;
  return false;
}

std::vector<std::string> DataOptions::FilesRead(const Options& options) {
  std::vector<std::string> files;
  for (const std::string& text : options.Values("csv"))
    files.push_back(NameAndValue("csv", text).second);
  if (const auto db = options.Value("db"); db && db->rfind("driver=", 0) != 0) files.push_back(*db);
  return files;
}

DataOptions::DataOptions(const Options& options) {
  const char delimiter = Delimiter(options);
  SortOptions sorts(options);
  auto textColumns = TextColumns(options);
  // One name, one data set: a second would silently replace the first.
  std::vector<std::string> names;
  for (const char* option : {"csv", "dataset"})
    for (const std::string& text : options.Values(option)) {
      const std::string name = NameAndValue(option, text).first;
      for (const std::string& earlier : names)
        if (EqualsIgnoreCase(earlier, name))
          throw UsageError("data set '" + name + "' is given twice (--csv and --dataset " +
                           "name each data set once)");
      names.push_back(name);
    }
  for (const auto& [name, columns] : textColumns) {
    bool csv = false;
    for (const std::string& text : options.Values("csv"))
      csv = csv || NameAndValue("csv", text).first == name;
    if (!csv) throw UsageError("--csv-text names data set '" + name + "', which no --csv gives");
  }
  for (const std::string& text : options.Values("csv")) {
    auto [name, path] = NameAndValue("csv", text);
    const std::string readable = ReadableCsv(name, path, copies_);
    auto source = std::make_unique<CsvSource>(readable, delimiter, textColumns[name]);
    datasets_.push_back(
        std::make_unique<SourceDataset>(name, sorts.Apply(name, path, std::move(source))));
    RegisterDataset(datasets_.back().get());
  }
  sorts.CheckAllApplied();
  const std::vector<std::string> queries = options.Values("dataset");
  if (!queries.empty() && !options.Value("db"))
    throw UsageError("--dataset needs a database: give --db CONNECTION");
  if (const auto db = options.Value("db")) database_ = std::make_unique<SqlConnection>(*db);
  for (const std::string& text : queries) {
    auto [name, query] = NameAndValue("dataset", text);
    datasets_.push_back(std::make_unique<SourceDataset>(
        name, std::make_unique<SqlSource>(*database_, query, name)));
    RegisterDataset(datasets_.back().get());
  }
}

DataOptions::~DataOptions() = default;

void DataOptions::MoveToFirstRecords() {
  for (const auto& dataset : datasets_) dataset->Dataset().First();
}

void DataOptions::CheckTemplate(const TfrReport& report) {
  if (const TfrBandView* band = FirstBandWithoutData(report.Template))
    throw EngineError("band " + band->Name + " runs over data set '" + band->FormatText +
                      "', which no --csv or --dataset option names");
}

std::vector<DataSetNames> DataOptions::GivenDataSets() const {
  std::vector<DataSetNames> given;
  for (const auto& dataset : datasets_)
    given.push_back({dataset->ComponentName(), dataset->FieldNames()});
  return given;
}

}  // namespace quillet::cli
