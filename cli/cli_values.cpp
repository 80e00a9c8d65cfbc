#include "cli/cli_values.h"

#include <cmath>
#include <cstdio>

#include "platform/utf8.h"
#include "report/base/text_format.h"
#include "session/command_options.h"

namespace quillet::cli {

Variant TypedValue(const std::string& text) {
  std::size_t digits = 0, points = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9')
      ++digits;
    else if (c == '.')
      ++points;
    else if (!(c == '-' && i == 0))
      return Variant(text);
  }
  if (digits == 0 || points > 1) return Variant(text);
  if (points == 1) return Variant(StrToFloat(text, '.'));
  try {
    return Variant(StrToInt64(text));
  } catch (const std::exception&) {
    return Variant(StrToFloat(text, '.'));  // beyond 64 bits
  }
}

std::pair<std::string, Variant> NamedValue(const std::string& assignment) {
  const auto eq = assignment.find('=');
  if (eq == std::string::npos || eq == 0)
    throw UsageError("--var wants NAME=VALUE, not '" + assignment + "'");
  return {assignment.substr(0, eq), TypedValue(assignment.substr(eq + 1))};
}

std::string TypeName(const Variant& value) {
  switch (value.GetType()) {
    case Variant::Type::Integer: return "integer";
    case Variant::Type::Float: return "float";
    case Variant::Type::Text: return "text";
    case Variant::Type::Boolean: return "boolean";
    case Variant::Type::Date: return "date";
    default: return "null";
  }
}

std::string ValueText(const Variant& value) {
  return value.AsText();
}

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (char c : RepairUtf8(text)) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

}  // namespace quillet::cli
