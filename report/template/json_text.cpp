#include "report/template/json_text.h"

#include "platform/codepage.h"

namespace quillet {
namespace {

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(char(c));
  } else if (c < 0x800) {
    out.push_back(char(0xC0 | (c >> 6)));
    out.push_back(char(0x80 | (c & 0x3F)));
  } else {
    // Code-page characters all lie in the basic plane.
    out.push_back(char(0xE0 | (c >> 12)));
    out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(char(0x80 | (c & 0x3F)));
  }
}

// The next code point of well-formed UTF-8 (the JSON parser checked it);
// anything beyond the basic plane comes back as is and finds no byte.
char32_t NextCodePoint(std::string_view s, std::size_t& i) {
  const auto b = static_cast<unsigned char>(s[i++]);
  int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
  char32_t c = extra == 3 ? b & 0x07 : extra == 2 ? b & 0x0F : extra == 1 ? b & 0x1F : b;
  for (; extra > 0 && i < s.size(); --extra)
    c = (c << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
  return c;
}

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int Base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

}  // namespace

std::string CodePageToUtf8(std::string_view bytes, int codePage) {
  std::string out;
  out.reserve(bytes.size());
  for (char16_t c : DecodeCodePage(bytes, codePage)) AppendUtf8(out, c);
  return out;
}

std::optional<std::string> CodePageFromUtf8(std::string_view utf8, int codePage) {
  std::u16string wide;
  wide.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const char32_t c = NextCodePoint(utf8, i);
    if (c > 0xFFFF) return std::nullopt;
    wide.push_back(char16_t(c));
  }
  std::string bytes = EncodeCodePage(wide, codePage);
  // The encoder writes '?' for what the code page lacks; a round trip tells.
  if (DecodeCodePage(bytes, codePage) != wide) return std::nullopt;
  return bytes;
}

std::string EncodeBase64(const std::vector<std::uint8_t>& bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    const std::uint32_t n = (bytes[i] << 16) | (bytes[i + 1] << 8) | bytes[i + 2];
    for (int shift = 18; shift >= 0; shift -= 6) out.push_back(kAlphabet[(n >> shift) & 63]);
  }
  const std::size_t rest = bytes.size() - i;
  if (rest > 0) {
    const std::uint32_t n = (bytes[i] << 16) | (rest == 2 ? bytes[i + 1] << 8 : 0);
    out.push_back(kAlphabet[(n >> 18) & 63]);
    out.push_back(kAlphabet[(n >> 12) & 63]);
    out.push_back(rest == 2 ? kAlphabet[(n >> 6) & 63] : '=');
    out.push_back('=');
  }
  return out;
}

std::optional<std::vector<std::uint8_t>> DecodeBase64(std::string_view text) {
  std::vector<std::uint8_t> out;
  out.reserve(text.size() / 4 * 3);
  std::uint32_t n = 0;
  int held = 0;
  int padding = 0;
  for (char c : text) {
    if (c == ' ' || c == '\n' || c == '\r' || c == '\t') continue;
    if (c == '=') {
      ++padding;
      continue;
    }
    const int v = Base64Value(c);
    if (v < 0 || padding > 0) return std::nullopt;  // nothing may follow the padding
    n = (n << 6) | std::uint32_t(v);
    if (++held == 4) {
      out.push_back(std::uint8_t(n >> 16));
      out.push_back(std::uint8_t(n >> 8));
      out.push_back(std::uint8_t(n));
      n = 0;
      held = 0;
    }
  }
  // Padding is optional, but when given it must complete the last group.
  if (held == 1 || (held == 0 && padding > 0) || (padding > 0 && held + padding != 4))
    return std::nullopt;
  if (held == 2) out.push_back(std::uint8_t(n >> 4));
  if (held == 3) {
    out.push_back(std::uint8_t(n >> 10));
    out.push_back(std::uint8_t(n >> 2));
  }
  return out;
}

}  // namespace quillet
