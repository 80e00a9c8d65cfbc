// The one place engine bytes become Qt text and back.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace quillet {

// Engine bytes in the code page of `charset` (Windows character set code).
QString ToQString(std::string_view bytes, int charset = 1);
std::string FromQString(const QString& text, int charset = 1);

}  // namespace quillet
