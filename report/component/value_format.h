// Display formatting of values: the display-format word of text objects and
// bracket suffixes, number patterns ("0", "#", ",", ".") and date-time
// patterns (d, dd, ddd, dddd, m, mm, mmm, mmmm, yy, yyyy, h, hh, n, nn, s,
// ss; quoted text and other characters are copied).
#pragma once

#include <cstdint>
#include <string>

#include "report/base/variant.h"

namespace quillet {

struct EngineGlobals;

// Display-format word: category in bits 24-27, kind in bits 16-23,
// decimals in bits 8-15, decimal separator character in bits 0-7.
enum DisplayCategory : std::uint32_t {
  dcText = 0,
  dcNumber = 1,
  dcDate = 2,
  dcTime = 3,
  dcBoolean = 4,
};
constexpr std::uint32_t kCustomKind = 4;

constexpr std::uint32_t MakeDisplayFormat(std::uint32_t category, std::uint32_t kind,
                                          std::uint32_t decimals, unsigned char separator) {
  return (category & 15) << 24 | (kind & 255) << 16 | (decimals & 255) << 8 | separator;
}

// Formats `value` by the word, in `engine` (custom kinds use `formatText`). Empty, Null
// and blank texts give "". Numbers use the word's decimal separator (a zero
// byte keeps the engine's); the engine's separator is restored whatever
// happens. A value that does not format gives its plain text.
std::string FormatDisplayValue(EngineGlobals& engine, const Variant& value, std::uint32_t format,
                               const std::string& formatText);

// `value` by a number pattern with `decimalSeparator` in place of "." and
// the other of "," and "." as the thousands separator. The value is taken to
// 15 significant digits and rounded half away from zero. Sections
// "positive;negative;zero" (the negative one writes its own sign); quoted
// text and other characters are copied where they stand ("00-00" gives
// 12-34); an empty pattern gives the number's plain text.
std::string FormatNumberPattern(double value, const std::string& pattern, char decimalSeparator);
// Fixed-point text, 15 significant digits at most, `decimals` after the
// separator; with thousands separators when `grouped`.
std::string FormatFixed(double value, int decimals, bool grouped, char decimalSeparator);
// Days since 1899-12-30 (fraction: time of day) by a date-time pattern.
std::string FormatDateTimePattern(double days, const std::string& pattern);

}  // namespace quillet
