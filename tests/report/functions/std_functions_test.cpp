// The standard function library and the named constants, called through
// the engine parser as expressions call them.
#include "report/functions/std_functions.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/errors.h"
#include "platform/headless_host.h"
#include "platform/scope_guard.h"
#include "report/base/aggregate_values.h"
#include "report/base/engine_state.h"
#include "report/expr/expression_globals.h"

namespace quillet {
namespace {

// Binds the engine parser to the function libraries and the named
// constants, as a report does while it prepares.
class StdFunctions : public ::testing::Test {
 protected:
  void SetUp() override {
    TfrParser& parser = Expressions(Engine()).Parser;
    parser.ValueHook = [](const std::string& name, Variant& value) {
      value = Expressions(Engine()).NamedConstants.GetValue(name);
    };
    parser.FunctionHook = [](const std::string& name, const Variant& p1, const Variant& p2,
                             const Variant& p3, Variant& result) {
      result = Variant("0");
      for (const auto& library : FunctionLibraries(Engine()))
        if (library->HandleCall(name, p1, p2, p3, result)) return;
      throw EngineError("unknown function " + name);
    };
    Engine().SetHost(&host);
  }
  void TearDown() override {
    Expressions(Engine()).Parser.ValueHook = nullptr;
    Expressions(Engine()).Parser.FunctionHook = nullptr;
    Engine().SetHost(nullptr);
    Engine().DecimalSeparator = '.';
  }
  Variant Calc(const std::string& text) { return Expressions(Engine()).Parser.Calc(text); }
  std::string Text(const std::string& text) { return Calc(text).AsText(); }

