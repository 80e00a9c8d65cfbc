// The script translator: code lines, jump targets and error positions.
#include <gtest/gtest.h>

#include "report/script/script_translator.h"

namespace quillet {
namespace {

std::string Cond(std::size_t target, const std::string& condition) {
  return std::string(1, kCodeCondJump) + EncodeTarget(target) + condition;
}
std::string Jump(std::size_t target) {
  return std::string(1, kCodeJump) + EncodeTarget(target);
}
std::string Expr(const std::string& e) {
  return std::string(1, kCodeExpression) + e;
}

CodeLines Code(const std::vector<std::string>& source) {
  ScriptTranslation t = TranslateScript(source);
  EXPECT_TRUE(t.errors.empty()) << t.errors.front();
  return t.code;
}

std::string Error(const std::vector<std::string>& source) {
  ScriptTranslation t = TranslateScript(source);
  return t.errors.empty() ? "" : t.errors.front();
}

TEST(ScriptTranslate, AssignmentsAndBlocks) {
  EXPECT_EQ(Code({"begin x := 1; y := x + 1 end"}), (CodeLines{"x 1", "y x + 1"}));
  // Words are cut where the grammar stops reading them.
  EXPECT_EQ(Code({"begin x:=1;y:=x*2;end"}), (CodeLines{"x 1", "y x*2"}));
  EXPECT_EQ(Code({"begin", "\tMemo1.Visible := False", "end"}), (CodeLines{"Memo1.Visible False"}));
  EXPECT_TRUE(Code({}).empty());
  EXPECT_TRUE(Code({"", "  "}).empty());
  EXPECT_TRUE(Code({"begin end"}).empty());
}

TEST(ScriptTranslate, TextAfterTheOneStatementIsNamed) {
  auto unread = [](const std::vector<std::string>& source) {
    return TranslateScript(source).unreadFrom;
  };
  EXPECT_EQ(unread({"x := 1; y := 2"}), "Line 1/9");
  EXPECT_EQ(unread({"x := 1", "// only a comment", "y := 2"}), "Line 3/1");
  EXPECT_EQ(unread({"begin x := 1 end;", "  "}), "");
  EXPECT_EQ(unread({"x := 1;;", "{ done }"}), "");
  EXPECT_EQ(unread({"if x then y := 1 else y := 2"}), "");
}

TEST(ScriptTranslate, ControlStatements) {
  EXPECT_EQ(Code({"if a > 1 then b := 1 else b := 2"}),
            (CodeLines{Cond(3, "a > 1"), "b 1", Jump(4), "b 2"}));
  EXPECT_EQ(Code({"if a then b := 1"}), (CodeLines{Cond(2, "a"), "b 1"}));
  EXPECT_EQ(Code({"while i < 3 do i := i + 1"}), (CodeLines{Cond(3, "i < 3"), "i i + 1", Jump(0)}));
  EXPECT_EQ(Code({"repeat i := i + 1; j := i until i >= 3"}),
            (CodeLines{"i i + 1", "j i", Cond(0, "i >= 3")}));
  EXPECT_EQ(Code({"for i := 1 to 3 do s := s + i"}),
            (CodeLines{"i 1", Cond(5, "i <= (3)"), "s s + i", "i i + 1", Jump(1)}));
}

TEST(ScriptTranslate, CallsExitArraysAndLabels) {
  EXPECT_EQ(Code({"begin NewPage; Exit; x := 1 end"}),
            (CodeLines{Expr("NewPage(0)"), Expr("Exit(0)"), "x 1"}));
  EXPECT_EQ(Code({"begin ShowBand(Band1) end"}), (CodeLines{Expr("ShowBand(Band1)")}));
  EXPECT_EQ(Code({"begin a[i + 1] := 5 end"}), (CodeLines{Expr("SETARRAY(a, i + 1, 5)")}));
  EXPECT_EQ(Code({"begin 10: x := x + 1; if x < 3 then goto 10 end"}),
            (CodeLines{"x x + 1", Cond(3, "x < 3"), Jump(0)}));
  // A forward jump, and one to a label that never comes.
  EXPECT_EQ(
      Code({"begin goto 20; x := 1; 20: y := 2; goto 30 end"}),
      (CodeLines{Jump(2), "x 1", "y 2", std::string(1, kCodeJump) + kUnresolvedTarget + "30:"}));
}

TEST(ScriptTranslate, CommentsAreCutOut) {
  EXPECT_EQ(Code({"begin { set x }", "  x := 1; // the first", "  y := 2 {y}", "end"}),
            (CodeLines{"x 1", "y 2"}));
  // A line comment keeps its line break, so the words around it stay apart.
  EXPECT_EQ(Code({"if a then//why", "b := 1"}), (CodeLines{Cond(2, "a"), "b 1"}));
  // Inside a word that starts with a quote a brace is text.
  EXPECT_EQ(Code({"begin s := '{not a comment}' end"}), (CodeLines{"s '{not a comment}'"}));
}

TEST(ScriptTranslate, ErrorsInTheirWordsAndPlaces) {
  EXPECT_EQ(Error({"if a > 1 b := 2"}), "Line 1/10: Need \"then\" here");
  // A comment before the error counts in the column.
  EXPECT_EQ(Error({"if {c} a > 1 b := 2"}), "Line 1/14: Need \"then\" here");
  EXPECT_EQ(Error({"begin", "  x := 1", "  y := 2", "end"}),
            "Line 3/3: Need \";\" or \"end\" here");
  EXPECT_EQ(Error({"while a b := 1"}), "Line 1/9: Need \"do\" here");
  EXPECT_EQ(Error({"for i := 1 do x := 1"}), "Line 1/12: Need \"to\" here");
  EXPECT_EQ(Error({"repeat x := 1 y := 2 until x"}), "Line 1/15: Need \";\" or \"until\" here");
  EXPECT_EQ(Error({"goto x"}), "Line 1/6: \"goto\" label must be a number");
  EXPECT_EQ(Error({"x = 1"}), "Line 1/3: Need \":=\" here");
  EXPECT_EQ(Error({"x := (1 + 2"}), "Line 1/12: Need \")\" here");
  EXPECT_EQ(Error({"x := f(1 2)"}), "Line 1/10: Need \",\" or \")\" here");
  EXPECT_EQ(Error({"x := [a"}), "Line 1/6: Need \"]\" here");
  EXPECT_EQ(Error({"x := 'abc"}), "Line 1/6: Need \"'\" here: unterminated text");
}

TEST(ScriptTranslate, CodeBeforeAnErrorStays) {
  ScriptTranslation t = TranslateScript({"begin x := 1; y := ; end"});
  EXPECT_EQ(t.code, (CodeLines{"x 1"}));
  EXPECT_EQ(t.errors, (std::vector<std::string>{"Line 1/20: Need an expression here"}));
}

TEST(ScriptTranslate, LimitsAreRefusedWithAPosition) {
  // Past the working buffer: refused at the place where it overflows.
  std::vector<std::string> longScript(400, std::string(99, ' '));
  EXPECT_EQ(Error(longScript), "Line 321/1: Script longer than 32000 characters");
  std::string labels = "begin ";
  for (int i = 0; i < 102; ++i) labels += std::to_string(i) + ": x := 1; ";
  EXPECT_EQ(Error({labels + "end"}), "Line 1/1210: More than 101 labels");
  EXPECT_EQ(Error({"12345678901234567: x := 1"}), "Line 1/1: Label longer than 16 characters");
  EXPECT_NE(Error({"x := " + std::string(500, '(') + "1" + std::string(500, ')')}), "");
}

TEST(ScriptTranslate, ConverterRunsOnEveryExpression) {
  auto upper = [](std::string_view e) { return "<" + std::string(e) + ">"; };
  EXPECT_EQ(TranslateScript({"begin if a then x := 1; Exit end"}, upper).code,
            (CodeLines{Cond(2, "<a>"), "x <1>", Expr("<Exit(0)>")}));
}

}  // namespace
}  // namespace quillet
