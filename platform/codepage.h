// Conversion between the engine's code-page bytes and Unicode.
//
// Engine text is bytes of a Windows code page chosen by a font's character
// set. Only the drawing and widget boundary converts; files keep the bytes.
#pragma once

#include <string>
#include <string_view>

namespace quillet {

// Windows code page for a character set code: 204 → 1251, 238 → 1250,
// everything else → 1252.
int CodePageOfCharset(int charset);

std::u16string DecodeCodePage(std::string_view bytes, int codePage);
// Characters the code page cannot hold become '?'.
std::string EncodeCodePage(std::u16string_view text, int codePage);

}  // namespace quillet
