// The scripts and expressions of a template checked without preparing it:
// every script translated (and warned about when it runs only its first
// statement), every bracketed expression, highlight condition and group
// condition converted, every call checked against the functions that exist
// and every aggregate against the bands of its page, and TOTALPAGES
// against a report formed once (where it is always 0).
#pragma once

#include "cli/check_findings.h"

namespace quillet {
class TfrTemplate;
}

namespace quillet::cli {

// Adds the findings of `t`'s scripts and expressions. The engine library
// must have started, so that the standard functions are known.
void CheckScriptsAndExpressions(const TfrTemplate& t, const TemplatePlaces& places,
                                Findings& findings);

}  // namespace quillet::cli
