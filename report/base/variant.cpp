#include "report/base/variant.h"

#include <cstdlib>

#include "platform/errors.h"
#include "platform/locale_formats.h"
#include "platform/numeric.h"
#include "report/base/text_format.h"

namespace quillet {

std::int64_t Variant::AsInteger() const {
  switch (GetType()) {
    case Type::Empty:
    case Type::Null: return 0;
    case Type::Boolean: return std::get<bool>(value_) ? -1 : 0;
    case Type::Integer: return std::get<std::int64_t>(value_);
    case Type::Float: return Round64(std::get<double>(value_));
    case Type::Date: return Round64(std::get<DateTime>(value_).days);
    case Type::Text: return StrToInt64(std::get<std::string>(value_));
  }
  return 0;
}

double Variant::AsFloat() const {
  switch (GetType()) {
    case Type::Float: return std::get<double>(value_);
    case Type::Date: return std::get<DateTime>(value_).days;
    case Type::Text: return StrToFloat(std::get<std::string>(value_), '.');
    default: return static_cast<double>(AsInteger());
  }
}

bool Variant::AsBoolean() const {
  switch (GetType()) {
    case Type::Boolean: return std::get<bool>(value_);
    case Type::Text: {
      const std::string& s = std::get<std::string>(value_);
      if (EqualsIgnoreCase(s, "true")) return true;
      if (EqualsIgnoreCase(s, "false")) return false;
      return AsFloat() != 0;
    }
    default: return AsFloat() != 0;
  }
}

std::string Variant::AsText() const {
  switch (GetType()) {
    case Type::Empty:
    case Type::Null: return "";
    case Type::Boolean: return std::get<bool>(value_) ? "True" : "False";
    case Type::Integer: return std::to_string(std::get<std::int64_t>(value_));
    case Type::Float: return FloatToText(std::get<double>(value_), '.');
    case Type::Date: return CurrentLocale().DateTimeText(std::get<DateTime>(value_).days);
    case Type::Text: return std::get<std::string>(value_);
  }
  return "";
}

}  // namespace quillet