  HeadlessHost host;
};

TEST_F(StdFunctions, AreRegisteredInIndexOrder) {
  TfrStdFunctionLibrary library(Engine(), {});
  EXPECT_EQ(library.FunctionNames,
            (std::vector<std::string>{"AVG",         "COUNT",      "DAYOF",   "FORMATDATETIME",
                                      "FORMATFLOAT", "FORMATTEXT", "INPUT",   "LENGTH",
                                      "LOWERCASE",   "MAX",        "MAXNUM",  "MESSAGEBOX",
                                      "MIN",         "MINNUM",     "MONTHOF", "NAMECASE",
                                      "POS",         "SUM",        "TRIM",    "UPPERCASE",
                                      "YEAROF"}));
  int count = 0;
  for (const auto& l : FunctionLibraries(Engine()))
    count += l->ClassName() == "TfrStdFunctionLibrary";
  EXPECT_EQ(count, 1);
}

TEST_F(StdFunctions, TextFunctions) {
  EXPECT_EQ(Calc("LENGTH('abc' + 'de')"), Variant(std::int64_t(5)));
  EXPECT_EQ(Text("UPPERCASE('abcéÿ łódź')"), "ABCÉŸ ŁÓDŹ");
  EXPECT_EQ(Text("LOWERCASE('ÀBC КАРАНДАШ')"), "àbc карандаш");
  EXPECT_EQ(Text("NAMECASE('mIXED cASE')"), "Mixed case");
  EXPECT_EQ(Text("NAMECASE('éLAN')"), "Élan");
  // Characters, not bytes, are counted.
  EXPECT_EQ(Calc("LENGTH('Łódź 日本の紙 😀')"), Variant(std::int64_t(11)));
  EXPECT_EQ(Calc("POS('紙', '日本の紙')"), Variant(std::int64_t(4)));
  EXPECT_EQ(Text("COPY('Łódź notebook', 2, 3)"), "ódź");
  EXPECT_EQ(Text("FORMATTEXT('>LL-00', 'ąę1')"), "ĄĘ-1 ");
  EXPECT_EQ(Text("NAMECASE('')"), "");
  EXPECT_EQ(Calc("POS('cd', 'abcdef')"), Variant(std::int64_t(3)));
  EXPECT_EQ(Calc("POS('x', 'abcdef')"), Variant(std::int64_t(0)));
  EXPECT_EQ(Text("TRIM('  padded ' + CRLF)"), "padded");
  EXPECT_EQ(Text("FORMATTEXT('!000-0000', '5551234')"), "555-1234");
  EXPECT_EQ(Text("FORMATTEXT('>LL-00', 'ab1')"), "AB-1 ");
}

// The fields after the mask are read, never printed: whether the text holds
// the literal characters, and the character for unfilled positions.
TEST_F(StdFunctions, EditMaskFields) {
  const std::pair<const char*, const char*> cases[] = {
      {"FORMATTEXT('!99/99/00;1;_', '010124')", "01/01/24"},
      {"FORMATTEXT('!99/99/00;1;_', '01/01/24')", "01/01/24"},
      {"FORMATTEXT('!99/99/00;1;_', '0101')", "01/01/__"},
      {"FORMATTEXT('!99/99/00;0;*', '0101')", "01/01/**"},
      {"FORMATTEXT('000-000;0', '12')", "12 -   "},
      {"FORMATTEXT('00\\;00', '1234')", "12;34"},
  };
  for (const auto& [expression, expected] : cases)
    EXPECT_EQ(Text(expression), expected) << expression;
}

// Number patterns: quoted literals, sections, literals between digits and
// decimal rounding of the value as written.
TEST_F(StdFunctions, NumberPatterns) {
  const std::pair<const char*, const char*> cases[] = {
      {R"(FORMATFLOAT('"$"0.00', 1.75))", "$1.75"},
      {R"(FORMATFLOAT('0" kg"', 4))", "4 kg"},
      {R"(FORMATFLOAT('0'' kg''', 4))", "4 kg"},
      {R"(FORMATFLOAT('"$"0.00', -1.75))", "-$1.75"},
      {R"(FORMATFLOAT('', 2.5))", "2.5"},
      {R"(FORMATFLOAT('0.00;(0.00);"nil"', 0))", "nil"},
      {R"(FORMATFLOAT('0.00;(0.00);"nil"', -0.001))", "nil"},
      {R"(FORMATFLOAT('0.00;(0.00);"nil"', -2))", "(2.00)"},
      {R"(FORMATFLOAT('0.00;;zero', -2))", "-2.00"},
      {R"(FORMATFLOAT('00-00', 1234))", "12-34"},
      {R"(FORMATFLOAT('00-00', 123456))", "1234-56"},
      {R"(FORMATFLOAT('#,##0.00', 1234567.891))", "1,234,567.89"},
      {R"(FORMATFLOAT('0.00', 1.005))", "1.01"},
      {R"(FORMATFLOAT('0.00', 2.675))", "2.68"},
      {R"(FORMATFLOAT('0.00', -1.005))", "-1.01"},
      {R"(FORMATFLOAT('0.##', 0.125))", "0.13"},
      {R"(FORMATFLOAT('#.##', 5))", "5"},
      {R"(FORMATFLOAT('000', 7))", "007"},
      {R"(FORMATFLOAT('#0.0', 0.04))", "0.0"},
      {R"(FORMATFLOAT('"a;b"0', 3))", "a;b3"},
  };
  for (const auto& [expression, expected] : cases)
    EXPECT_EQ(Text(expression), expected) << expression;
}

TEST_F(StdFunctions, NumbersAndDates) {
  EXPECT_EQ(Calc("MAXNUM(3, 7)").AsFloat(), 7);
  EXPECT_EQ(Calc("MINNUM(3, 7)").AsFloat(), 3);
  EXPECT_EQ(Calc("MAXNUM(-1, -2)").AsFloat(), -1);
  // Equal arguments give the second.
  EXPECT_EQ(Calc("MAXNUM('2', 2)").GetType(), Variant::Type::Float);
  EXPECT_EQ(Calc("MINNUM(2, '2')").GetType(), Variant::Type::Text);
  EXPECT_EQ(Text("FORMATFLOAT('#,##0.00', 1234567.891)"), "1,234,567.89");
  Engine().DecimalSeparator = ',';
  EXPECT_EQ(Text("FORMATFLOAT('#,##0.00', 1234.5)"), "1.234,50");
  Engine().DecimalSeparator = '.';
  // 45000 days after 1899-12-30 is 2023-03-15.
  EXPECT_EQ(Calc("DAYOF(45000)").AsInteger(), 15);
  EXPECT_EQ(Calc("MONTHOF(45000)").AsInteger(), 3);
  EXPECT_EQ(Calc("YEAROF(45000.75)").AsInteger(), 2023);
  EXPECT_EQ(Text("FORMATDATETIME('dd.mm.yyyy', 45000)"), "15.03.2023");
  EXPECT_THROW(Calc("DAYOF('no date')"), ConversionError);
}

TEST_F(StdFunctions, DialogsGoThroughTheHost) {
  host.messageAnswer = MessageResult::No;
  EXPECT_EQ(Calc("MESSAGEBOX('Go on?', 'Question', mb_YesNo + mb_IconQuestion)").AsInteger(), 7);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "Go on?");
  EXPECT_EQ(host.messages[0].caption, "Question");
  EXPECT_EQ(host.messages[0].icon, MessageIcon::Question);

