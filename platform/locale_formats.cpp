#include "platform/locale_formats.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace quillet {
namespace {

LocaleFormats builtIn;
LocaleFormats* current = nullptr;

// Days from 1970-01-01 of a proleptic Gregorian date (H. Hinnant's method).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

constexpr long long kEpochOffset = 25569;  // 1899-12-30 to 1970-01-01

// Up to three unsigned numbers separated by one of `separators`.
std::vector<int> Numbers(std::string_view text, std::string_view separators) {
  std::vector<int> out;
  long long value = -1;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      value = (value < 0 ? 0 : value) * 10 + (c - '0');
      if (value > 100000) return {};
    } else if (separators.find(c) != std::string_view::npos && value >= 0) {
      out.push_back(static_cast<int>(value));
      value = -1;
    } else if (c != ' ') {
      return {};
    }
  }
  if (value < 0) return {};
  out.push_back(static_cast<int>(value));
  return out;
}

}  // namespace

CivilDate DaysToCivil(double days) {
  long long z = static_cast<long long>(std::floor(days)) - kEpochOffset + 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  CivilDate c;
  c.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  c.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  c.year = static_cast<int>(yoe + era * 400 + (c.month <= 2));
  return c;
}

bool CivilToDays(int year, int month, int day, double& days) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  static constexpr int kLength[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  if (day > kLength[month - 1] + (month == 2 && leap)) return false;
  days = static_cast<double>(
      DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) + kEpochOffset);
  return true;
}

std::string LocaleFormats::LongDate(double days) const {
  static const char* const kMonths[] = {"January",   "February", "March",    "April",
                                        "May",       "June",     "July",     "August",
                                        "September", "October",  "November", "December"};
  const CivilDate c = DaysToCivil(days);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%d %s %04d", c.day, kMonths[c.month - 1], c.year);
  return buf;
}

std::string LocaleFormats::DateTimeText(double days) const {
  if (!std::isfinite(days) || std::fabs(days) > 3e6) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.15g", days);
    return buf;
  }
  const double whole = std::floor(days);
  long long seconds = std::llround((days - whole) * 86400.0);
  if (seconds >= 86400) seconds = 86399;
  const int hour = int(seconds / 3600), minute = int(seconds / 60 % 60), second = int(seconds % 60);
  if (seconds == 0) return ShortDate(DaysToCivil(whole));
  if (whole == 0) return TimeOfDay(hour, minute, second);
  return ShortDate(DaysToCivil(whole)) + " " + TimeOfDay(hour, minute, second);
}

std::string LocaleFormats::ShortDate(const CivilDate& date) const {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", date.year, date.month, date.day);
  return buf;
}

std::string LocaleFormats::TimeOfDay(int hour, int minute, int second) const {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", hour, minute, second);
  return buf;
}

// Built-in forms: dd.mm.yyyy, dd/mm/yyyy and yyyy-mm-dd; two-digit years
// are 2000-based.
bool LocaleFormats::ParseDate(std::string_view text, double& days) const {
  const bool iso = text.find('-') != std::string_view::npos;
  std::vector<int> n = Numbers(text, iso ? "-" : "./");
  if (n.size() != 3) return false;
  int year = iso ? n[0] : n[2];
  const int month = n[1];
  const int day = iso ? n[2] : n[0];
  if (year < 100) year += 2000;
  return CivilToDays(year, month, day, days);
}

bool LocaleFormats::ParseTime(std::string_view text, double& fraction) const {
  std::vector<int> n = Numbers(text, ":");
  if (n.size() < 2 || n.size() > 3) return false;
  const int s = n.size() == 3 ? n[2] : 0;
  if (n[0] > 23 || n[1] > 59 || s > 59) return false;
  fraction = (n[0] * 3600.0 + n[1] * 60.0 + s) / 86400.0;
  return true;
}

LocaleFormats& CurrentLocale() {
  return current ? *current : builtIn;
}

void SetLocaleFormats(LocaleFormats* formats) {
  current = formats;
}

}  // namespace quillet
