// Number text in both directions, and case rules for engine (code-page) text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillet {

// Shortest decimal text: up to 15 significant digits, no trailing zeros,
// `decimalSeparator` in place of '.'; 50 → "50", 50.5 → "50.5".
std::string FloatToText(double value, char decimalSeparator);

// Whole text as a signed integer (leading blanks and "$" or "0x" hex
// allowed); anything else raises ConversionError with the text.
std::int32_t StrToInt(std::string_view text);
std::int64_t StrToInt64(std::string_view text);
// Whole text as a number with `decimalSeparator`; raises ConversionError.
double StrToFloat(std::string_view text, char decimalSeparator);
// Like StrToFloat, but returns false instead of raising.
bool TryStrToFloat(std::string_view text, char decimalSeparator, double& value);

std::string UpperCase(std::string_view text);  // ASCII letters only
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

}  // namespace quillet
