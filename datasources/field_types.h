// The engine values of text fields (CSV cells): whole numbers become
// integers, numbers with a decimal point decimals, yyyy-mm-dd dates dates,
// and everything else (an empty cell too) stays text.
#pragma once

#include <string_view>

#include "report/base/variant.h"

namespace quillet {

Variant TypedFieldValue(std::string_view text);

}  // namespace quillet
