// TfrDataDictionary: a report's names for variables, data-set fields and band
// data sources, the look-up of those names while the report is prepared,
// and the dictionary's stream form (after template marker 254).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "report/base/variant.h"

namespace quillet {

class DataSetComponent;
struct EngineGlobals;
class NamedComponent;
class RecordReader;
class RecordWriter;

struct NameValue {
  std::string Name;
  std::string Value;
  bool operator==(const NameValue&) const = default;
};

// Name/value pairs in stream order; names may repeat.
using NameValueTable = std::vector<NameValue>;

// A dictionary name resolved to a field of a registered data set.
struct TfrCacheItem {
  DataSetComponent* DataSet = nullptr;  // not owned
  std::string FieldName;
};

// Hashing and matching of names with letter case ignored.
struct HashIgnoringCase {
  std::size_t operator()(const std::string& name) const;
};
struct EqualIgnoringCase {
  bool operator()(const std::string& a, const std::string& b) const;
};

class TfrDataDictionary {
 public:
  // Variables are evaluated with the parser of `engine`.
  explicit TfrDataDictionary(EngineGlobals& engine);

  // Named variables: a value is an expression, or data set "." field.
  NameValueTable VariableTable;
  // Display names (Name) for data sets and fields (Value, the real name:
  // a data set, or data set "." field).
  NameValueTable AliasTable;
  // Names of the data sources bands may use.
  NameValueTable BandSourceTable;
  std::vector<std::string> HiddenDataSets;

  // Names already resolved to a field (letter case ignored). Emptied when a report starts building
  // its pages, when the tables are cleared or read, and whenever the registered data sets or the
  // global components change, so it never reaches a data set that has gone. Tables changed by hand
  // take effect from the next build.
  std::unordered_map<std::string, TfrCacheItem, HashIgnoringCase, EqualIgnoringCase> LookupCache;

  // Whether a reference (data set "." field) names an existing field.
  // Reading a dictionary of the earlier writer (layout marker -1) drops the
  // aliases whose value it rejects. Answers from the registered data sets
  // unless replaced.
  std::function<bool(const std::string& reference)> FieldExists;

  // The data set a bare field name belongs to: that of the active band's
  // data level. The owning report binds it; unbound, a bare field name
  // names no field.
  std::function<DataSetComponent*()> DataLevelDataset;

  // True for a variable of VariableTable, and for a reference (data set
  // "." field, through the aliases) that names a field; a variable whose
  // value names a field, and such a reference, are cached.
  bool IsDictionaryName(const std::string& name);
  // The value of a name IsDictionaryName accepted: a cached field's value
  // at its data set's current record; else the variable's, unless a user
  // variable of that name exists, which wins; a non-empty variable value is
  // evaluated as an expression. A variable met again while its own value is
  // evaluated raises "Undefined symbol" (0 during the aggregate pre-scan).
  Variant LookupValue(const std::string& name);
  // Sets an existing variable's value text (a script's assignment) and
  // forgets what it was resolved to; false when there is no such variable.
  bool SetVariableValue(const std::string& name, const std::string& value);
  void ClearCache();

  // Empties the tables (and the cache that depends on them).
  void Clear();
  bool IsEmpty() const;

  // Reads the dictionary with the stream version in force, replacing the
  // tables. Raises StreamReadError on a short or malformed dictionary, and
  // then leaves the tables empty rather than half read.
  void ReadFromStream(RecordReader& stream);
  // Writes the current layout (marker -2) and the three tables.
  void WriteToStream(RecordWriter& stream) const;

 private:
  void ReadOlderLayout(RecordReader& stream);
  const NameValue* FindVariable(const std::string& name) const;
  // `reference` turned into the real data set and field through the
  // aliases, or empty when it has no dot outside double quotes.
  std::string ThroughAliases(const std::string& reference) const;
  void DropCacheIfDatasetsChanged();

  // Names that are no variable and name no field, forgotten with the
  // cache: a bracket such as [Items."Price" * 1.5] asks for each record.
  std::unordered_set<std::string, HashIgnoringCase, EqualIgnoringCase> notFields_;
  std::uint64_t cacheGeneration_ = 0;  // of the registered data sets it holds
  std::uint64_t cacheComponents_ = 0;  // of the global components
  EngineGlobals& engine_;
};

// The field a data reference names among the registered data sets,
// starting from `dataset` for a bare field name; nothing when it names no
// field of a registered data set.
bool ResolveDataReference(const std::string& reference, DataSetComponent* dataset,
                          TfrCacheItem& item);

// The names an older dictionary's alias entry of kind 2 picks by index.
inline constexpr const char* kOldPredefinedNames[] = {
    "PAGE#", "", "DATE", "TIME", "LINE#", "LINETHROUGH#", "COLUMN#", "CURRENT#", "TOTALPAGES"};

}  // namespace quillet
