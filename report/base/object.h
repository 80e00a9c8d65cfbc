// The root of every report object: a table of named properties that
// scripts and expressions read and write by name.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "report/base/variant.h"

namespace quillet {

// Kinds of value a property holds (stored for editors; only the name is read).
enum PropertyFlags : std::uint16_t {
  pfText = 1,
  pfInteger = 2,
  pfFloat = 4,
  pfBoolean = 8,
  pfColor = 16,
  pfEnum = 32,
  pfHasEditor = 64,
  pfPixels = 128,
  pfTextAlt = 256,
};

struct PropertyEntry {
  std::string EntryName;  // at most 32 characters
  std::uint16_t EntryFlags = 0;
  std::vector<std::string> ValueNames;
  std::vector<Variant> ValueCodes;
};

class TfrObject {
 public:
  virtual ~TfrObject() = default;

  virtual void WriteProperty(const std::string& name, const Variant& value);
  virtual Variant ReadProperty(const std::string& name);
  virtual Variant CallMethod(const std::string& name, const Variant& a1, const Variant& a2,
                             const Variant& a3);
  virtual void RegisterProperties();

  void ClearProperties() { PropertyTable.clear(); }
  void AddProperty(std::string_view name, std::uint16_t flags);
  void AddEnumProperty(std::string_view name, std::string_view names, std::vector<Variant> values);
  // First entry whose name equals `name` ignoring case; nullptr when none.
  const PropertyEntry* FindProperty(std::string_view name) const;
  // Builds the table on first use: tables are never built by constructors.
  void EnsureProperties();

  std::vector<PropertyEntry> PropertyTable;
};

}  // namespace quillet
