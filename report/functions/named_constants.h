// The named constants expressions and scripts may use: colours, system
// colours, dialog results, CRLF, Null, font styles, frame sides, text and
// band alignment, frame styles and message-box flags.
#pragma once

#include "report/expr/variables.h"

namespace quillet {

// Adds the constants to the list (object kinds add their own, such as the
// shape kinds).
void FillNamedConstants(TfrVariables& constants);

}  // namespace quillet
