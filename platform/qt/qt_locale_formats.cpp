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

std::string QtLocaleFormats::ShortDate(const CivilDate& date) const {
  const QDate d(date.year, date.month, date.day);
  if (!d.isValid()) return LocaleFormats::ShortDate(date);
  return QLocale::system().toString(d, QLocale::ShortFormat).toStdString();
}

namespace {

// The locale's long time form without its time zone ("t"), which a time of
// day has none of: the time with seconds, as the locale writes it.
QString TimeWithSeconds(const QLocale& locale) {
  const QString format = locale.timeFormat(QLocale::LongFormat);
  QString out;
  bool quoted = false;
  for (const QChar c : format) {
    if (c == u'\'') quoted = !quoted;
    if (!quoted && c == u't') continue;
    out += c;
  }
  return out.simplified();
}

}  // namespace

std::string QtLocaleFormats::TimeOfDay(int hour, int minute, int second) const {
  const QLocale locale = QLocale::system();
  return locale.toString(QTime(hour, minute, second), TimeWithSeconds(locale)).toStdString();
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
