#include "report/base/locale_case.h"

#include "platform/utf8.h"

namespace quillet {

std::string LocaleUpperCase(std::string_view text) {
  return Utf8UpperCase(text);
}
std::string LocaleLowerCase(std::string_view text) {
  return Utf8LowerCase(text);
}

}  // namespace quillet
