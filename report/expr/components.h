// Named components that data references and object paths point at: forms
// found through the application's global lookup, the components they own,
// and data sets with fields. The application registers its forms here; the
// engine registers none of its own, so until something is registered every
// lookup fails with "Missing …".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

class NamedComponent {
 public:
  virtual ~NamedComponent() = default;
  virtual std::string ComponentName() const = 0;
  // A component this one owns, by name (letter case ignored), or nullptr.
  virtual NamedComponent* FindOwned(std::string_view /*name*/) { return nullptr; }
  // Data sets: whether a field of that name exists (letter case ignored).
  virtual bool HasField(std::string_view /*name*/) const { return false; }
};

// The application's global component lookup: top-level forms by name.
void RegisterGlobalComponent(NamedComponent* component);
void UnregisterGlobalComponent(NamedComponent* component);
NamedComponent* FindGlobalComponent(std::string_view name);
// Changes with every registration and unregistration, so whoever keeps what
// a lookup answered can tell that the answer may have changed.
std::uint64_t GlobalComponentGeneration();

// "Form.Component" or "Form.Component.Owned" through the global lookup; a
// path without a dot among `owner`'s components. Raises ClassNotFoundError
// "Missing <path>" when any step fails.
NamedComponent* FindComponentByPath(NamedComponent* owner, std::string_view path);

// Resolves "Field", "DataSet.Field", "Form.DataSet.Field" or
// "Form.Module.DataSet.Field" (a part starting with a double quote runs to
// the end, so quoted field names may hold dots). `dataset` stays for a bare
// field and is replaced otherwise; `owner` is the report's owner window.
// Returns the unquoted field name when the data set has that field, else "".
std::string FindDataField(std::string_view reference, NamedComponent*& dataset,
                          NamedComponent* owner);

// The same look-up without raising: std::nullopt when a step of the path
// finds no component (`dataset` may then have been replaced).
std::optional<std::string> LookUpDataField(std::string_view reference, NamedComponent*& dataset,
                                           NamedComponent* owner);

}  // namespace quillet
