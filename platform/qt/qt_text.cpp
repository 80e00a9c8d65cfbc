#include "platform/qt/qt_text.h"

#include "platform/utf8.h"

namespace quillet {

QString ToQString(std::string_view utf8) {
  // Most texts are ASCII, which needs no decoding.
  if (IsSevenBit(utf8))
    return QString::fromLatin1(utf8.data(), static_cast<qsizetype>(utf8.size()));
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string FromQString(const QString& text) {
  return text.toStdString();
}

}  // namespace quillet
