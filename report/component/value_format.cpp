#include "report/component/value_format.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

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
// split into the integer and fraction digit strings. Below 1e15 the value is
// first taken to 15 significant decimal digits, so 1.005 rounds up as 2.675
// does; larger values keep their exact integer digits.
void Digits(double value, int decimals, std::string& integer, std::string& fraction) {
  const double magnitude = std::fabs(value);
  const int places = std::max(decimals, 0);
  if (magnitude < 1e15) {
    // d.dddddddddddddde±xx, as printf's "%.14e" writes it (many times faster).
    char buf[40];
    const std::to_chars_result written =
        std::to_chars(buf, buf + sizeof buf - 1, magnitude, std::chars_format::scientific, 14);
    *written.ptr = '\0';
    std::string digits;
    for (const char* p = buf; *p && *p != 'e'; ++p)
      if (*p >= '0' && *p <= '9') digits += *p;
    const int exponent = std::atoi(std::strchr(buf, 'e') + 1);
    // digits × 10^(exponent - 14): the first `pointAt` digits are whole.
    int pointAt = exponent + 1;
    if (pointAt < 0) {
      digits.insert(0, std::size_t(-pointAt), '0');
      pointAt = 0;
    }
    if (int(digits.size()) < pointAt + places)
      digits.append(std::size_t(pointAt + places - int(digits.size())), '0');
    const bool up =
        int(digits.size()) > pointAt + places && digits[std::size_t(pointAt + places)] >= '5';
    digits.resize(std::size_t(pointAt + places));
    if (up) {
      int i = int(digits.size()) - 1;
      while (i >= 0 && digits[std::size_t(i)] == '9') digits[std::size_t(i--)] = '0';
      if (i >= 0)
        ++digits[std::size_t(i)];
      else {
        digits.insert(0, 1, '1');
        ++pointAt;
      }
    }
    integer = pointAt == 0 ? "0" : digits.substr(0, std::size_t(pointAt));
    fraction = digits.substr(std::size_t(pointAt));
    return;
  }
  // Past 15 integer digits no fraction digit is significant.
  char buf[512];
  const double scaled = std::round(magnitude);
  if (!std::isfinite(scaled)) {
    std::snprintf(buf, sizeof buf, "%.0f", magnitude);
  } else {
    // The whole number's exact digits, as "%.0f" writes them, without printf
    // (as an integer while it is one: the same digits, written faster).
    const auto end =
        scaled < 9e18
            ? std::to_chars(buf, buf + sizeof buf - 1, static_cast<std::int64_t>(scaled))
            : std::to_chars(buf, buf + sizeof buf - 1, scaled, std::chars_format::fixed, 0);
    *end.ptr = '\0';
  }
  integer = buf;
  fraction.assign(std::size_t(places), '0');
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

// Restores the engine's decimal separator on every way out.
struct SeparatorScope {
  EngineGlobals& engine;
  char saved = engine.DecimalSeparator;
  SeparatorScope(EngineGlobals& e, char separator) : engine(e) {
    if (separator) engine.DecimalSeparator = separator;
  }
  ~SeparatorScope() { engine.DecimalSeparator = saved; }
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

namespace {

// One section of a number pattern, read into its parts: digit placeholders
// ("0", "#"), the decimal point, thousands commas and literal text (quoted
// runs lose their quotes).
struct PatternItem {
  enum Kind { Literal, Digit, Point, Comma } kind;
  std::string text;  // Literal: the text; Digit: "0" or "#"
};

std::vector<PatternItem> ReadSection(const std::string& section) {
  std::vector<PatternItem> items;
  bool seenPoint = false;
  for (std::size_t i = 0; i < section.size(); ++i) {
    const char c = section[i];
    if (c == '"' || c == '\'') {
      const auto close = section.find(c, i + 1);
      const std::size_t end = close == std::string::npos ? section.size() : close;
      items.push_back({PatternItem::Literal, section.substr(i + 1, end - i - 1)});
      i = end;
    } else if (c == '0' || c == '#') {
      items.push_back({PatternItem::Digit, std::string(1, c)});
    } else if (c == '.' && !seenPoint) {
      seenPoint = true;
      items.push_back({PatternItem::Point, {}});
    } else if (c == ',') {
      items.push_back({PatternItem::Comma, {}});
    } else {
      items.push_back({PatternItem::Literal, std::string(1, c)});
    }
  }
  return items;
}

// The sections of "positive;negative;zero", split outside quotes.
std::vector<std::string> SplitSections(const std::string& pattern) {
  std::vector<std::string> sections(1);
  char quote = 0;
  for (char c : pattern) {
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == ';') {
      sections.emplace_back();
      continue;
    }
    sections.back() += c;
  }
  return sections;
}

struct SectionDigits {
  std::string integer, fraction;
  bool zero = true;
};

// |value| by the section's placeholders: at most as many decimals as it has
// fraction placeholders, trailing zeros kept up to its last "0".
SectionDigits DigitsFor(double value, const std::vector<PatternItem>& items) {
  int maxFrac = 0, minFrac = 0;
  bool afterPoint = false;
  for (const PatternItem& item : items) {
    if (item.kind == PatternItem::Point) afterPoint = true;
    if (item.kind != PatternItem::Digit || !afterPoint) continue;
    ++maxFrac;
    if (item.text == "0") minFrac = maxFrac;
  }
  SectionDigits d;
  Digits(value, maxFrac, d.integer, d.fraction);
  while (int(d.fraction.size()) > minFrac && d.fraction.back() == '0') d.fraction.pop_back();
  d.integer.erase(0, std::min(d.integer.find_first_not_of('0'), d.integer.size()));
  d.zero = d.integer.empty() && d.fraction.find_first_not_of('0') == std::string::npos;
  return d;
}

std::string WriteSection(const std::vector<PatternItem>& items, SectionDigits d, bool minus,
                         char decimalSeparator) {
  // Whole-number placeholders, the first "0" among them and grouping.
  int wholePlaces = 0, firstZero = -1;
  bool grouped = false;
  for (const PatternItem& item : items) {
    if (item.kind == PatternItem::Point) break;
    if (item.kind == PatternItem::Comma) grouped = true;
    if (item.kind != PatternItem::Digit) continue;
    if (item.text == "0" && firstZero < 0) firstZero = wholePlaces;
    ++wholePlaces;
  }
  std::string& integer = d.integer;
  const int minWhole = firstZero < 0 ? 0 : wholePlaces - firstZero;
  if (int(integer.size()) < minWhole)
    integer.insert(0, std::size_t(minWhole - int(integer.size())), '0');
  const int length = int(integer.size());
  const char thousands = ThousandsFor(decimalSeparator);

  std::string out = minus ? "-" : "";
  int place = 0;       // whole-number placeholders met so far
  int next = 0;        // next digit of `integer` to write
  int fractionAt = 0;  // next digit of the fraction
  bool afterPoint = false;
  auto writeDigit = [&]() {
    out += integer[std::size_t(next++)];
    if (grouped && next < length && (length - next) % 3 == 0) out += thousands;
  };
  for (const PatternItem& item : items) {
    switch (item.kind) {
      case PatternItem::Literal: out += item.text; break;
      case PatternItem::Comma: break;
      case PatternItem::Point:
        afterPoint = true;
        // Digits wider than the placeholders go where the placeholders begin.
        while (next < length) writeDigit();
        if (!d.fraction.empty()) out += decimalSeparator;
        break;
      case PatternItem::Digit:
        if (afterPoint) {
          if (fractionAt < int(d.fraction.size())) out += d.fraction[std::size_t(fractionAt++)];
          break;
        }
        // The placeholder `place` (from the left) stands for the digit
        // `length - wholePlaces + place`; the first one takes any surplus.
        ++place;
        while (next < length && next < length - wholePlaces + place) writeDigit();
        break;
    }
  }
  if (wholePlaces > 0 || afterPoint)
    while (next < length) writeDigit();
  return out;
}

}  // namespace

std::string FormatNumberPattern(double value, const std::string& pattern, char decimalSeparator) {
  if (!std::isfinite(value)) return FloatToText(value, decimalSeparator);
  // Sections "positive;negative;zero": the negative one writes its own sign;
  // an empty or missing one falls back to the positive one, and a value that
  // rounds to zero takes the zero section when there is one.
  const std::vector<std::string> sections = SplitSections(pattern);
  const bool useNegative = value < 0 && sections.size() > 1 && !sections[1].empty();
  const std::string& chosen = useNegative ? sections[1] : sections[0];
  if (chosen.empty()) return FloatToText(value, decimalSeparator);
  std::vector<PatternItem> items = ReadSection(chosen);
  SectionDigits d = DigitsFor(value, items);
  if (d.zero && sections.size() > 2 && !sections[2].empty()) {
    items = ReadSection(sections[2]);
    return WriteSection(items, DigitsFor(0, items), false, decimalSeparator);
  }
  return WriteSection(items, d, value < 0 && !d.zero && !useNegative, decimalSeparator);
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

std::string FormatDisplayValue(EngineGlobals& engine, const Variant& value, std::uint32_t format,
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
        const SeparatorScope scope(engine, separator);
        const char sep = engine.DecimalSeparator;
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
