#include "report/component/value_format.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "platform/errors.h"
#include "platform/locale_formats.h"
#include "report/base/engine_state.h"
#include "report/base/engine_texts.h"
#include "report/base/text_format.h"

namespace quillet {
namespace {

constexpr int kFirstDatePattern = 55175;  // "mm.dd.yy", "mm.dd.yyyy", "d mmm yyyy"
constexpr int kFirstTimePattern = 55179;  // "hh:nn:ss", "h:nn:ss", "hh:nn", "h:nn"
constexpr int kFirstBooleanPair = 55170;  // "0;1", "No;Yes", "_;x", "False;True"

char ThousandsFor(char decimalSeparator) {
  return decimalSeparator == ',' ? '.' : ',';
}

// Digits of |value| rounded to `decimals` places (halves away from zero),
// split into the integer and fraction digit strings.
void Digits(double value, int decimals, std::string& integer, std::string& fraction) {
  char buf[512];
  // 15 significant digits: beyond them binary noise would show.
  const double magnitude = std::fabs(value);
  int digitsBefore = magnitude >= 1 ? int(std::floor(std::log10(magnitude))) + 1 : 1;
  int places = std::max(0, std::min(decimals, 15 - std::min(digitsBefore, 15)));
  if (magnitude >= 1e300) places = 0;
  // Rounds away from zero on exact halves of the decimal text.
  double scaled = std::round(magnitude * std::pow(10.0, places));
  if (!std::isfinite(scaled)) {
    std::snprintf(buf, sizeof buf, "%.*f", places, magnitude);
  } else {
    // The whole number's exact digits, as "%.0f" writes them, without printf
    // (as an integer while it is one: the same digits, written faster).
    const auto end =
        scaled < 9e18
            ? std::to_chars(buf, buf + sizeof buf - 1, static_cast<std::int64_t>(scaled))
            : std::to_chars(buf, buf + sizeof buf - 1, scaled, std::chars_format::fixed, 0);
    *end.ptr = '\0';
  }
  std::string all = buf;
  if (!std::isfinite(scaled)) {
    const auto dot = all.find('.');
    integer = all.substr(0, dot);
    fraction = dot == std::string::npos ? "" : all.substr(dot + 1);
  } else {
    if (int(all.size()) <= places) all.insert(0, std::size_t(places + 1 - int(all.size())), '0');
    integer = all.substr(0, all.size() - std::size_t(places));
    fraction = all.substr(all.size() - std::size_t(places));
  }
  fraction.resize(std::size_t(std::max(decimals, 0)), '0');
}

std::string Group(const std::string& integer, char thousands) {
  std::string out;
  const int n = int(integer.size());
  for (int i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) out += thousands;
    out += integer[std::size_t(i)];
  }
  return out;
}

bool IsPlaceholder(char c) {
  return c == '0' || c == '#' || c == ',' || c == '.';
}

// Restores the engine's decimal separator on every way out.
struct SeparatorScope {
  char saved = Engine().DecimalSeparator;
  explicit SeparatorScope(char separator) {
    if (separator) Engine().DecimalSeparator = separator;
  }
  ~SeparatorScope() { Engine().DecimalSeparator = saved; }
};

double DateOf(const Variant& value, bool time) {
  switch (value.GetType()) {
    case Variant::Type::Date:
    case Variant::Type::Integer:
    case Variant::Type::Float: return value.AsFloat();
    case Variant::Type::Text: {
      double days = 0;
      const std::string& s = *value.IfText();
      if (time ? CurrentLocale().ParseTime(s, days) : CurrentLocale().ParseDate(s, days))
        return days;
      throw ConversionError("'" + s + "' is not a valid " + (time ? "time" : "date"));
    }
    default: throw ConversionError("'" + value.AsText() + "' is not a valid date");
  }
}

std::string PickFromPair(const std::string& pair, bool value) {
  const auto sep = pair.find(';');
  if (sep == std::string::npos) return value ? std::string() : pair;
  return value ? pair.substr(sep + 1) : pair.substr(0, sep);
}

}  // namespace

