#include "cli/data_options.h"

#include "cli/sort_options.h"
#include "datasources/csv_source.h"
#include "datasources/source_dataset.h"
#include "datasources/sql_source.h"
#include "platform/errors.h"
#include "report/component/report.h"
#include "report/template/page.h"
#include "report/views/band_view.h"

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
  return {"csv", "csv-delimiter", "db", "dataset", "sort"};
}

std::set<std::string> DataOptions::With(std::set<std::string> own) {
  own.merge(Names());
  return own;
}

bool DataOptions::Given(const Options& options) {
  for (const std::string& name : Names())
    if (options.Has(name)) return true;
  return false;
}

DataOptions::DataOptions(const Options& options) {
  const char delimiter = Delimiter(options);
  SortOptions sorts(options);
  for (const std::string& text : options.Values("csv")) {
    auto [name, path] = NameAndValue("csv", text);
    datasets_.push_back(std::make_unique<SourceDataset>(
        name, sorts.Apply(name, path, std::make_unique<CsvSource>(path, delimiter))));
    RegisterDataset(datasets_.back().get());
  }
  sorts.CheckAllApplied();
  const std::vector<std::string> queries = options.Values("dataset");
  if (!queries.empty() && !options.Value("db"))
    throw UsageError("--dataset needs a database: give --db CONNECTION");
  if (const auto db = options.Value("db")) database_ = std::make_unique<SqlConnection>(*db);
  for (const std::string& text : queries) {
    auto [name, query] = NameAndValue("dataset", text);
    datasets_.push_back(
        std::make_unique<SourceDataset>(name, std::make_unique<SqlSource>(*database_, query)));
    RegisterDataset(datasets_.back().get());
  }
}

DataOptions::~DataOptions() = default;

void DataOptions::MoveToFirstRecords() {
  for (const auto& dataset : datasets_) dataset->Dataset().First();
}

void DataOptions::CheckTemplate(const TfrReport& report) {
  for (const auto& page : report.Template.Pages)
    for (const auto& view : page->Objects) {
      const auto* band = dynamic_cast<const TfrBandView*>(view.get());
      if (!band) continue;
      const int kind = band->FrameTyp;
      if (kind != btMasterData && kind != btDetailData && kind != btSubDetailData) continue;
      const std::string& source = band->FormatText;
      if (source.empty() || (source[0] >= '1' && source[0] <= '9')) continue;
      if (!FindDatasetComponent(source))
        throw EngineError("band " + band->Name + " runs over data set '" + source +
                          "', which no --csv or --dataset option names");
    }
}

}  // namespace quillet::cli
