#include "platform/utf8.h"

#include <locale.h>
#include <wctype.h>

#include <clocale>
#include <cstdint>
#include <cstring>

namespace quillet {
namespace {

// The expected length of a sequence from its lead byte; 0 for a byte that
// cannot start one.
int SequenceLength(unsigned char b) {
  if (b < 0x80) return 1;
  if (b >= 0xC2 && b <= 0xDF) return 2;
  if (b >= 0xE0 && b <= 0xEF) return 3;
  if (b >= 0xF0 && b <= 0xF4) return 4;
  return 0;
}

constexpr char32_t kMalformed = 0x110000;

// Decodes a well-formed sequence at `i` of length `n`, or returns
// kMalformed when it is cut, overlong, a surrogate or out of range.
char32_t DecodeAt(std::string_view s, std::size_t i, int n) {
  if (n == 0 || i + std::size_t(n) > s.size()) return kMalformed;
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (n == 1) return b0;
  char32_t c = b0 & (0x7F >> n);
  for (int k = 1; k < n; ++k) {
    const auto b = static_cast<unsigned char>(s[i + std::size_t(k)]);
    if ((b & 0xC0) != 0x80) return kMalformed;
    c = (c << 6) | (b & 0x3F);
  }
  if ((n == 3 && c < 0x800) || (n == 4 && (c < 0x10000 || c > 0x10FFFF)) ||
      (c >= 0xD800 && c <= 0xDFFF))
    return kMalformed;
  return c;
}

bool IsExtender(char32_t c) {
  struct Range {
    char32_t first, last;
  };
  // Combining marks of the common scripts, joiners, variation selectors,
  // emoji modifiers and tags.
  static constexpr Range kRanges[] = {
      {0x0300, 0x036F},   {0x0483, 0x0489},  {0x0591, 0x05BD}, {0x05BF, 0x05BF}, {0x05C1, 0x05C2},
      {0x05C4, 0x05C5},   {0x05C7, 0x05C7},  {0x0610, 0x061A}, {0x064B, 0x065F}, {0x0670, 0x0670},
      {0x06D6, 0x06DC},   {0x06DF, 0x06E4},  {0x06E7, 0x06E8}, {0x06EA, 0x06ED}, {0x0900, 0x0903},
      {0x093A, 0x094F},   {0x0951, 0x0957},  {0x0962, 0x0963}, {0x0E31, 0x0E31}, {0x0E34, 0x0E3A},
      {0x0E47, 0x0E4E},   {0x1AB0, 0x1AFF},  {0x1DC0, 0x1DFF}, {0x200C, 0x200D}, {0x20D0, 0x20FF},
      {0x302A, 0x302F},   {0x3099, 0x309A},  {0xFE00, 0xFE0F}, {0xFE20, 0xFE2F}, {0x1F3FB, 0x1F3FF},
      {0xE0020, 0xE007F}, {0xE0100, 0xE01EF}};
  if (c < 0x0300) return false;
  for (const Range& r : kRanges)
    if (c >= r.first && c <= r.last) return true;
  return false;
}

bool IsRegionalIndicator(char32_t c) {
  return c >= 0x1F1E6 && c <= 0x1F1FF;
}

locale_t Utf8Locale() {
  // C.UTF-8 is part of the C library; where it is missing, case changes
  // only ASCII letters.
  static const locale_t loc = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(nullptr));
  return loc;
}

template <typename Map>
std::string MapCodePoints(std::string_view text, Map map) {
  std::string out;
  out.reserve(text.size());
  if (IsSevenBit(text)) {
    for (char c : text) out.push_back(static_cast<char>(map(static_cast<unsigned char>(c))));
    return out;
  }
  for (std::size_t i = 0; i < text.size();) AppendUtf8(out, map(NextCodePoint(text, i)));
  return out;
}

}  // namespace

// Eight bytes are tested at a time: data texts are tested as rows are read.
bool IsSevenBit(std::string_view text) {
  constexpr std::uint64_t kHighBits = 0x8080808080808080u;
  std::size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + i, 8);
    if (word & kHighBits) return false;
  }
  for (; i < text.size(); ++i)
    if (static_cast<unsigned char>(text[i]) >= 0x80) return false;
  return true;
}

