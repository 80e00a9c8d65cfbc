// Data arrives as UTF-8 (CSV files, the database driver); the engine's texts
// are bytes of its code page, Windows-1252. Field names and text values
// cross here, so a data value prints as the same character a template's
// text would. Characters the code page cannot hold become '?'.
#pragma once

#include <string>
#include <string_view>

#include "report/base/variant.h"

class QString;

namespace quillet {

std::string EngineTextOfUtf8(std::string_view utf8);
// Seven-bit text is its own engine text.
bool IsSevenBit(std::string_view text);
// Converts a text value in place; other values stay as they are.
void ConvertToEngineText(Variant& value);
QString QStringOfEngineText(std::string_view bytes);

}  // namespace quillet
