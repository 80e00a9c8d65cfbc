#include "report/template/data_dictionary.h"

#include <algorithm>
#include <map>
#include <optional>

#include "platform/errors.h"
#include "platform/stream.h"
#include "report/base/dataset.h"
#include "report/base/engine_state.h"
#include "report/base/engine_texts.h"
#include "report/base/record_stream.h"
#include "report/base/text_format.h"
#include "report/expr/components.h"
#include "report/expr/dataset_components.h"
#include "report/expr/expression_globals.h"
#include "report/expr/text_routines.h"

namespace quillet {
namespace {

constexpr std::int16_t kCurrentLayout = -2;
constexpr std::int16_t kEarlierLayout = -1;

// A count read from the stream, checked against what is left: every entry
// takes at least `minEntryBytes`.
std::uint32_t ReadCount(RecordReader& s, std::uint64_t minEntryBytes) {
  const std::int32_t count = s.ReadI32();
  if (count < 0 || std::uint64_t(count) * minEntryBytes > s.Remaining())
    throw StreamReadError("Data dictionary entry count out of range: " + std::to_string(count));
  return static_cast<std::uint32_t>(count);
}

NameValueTable ReadTable(RecordReader& s) {
  NameValueTable table;
  // A pair is at least two terminator bytes, whatever the string encoding.
  const std::uint32_t count = ReadCount(s, 2);
  table.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    NameValue entry;
    entry.Name = ReadCountedString(s);
    entry.Value = ReadCountedString(s);
    table.push_back(std::move(entry));
  }
  return table;
}

void WriteTable(RecordWriter& s, const NameValueTable& table) {
  if (table.size() > 0x7FFFFFFF) throw StreamWriteError("Data dictionary too large to store");
  s.WriteI32(static_cast<std::int32_t>(table.size()));
  for (const NameValue& entry : table) {
    WriteCountedString(s, entry.Name);
    WriteCountedString(s, entry.Value);
  }
}

// One length byte, then the characters.
std::string ReadShortString(RecordReader& s) {
  return s.Decoded(s.ReadBytes(s.ReadU8()));
}

bool StartsWithSpace(const std::string& text) {
  return !text.empty() && text[0] == ' ';
}

// Variables being evaluated through their values. A name met again on the
// way refers to itself, however many steps apart (A -> B -> A).
std::vector<std::string>& EvaluatingVariables() {
  static std::vector<std::string> chain;
  return chain;
}

struct EvaluatingVariable {
  explicit EvaluatingVariable(const std::string& name) { EvaluatingVariables().push_back(name); }
  ~EvaluatingVariable() { EvaluatingVariables().pop_back(); }
};

bool BeingEvaluated(const std::string& name) {
  return std::any_of(EvaluatingVariables().begin(), EvaluatingVariables().end(),
                     [&](const std::string& n) { return EqualsIgnoreCase(n, name); });
}

// The position of the last dot outside double quotes, or npos.
std::size_t LastDotOutsideQuotes(const std::string& text) {
  std::size_t dot = std::string::npos;
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '"')
      quoted = !quoted;
    else if (text[i] == '.' && !quoted)
      dot = i;
  }
  return dot;
}

// Whether the first part of a dotted reference names a registered data set
// or a form: everything else (an object and its property, "Memo1.Left")
// names no field, and is answered without a failing look-up.
bool MayNameField(const std::string& reference) {
  if (reference.empty() || reference[0] == '"') return true;
  const std::string first = reference.substr(0, reference.find('.'));
  return HostDatasets().FindOwned(first) != nullptr || FindGlobalComponent(first) != nullptr;
}

}  // namespace

std::size_t HashIgnoringCase::operator()(const std::string& name) const {
  std::size_t hash = 14695981039346656037ULL;  // FNV-1a over the upper-cased bytes
  for (char c : name) {
    hash ^= static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    hash *= 1099511628211ULL;
  }
  return hash;
}

bool EqualIgnoringCase::operator()(const std::string& a, const std::string& b) const {
  return EqualsIgnoreCase(a, b);
}

