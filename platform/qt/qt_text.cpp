#include "platform/qt/qt_text.h"

#include <algorithm>

#include "platform/codepage.h"

namespace quillet {

QString ToQString(std::string_view bytes, int charset) {
  // Every code page keeps ASCII as it is, and most texts are nothing else.
  if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; }))
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
  std::u16string u = DecodeCodePage(bytes, CodePageOfCharset(charset));
  return QString::fromUtf16(u.data(), static_cast<qsizetype>(u.size()));
}

std::string FromQString(const QString& text, int charset) {
  std::u16string u(reinterpret_cast<const char16_t*>(text.utf16()),
                   static_cast<std::size_t>(text.size()));
  return EncodeCodePage(u, CodePageOfCharset(charset));
}

}  // namespace quillet
