// Letter case of engine text (UTF-8) by Unicode's rules: every script with
// case changes along with ASCII.
#pragma once

#include <string>
#include <string_view>

namespace quillet {

std::string LocaleUpperCase(std::string_view text);
std::string LocaleLowerCase(std::string_view text);

}  // namespace quillet
