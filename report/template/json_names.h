// The names the template's JSON form gives to enumerations, bit sets and
// colours. Values without a name are written as numbers (enumerations,
// colours) or "bitN" (bit sets), so every stored value has a JSON form.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/geometry.h"

namespace quillet {

struct JsonName {
  std::uint32_t value;
  const char* name;
};
using JsonNames = std::span<const JsonName>;

// Enumerations.
extern const JsonNames kJsonBandKinds;
extern const JsonNames kJsonShapeKinds;
extern const JsonNames kJsonFrameStyles;
extern const JsonNames kJsonBandAligns;
extern const JsonNames kJsonOrientations;
extern const JsonNames kJsonPageTypes;
extern const JsonNames kJsonBorderStyles;
extern const JsonNames kJsonPositions;
extern const JsonNames kJsonGraphicKinds;
extern const JsonNames kJsonBlobTypes;
extern const JsonNames kJsonFormatCategories;
extern const JsonNames kJsonHorizontalAlignments;  // the low two bits of Alignment

// Bit sets: each entry is one bit. The flag sets are whole: each holds
// "stretched" (bit 0) and the bits of its kind.
extern const JsonNames kJsonViewFlags;     // every view
extern const JsonNames kJsonMemoFlags;     // memo views
extern const JsonNames kJsonBandFlags;     // band views
extern const JsonNames kJsonPictureFlags;  // picture views
extern const JsonNames kJsonFrameSides;
extern const JsonNames kJsonFontStyles;
extern const JsonNames kJsonAlignmentBits;  // above the horizontal alignment

std::optional<std::string_view> NameOfValue(JsonNames names, std::uint32_t value);
std::optional<std::uint32_t> ValueOfName(JsonNames names, std::string_view name);
// "a", "b", "c" for error messages.
std::string ListOfNames(JsonNames names);

// The names of the set bits, in bit order; a bit without a name in `names`
// is written "bitN" (N from 0).
std::vector<std::string> NamesOfBits(JsonNames names, std::uint32_t bits);
// One bit for one name ("bitN" included); nullopt for an unknown name.
std::optional<std::uint32_t> BitOfName(JsonNames names, std::string_view name);

// "#RRGGBB" for plain colours, "none", a system colour's name, or nullopt
// for values that are none of these (written as numbers).
std::optional<std::string> ColorName(Color color);
// The names above plus a few common colour names ("black", "red", ...).
std::optional<Color> ColorOfName(std::string_view name);

}  // namespace quillet
