// The three integer conversions the engine uses, each named where it applies.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace quillet {

// Nearest integer, exact halves to the even neighbour. Values beyond the
// 64-bit range saturate; NaN gives 0.
inline std::int64_t Round64(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 9.2e18) return std::numeric_limits<std::int64_t>::max();
  if (v <= -9.2e18) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(std::nearbyint(v));  // default mode: to nearest, ties to even
}

// Round64 narrowed to 32 bits, saturating.
inline std::int32_t Round(double v) {
  std::int64_t r = Round64(v);
  if (r > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (r < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(r);
}

// Drops the fraction (toward zero); saturates like Round.
inline std::int64_t Trunc64(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 9.2e18) return std::numeric_limits<std::int64_t>::max();
  if (v <= -9.2e18) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(std::trunc(v));
}

inline std::int32_t Trunc(double v) {
  std::int64_t r = Trunc64(v);
  if (r > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (r < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(r);
}

// A 64-bit value narrowed to 32 bits, saturating: coordinates read from
// files may be extreme, and their sums must not wrap.
constexpr std::int32_t ClampToInt(std::int64_t v) {
  if (v > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (v < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(v);
}

// Sums, differences and products of 32-bit values that come from files:
// they saturate at the 32-bit range instead of wrapping (which would be
// undefined behaviour).
constexpr std::int32_t AddSat(std::int64_t a, std::int64_t b) {
  return ClampToInt(a + b);
}
constexpr std::int32_t SubSat(std::int64_t a, std::int64_t b) {
  return ClampToInt(a - b);
}
constexpr std::int32_t MulSat(std::int32_t a, std::int32_t b) {
  return ClampToInt(std::int64_t(a) * b);
}

// Integer division truncating toward zero (C++ '/' on integers already does).
constexpr std::int32_t Div(std::int32_t a, std::int32_t b) {
  return a / b;
}

}  // namespace quillet
