// TfrDataDictionary: a report's names for variables, data-set fields and band
// data sources, and its stream form (after template marker 254).
//
// Lookups and the lookup cache belong to expression evaluation and arrive
// with it; this holds the tables and reads and writes them.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace quillet {

class Stream;

struct NameValue {
  std::string Name;
  std::string Value;
  bool operator==(const NameValue&) const = default;
};

// Name/value pairs in stream order; names may repeat.
using NameValueTable = std::vector<NameValue>;

class TfrDataDictionary {
 public:
  // Named variables: a value is an expression, or data set "." field.
  NameValueTable VariableTable;
  // Display names for data sets and fields.
  NameValueTable AliasTable;
  // Names of the data sources bands may use.
  NameValueTable BandSourceTable;
  std::vector<std::string> HiddenDataSets;

  // Whether an alias value names an existing data-set field. Used only for
  // dictionaries of the earlier writer (layout marker -1), whose aliases of
  // vanished fields are dropped. Until data access is plugged in it is
  // empty and every alias is kept.
  std::function<bool(const std::string& value)> FieldExists;

  void Clear();
  bool IsEmpty() const;

  // Reads the dictionary with the stream version in force, replacing the
  // tables. Raises StreamReadError on a short or malformed dictionary, and
  // then leaves the tables empty rather than half read.
  void ReadFromStream(Stream& stream);
  // Writes the current layout (marker -2) and the three tables.
  void WriteToStream(Stream& stream) const;

 private:
  void ReadOlderLayout(Stream& stream);
};

// The names an older dictionary's alias entry of kind 2 picks by index.
inline constexpr const char* kOldPredefinedNames[] = {
    "PAGE#", "", "DATE", "TIME", "LINE#", "LINETHROUGH#", "COLUMN#", "CURRENT#", "TOTALPAGES"};

}  // namespace quillet
