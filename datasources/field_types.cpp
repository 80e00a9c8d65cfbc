#include "datasources/field_types.h"

#include <charconv>
#include <string>

#include "platform/locale_formats.h"
#include "report/base/text_format.h"

namespace quillet {
namespace {

bool Digits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

}  // namespace

bool ReadNumberOrDate(std::string_view text, Variant& value) {
  if (text.empty() || !StartsNumberOrDate(text[0])) return false;
  if (ShortNumber number; ReadShortNumber(text, number)) {
    value = number.whole ? Variant(number.integer) : Variant(number.decimal);
    return true;
  }
  std::string_view body = text;
  if (!body.empty() && (body[0] == '-' || body[0] == '+')) body.remove_prefix(1);
  const bool leadingZero = body.size() > 1 && body[0] == '0' && body[1] >= '0' && body[1] <= '9';
  if (leadingZero && (Digits(body) || body.find('.') != std::string_view::npos)) return false;
  if (Digits(body)) {
    std::int64_t i = 0;
    const char* first = text.data() + (text[0] == '+' ? 1 : 0);
    auto [end, ec] = std::from_chars(first, text.data() + text.size(), i);
    if (ec == std::errc() && end == text.data() + text.size()) {
      value = Variant(i);
      return true;
    }
    // Too long for an integer: kept as its digits rather than rounded.
    return false;
  }
  if (const auto dot = body.find('.'); dot != std::string_view::npos) {
    const std::string_view whole = body.substr(0, dot);
    const std::string_view fraction = body.substr(dot + 1);
    if ((whole.empty() || Digits(whole)) && Digits(fraction)) {
      double d = 0;
      const char* first = text.data() + (text[0] == '+' ? 1 : 0);
      if (!ReadPlainDecimal(text, d)) {
        auto [end, ec] = std::from_chars(first, text.data() + text.size(), d);
        if (ec != std::errc() || end != text.data() + text.size()) return false;
      }
      value = Variant(d);
      return true;
    }
  }
  if (text.size() == 10 && text[4] == '-' && text[7] == '-' && Digits(text.substr(0, 4)) &&
      Digits(text.substr(5, 2)) && Digits(text.substr(8, 2))) {
    const int y = std::stoi(std::string(text.substr(0, 4)));
    const int m = std::stoi(std::string(text.substr(5, 2)));
    const int d = std::stoi(std::string(text.substr(8, 2)));
    double days = 0;
    if (!CivilToDays(y, m, d, days)) return false;
    value = Variant(DateTime{days});
    return true;
  }
  return false;
}

Variant TypedFieldValue(std::string_view text) {
  if (text.empty()) return Variant::Null();
  Variant value;
  if (!ReadNumberOrDate(text, value)) value = Variant(std::string(text));
  return value;
}

}  // namespace quillet