bool ResolveDataReference(const std::string& reference, DataSetComponent* dataset,
                          TfrCacheItem& item) {
  if (reference.find('.') != std::string::npos && !MayNameField(reference)) return false;
  NamedComponent* found = dataset;
  const std::optional<std::string> field = LookUpDataField(reference, found, &HostDatasets());
  auto* component = dynamic_cast<DataSetComponent*>(found);
  if (!field || field->empty() || !component) return false;
  item = TfrCacheItem{component, *field};
  return true;
}

TfrDataDictionary::TfrDataDictionary(EngineGlobals& engine) : engine_(engine) {
  FieldExists = [](const std::string& reference) {
    TfrCacheItem item;
    return ResolveDataReference(reference, nullptr, item);
  };
}

// ---- Look-ups ------------------------------------------------------------

const NameValue* TfrDataDictionary::FindVariable(const std::string& name) const {
  for (const NameValue& entry : VariableTable)
    if (EqualsIgnoreCase(entry.Name, name)) return &entry;
  return nullptr;
}

std::string TfrDataDictionary::ThroughAliases(const std::string& reference) const {
  const std::size_t dot = LastDotOutsideQuotes(reference);
  if (dot == std::string::npos) return {};
  std::string dataset = reference.substr(0, dot);
  std::string field = Unquote(reference.substr(dot + 1));
  for (const NameValue& alias : AliasTable)
    if (EqualsIgnoreCase(alias.Name, dataset)) {
      dataset = alias.Value;
      break;
    }
  // A field alias's value is the real data set, a dot and the real field.
  for (const NameValue& alias : AliasTable) {
    if (!EqualsIgnoreCase(alias.Name, field)) continue;
    const std::size_t aliasDot = LastDotOutsideQuotes(alias.Value);
    if (aliasDot == std::string::npos ||
        !EqualsIgnoreCase(alias.Value.substr(0, aliasDot), dataset))
      continue;
    field = Unquote(alias.Value.substr(aliasDot + 1));
    break;
  }
  return dataset + ".\"" + field + "\"";
}

void TfrDataDictionary::DropCacheIfDatasetsChanged() {
  if (cacheGeneration_ != DatasetRegistryGeneration() ||
      cacheComponents_ != GlobalComponentGeneration())
    ClearCache();
}

bool TfrDataDictionary::IsDictionaryName(const std::string& name) {
  DropCacheIfDatasetsChanged();
  if (LookupCache.contains(name)) return true;
  TfrCacheItem item;
  if (const NameValue* variable = FindVariable(name)) {
    if (variable->Value.find('.') != std::string::npos) {
      DataSetComponent* start = DataLevelDataset ? DataLevelDataset() : nullptr;
      if (ResolveDataReference(variable->Value, start, item)) LookupCache[name] = item;
    }
    return true;
  }
  if (notFields_.contains(name)) return false;
  const std::string reference = ThroughAliases(name);
  if (reference.empty() || !ResolveDataReference(reference, nullptr, item)) {
    notFields_.insert(name);
    return false;
  }
  LookupCache[name] = item;
  return true;
}

Variant TfrDataDictionary::LookupValue(const std::string& name) {
  DropCacheIfDatasetsChanged();
  if (auto cached = LookupCache.find(name); cached != LookupCache.end()) {
    DataSetComponent& component = *cached->second.DataSet;
    component.Dataset().OpenData();  // a data set open already stays as it is
    return component.FieldValue(cached->second.FieldName);
  }
  const NameValue* variable = FindVariable(name);
  if (!variable) return Variant(0);
  TfrVariables& users = Expressions(engine_).GlobalVariables;
  if (const int i = users.IndexOfName(name); i >= 0) return users.ValueAt(i);
  if (variable->Value.empty()) return Variant(std::string());
  if (BeingEvaluated(name)) {
    if (engine_.Run.AggregateScan) return Variant(0);
    throw ParserError(EngineText(txUndefinedSymbol) + " \"" + name + "\"");
  }
  const EvaluatingVariable entered(name);
  // The value is copied: evaluating it may change the table (a script).
  const std::string expression = variable->Value;
  return Expressions(engine_).Parser.Calc(expression);
}

