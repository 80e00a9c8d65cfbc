#include "report/template/data_dictionary.h"

#include <map>

#include "platform/errors.h"
#include "platform/stream.h"
#include "report/base/stream_strings.h"

namespace quillet {
namespace {

constexpr std::int16_t kCurrentLayout = -2;
constexpr std::int16_t kEarlierLayout = -1;

// A count read from the stream, checked against what is left: every entry
// takes at least `minEntryBytes`.
std::uint32_t ReadCount(Stream& s, std::uint64_t minEntryBytes) {
  const std::int32_t count = s.ReadI32();
  if (count < 0 || std::uint64_t(count) * minEntryBytes > s.Remaining())
    throw StreamReadError("Data dictionary entry count out of range: " + std::to_string(count));
  return static_cast<std::uint32_t>(count);
}

NameValueTable ReadTable(Stream& s) {
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

void WriteTable(Stream& s, const NameValueTable& table) {
  if (table.size() > 0x7FFFFFFF) throw StreamWriteError("Data dictionary too large to store");
  s.WriteI32(static_cast<std::int32_t>(table.size()));
  for (const NameValue& entry : table) {
    WriteCountedString(s, entry.Name);
    WriteCountedString(s, entry.Value);
  }
}

// One length byte, then the characters.
std::string ReadShortString(Stream& s) { return s.ReadBytes(s.ReadU8()); }

bool StartsWithSpace(const std::string& text) { return !text.empty() && text[0] == ' '; }

}  // namespace

void TfrDataDictionary::Clear() {
  VariableTable.clear();
  AliasTable.clear();
  BandSourceTable.clear();
  HiddenDataSets.clear();
}

bool TfrDataDictionary::IsEmpty() const {
  return VariableTable.empty() && AliasTable.empty() && BandSourceTable.empty() &&
         HiddenDataSets.empty();
}

void TfrDataDictionary::ReadFromStream(Stream& s) {
  VariableTable.clear();
  AliasTable.clear();
  BandSourceTable.clear();
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

void TfrDataDictionary::WriteToStream(Stream& s) const {
  s.WriteI16(kCurrentLayout);
  WriteTable(s, VariableTable);
  WriteTable(s, AliasTable);
  WriteTable(s, BandSourceTable);
}

// The older layout kept field and predefined-name aliases apart from a list
// of variable names; both become variables here.
void TfrDataDictionary::ReadOlderLayout(Stream& s) {
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
