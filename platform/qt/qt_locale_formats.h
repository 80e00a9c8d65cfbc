// The user's locale through QLocale::system(): its long date form, its
// short date and its time with seconds for writing, and its short date and
// time forms for reading.
#pragma once

#include "platform/locale_formats.h"

namespace quillet {

class QtLocaleFormats : public LocaleFormats {
 public:
  std::string LongDate(double days) const override;
  bool ParseDate(std::string_view text, double& days) const override;
  bool ParseTime(std::string_view text, double& fraction) const override;

 protected:
  std::string ShortDate(const CivilDate& date) const override;
  std::string TimeOfDay(int hour, int minute, int second) const override;
};

}  // namespace quillet