std::string FormatFixed(double value, int decimals, bool grouped, char decimalSeparator) {
  if (!std::isfinite(value)) return FloatToText(value, decimalSeparator);
  std::string integer, fraction;
  Digits(value, decimals, integer, fraction);
  std::string out = grouped ? Group(integer, ThousandsFor(decimalSeparator)) : integer;
  if (!fraction.empty()) out += decimalSeparator + fraction;
  const bool zero = integer.find_first_not_of('0') == std::string::npos &&
                    fraction.find_first_not_of('0') == std::string::npos;
  if (value < 0 && !zero) out.insert(0, 1, '-');
  return out;
}

std::string FormatNumberPattern(double value, const std::string& pattern, char decimalSeparator) {
  if (!std::isfinite(value)) return FloatToText(value, decimalSeparator);
  // Sections "positive;negative;zero": the negative one drops the sign.
  std::string section = pattern;
  bool sectionHasSign = false;
  if (const auto semi = pattern.find(';'); semi != std::string::npos) {
    if (value < 0) {
      const auto next = pattern.find(';', semi + 1);
      std::string negative =
          pattern.substr(semi + 1, next == std::string::npos ? std::string::npos : next - semi - 1);
      if (!negative.empty()) {
        section = negative;
        sectionHasSign = true;
      } else {
        section = pattern.substr(0, semi);
      }
    } else {
      section = pattern.substr(0, semi);
    }
  }
  const auto first = section.find_first_of("0#.,");
  if (first == std::string::npos) return section;
  const auto last = section.find_last_of("0#.,");
  const std::string prefix = section.substr(0, first);
  const std::string body = section.substr(first, last - first + 1);
  const std::string suffix = section.substr(last + 1);

  const auto point = body.find('.');
  const std::string intPart = body.substr(0, point);
  const std::string fracPart = point == std::string::npos ? "" : body.substr(point + 1);
  const bool grouped = intPart.find(',') != std::string::npos;
  int minInt = 0;
  for (char c : intPart)
    if (c == '0') ++minInt;
  int minFrac = 0, maxFrac = 0;
  for (char c : fracPart) {
    if (c == '0') minFrac = ++maxFrac;
    if (c == '#') ++maxFrac;
  }
  std::string integer, fraction;
  Digits(value, maxFrac, integer, fraction);
  while (int(fraction.size()) > minFrac && fraction.back() == '0') fraction.pop_back();
  integer.erase(0, std::min(integer.find_first_not_of('0'), integer.size()));
  if (int(integer.size()) < minInt)
    integer.insert(0, std::size_t(minInt - int(integer.size())), '0');
  std::string out = grouped ? Group(integer, ThousandsFor(decimalSeparator)) : integer;
  if (!fraction.empty()) out += decimalSeparator + fraction;
  const bool zero = integer.find_first_not_of('0') == std::string::npos &&
                    fraction.find_first_not_of('0') == std::string::npos;
  if (value < 0 && !zero && !sectionHasSign) out.insert(0, 1, '-');
  (void)IsPlaceholder;
  return prefix + out + suffix;
}