  host.inputAnswers.push_back("typed");
  EXPECT_EQ(Text("INPUT('Name?', 'default')"), "typed");
  EXPECT_EQ(Text("INPUT('Again?', 'default')"), "default");  // cancelled
  EXPECT_EQ(host.inputPrompts, (std::vector<std::string>{"Name?", "Again?"}));
}

TEST_F(StdFunctions, AggregatesAnswerZeroOutsideAPreparation) {
  // Outside a preparation no data layer keeps aggregate values.
  const KeepValue<AggregateValues*> keep(Prep().Aggregates);
  Prep().Aggregates = nullptr;
  EXPECT_EQ(Calc("SUM([x])"), Variant("0"));
  EXPECT_EQ(Calc("COUNT(Band1)"), Variant("0"));

  // A run's aggregate values answer every call; while objects are
  // pre-scanned they take the call but the answer stays "0".
  struct Recorded : AggregateValues {
    std::vector<int> codes;
    void Aggregate(AggregateCode code, const Variant& p1, const Variant&, const Variant&,
                   Variant& result) override {
      codes.push_back(code);
      result = Variant(p1.AsText() + "!");
    }
  } values;
  Prep().Aggregates = &values;
  EXPECT_EQ(Text("SUM(Price)"), "Price!");
  EXPECT_EQ(Text("AVG(a)"), "a!");
  EXPECT_EQ(Text("MIN(a)"), "a!");
  EXPECT_EQ(Text("MAX(a)"), "a!");
  EXPECT_EQ(Text("COUNT(b)"), "b!");
  Prep().AggregateScan = true;
  EXPECT_EQ(Calc("SUM(Price)"), Variant("0"));
  Prep().AggregateScan = false;
  EXPECT_EQ(values.codes, (std::vector<int>{agSum, agAvg, agMin, agMax, agCount, agSum}));
}

TEST_F(StdFunctions, NamedConstants) {
  const TfrVariables& constants = Expressions(Engine()).NamedConstants;
  EXPECT_TRUE(constants.Sorted());
  EXPECT_EQ(Calc("clRed").AsInteger(), 0x0000FF);
  EXPECT_EQ(Calc("mb_YesNo").AsInteger(), 4);
  EXPECT_EQ(Calc("CLTRANSPARENT").AsInteger(), 0x1FFFFFFF);
  EXPECT_EQ(Calc("clInfoBk").AsInteger(), 0x80000000LL + 24);
  EXPECT_EQ(Calc("fsBold + fsItalic").AsInteger(), 3);
  EXPECT_EQ(Calc("baRest").AsInteger(), 7);
  EXPECT_EQ(Text("CRLF"), "\r\n");
  EXPECT_TRUE(constants.GetValue("Null").IsNull());
  for (const char* name : {"clAqua", "clScrollBar", "mrNone", "fsStrikeOut", "frftTop", "frtaDown",
                           "baNone", "psDouble", "mb_IconWarning"})
    EXPECT_GE(constants.IndexOfName(name), 0) << name;
}

}  // namespace
}  // namespace quillet
