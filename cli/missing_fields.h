// The data references of a template's texts and conditions checked against
// the data sets the options opened: [Items."Price"] over a CSV file
// without a Price column, or over a data set no option gives, prints
// nothing, and check says so before the report runs, with the nearest
// name there is.
#pragma once

#include <string>
#include <vector>

#include "cli/check_findings.h"
#include "session/data_options.h"

namespace quillet {
class TfrTemplate;
}

namespace quillet::cli {

// A warning for each data reference, in a memo's brackets, a highlight
// condition or a group condition, to a field its data set lacks, or (in
// the quoted form NAME."FIELD", or when NAME is close to a given data set's
// name and names no object) to a data set that is not given.
void CheckDataReferences(const TfrTemplate& t, const TemplatePlaces& places,
                         const std::vector<DataSetNames>& given, Findings& findings);

}  // namespace quillet::cli
