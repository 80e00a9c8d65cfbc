// Number text in both directions, and ASCII case rules for engine text.
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
// A plain decimal of up to 15 digits with '.' ("1.5", "-42.25", "+7"), read
// as exactly as strtod reads it but faster; false for any other text.
bool ReadPlainDecimal(std::string_view text, double& value);
// digits / 10^places for at most 15 digits and 15 places: both are exact, so
// the one division rounds as a correctly rounded reading of the text does.
double PlainDecimalValue(std::int64_t digits, int places);

std::string UpperCase(std::string_view text);  // ASCII letters only

// ASCII letters compared without regard to case, in place: names are
// matched this way for every value a report reads, so no upper-cased copies
// are made, and the call is inlined into the look-ups that run per record.
inline bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] == b[i]) continue;
    const char x = a[i] >= 'a' && a[i] <= 'z' ? char(a[i] - 'a' + 'A') : a[i];
    const char y = b[i] >= 'a' && b[i] <= 'z' ? char(b[i] - 'a' + 'A') : b[i];
    if (x != y) return false;
  }
  return true;
}

}  // namespace quillet
