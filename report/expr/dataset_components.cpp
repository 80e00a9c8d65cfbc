#include "report/expr/dataset_components.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "report/base/text_format.h"

namespace quillet {
namespace {

class HostDatasetOwner : public NamedComponent {
 public:
  std::string ComponentName() const override { return {}; }
  NamedComponent* FindOwned(std::string_view name) override {
    for (DataSetComponent* c : List)
      if (EqualsIgnoreCase(c->ComponentName(), name)) return c;
    return nullptr;
  }
  std::vector<DataSetComponent*> List;
};

HostDatasetOwner& Owner() {
  static HostDatasetOwner owner;
  return owner;
}

std::uint64_t generation = 0;

}  // namespace

NamedComponent& HostDatasets() {
  return Owner();
}

void RegisterDataset(DataSetComponent* component) {
  if (!component) return;
  auto& list = Owner().List;
  std::erase_if(list, [&](DataSetComponent* c) {
    return c == component || EqualsIgnoreCase(c->ComponentName(), component->ComponentName());
  });
  list.push_back(component);
  ++generation;
}

void UnregisterDataset(DataSetComponent* component) {
  if (std::erase(Owner().List, component) > 0) ++generation;
}

DataSetComponent* FindDatasetComponent(std::string_view path) {
  try {
    return dynamic_cast<DataSetComponent*>(FindComponentByPath(&HostDatasets(), path));
  } catch (const ClassNotFoundError&) {
    return nullptr;
  }
}

DataSetComponent* FindDatasetComponentOf(const TfrDataset* dataset) {
  if (!dataset) return nullptr;
  for (DataSetComponent* c : Owner().List)
    if (&c->Dataset() == dataset) return c;
  return nullptr;
}

std::uint64_t DatasetRegistryGeneration() {
  return generation;
}

TfrDataField DataSetComponent::Field(std::string_view field) {
  const Variant& value = FieldValue(field);
  TfrDataField result;
  if (value.IsNull() || value.IsEmpty()) return result;
  result.IsNull = false;
  if (const std::string* text = value.IfText())
    result.Bytes = *text;
  else
    result.Bytes = value.AsText();
  return result;
}

}  // namespace quillet
