// The code lines a translated script consists of. Each line is a text:
//   0x01 lo hi condition   jump to line (hi << 8 | lo) when the condition is 0
//   0x02 lo hi             jump to that line
//   0x03 expression        evaluate for its effect; "EXIT(0)" ends the script
//   name  expression       assignment (name, spaces, expression)
// A jump whose label was never defined keeps 0x02, kUnresolvedTarget and the
// label's characters ("10:"), so it is longer than three characters.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillet {

using CodeLines = std::vector<std::string>;

inline constexpr char kCodeCondJump = '\x01';
inline constexpr char kCodeJump = '\x02';
inline constexpr char kCodeExpression = '\x03';
inline constexpr const char* kUnresolvedTarget = "\xFF\xFF";

// Jump targets are 16-bit; a code list never grows past this many lines, so
// that the target "one past the last line" stays addressable.
inline constexpr std::size_t kMaxCodeLines = 65535;

inline std::string EncodeTarget(std::size_t line) {
  return {static_cast<char>(line & 0xFF), static_cast<char>((line >> 8) & 0xFF)};
}

// The target of a 0x01 or 0x02 line (characters 2 and 3).
inline std::size_t DecodeTarget(const std::string& codeLine) {
  if (codeLine.size() < 3) return 0;
  return static_cast<unsigned char>(codeLine[1]) |
         (static_cast<std::size_t>(static_cast<unsigned char>(codeLine[2])) << 8);
}

}  // namespace quillet
