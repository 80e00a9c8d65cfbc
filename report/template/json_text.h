// Picture bytes of the template's JSON form to and from base64.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

std::string EncodeBase64(const std::vector<std::uint8_t>& bytes);
// Standard alphabet with padding; white space is skipped. nullopt for any
// other character or a wrong length.
std::optional<std::vector<std::uint8_t>> DecodeBase64(std::string_view text);

}  // namespace quillet
