// The engine's one value type: what expressions compute, properties hold and
// scripts pass around.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace quillet {

struct NullValue {
  friend bool operator==(NullValue, NullValue) { return true; }
};

// Days since 1899-12-30; the fraction is the time of day.
struct DateTime {
  double days = 0;
  friend bool operator==(DateTime, DateTime) = default;
};

class Variant {
 public:
  enum class Type { Empty, Null, Boolean, Integer, Float, Text, Date };

  Variant() = default;
  Variant(NullValue) : value_(NullValue{}) {}
  Variant(bool b) : value_(b) {}
  Variant(int i) : value_(std::int64_t(i)) {}
  Variant(std::int64_t i) : value_(i) {}
  Variant(double d) : value_(d) {}
  Variant(std::string s) : value_(std::move(s)) {}
  Variant(const char* s) : value_(std::string(s)) {}
  Variant(DateTime d) : value_(d) {}

  static Variant Null() { return Variant(NullValue{}); }

  Type GetType() const { return static_cast<Type>(value_.index()); }
  bool IsEmpty() const { return GetType() == Type::Empty; }
  bool IsNull() const { return GetType() == Type::Null; }
  bool IsNumeric() const { return GetType() == Type::Integer || GetType() == Type::Float; }
  // The held text, or nullptr when the value is no text.
  const std::string* IfText() const { return std::get_if<std::string>(&value_); }
  std::string* IfText() { return std::get_if<std::string>(&value_); }

  // Conversions raise ConversionError where the value has no such reading.
  std::int64_t AsInteger() const;
  double AsFloat() const;
  bool AsBoolean() const;
  // Text of the value; numbers with '.' as the decimal separator, dates
  // and times as the locale writes them (LocaleFormats::DateTimeText).
  std::string AsText() const;

  friend bool operator==(const Variant&, const Variant&) = default;

 private:
  std::variant<std::monostate, NullValue, bool, std::int64_t, double, std::string, DateTime> value_;
};

// Arithmetic and comparison, as expressions compute them (variant_arith.cpp).
//
// - Empty counts as the integer 0 (or the empty text beside a text). Null
//   makes arithmetic Null; it equals only Null or Empty and compares below
//   every other value.
// - Booleans count as -1 (true) and 0 (false) in arithmetic and beside
//   numbers; two booleans compare as booleans (false < true).
// - Integer with integer gives an integer (a float when the 64-bit result
//   would overflow); with a float, a float. Dates count as their day number;
//   a date plus or minus a number stays a date, date minus date is a float.
// - Text + text concatenates, and so does text + date (the date's text);
//   text beside a number or boolean (or a date, but for "+") is converted to
//   a number with "." as decimal separator, and a text that is no number
//   raises ConversionError. "-", "*", "/" convert texts always.
// - Texts compare with each other byte for byte (letter case counts).
// - Division is always a float division; DivideValues by 0 gives 0.
// - ModValues and OrValues work on integers (floats rounded, halves to
//   even); OrValues of two booleans is the boolean or. ModValues by 0
//   raises ParserError.
// - A float becomes text with up to 15 significant digits ("2.5", "14").
// - A text made by "+" may hold at most kMaxTextBytes bytes: longer raises
//   EngineError, so a script that doubles a text ends instead of taking
//   the machine's memory.
constexpr std::size_t kMaxTextBytes = std::size_t(64) << 20;
Variant AddValues(const Variant& a, const Variant& b);
Variant SubtractValues(const Variant& a, const Variant& b);
Variant MultiplyValues(const Variant& a, const Variant& b);
Variant DivideValues(const Variant& a, const Variant& b);
Variant ModValues(const Variant& a, const Variant& b);
Variant OrValues(const Variant& a, const Variant& b);
Variant NegateValue(const Variant& a);
// Negative, zero or positive as a < b, a = b, a > b.
int CompareValues(const Variant& a, const Variant& b);
bool ValuesEqual(const Variant& a, const Variant& b);

}  // namespace quillet
