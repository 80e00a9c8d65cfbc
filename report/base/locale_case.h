// Letter case of engine text by the rules of its code page (Windows-1252):
// accented Latin letters change case along with ASCII ones.
#pragma once

#include <string>
#include <string_view>

namespace quillet {

std::string LocaleUpperCase(std::string_view text);
std::string LocaleLowerCase(std::string_view text);

}  // namespace quillet
