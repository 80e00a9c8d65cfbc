// UTF-8, the engine's text: code points, validity, grapheme clusters, line
// break chances and letter case. No Qt; letter case follows Unicode through
// the C library's UTF-8 locale.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// True when every byte is below 0x80 (ASCII): such text is its own UTF-8 in
// every code page, and byte offsets are character offsets.
bool IsSevenBit(std::string_view text);

// The code point starting at `i`, moving `i` past it. A malformed or cut
// sequence gives U+FFFD and moves one byte.
char32_t NextCodePoint(std::string_view text, std::size_t& i);
void AppendUtf8(std::string& out, char32_t c);

// Offset of the first byte that does not start well-formed UTF-8 (overlong
// forms, surrogates and values past U+10FFFF included), or npos.
std::size_t FindInvalidUtf8(std::string_view text);
// The text with each malformed byte replaced by U+FFFD.
std::string RepairUtf8(std::string_view text);

std::size_t CodePointCount(std::string_view text);
// Byte offset of code point `index` (0-based); the text's size past the end.
std::size_t OffsetOfCodePoint(std::string_view text, std::size_t index);
// Characters [first, first + count) of `text`, cut at its end.
std::string CodePointSlice(std::string_view text, std::size_t first, std::size_t count);

// Byte offsets where the grapheme clusters of `text` start (a letter with
// its combining marks, an emoji with its modifiers and joined parts, a flag),
// followed by the text's size.
std::vector<std::size_t> ClusterBounds(std::string_view text);
// A line may break before `c` when it follows a character of the same kind
// (ideographs and kana, which are written without spaces).
bool BreaksBetween(char32_t c);
// Closing punctuation of those scripts that never starts a line.
bool NeverStartsLine(char32_t c);

char32_t UpperOf(char32_t c);
char32_t LowerOf(char32_t c);
std::string Utf8UpperCase(std::string_view text);
std::string Utf8LowerCase(std::string_view text);

}  // namespace quillet
