// The Windows code pages of binary files, and nothing else.
//
// Engine text is UTF-8. Template streams and prepared pages of versions 21
// to 24 hold texts as bytes of the code page that an object's font character
// set chooses; they are decoded here on reading and encoded here on writing.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillet {

// The single-byte Windows code page of a character set code: 204 → 1251,
// 238 → 1250, 161 → 1253, 162 → 1254, 177 → 1255, 178 → 1256, 186 → 1257,
// 163 → 1258, 222 → 874; every other set → 1252.
int CodePageOfCharset(int charset);

// Bytes of `codePage` as UTF-8. Every byte has a character (the few bytes a
// code page leaves unused stand for the control character of the same
// number), so this never fails and CodePageOfUtf8 gives the bytes back.
std::string Utf8OfCodePage(std::string_view bytes, int codePage);
// UTF-8 as bytes of `codePage`; nullopt when a character has no byte there
// (or the text is not well-formed UTF-8).
std::optional<std::string> CodePageOfUtf8(std::string_view utf8, int codePage);
// Whether CodePageOfUtf8 would succeed, without building the bytes.
bool FitsCodePage(std::string_view utf8, int codePage);

}  // namespace quillet
