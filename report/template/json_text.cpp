#include "report/template/json_text.h"

namespace quillet {
namespace {

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
