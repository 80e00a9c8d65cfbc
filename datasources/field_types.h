// The engine values of text fields (CSV cells): whole numbers become
// integers, numbers with a decimal point decimals, yyyy-mm-dd dates dates,
// an empty cell Null, and everything else stays text. A number written with
// a leading zero ("007", "02134", "00.5") is a code, not a quantity, and
// stays text; "0", "0.5" and "-0.25" are numbers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "report/base/text_format.h"
#include "report/base/variant.h"

namespace quillet {

Variant TypedFieldValue(std::string_view text);
// A cell whose first character starts no number and no date is text.
inline bool StartsNumberOrDate(char c) {
  return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.';
}
// The number or date `text` reads as, into `value`; false (and `value` as it
// was) where the text stays text.
bool ReadNumberOrDate(std::string_view text, Variant& value);

// The common cells, read in one pass: a whole number or a decimal of at most
// 15 digits, as ReadNumberOrDate would read it. False for anything else,
// which may still be a number or a date. Inline: it runs for every cell.
struct ShortNumber {
  bool whole = false;  // `integer` holds it, else `decimal`
  std::int64_t integer = 0;
  double decimal = 0;
};

inline bool ReadShortNumber(std::string_view text, ShortNumber& number) {
  const char* p = text.data();
  const char* const end = p + text.size();
  const bool negative = p != end && *p == '-';
  if (p != end && (*p == '-' || *p == '+')) ++p;
  // The digits before a point and after it, gathered into one number.
  std::uint64_t digits = 0;
  const char* const whole = p;
  while (p != end && static_cast<unsigned char>(*p - '0') < 10) digits = digits * 10 + (*p++ - '0');
  const std::size_t wholeCount = std::size_t(p - whole);
  if (wholeCount > 1 && *whole == '0') return false;  // a leading zero: text
  if (p == end) {
    if (wholeCount == 0 || wholeCount > 15) return false;
    number.whole = true;
    number.integer = negative ? -std::int64_t(digits) : std::int64_t(digits);
    return true;
  }
  if (*p++ != '.') return false;
  const char* const fraction = p;
  while (p != end && static_cast<unsigned char>(*p - '0') < 10) digits = digits * 10 + (*p++ - '0');
  const std::size_t places = std::size_t(p - fraction);
  // "12." stays text, and so does anything after the digits.
  if (p != end || places == 0 || wholeCount + places > 15) return false;
  const double d = PlainDecimalValue(std::int64_t(digits), int(places));
  number.whole = false;
  number.decimal = negative ? -d : d;
  return true;
}

}  // namespace quillet
