#include "report/base/object.h"

#include "report/base/text_format.h"

namespace quillet {

void TfrObject::WriteProperty(const std::string&, const Variant&) {}

Variant TfrObject::ReadProperty(const std::string&) {
  return Variant::Null();
}

Variant TfrObject::CallMethod(const std::string&, const Variant&, const Variant&, const Variant&) {
  return Variant::Null();
}

void TfrObject::RegisterProperties() {}

void TfrObject::AddProperty(std::string_view name, std::uint16_t flags) {
  PropertyEntry e;
  e.EntryName = std::string(name.substr(0, 32));
  e.EntryFlags = flags;
  PropertyTable.push_back(std::move(e));
}

void TfrObject::AddEnumProperty(std::string_view name, std::string_view names,
                                std::vector<Variant> values) {
  PropertyEntry e;
  e.EntryName = std::string(name.substr(0, 32));
  e.EntryFlags = pfEnum;
  std::size_t start = 0;
  while (start <= names.size()) {
    std::size_t sep = names.find(';', start);
    if (sep == std::string_view::npos) sep = names.size();
    e.ValueNames.emplace_back(names.substr(start, sep - start));
    start = sep + 1;
  }
  e.ValueCodes = std::move(values);
  PropertyTable.push_back(std::move(e));
}

const PropertyEntry* TfrObject::FindProperty(std::string_view name) const {
  for (const PropertyEntry& e : PropertyTable)
    if (EqualsIgnoreCase(e.EntryName, name)) return &e;
  return nullptr;
}

void TfrObject::EnsureProperties() {
  if (PropertyTable.empty()) RegisterProperties();
}

}  // namespace quillet
