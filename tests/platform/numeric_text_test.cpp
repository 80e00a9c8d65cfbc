// Rounding rules.
#include <gtest/gtest.h>

#include "platform/numeric.h"

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

}  // namespace
}  // namespace quillet
