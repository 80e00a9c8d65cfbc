#include "platform/qt/qt_locale_formats.h"

#include <QDate>
#include <QLocale>
#include <QTime>

namespace quillet {

std::string QtLocaleFormats::LongDate(double days) const {
  const CivilDate c = DaysToCivil(days);
  return QLocale::system()
      .toString(QDate(c.year, c.month, c.day), QLocale::LongFormat)
      .toStdString();
}

bool QtLocaleFormats::ParseDate(std::string_view text, double& days) const {
  const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).trimmed();
  QDate d = QLocale::system().toDate(s, QLocale::ShortFormat);
  if (!d.isValid()) return LocaleFormats::ParseDate(text, days);
  return CivilToDays(d.year(), d.month(), d.day(), days);
}

bool QtLocaleFormats::ParseTime(std::string_view text, double& fraction) const {
  const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).trimmed();
  const QTime t = QLocale::system().toTime(s, QLocale::ShortFormat);
  if (!t.isValid()) return LocaleFormats::ParseTime(text, fraction);
  fraction = t.msecsSinceStartOfDay() / 86400000.0;
  return true;
}

}  // namespace quillet