std::string FormatDateTimePattern(double days, const std::string& pattern) {
  static const char* const kMonths[] = {"January",   "February", "March",    "April",
                                        "May",       "June",     "July",     "August",
                                        "September", "October",  "November", "December"};
  static const char* const kDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                      "Thursday", "Friday", "Saturday"};
  if (!std::isfinite(days) || std::fabs(days) > 3e6) throw ConversionError("Invalid date");
  const CivilDate c = DaysToCivil(days);
  double whole = std::floor(days);
  long long seconds = std::llround((days - whole) * 86400.0);
  if (seconds >= 86400) seconds = 86399;
  const int hour = int(seconds / 3600), minute = int(seconds / 60 % 60), second = int(seconds % 60);
  // 1899-12-30 was a Saturday.
  const int weekday = int(((static_cast<long long>(whole) % 7) + 7 + 6) % 7);

  auto two = [](int v) {
    char b[8];
    std::snprintf(b, sizeof b, "%02d", v);
    return std::string(b);
  };
  std::string out;
  const std::size_t n = pattern.size();
  bool lastWasHour = false;
  for (std::size_t i = 0; i < n;) {
    const char ch = pattern[i];
    const char up = static_cast<char>(ch >= 'a' && ch <= 'z' ? ch - 32 : ch);
    std::size_t run = 1;
    while (i + run < n && (pattern[i + run] == ch || (pattern[i + run] ^ 32) == ch)) ++run;
    if (ch == '"' || ch == '\'') {
      const auto close = pattern.find(ch, i + 1);
      const std::size_t end = close == std::string::npos ? n : close;
      out += pattern.substr(i + 1, end - i - 1);
      i = end + 1;
      continue;
    }
    switch (up) {
      case 'D':
        if (run == 1)
          out += std::to_string(c.day);
        else if (run == 2)
          out += two(c.day);
        else if (run == 3)
          out += std::string(kDays[weekday]).substr(0, 3);
        else
          out += kDays[weekday];
        break;
      case 'M':
        // "m" right after an hour means minutes.
        if (lastWasHour && run <= 2) {
          out += run == 1 ? std::to_string(minute) : two(minute);
        } else if (run == 1) {
          out += std::to_string(c.month);
        } else if (run == 2) {
          out += two(c.month);
        } else if (run == 3) {
          out += std::string(kMonths[c.month - 1]).substr(0, 3);
        } else {
          out += kMonths[c.month - 1];
        }
        break;
      case 'Y': out += run <= 2 ? two(c.year % 100) : std::to_string(c.year); break;
      case 'H': out += run == 1 ? std::to_string(hour) : two(hour); break;
      case 'N': out += run == 1 ? std::to_string(minute) : two(minute); break;
      case 'S': out += run == 1 ? std::to_string(second) : two(second); break;
      default: out.append(run, ch); break;
    }
    if (up == 'H')
      lastWasHour = true;
    else if (up != ' ' && up != ':' && up != 'M')
      lastWasHour = false;
    i += run;
  }
  return out;
}

std::string FormatDisplayValue(const Variant& value, std::uint32_t format,
                               const std::string& formatText) {
  if (value.IsEmpty() || value.IsNull()) return {};
  if (const std::string* s = value.IfText();
      s && s->find_first_not_of(" \t\r\n") == std::string::npos)
    return {};
  const std::uint32_t category = (format >> 24) & 15;
  const std::uint32_t kind = (format >> 16) & 255;
  const int decimals = static_cast<int>((format >> 8) & 255);
  const auto separator = static_cast<char>(format & 255);
  try {
    switch (category) {
      case dcNumber: {
        const SeparatorScope scope(separator);
        const char sep = Engine().DecimalSeparator;
        const double x = value.AsFloat();
        switch (kind) {
          case 0:
            return FormatNumberPattern(x, "##0." + std::string(std::size_t(decimals), '#'), sep);
          case 1: return FormatFixed(x, decimals, false, sep);
          case 2:
            return FormatNumberPattern(x, "#,##0." + std::string(std::size_t(decimals), '#'), sep);
          case 3: return FormatFixed(x, decimals, true, sep);
          default: return FormatNumberPattern(x, formatText, sep);
        }
      }
      case dcDate: {
        const double days = DateOf(value, false);
        if (kind <= 2)
          return FormatDateTimePattern(days, EngineText(kFirstDatePattern + int(kind)));
        if (kind == 3) return CurrentLocale().LongDate(days);
        return FormatDateTimePattern(days, formatText);
      }
      case dcTime: {
        const double days = DateOf(value, true);
        if (kind <= 3)
          return FormatDateTimePattern(days, EngineText(kFirstTimePattern + int(kind)));
        return FormatDateTimePattern(days, formatText);
      }
      case dcBoolean: {
        const std::string pair =
            kind < kCustomKind ? EngineText(kFirstBooleanPair + int(kind)) : formatText;
        return PickFromPair(pair, value.AsBoolean());
      }
      default: return value.AsText();
    }
  } catch (const std::exception&) {
    return value.AsText();
  }
}

}  // namespace quillet
