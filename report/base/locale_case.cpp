#include "report/base/locale_case.h"

namespace quillet {
namespace {

unsigned char UpperOf(unsigned char c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;  // à..þ, not ÷
  switch (c) {
    case 0x9A: return 0x8A;  // š
    case 0x9C: return 0x8C;  // œ
    case 0x9E: return 0x8E;  // ž
    case 0xFF: return 0x9F;  // ÿ
    default: return c;
  }
}

unsigned char LowerOf(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;  // À..Þ, not ×
  switch (c) {
    case 0x8A: return 0x9A;
    case 0x8C: return 0x9C;
    case 0x8E: return 0x9E;
    case 0x9F: return 0xFF;
    default: return c;
  }
}

}  // namespace

std::string LocaleUpperCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(UpperOf(static_cast<unsigned char>(c)));
  return out;
}

std::string LocaleLowerCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(LowerOf(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace quillet
