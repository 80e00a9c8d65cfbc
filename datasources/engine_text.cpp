#include "datasources/engine_text.h"

#include <QString>

#include "platform/codepage.h"

namespace quillet {
namespace {

constexpr int kEngineCodePage = 1252;

// Seven-bit text reads the same in UTF-8 and in the code page.
bool IsAscii(std::string_view text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

}  // namespace

std::string EngineTextOfUtf8(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  return EncodeCodePage(text.toStdU16String(), kEngineCodePage);
}

void ConvertToEngineText(Variant& value) {
  if (const std::string* text = value.IfText(); text && !IsAscii(*text))
    value = Variant(EngineTextOfUtf8(*text));
}

QString QStringOfEngineText(std::string_view bytes) {
  return QString::fromStdU16String(DecodeCodePage(bytes, kEngineCodePage));
}

}  // namespace quillet