char32_t NextCodePoint(std::string_view text, std::size_t& i) {
  const int n = SequenceLength(static_cast<unsigned char>(text[i]));
  const char32_t c = DecodeAt(text, i, n);
  if (c == kMalformed) {
    ++i;
    return kReplacementCharacter;
  }
  i += std::size_t(n);
  return c;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(char(c));
  } else if (c < 0x800) {
    out.push_back(char(0xC0 | (c >> 6)));
    out.push_back(char(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(char(0xE0 | (c >> 12)));
    out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(char(0x80 | (c & 0x3F)));
  } else {
    out.push_back(char(0xF0 | (c >> 18)));
    out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(char(0x80 | (c & 0x3F)));
  }
}

std::size_t FindInvalidUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {
      ++i;
      continue;
    }
    const int n = SequenceLength(b);
    if (DecodeAt(text, i, n) == kMalformed) return i;
    i += std::size_t(n);
  }
  return std::string_view::npos;
}

std::string RepairUtf8(std::string_view text) {
  if (FindInvalidUtf8(text) == std::string_view::npos) return std::string(text);
  std::string out;
  out.reserve(text.size() + 8);
  for (std::size_t i = 0; i < text.size();) AppendUtf8(out, NextCodePoint(text, i));
  return out;
}

std::size_t CodePointCount(std::string_view text) {
  std::size_t count = 0;
  for (char c : text)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  return count;
}

std::size_t OffsetOfCodePoint(std::string_view text, std::size_t index) {
  for (std::size_t i = 0; i < text.size(); ++i)
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && index-- == 0) return i;
  return text.size();
}

std::string CodePointSlice(std::string_view text, std::size_t first, std::size_t count) {
  if (IsSevenBit(text)) {
    if (first >= text.size()) return {};
    return std::string(text.substr(first, count));
  }
  const std::size_t from = OffsetOfCodePoint(text, first);
  const std::size_t to = OffsetOfCodePoint(text.substr(from), count);
  return std::string(text.substr(from, to));
}

std::vector<std::size_t> ClusterBounds(std::string_view text) {
  std::vector<std::size_t> bounds;
  bounds.reserve(text.size() + 1);
  char32_t previous = 0;
  bool pairOpen = false;  // a regional indicator waiting for its partner
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t at = i;
    const char32_t c = NextCodePoint(text, i);
    const bool joins = !bounds.empty() && (IsExtender(c) || previous == 0x200D ||
                                           (pairOpen && IsRegionalIndicator(c)));
    if (joins) {
      pairOpen = false;
    } else {
      bounds.push_back(at);
      pairOpen = IsRegionalIndicator(c);
    }
    previous = c;
  }
  bounds.push_back(text.size());
  return bounds;
}

bool BreaksBetween(char32_t c) {
  return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFF01 && c <= 0xFF60) || (c >= 0x20000 && c <= 0x3FFFF);
}

bool NeverStartsLine(char32_t c) {
  switch (c) {
    case 0x3001:
    case 0x3002:
    case 0x3009:
    case 0x300B:
    case 0x300D:
    case 0x300F:
    case 0x3011:
    case 0x3015:
    case 0x30FB:
    case 0x30FC:
    case 0xFF01:
    case 0xFF09:
    case 0xFF0C:
    case 0xFF0E:
    case 0xFF1A:
    case 0xFF1B:
    case 0xFF1F: return true;
    default: return false;
  }
}

char32_t UpperOf(char32_t c) {
  if (c < 0x80) return c >= 'a' && c <= 'z' ? c - 32 : c;
  const locale_t loc = Utf8Locale();
  return loc ? static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), loc)) : c;
}

char32_t LowerOf(char32_t c) {
  if (c < 0x80) return c >= 'A' && c <= 'Z' ? c + 32 : c;
  const locale_t loc = Utf8Locale();
  return loc ? static_cast<char32_t>(towlower_l(static_cast<wint_t>(c), loc)) : c;
}

std::string Utf8UpperCase(std::string_view text) {
  return MapCodePoints(text, UpperOf);
}
std::string Utf8LowerCase(std::string_view text) {
  return MapCodePoints(text, LowerOf);
}

}  // namespace quillet
