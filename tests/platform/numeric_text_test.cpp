// Rounding rules and code-page conversion.
#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "platform/numeric.h"
#include "platform/qt/qt_text.h"

namespace quillet {
namespace {

TEST(Numeric, RoundTakesHalvesToEven) {
  EXPECT_EQ(Round(0.5), 0);
  EXPECT_EQ(Round(1.5), 2);
  EXPECT_EQ(Round(2.5), 2);
  EXPECT_EQ(Round(-0.5), 0);
  EXPECT_EQ(Round(-1.5), -2);
  EXPECT_EQ(Round(2.4999), 2);
  EXPECT_EQ(Round(1e30), 2147483647) << "saturates instead of wrapping";
  EXPECT_EQ(Round(std::nan("")), 0);
}

TEST(Numeric, TruncDropsTheFractionTowardZero) {
  EXPECT_EQ(Trunc(181.99), 181);
  EXPECT_EQ(Trunc(-1.7), -1);
  EXPECT_EQ(Div(-7, 2), -3);
}

TEST(CodePage, DecodesAndEncodesWindowsCodePages) {
  EXPECT_EQ(DecodeCodePage("\x80", 1252), u"\u20AC");
  EXPECT_EQ(DecodeCodePage("\xC0\xFF", 1251), u"\u0410\u044F");
  EXPECT_EQ(DecodeCodePage("\xA3", 1250), u"\u0141");
  EXPECT_EQ(EncodeCodePage(u"\u0410\u044F", 1251), "\xC0\xFF");
  EXPECT_EQ(EncodeCodePage(u"\u4E2D", 1252), "?");
  EXPECT_EQ(CodePageOfCharset(204), 1251);
  EXPECT_EQ(CodePageOfCharset(0), 1252);
}

TEST(CodePage, QtBoundaryRoundTripsEveryByteOfItsCodePage) {
  for (int charset : {0, 204, 238}) {
    std::string all;
    for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
    EXPECT_EQ(FromQString(ToQString(all, charset), charset), all) << charset;
  }
}

}  // namespace
}  // namespace quillet
