#include "datasources/field_types.h"

#include <cctype>
#include <charconv>
#include <string>

#include "platform/locale_formats.h"
#include "report/base/text_format.h"

namespace quillet {
namespace {

bool Digits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

// The common cells in one pass: a whole number or a decimal of at most 15
// digits, as the general rules below would read it. False for anything else.
bool ReadShortNumber(std::string_view text, Variant& value) {
  std::size_t i = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
  const bool negative = i == 1 && text[0] == '-';
  std::int64_t digits = 0;
  int count = 0, places = -1;  // places: -1 before a point
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '.' && places < 0) {
      places = 0;
      continue;
    }
    if (c < '0' || c > '9' || ++count > 15) return false;
    digits = digits * 10 + (c - '0');
    if (places >= 0) ++places;
  }
  if (places < 0) {
    if (count == 0) return false;
    value = Variant(negative ? -digits : digits);
    return true;
  }
  if (places == 0) return false;  // "12." stays text
  const double d = PlainDecimalValue(digits, places);
  value = Variant(negative ? -d : d);
  return true;
}

}  // namespace

Variant TypedFieldValue(std::string_view text) {
  // A cell whose first character starts no number and no date is text.
  if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '-' ||
                        text[0] == '+' || text[0] == '.'))
    return Variant(std::string(text));
  if (Variant number; ReadShortNumber(text, number)) return number;
  std::string_view body = text;
  if (!body.empty() && (body[0] == '-' || body[0] == '+')) body.remove_prefix(1);
  if (Digits(body)) {
    std::int64_t i = 0;
    const char* first = text.data() + (text[0] == '+' ? 1 : 0);
    auto [end, ec] = std::from_chars(first, text.data() + text.size(), i);
    if (ec == std::errc() && end == text.data() + text.size()) return Variant(i);
    // Too long for an integer: kept as its digits rather than rounded.
    return Variant(std::string(text));
  }
  if (const auto dot = body.find('.'); dot != std::string_view::npos) {
    const std::string_view whole = body.substr(0, dot);
    const std::string_view fraction = body.substr(dot + 1);
    if ((whole.empty() || Digits(whole)) && Digits(fraction)) {
      double d = 0;
      if (ReadPlainDecimal(text, d)) return Variant(d);
      const char* first = text.data() + (text[0] == '+' ? 1 : 0);
      auto [end, ec] = std::from_chars(first, text.data() + text.size(), d);
      if (ec == std::errc() && end == text.data() + text.size()) return Variant(d);
    }
  }
  if (text.size() == 10 && text[4] == '-' && text[7] == '-' && Digits(text.substr(0, 4)) &&
      Digits(text.substr(5, 2)) && Digits(text.substr(8, 2))) {
    const int y = std::stoi(std::string(text.substr(0, 4)));
    const int m = std::stoi(std::string(text.substr(5, 2)));
    const int d = std::stoi(std::string(text.substr(8, 2)));
    double days = 0;
    if (CivilToDays(y, m, d, days)) return Variant(DateTime{days});
  }
  return Variant(std::string(text));
}

}  // namespace quillet
