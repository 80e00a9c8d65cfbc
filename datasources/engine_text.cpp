#include "datasources/engine_text.h"

#include <QString>
#include <cstdint>
#include <cstring>

#include "platform/codepage.h"

namespace quillet {
namespace {

constexpr int kEngineCodePage = 1252;

std::string CodePageOfUtf8(std::string_view utf8) {
  const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  return EncodeCodePage(text.toStdU16String(), kEngineCodePage);
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

std::string EngineTextOfUtf8(std::string_view utf8) {
  if (IsSevenBit(utf8)) return std::string(utf8);
  return CodePageOfUtf8(utf8);
}

void ConvertToEngineText(Variant& value) {
  if (const std::string* text = value.IfText(); text && !IsSevenBit(*text))
    value = Variant(CodePageOfUtf8(*text));
}

QString QStringOfEngineText(std::string_view bytes) {
  return QString::fromStdU16String(DecodeCodePage(bytes, kEngineCodePage));
}

}  // namespace quillet
