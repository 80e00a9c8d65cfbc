// The named constants expressions and scripts may use: colours, system
// colours, dialog results, CRLF, Null, font styles, frame sides, text and
// band alignment, frame styles and message-box flags.
#pragma once

#include "report/expr/variables.h"

namespace quillet {

// Replaces the list's contents with the constants.
void FillNamedConstants(TfrVariables& constants);

}  // namespace quillet
