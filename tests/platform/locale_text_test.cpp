// Dates and times written in the user's locale: the short date reads back
// as the same day, and a time keeps its seconds.
#include <gtest/gtest.h>

#include <QDate>
#include <QLocale>

#include "platform/qt/qt_locale_formats.h"

namespace quillet {
namespace {

TEST(QtLocaleText, ShortDateReadsBackAndTimesKeepSeconds) {
  const QtLocaleFormats locale;
  double march5 = 0;
  ASSERT_TRUE(CivilToDays(2024, 3, 5, march5));
  const std::string date = locale.DateTimeText(march5);
  EXPECT_EQ(date,
            QLocale::system().toString(QDate(2024, 3, 5), QLocale::ShortFormat).toStdString());
  // A four-digit year reads back as the same day.
  if (QLocale::system().dateFormat(QLocale::ShortFormat).contains(QStringLiteral("yyyy"))) {
    double back = 0;
    ASSERT_TRUE(locale.ParseDate(date, back)) << date;
    EXPECT_EQ(back, march5);
  }

  const std::string time = locale.DateTimeText((13 * 3600 + 5 * 60 + 9) / 86400.0);
  EXPECT_NE(time.find("05"), std::string::npos) << time;
  EXPECT_NE(time.find("09"), std::string::npos) << time;
  EXPECT_EQ(time.find(date), std::string::npos) << "a time alone has no date: " << time;
  const std::string both = locale.DateTimeText(march5 + 0.5);
  EXPECT_EQ(both.rfind(date + " ", 0), 0u) << both;
}

}  // namespace
}  // namespace quillet
