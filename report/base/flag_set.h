// FlagSet: a typed set of the bits of one stored flags word, so that a bit
// of one object kind cannot be tested on another's word (the same bit means
// word wrap for a text object, form-new-page for a band, centre for a
// picture). The word itself stays what files hold; FromBits and ToBits are
// the only ways between the two.
#pragma once

#include <cstdint>
#include <type_traits>

namespace quillet {

template <typename Flag>
class FlagSet {
  static_assert(std::is_enum_v<Flag>, "FlagSet holds the values of one enumeration");

 public:
  using Bits = std::underlying_type_t<Flag>;

  constexpr FlagSet() = default;
  constexpr FlagSet(Flag flag) : bits_(static_cast<Bits>(flag)) {}  // NOLINT: implicit by design
  static constexpr FlagSet FromBits(Bits bits) {
    FlagSet set;
    set.bits_ = bits;
    return set;
  }

  constexpr Bits ToBits() const { return bits_; }
  constexpr bool Has(Flag flag) const { return (bits_ & static_cast<Bits>(flag)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr void Set(Flag flag, bool on = true) {
    bits_ = on ? static_cast<Bits>(bits_ | static_cast<Bits>(flag))
               : static_cast<Bits>(bits_ & ~static_cast<Bits>(flag));
  }

  friend constexpr FlagSet operator|(FlagSet a, FlagSet b) { return FromBits(a.bits_ | b.bits_); }
  friend constexpr bool operator==(FlagSet a, FlagSet b) = default;

 private:
  Bits bits_ = 0;
};

}  // namespace quillet
