// Text conversions of the template's JSON form: engine bytes in a Windows
// code page to and from UTF-8, and picture bytes to and from base64.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

// Engine bytes of `codePage` (1250, 1251 or 1252) as UTF-8. Every byte has
// a character, so this never fails and CodePageFromUtf8 gives the bytes back.
std::string CodePageToUtf8(std::string_view bytes, int codePage);
// UTF-8 back to bytes of `codePage`; nullopt when a character has no byte
// in that code page (the caller names the place).
std::optional<std::string> CodePageFromUtf8(std::string_view utf8, int codePage);

std::string EncodeBase64(const std::vector<std::uint8_t>& bytes);
// Standard alphabet with padding; white space is skipped. nullopt for any
// other character or a wrong length.
std::optional<std::vector<std::uint8_t>> DecodeBase64(std::string_view text);

}  // namespace quillet
