// Calculation errors: an error raised while an object, band or script is
// evaluated during preparation is recorded once, stops the run at its next
// check, and is shown to the user after the pass.
#pragma once

#include <string>

namespace quillet {

// Records `message` as the calculation error of the preparation in
// progress: sets CalcErrorFlag, builds CalcErrorText from the active view's
// text lines, the active report's name and the active view's name, and
// raises the outer report's stop request.
void RecordCalcError(const std::string& message);

// The text a calculation error shows (without touching any state).
std::string CalcErrorMessage(const std::string& message);

}  // namespace quillet
