// The user's locale through QLocale::system(): its long date form and its
// short date and time forms for reading.
#pragma once

#include "platform/locale_formats.h"

namespace quillet {

class QtLocaleFormats : public LocaleFormats {
 public:
  std::string LongDate(double days) const override;
  bool ParseDate(std::string_view text, double& days) const override;
  bool ParseTime(std::string_view text, double& fraction) const override;
};

}  // namespace quillet
