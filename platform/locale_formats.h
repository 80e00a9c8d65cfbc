// The user's locale as the engine needs it: the long date form, a date-time
// value as text, and reading dates and times typed in the locale's short
// forms. The Qt implementation
// (platform/qt/qt_locale_formats.h) is installed by the programs; without
// it a fixed English form is used.
#pragma once

#include <string>
#include <string_view>

namespace quillet {

struct CivilDate {
  int year = 1899, month = 12, day = 30;
};

class LocaleFormats {
 public:
  virtual ~LocaleFormats() = default;
  // `days` since 1899-12-30 in the locale's long date form.
  virtual std::string LongDate(double days) const;
  // A date-time value as text (whole seconds): the short date when it has
  // no time of day, the time when its day is 1899-12-30 (a time alone), and
  // both, separated by a space, otherwise. Built in: yyyy-mm-dd, hh:mm:ss.
  std::string DateTimeText(double days) const;
  // A date as days since 1899-12-30; false when the text is no date.
  // Accepts the locale's short form and yyyy-mm-dd.
  virtual bool ParseDate(std::string_view text, double& days) const;
  // A time of day as a fraction of a day; false when the text is no time.
  virtual bool ParseTime(std::string_view text, double& fraction) const;

 protected:
  // The parts DateTimeText joins: a calendar date, and a time of day.
  virtual std::string ShortDate(const CivilDate& date) const;
  virtual std::string TimeOfDay(int hour, int minute, int second) const;
};

// The installed locale (not owned); the built-in English one until set.
LocaleFormats& CurrentLocale();
void SetLocaleFormats(LocaleFormats* formats);

// Calendar helpers shared by the implementations.
CivilDate DaysToCivil(double days);
// False when the date does not exist.
bool CivilToDays(int year, int month, int day, double& days);

}  // namespace quillet
