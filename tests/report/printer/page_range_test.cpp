// Page-range texts of print jobs.
#include "report/printer/page_range.h"

#include <gtest/gtest.h>

#include "platform/errors.h"

namespace quillet {
namespace {

std::vector<int> Selected(const std::string& text, int pages) {
  PageSelection sel = ParsePageRange(text, pages);
  std::vector<int> out;
  for (int n = 1; n <= pages; ++n)
    if (sel.Wants(n)) out.push_back(n);
  return out;
}

using V = std::vector<int>;

TEST(PageRange, ItemsAndRanges) {
  EXPECT_EQ(Selected("", 3), (V{1, 2, 3}));
  EXPECT_EQ(Selected("1,3,5-12", 7), (V{1, 3, 5, 6, 7}));
  EXPECT_EQ(Selected("5-", 7), (V{5, 6, 7}));
  EXPECT_EQ(Selected("1-3-5", 7), (V{3, 4, 5})) << "a second '-' restarts the range";
  EXPECT_EQ(Selected("2,2", 3), (V{2}));
  EXPECT_EQ(Selected("1 0", 12), (V{10})) << "spaces are removed first";
  EXPECT_EQ(Selected("9", 3), V{}) << "numbers beyond the last page select nothing";
}

TEST(PageRange, DescendingRangeAloneSelectsEveryPage) {
  EXPECT_TRUE(ParsePageRange("3-1", 5).SelectsAll());
  EXPECT_EQ(Selected("3-1,2", 5), (V{2}));
}

TEST(PageRange, HugeRangeStaysSmall) {
  PageSelection sel = ParsePageRange("1-2000000000", 4);
  EXPECT_TRUE(sel.Wants(4));
  EXPECT_TRUE(sel.Wants(2000000000));
  EXPECT_FALSE(sel.Wants(2000000001));
}

TEST(PageRange, BadItemsRaiseWithTheirText) {
  auto message = [](const std::string& text) {
    try {
      ParsePageRange(text, 5);
    } catch (const ConversionError& e) {
      return std::string(e.what());
    }
    return std::string("no error");
  };
  EXPECT_EQ(message("1,,3"), "'' is not a valid integer value");
  EXPECT_EQ(message("-5"), "'' is not a valid integer value");
  EXPECT_EQ(message("1,x"), "'x' is not a valid integer value");
  EXPECT_EQ(message("99999999999"), "'99999999999' is not a valid integer value");
}

}  // namespace
}  // namespace quillet
