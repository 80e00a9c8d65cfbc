// What the JSON form of a template shares between its writer and reader:
// the object types it names and the defaults members fall back on.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

namespace quillet {

class TfrView;

// The object types the JSON form describes field by field; Other is any
// other registered class, whose own fields travel as bytes ("tail").
enum class JsonKind { Memo, Picture, Band, SubReport, Line, Shape, Other };

// A new view's DisplayFormat: text, two decimals, '.' as separator. Fixed
// here (not the engine's current separator) so a JSON file means the same
// on every machine.
inline constexpr std::int32_t kJsonDefaultDisplayFormat = 512 + '.';

JsonKind JsonKindOf(const TfrView& view);
// "memo", "picture", "band", "subReport", "line", "shape"; empty for Other.
std::string_view JsonTypeName(JsonKind kind);
// The kind a "type" member names; Other for anything else (a class name).
JsonKind JsonKindOfType(std::string_view type);

// A new view of the same class with the JSON form's defaults: what a member
// left out of the JSON means.
std::unique_ptr<TfrView> DefaultViewLike(const TfrView& view);
// Gives a new view the JSON form's defaults where a new view's own follow
// the machine (the display format's decimal separator).
void PinJsonDefaults(TfrView& fresh);

}  // namespace quillet
