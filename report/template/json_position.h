// Finding a member of a JSON text by its JSON pointer, to tell the user the
// line and column of a value the template reader refused.
#pragma once

#include <cstddef>
#include <string_view>

namespace quillet {

// Byte offset of the value `pointer` ("/pages/0/name") names in a
// well-formed JSON text; when the path stops matching, the offset of the
// deepest value found on the way (0 for the whole document).
std::size_t OffsetOfPointer(std::string_view text, std::string_view pointer);

struct TextPosition {
  int line = 1;    // from 1
  int column = 1;  // from 1, in characters (UTF-8 sequences count once)
};
TextPosition PositionOfOffset(std::string_view text, std::size_t offset);

}  // namespace quillet
