#include "datasources/engine_text.h"

#include <QString>

#include "platform/codepage.h"

namespace quillet {
namespace {
constexpr int kEngineCodePage = 1252;
}

std::string EngineTextOfUtf8(std::string_view utf8) {
  const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  return EncodeCodePage(text.toStdU16String(), kEngineCodePage);
}

Variant EngineValueOfUtf8(Variant value) {
  if (const std::string* text = value.IfText()) return Variant(EngineTextOfUtf8(*text));
  return value;
}

QString QStringOfEngineText(std::string_view bytes) {
  return QString::fromStdU16String(DecodeCodePage(bytes, kEngineCodePage));
}

}  // namespace quillet
