// Where a template's objects lie, and what its data bands run over:
// an object outside its paper, or on a page with bands but in none of them
// (formation places an object in the band its top lies in, so it never
// prints), and a data band over a data set no data option gives.
#pragma once

#include "cli/check_findings.h"

namespace quillet {
class TfrTemplate;
}

namespace quillet::cli {

void CheckObjectPlaces(const TfrTemplate& t, const TemplatePlaces& places, Findings& findings);

// A data band over a data set that is not registered: an error when data
// options were given (prepare refuses the template), a warning otherwise
// (the data has yet to be given).
void CheckDataSources(const TfrTemplate& t, const TemplatePlaces& places, bool dataGiven,
                      Findings& findings);

}  // namespace quillet::cli
