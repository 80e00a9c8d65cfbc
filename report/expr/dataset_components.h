// Data-set components: the named data sets a host registers (the program,
// the command line's --csv and --dataset, tests). A band's data source text
// and a data reference such as [Items."Price"] find them by name, letter
// case ignored; the engine then sees only the TfrDataset cursor and the
// current record's field values.
#pragma once

#include <cstdint>
#include <string_view>

#include "report/base/data_field.h"
#include "report/base/variant.h"
#include "report/expr/components.h"

namespace quillet {

class TfrDataset;

class DataSetComponent : public NamedComponent {
 public:
  virtual TfrDataset& Dataset() = 0;
  // The current record's value of a field (letter case ignored); Null when
  // the field is unknown or the data set is at its end. The value lives in
  // the data set until its cursor moves: a caller keeping it copies it.
  virtual const Variant& FieldValue(std::string_view field) = 0;
  // The current record's field as a bound view loads it: a text's bytes
  // (a BLOB column's bytes as they are), null for Null or no record.
  TfrDataField Field(std::string_view field);
};

// The owner of the registered data sets: a name without a form is looked up
// among its components.
NamedComponent& HostDatasets();
// Not owned; registering a second data set of the same name replaces it.
void RegisterDataset(DataSetComponent* component);
void UnregisterDataset(DataSetComponent* component);
// The data set a band's data source text names, or nullptr when it names
// none (or names a component that is no data set).
DataSetComponent* FindDatasetComponent(std::string_view path);
// The registered data set whose cursor `dataset` is, or nullptr (a band's
// counted data set, or none).
DataSetComponent* FindDatasetComponentOf(const TfrDataset* dataset);
// Changes with every registration and unregistration, so whoever keeps a
// registered data set can tell that it may have gone.
std::uint64_t DatasetRegistryGeneration();

}  // namespace quillet
