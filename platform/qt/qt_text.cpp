#include "platform/qt/qt_text.h"

#include "platform/codepage.h"

namespace quillet {

QString ToQString(std::string_view bytes, int charset) {
  std::u16string u = DecodeCodePage(bytes, CodePageOfCharset(charset));
  return QString::fromUtf16(u.data(), static_cast<qsizetype>(u.size()));
}

std::string FromQString(const QString& text, int charset) {
  std::u16string u(reinterpret_cast<const char16_t*>(text.utf16()),
                   static_cast<std::size_t>(text.size()));
  return EncodeCodePage(u, CodePageOfCharset(charset));
}

}  // namespace quillet
