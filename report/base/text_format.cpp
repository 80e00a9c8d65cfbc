#include "report/base/text_format.h"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "platform/errors.h"

namespace quillet {

std::string FloatToText(double value, char decimalSeparator) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15G", value);
  std::string s(buf);
  // "%G" already drops trailing zeros; only the separator and "-0" remain.
  if (s == "-0") s = "0";
  for (char& c : s)
    if (c == '.') c = decimalSeparator;
  return s;
}

namespace {

std::string_view Trimmed(std::string_view t) {
  while (!t.empty() && static_cast<unsigned char>(t.front()) <= ' ') t.remove_prefix(1);
  while (!t.empty() && static_cast<unsigned char>(t.back()) <= ' ') t.remove_suffix(1);
  return t;
}

// Leading blanks are allowed, trailing ones are not.
bool ParseInt64(std::string_view text, std::int64_t& out) {
  std::string_view t = text;
  while (!t.empty() && static_cast<unsigned char>(t.front()) <= ' ') t.remove_prefix(1);
  bool negative = false;
  if (!t.empty() && (t.front() == '-' || t.front() == '+')) {
    negative = t.front() == '-';
    t.remove_prefix(1);
  }
  int base = 10;
  if (!t.empty() && t.front() == '$') {
    base = 16;
    t.remove_prefix(1);
  } else if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
    base = 16;
    t.remove_prefix(2);
  }
  if (t.empty()) return false;
  std::uint64_t magnitude = 0;
  auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), magnitude, base);
  if (ec != std::errc() || ptr != t.data() + t.size()) return false;
  if (negative) {
    if (magnitude > std::uint64_t(std::numeric_limits<std::int64_t>::max()) + 1) return false;
    out = static_cast<std::int64_t>(0 - magnitude);
  } else {
    if (magnitude > std::uint64_t(std::numeric_limits<std::int64_t>::max())) return false;
    out = static_cast<std::int64_t>(magnitude);
  }
  return true;
}

}  // namespace

std::int64_t StrToInt64(std::string_view text) {
  std::int64_t v = 0;
  if (!ParseInt64(text, v)) throw ConversionError::InvalidInteger(std::string(text));
  return v;
}

std::int32_t StrToInt(std::string_view text) {
  std::int64_t v = 0;
  if (!ParseInt64(text, v) || v < std::numeric_limits<std::int32_t>::min() ||
      v > std::numeric_limits<std::int32_t>::max())
    throw ConversionError::InvalidInteger(std::string(text));
  return static_cast<std::int32_t>(v);
}

double PlainDecimalValue(std::int64_t digits, int places) {
  static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  return double(digits) / kPowers[places];
}

bool ReadPlainDecimal(std::string_view t, double& value) {
  std::size_t i = 0;
  const bool negative = !t.empty() && t[0] == '-';
  if (!t.empty() && (t[0] == '-' || t[0] == '+')) ++i;
  std::int64_t digits = 0;
  int count = 0, places = 0;
  bool point = false;
  for (; i < t.size(); ++i) {
    const char c = t[i];
    if (c == '.' && !point) {
      point = true;
      continue;
    }
    if (c < '0' || c > '9' || ++count > 15) return false;
    digits = digits * 10 + (c - '0');
    if (point) ++places;
  }
  if (count == 0) return false;
  const double v = PlainDecimalValue(digits, places);
  value = negative ? -v : v;
  return true;
}

bool TryStrToFloat(std::string_view text, char decimalSeparator, double& value) {
  std::string t(Trimmed(text));
  if (t.empty()) return false;
  for (char& c : t) {
    if (c == decimalSeparator)
      c = '.';
    else if (c == '.' && decimalSeparator != '.')
      return false;
  }
  // Digits, one point, an exponent: nothing else (no hex, no "inf").
  for (char c : t)
    if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '+' ||
          c == 'e' || c == 'E'))
      return false;
  if (ReadPlainDecimal(t, value)) return true;
  char* end = nullptr;
  errno = 0;
  double v = std::strtod(t.c_str(), &end);
  if (end != t.c_str() + t.size() || errno == ERANGE) return false;
  value = v;
  return true;
}

double StrToFloat(std::string_view text, char decimalSeparator) {
  double v = 0;
  if (!TryStrToFloat(text, decimalSeparator, v))
    throw ConversionError::InvalidFloat(std::string(text));
  return v;
}

std::string UpperCase(std::string_view text) {
  std::string s(text);
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

}  // namespace quillet
