// Values as the command line reads and prints them: "--var NAME=VALUE"
// typed by its text, and a value's type name and text for output.
#pragma once

#include <string>
#include <utility>

#include "report/base/variant.h"

namespace quillet::cli {

// Digits with an optional minus: an integer; digits with one decimal
// point: a float; anything else: text.
Variant TypedValue(const std::string& text);
// "NAME=VALUE" split at the first "="; raises UsageError when there is no
// name.
std::pair<std::string, Variant> NamedValue(const std::string& assignment);

// "integer", "float", "text", "boolean", "date" or "null".
std::string TypeName(const Variant& value);
// The value's text as a report prints it: dates and times in the locale's
// short date and time (Variant::AsText).
std::string ValueText(const Variant& value);
// A JSON string literal of the text (bytes that are no UTF-8 become U+FFFD),
// with \" \\ \n \r \t escaped and other control characters as \u00XX.
std::string JsonString(const std::string& text);

}  // namespace quillet::cli
