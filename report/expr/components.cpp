#include "report/expr/components.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "platform/errors.h"
#include "report/base/text_format.h"
#include "report/expr/text_routines.h"

namespace quillet {
namespace {

std::vector<NamedComponent*>& Globals() {
  static std::vector<NamedComponent*> list;
  return list;
}

std::uint64_t globalsGeneration = 0;

// Dot-separated parts; a part that starts with a double quote takes the rest.
std::vector<std::string> PathParts(std::string_view text) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= text.size()) {
    if (start < text.size() && text[start] == '"') {
      parts.emplace_back(text.substr(start));
      break;
    }
    std::size_t dot = text.find('.', start);
    if (dot == std::string_view::npos) dot = text.size();
    parts.emplace_back(text.substr(start, dot - start));
    start = dot + 1;
  }
  return parts;
}

ClassNotFoundError Missing(std::string_view path) {
  return ClassNotFoundError("Missing " + std::string(path));
}

// The first part through the global lookup, each further one inside the
// previous component; nullptr when a step finds nothing.
NamedComponent* WalkOrNull(const std::vector<std::string>& parts, std::size_t count) {
  NamedComponent* c = FindGlobalComponent(parts[0]);
  for (std::size_t i = 1; c && i < count; ++i) c = c->FindOwned(parts[i]);
  return c;
}

NamedComponent* Walk(const std::vector<std::string>& parts, std::size_t count,
                     std::string_view path) {
  NamedComponent* c = WalkOrNull(parts, count);
  if (!c) throw Missing(path);
  return c;
}

}  // namespace

void RegisterGlobalComponent(NamedComponent* component) {
  auto& list = Globals();
  if (component && std::find(list.begin(), list.end(), component) == list.end())
    list.push_back(component);
  ++globalsGeneration;
}

void UnregisterGlobalComponent(NamedComponent* component) {
  auto& list = Globals();
  list.erase(std::remove(list.begin(), list.end(), component), list.end());
  ++globalsGeneration;
}

std::uint64_t GlobalComponentGeneration() {
  return globalsGeneration;
}

NamedComponent* FindGlobalComponent(std::string_view name) {
  for (NamedComponent* c : Globals())
    if (EqualsIgnoreCase(c->ComponentName(), name)) return c;
  return nullptr;
}

NamedComponent* FindComponentByPath(NamedComponent* owner, std::string_view path) {
  const std::vector<std::string> parts = PathParts(path);
  if (parts.size() == 1) {
    NamedComponent* c = owner ? owner->FindOwned(path) : nullptr;
    if (!c) throw Missing(path);
    return c;
  }
  if (parts.size() > 3) throw Missing(path);
  return Walk(parts, parts.size(), path);
}

std::optional<std::string> LookUpDataField(std::string_view reference, NamedComponent*& dataset,
                                           NamedComponent* owner) {
  const std::vector<std::string> parts = PathParts(reference);
  if (parts.size() == 2) {
    dataset = owner ? owner->FindOwned(parts[0]) : nullptr;
    if (!dataset) return std::nullopt;
  } else if (parts.size() == 3 || parts.size() == 4) {
    dataset = WalkOrNull(parts, parts.size() - 1);
    if (!dataset) return std::nullopt;
  } else if (parts.size() > 4) {
    return std::nullopt;
  }
  const std::string field = Unquote(parts.back());
  return dataset && dataset->HasField(field) ? field : std::string();
}

std::string FindDataField(std::string_view reference, NamedComponent*& dataset,
                          NamedComponent* owner) {
  std::optional<std::string> field = LookUpDataField(reference, dataset, owner);
  if (!field) throw Missing(reference);
  return *std::move(field);
}

}  // namespace quillet
