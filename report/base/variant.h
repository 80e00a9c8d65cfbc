// The engine's one value type: what expressions compute, properties hold and
// scripts pass around.
#pragma once

#include <cstdint>
#include <string>
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

  // Conversions raise ConversionError where the value has no such reading.
  std::int64_t AsInteger() const;
  double AsFloat() const;
  bool AsBoolean() const;
  // Text of the value; numbers with '.' as the decimal separator.
  std::string AsText() const;

  friend bool operator==(const Variant&, const Variant&) = default;

 private:
  std::variant<std::monostate, NullValue, bool, std::int64_t, double, std::string, DateTime>
      value_;
};

}  // namespace quillet
