// The one place engine text (UTF-8) becomes Qt text and back.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace quillet {

QString ToQString(std::string_view utf8);
std::string FromQString(const QString& text);

}  // namespace quillet