bool TfrDataDictionary::SetVariableValue(const std::string& name, const std::string& value) {
  for (NameValue& entry : VariableTable) {
    if (!EqualsIgnoreCase(entry.Name, name)) continue;
    entry.Value = value;
    LookupCache.erase(entry.Name);
    return true;
  }
  return false;
}

void TfrDataDictionary::ClearCache() {
  LookupCache.clear();
  notFields_.clear();
  cacheGeneration_ = DatasetRegistryGeneration();
  cacheComponents_ = GlobalComponentGeneration();
}

// ---- Tables and their stream form --------------------------------------

void TfrDataDictionary::Clear() {
  VariableTable.clear();
  AliasTable.clear();
  BandSourceTable.clear();
  HiddenDataSets.clear();
  ClearCache();
}

bool TfrDataDictionary::IsEmpty() const {
  return VariableTable.empty() && AliasTable.empty() && BandSourceTable.empty() &&
         HiddenDataSets.empty();
}

void TfrDataDictionary::ReadFromStream(RecordReader& s) {
  VariableTable.clear();
  AliasTable.clear();
  BandSourceTable.clear();
  ClearCache();
  const std::uint64_t start = s.Position();
  const std::int16_t marker = s.ReadI16();
  if (marker != kCurrentLayout && marker != kEarlierLayout) {
    s.Seek(start);
    ReadOlderLayout(s);
    return;
  }
  // All three tables or none: a dictionary cut short leaves them empty.
  NameValueTable variables = ReadTable(s);
  NameValueTable aliases = ReadTable(s);
  NameValueTable bandSources = ReadTable(s);
  if (marker == kEarlierLayout) {
    if (FieldExists)
      std::erase_if(aliases, [&](const NameValue& e) { return !FieldExists(e.Value); });
    std::erase_if(bandSources, [](const NameValue& e) { return e.Value.empty(); });
  }
  VariableTable = std::move(variables);
  AliasTable = std::move(aliases);
  BandSourceTable = std::move(bandSources);
}

void TfrDataDictionary::WriteToStream(RecordWriter& s) const {
  s.WriteI16(kCurrentLayout);
  WriteTable(s, VariableTable);
  WriteTable(s, AliasTable);
  WriteTable(s, BandSourceTable);
}

// The older layout kept field and predefined-name aliases apart from a list
// of variable names; both become variables here.
void TfrDataDictionary::ReadOlderLayout(RecordReader& s) {
  std::map<std::string, std::string> held;
  NameValueTable variables;
  // Kind byte, index, three length bytes.
  const std::uint32_t count = ReadCount(s, 8);
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint8_t kind = s.ReadU8();
    const std::int32_t index = s.ReadI32();
    const std::string a = ReadShortString(s);
    const std::string b = ReadShortString(s);
    const std::string c = ReadShortString(s);
    std::string value;
    if (kind == 2) {
      if (index == 1)
        value = b;
      else if (index >= 0 && index < std::int32_t(std::size(kOldPredefinedNames)))
        value = kOldPredefinedNames[index];
    } else if (kind == 1) {
      value = a + ".\"" + b + "\"";
    }
    held[" " + c] = std::move(value);
  }
  for (std::string& name : ReadStringList(s)) {
    std::string value;
    if (StartsWithSpace(name)) {
      auto it = held.find(name);
      if (it != held.end()) value = it->second;
    }
    variables.push_back({std::move(name), std::move(value)});
  }
  if (!variables.empty() && !StartsWithSpace(variables.front().Name)) {
    for (NameValue& entry : variables) {
      if (StartsWithSpace(entry.Name))
        entry.Name.erase(0, 1);
      else
        entry.Name.insert(0, 1, ' ');
    }
  }
  VariableTable = std::move(variables);
}

}  // namespace quillet
