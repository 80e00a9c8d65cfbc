// The report as the parser's source of names and functions: brackets with
// format suffixes, hidden zeros, system variables, user arrays, the
// self-reference guard, object properties and value formatting.
#include <gtest/gtest.h>

#include "platform/errors.h"
#include "report/base/engine_state.h"
#include "report/component/value_format.h"
#include "report/expr/expression_globals.h"
#include "report/functions/function_library.h"
#include "tests/report/formation/formation_support.h"

namespace quillet {
namespace {

using test::FormationTest;
using test::PageBuilder;

class ReportNames : public FormationTest {
 protected:
  void SetUp() override {
    FormationTest::SetUp();
    PageBuilder b(report.Template);
    memo = &b.Memo("Memo1", 30, 40, 200, 20, {"first", "second", "third"});
    PageBuilder second(report.Template);
    second.Page().Margins.Left = 55;
    report.StartEvaluation();
    Prep().ActiveView = memo;
  }
  std::string Bracket(const std::string& text) { return report.EvaluateBracket(text); }
  Variant Value(const std::string& expression) {
    Variant v;
    report.ResolveName(expression, v);
    return v;
  }

  TfrReport report;
  TfrMemoView* memo = nullptr;
};

TEST_F(ReportNames, FormatSuffixes) {
  Expressions(Engine()).GlobalVariables.SetValue("X", Variant(2.5));
  EXPECT_EQ(Bracket("X #N0,2"), "2,50");
  EXPECT_EQ(Bracket("X * 493.8 #N#,##0.00"), "1,234.50");
  EXPECT_EQ(Bracket("X #2.3"), "2.500");  // a digit means a fixed number
  EXPECT_EQ(Bracket("1 < 2 #BNo;Yes"), "Yes");
  EXPECT_EQ(Bracket("TRUE #BNo;Yes"), "Yes");
  EXPECT_EQ(Bracket("FALSE #BNo;Yes"), "No");
  EXPECT_EQ(Bracket("STRTODATE('2024-02-29') #Ddd.mm.yyyy"), "29.02.2024");
  EXPECT_EQ(Bracket("STRTOTIME('13:05:09') #Thh:nn:ss"), "13:05:09");
  EXPECT_EQ(Engine().DecimalSeparator, '.');
  EXPECT_EQ(Prep().LastExpression, "STRTOTIME('13:05:09')");
  EXPECT_EQ(Bracket("1234.5 #N"), "1234.5");  // no pattern: the plain number
  EXPECT_EQ(Bracket("1.005 #N0.2"), "1.01");
  EXPECT_EQ(Bracket("-1.5 #N#0.00;(#0.00);zero"), "(1.50)");
  EXPECT_EQ(Bracket("0 #N#0.00;(#0.00);zero"), "zero");
}

TEST_F(ReportNames, TheObjectsOwnFormatAppliesWithoutSuffix) {
  memo->DisplayFormat = static_cast<std::int32_t>(MakeDisplayFormat(dcNumber, 1, 3, ','));
  EXPECT_EQ(Bracket("1/4"), "0,250");
  memo->DisplayFormat = static_cast<std::int32_t>(MakeDisplayFormat(dcBoolean, 1, 0, 0));
  EXPECT_EQ(Bracket("1"), "Yes");
}

TEST_F(ReportNames, HideZerosHidesNumbersNotTexts) {
  memo->Flags |= flHideZeros;
  EXPECT_EQ(Bracket("0"), "");
  EXPECT_EQ(Bracket("2 - 2"), "");
  EXPECT_EQ(Bracket("'0'"), "0");
  EXPECT_EQ(Bracket("1"), "1");
  memo->Flags &= static_cast<std::uint16_t>(~flHideZeros);
  EXPECT_EQ(Bracket("0"), "0");
}

TEST_F(ReportNames, SystemVariablesAndLastValue) {
  Prep().PageIndex = 4;
  Prep().TotalPageCount = 9;
  EXPECT_EQ(Bracket("PAGE#"), "5");
  EXPECT_EQ(Bracket("[PAGE#] + 1"), "6");
  EXPECT_EQ(Bracket("TOTALPAGES"), "9");
  EXPECT_EQ(Value("DATE").GetType(), Variant::Type::Date);
  EXPECT_EQ(Value("DATE").AsFloat(), Prep().PrepareDate);
  EXPECT_EQ(Bracket("21 * 2"), "42");
  EXPECT_EQ(Value("VALUE").AsText(), "42");
  EXPECT_EQ(Value("VALUE * 2").AsText(), "84");
  // Inside a bracket VALUE is the fresh 0 the bracket starts from.
  EXPECT_EQ(Bracket("VALUE + 1"), "1");
  EXPECT_EQ(Value("FINALPASS").GetType(), Variant::Type::Boolean);
  memo->ExpandText();
  const int width = memo->MeasureTextWidth(memo->WorkText);
  EXPECT_GT(width, 0);
  memo->WorkText = {"kept"};
  EXPECT_EQ(Value("CALCWIDTH").AsInteger(), width);
  EXPECT_EQ(memo->WorkText, StringList{"kept"});
  // A text that asks for its own width is measured once, with 0 for itself.
  memo->Memo = {"[CALCWIDTH]"};
  EXPECT_GT(Value("CALCWIDTH").AsInteger(), 0);
}

TEST_F(ReportNames, UndefinedNamesAndSelfReference) {
  try {
    Bracket("Missing + 1");
    FAIL();
  } catch (const ParserError& e) {
    EXPECT_STREQ(e.what(), "Undefined symbol \"MISSING\"");
  }
  // A -> B -> A through the data dictionary ends, whatever the length.
  report.Template.Dictionary.VariableTable = {{"A", "B + 1"}, {"B", "C"}, {"C", "A"}};
  try {
    Bracket("A");
    FAIL();
  } catch (const ParserError& e) {
    EXPECT_NE(std::string(e.what()).find("Undefined symbol \""), std::string::npos) << e.what();
  }
  report.Template.Dictionary.VariableTable = {{"Net", "100"}, {"Gross", "Net * 1.2"}};
  EXPECT_EQ(Bracket("Gross"), "120");
}

TEST_F(ReportNames, ArraysAndVariableProcedures) {
  TfrParser& parser = Expressions(Engine()).Parser;
  parser.Calc("SETARRAY(A, 3, 5)");
  EXPECT_EQ(parser.Calc("GETARRAY(A, 3)").AsText(), "5");
  EXPECT_EQ(Expressions(Engine()).GlobalVariables.GetValue("Arr_A_3").AsText(), "5");
  EXPECT_EQ(Bracket("A[1 + 2] * 2"), "10");
  parser.Calc("SETARRAY(Names, 'first', 'Ann')");
  EXPECT_EQ(Expressions(Engine()).GlobalVariables.GetValue("Arr_Names_first").AsText(), "Ann");
  Expressions(Engine()).GlobalVariables.SetValue("Counter", Variant(1));
  parser.Calc("INC(Counter)");
  parser.Calc("INC(Counter)");
  parser.Calc("DEC(Counter)");
  EXPECT_EQ(Bracket("Counter"), "2");
  // Array access to an object's list property.
  parser.Calc("SETARRAY(Memo1.Memo, 1, 'changed')");
  EXPECT_EQ(memo->Memo[1], "changed");
  EXPECT_EQ(parser.Calc("GETARRAY(Memo1.Memo, 2)").AsText(), "third");
}

TEST_F(ReportNames, ProceduresAndFunctionRouting) {
  TfrParser& parser = Expressions(Engine()).Parser;
  parser.Calc("STOPREPORT()");
  EXPECT_TRUE(report.StopRequested);

  struct Library : TfrFunctionLibrary {
    Library() { FunctionNames = {"TWICE"}; }
    std::string ClassName() const override { return "TestLibrary"; }
    void RunFunction(int, const Variant& p1, const Variant&, const Variant&,
                     Variant& result) override {
      result = MultiplyValues(Expressions(Engine()).Parser.Calc(p1.AsText()), Variant(2));
    }
  };
  RegisterFunctionLibrary(Engine(), std::make_unique<Library>());
  std::vector<std::string> userCalls;
  report.Events.OnUserFunction = [&](const std::string& name, const Variant&, const Variant&,
                                     const Variant&, Variant& result) {
    userCalls.push_back(name);
    if (name == "ANSWER") result = Variant(42);
  };
  EXPECT_EQ(Bracket("TWICE(3 + 4)"), "14");
  EXPECT_EQ(Bracket("Answer()"), "42");
  EXPECT_EQ(userCalls, std::vector<std::string>{"ANSWER"});  // libraries come first
  UnregisterFunctionLibrary(Engine(), "TestLibrary");
  // Methods on objects by name.
  parser.Calc("Memo1.Hide()");
  EXPECT_EQ(memo->Visible, 0);
  parser.Calc("Memo1.Show()");
  EXPECT_NE(memo->Visible, 0);
}

TEST_F(ReportNames, ObjectPropertiesByName) {
  EXPECT_EQ(Bracket("Memo1.Left + 1"), "31");
  EXPECT_EQ(Bracket("Left"), "30");  // the active view's own
  EXPECT_EQ(Bracket("Memo.Count"), "3");
  EXPECT_EQ(Bracket("Font.Name"), memo->Font_.Name);
  std::string property;
  TfrObject* page2 = report.ResolveObjectProperty("PAGE2.Left", property);
  EXPECT_EQ(page2, report.Template.Pages[1].get());
  EXPECT_EQ(property, "Left");
  EXPECT_EQ(report.ResolveObjectProperty("Font.Name", property), memo);
  EXPECT_EQ(property, "Font.Name");
  EXPECT_EQ(report.ResolveObjectProperty("PAGEX.Left", property), nullptr);
  EXPECT_EQ(report.ResolveObjectProperty("PAGE9.Left", property), nullptr);
  TfrShapeView shape;  // a shape's kinds are named constants
  EXPECT_EQ(Bracket("skStar"), "9");
}

TEST(ValueFormat, EveryCategory) {
  const auto f = [](const Variant& v, std::uint32_t c, std::uint32_t k, std::uint32_t d,
                    unsigned char sep, const std::string& text = "") {
    return FormatDisplayValue(Engine(), v, MakeDisplayFormat(c, k, d, sep), text);
  };
  EXPECT_EQ(f(Variant(1234.5678), dcNumber, 0, 2, '.'), "1234.57");
  EXPECT_EQ(f(Variant(1234.0), dcNumber, 0, 2, '.'), "1234");
  EXPECT_EQ(f(Variant(2.5), dcNumber, 1, 2, ','), "2,50");
  EXPECT_EQ(f(Variant(-0.004), dcNumber, 1, 2, '.'), "0.00");
  EXPECT_EQ(f(Variant(1234567.891), dcNumber, 2, 1, '.'), "1,234,567.9");
  EXPECT_EQ(f(Variant(1234567.891), dcNumber, 3, 2, ','), "1.234.567,89");
  EXPECT_EQ(f(Variant(7), dcNumber, 4, 0, '.', "000"), "007");
  EXPECT_EQ(f(Variant(-3.14159), dcNumber, 4, 0, '.', "#.##"), "-3.14");
  EXPECT_EQ(f(Variant(0.5), dcNumber, 4, 0, '.', "0.0 %"), "0.5 %");
  const Variant date(DateTime{45351.75});  // 2024-02-29 18:00
  EXPECT_EQ(f(date, dcDate, 0, 0, 0), "02.29.24");
  EXPECT_EQ(f(date, dcDate, 1, 0, 0), "02.29.2024");
  EXPECT_EQ(f(date, dcDate, 2, 0, 0), "29 Feb 2024");
  EXPECT_FALSE(f(date, dcDate, 3, 0, 0).empty());
  EXPECT_EQ(f(date, dcDate, 4, 0, 0, "dddd d mmmm yyyy"), "Thursday 29 February 2024");
  EXPECT_EQ(f(date, dcTime, 0, 0, 0), "18:00:00");
  EXPECT_EQ(f(date, dcTime, 3, 0, 0), "18:00");
  EXPECT_EQ(f(Variant(true), dcBoolean, 2, 0, 0), "x");
  EXPECT_EQ(f(Variant(0), dcBoolean, 3, 0, 0), "False");
  EXPECT_EQ(f(Variant("  "), dcText, 0, 0, 0), "");
  EXPECT_EQ(f(Variant::Null(), dcNumber, 1, 2, '.'), "");
  EXPECT_EQ(f(Variant("text"), dcDate, 1, 0, 0), "text");  // fails: plain text
}

// Rounded digits are written as an integer while they fit one and as a
// double's digits past that; both give the digits printf would.
TEST(ValueFormat, FixedDigitsOnBothSidesOfTheIntegerRange) {
  EXPECT_EQ(FormatFixed(123.455, 2, false, '.'), "123.46");
  EXPECT_EQ(FormatFixed(-0.5, 0, false, '.'), "-1");
  EXPECT_EQ(FormatFixed(0.0, 3, false, ','), "0,000");
  EXPECT_EQ(FormatFixed(8999999999999999000.0, 0, false, '.'), "8999999999999998976");
  EXPECT_EQ(FormatFixed(9223372036854775807.0, 0, false, '.'), "9223372036854775808");
  EXPECT_EQ(FormatFixed(1e20, 2, true, '.'), "100,000,000,000,000,000,000.00");
  EXPECT_EQ(FormatFixed(-123456789012.345678, 4, false, '.'), "-123456789012.3460");
  EXPECT_EQ(FormatFixed(9999 * 0.37 * 1.5, 2, false, '.'), "5549.45");
  EXPECT_EQ(FormatFixed(1e15 - 0.5, 2, false, '.'), "1000000000000000.00");
  // Halves of the value as written round away from zero.
  EXPECT_EQ(FormatFixed(1.005, 2, false, '.'), "1.01");
  EXPECT_EQ(FormatFixed(-0.125, 2, false, '.'), "-0.13");
  EXPECT_EQ(FormatFixed(0.000000123, 8, false, '.'), "0.00000012");
  EXPECT_EQ(FormatFixed(99.995, 2, true, '.'), "100.00");
}

TEST(ValueFormat, DecimalSeparatorIsRestoredWhenFormattingFails) {
  Engine().DecimalSeparator = '.';
  // The separator is switched before the value is read; reading "abc" as a
  // number fails in the middle.
  EXPECT_EQ(
      FormatDisplayValue(Engine(), Variant("abc"), MakeDisplayFormat(dcNumber, 1, 2, ','), ""),
      "abc");
  EXPECT_EQ(Engine().DecimalSeparator, '.');
  EXPECT_EQ(FormatDisplayValue(Engine(), Variant(1.5), MakeDisplayFormat(dcNumber, 1, 1, ','), ""),
            "1,5");
  EXPECT_EQ(Engine().DecimalSeparator, '.');
}

}  // namespace
}  // namespace quillet
