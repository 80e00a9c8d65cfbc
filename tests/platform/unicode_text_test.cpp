// UTF-8 as the engine's text, and the code pages of binary files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/codepage.h"
#include "platform/qt/qt_text.h"
#include "platform/utf8.h"

namespace quillet {
namespace {

TEST(CodePage, EachCharacterSetChoosesItsCodePage) {
  struct Case {
    int charset;
    int codePage;
    std::string text;   // UTF-8
    std::string bytes;  // in that code page
  };
  const Case cases[] = {
      {0, 1252, "Zoë €", "Zo\xEB \x80"}, {1, 1252, "é", "\xE9"},
      {204, 1251, "Яя", "\xDF\xFF"},     {238, 1250, "Łódź", "\xA3\xF3\x64\x9F"},
      {161, 1253, "Ω", "\xD9"},          {162, 1254, "ş", "\xFE"},
      {177, 1255, "ש", "\xF9"},          {178, 1256, "ع", "\xDA"},
      {186, 1257, "ą", "\xE0"},          {163, 1258, "₫", "\xFE"},
      {222, 874, "ก", "\xA1"},           {128, 1252, "a", "a"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CodePageOfCharset(c.charset), c.codePage) << c.charset;
    EXPECT_EQ(CodePageOfUtf8(c.text, c.codePage), c.bytes) << c.charset;
    EXPECT_EQ(Utf8OfCodePage(c.bytes, c.codePage), c.text) << c.charset;
  }
}

TEST(CodePage, EveryByteComesBackAndForeignTextDoesNotFit) {
  std::string all;
  for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
  for (int codePage : {874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258}) {
    const std::string utf8 = Utf8OfCodePage(all, codePage);
    EXPECT_EQ(FindInvalidUtf8(utf8), std::string::npos) << codePage;
    EXPECT_EQ(CodePageOfUtf8(utf8, codePage), all) << codePage;
    EXPECT_FALSE(FitsCodePage("日本の紙", codePage)) << codePage;
    EXPECT_FALSE(FitsCodePage("\xC3", codePage)) << "malformed text fits nothing";
  }
  EXPECT_FALSE(CodePageOfUtf8("Карандаш", 1252));
  EXPECT_FALSE(FitsCodePage("\U000120AC", 1252)) << "not the euro sign of the basic plane";
  EXPECT_TRUE(FitsCodePage("Карандаш", 1251));
}

TEST(Utf8, MalformedSequencesAreFoundAndRepaired) {
  struct Case {
    std::string text;
    std::size_t invalidAt;
  };
  const Case cases[] = {
      {"plain", std::string::npos},
      {"Zoë 日本 😀", std::string::npos},
      {"a\xC0\xAF", 1},                    // overlong
      {"\xED\xA0\x80", 0},                 // a surrogate
      {"ab\xE6\x97", 2},                   // cut short
      {"\xF4\x90\x80\x80", 0},             // past U+10FFFF
      {"x\x80y", 1},                       // a lone continuation byte
      {"\xEF\xBF\xBD", std::string::npos}  // U+FFFD itself
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FindInvalidUtf8(c.text), c.invalidAt) << c.text;
    EXPECT_EQ(FindInvalidUtf8(RepairUtf8(c.text)), std::string::npos) << c.text;
  }
  EXPECT_EQ(RepairUtf8("x\x80y"), "x\uFFFDy");
}

TEST(Utf8, CountsAndCutsCharactersAndClusters) {
  EXPECT_EQ(CodePointCount("Łódź"), 4u);
  EXPECT_EQ(CodePointSlice("Łódź notebook", 1, 3), "ódź");
  EXPECT_EQ(CodePointSlice("日本の紙", 2, 10), "の紙");
  EXPECT_EQ(CodePointSlice("abc", 5, 1), "");
  // A letter with a combining accent, a family joined by ZWJ, a flag, a
  // thumbs-up with skin tone: one cluster each.
  const std::string text =
      "e\u0301\U0001F468\u200D\U0001F469\u200D\U0001F467"
      "\U0001F1EF\U0001F1F5\U0001F44D\U0001F3FDz";
  const std::vector<std::size_t> bounds = ClusterBounds(text);
  ASSERT_EQ(bounds.size(), 6u);
  EXPECT_EQ(text.substr(bounds[0], bounds[1]), "e\u0301");
  EXPECT_EQ(text.substr(bounds[4]), "z");
}

TEST(Utf8, LetterCaseFollowsUnicode) {
  EXPECT_EQ(Utf8UpperCase("łódź Zoë straße"), "ŁÓDŹ ZOË STRAßE");  // ß has no one-letter capital
  EXPECT_EQ(Utf8LowerCase("КАРАНДАШ ΕΛΛΗΝΙΚΆ"), "карандаш ελληνικά");
  EXPECT_EQ(Utf8UpperCase("日本の紙 😀"), "日本の紙 😀");
}

TEST(Utf8, QtBoundaryKeepsEveryCharacter) {
  const std::string text = "Zoë's Café Łódź Карандаш 日本の紙 Ελληνικά שלום עולם 😀";
  EXPECT_EQ(FromQString(ToQString(text)), text);
  EXPECT_EQ(ToQString("Zo\xC3\xAB").size(), 3);
}

}  // namespace
}  // namespace quillet
