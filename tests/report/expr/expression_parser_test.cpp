// The expression parser on its own: conversion to postfix, evaluation, the
// lexical readers, variables, the function splitter and value arithmetic.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <map>
#include <optional>

#include "platform/errors.h"
#include "report/base/text_format.h"
#include "report/expr/components.h"
#include "report/expr/function_splitter.h"
#include "report/expr/parser.h"
#include "report/expr/text_routines.h"
#include "report/expr/variables.h"

namespace quillet {
namespace {

// A parser whose names come from a map and whose unknown functions are
// logged with their raw arguments.
struct ParserWithNames {
  TfrParser parser;
  std::map<std::string, Variant> names;
  std::vector<std::string> asked;
  std::vector<std::string> calls;
  ParserWithNames() {
    parser.ValueHook = [this](const std::string& name, Variant& v) {
      asked.push_back(name);
      auto it = names.find(name);
      if (it != names.end()) v = it->second;
    };
    parser.FunctionHook = [this](const std::string& name, const Variant& p1, const Variant& p2,
                                 const Variant& p3, Variant& v) {
      calls.push_back(name + "|" + p1.AsText() + "|" + p2.AsText() + "|" + p3.AsText());
      v = Variant("called");
    };
  }
  std::string Text(const std::string& e) { return parser.Calc(e).AsText(); }
};

TEST(ExpressionParser, WorkedExamples) {
  ParserWithNames p;
  EXPECT_EQ(p.Text("2+3*4"), "14");
  EXPECT_EQ(p.Text("(2+3)*4"), "20");
  EXPECT_EQ(p.Text("7 MOD 3"), "1");
  EXPECT_EQ(p.Text("-2*3"), "-6");
  EXPECT_EQ(p.Text("1 < 2"), "1");
  EXPECT_EQ(p.Text("1 = 2"), "0");
  EXPECT_EQ(p.Text("(1 < 2) AND (3 > 2)"), "1");
  EXPECT_EQ(p.Text("(1 < 2) AND (3 < 2)"), "0");
  EXPECT_EQ(p.Text("(1 > 2) OR (3 > 2)"), "1");
  EXPECT_EQ(p.Text("5/0"), "0");
  EXPECT_EQ(p.Text("7/2"), "3.5");
  EXPECT_EQ(p.Text("2 <> 3"), "1");
  EXPECT_EQ(p.Text("3 >= 3"), "1");
  EXPECT_EQ(p.Text("4 <= 3"), "0");
  EXPECT_EQ(p.Text("NOT 0"), "1");
  EXPECT_EQ(p.Text("2,5 + 0.5"), "3");  // both decimal marks read
  EXPECT_EQ(p.parser.Calc("").AsInteger(), 0);
  EXPECT_EQ(p.parser.Calc("").GetType(), Variant::Type::Integer);
  EXPECT_EQ(p.Text("1 + 2 ; ignored rest"), "3");  // ";" ends it where an operator may stand
}

TEST(ExpressionParser, ComparisonsBindMoreLooselyThanAndOr) {
  // a > 1 AND b < 2 reads a > (1 AND b) < 2: with a = 5, b = 0 that is
  // (5 > 0) < 2 = 1 < 2 = 1, whereas the usual reading gives 0 (5 > 1 is
  // true, 0 < 2 is true... both true = 1). Pick values where they differ.
  ParserWithNames p;
  p.names["A"] = Variant(5);
  p.names["B"] = Variant(3);
  // Usual reading: (5 > 1) AND (3 < 2) = 0. This engine: 5 > (1*3) < 2 =
  // (5 > 3) < 2 = 1 < 2 = 1.
  EXPECT_EQ(p.Text("A > 1 AND B < 2"), "1");
  EXPECT_EQ(p.Text("(A > 1) AND (B < 2)"), "0");
  EXPECT_EQ(EscapePostfix(p.parser.ToPostfix("A > 1 AND B < 2")), "A 1 B \\x05>2 <");
}

TEST(ExpressionParser, PostfixForms) {
  TfrParser parser;
  EXPECT_EQ(parser.ToPostfix("a+b*c"), "a b c *+");
  // NOT applies to a before the comparison.
  EXPECT_EQ(parser.ToPostfix("NOT a = b"),
            "a \x0c"
            "b =");
  EXPECT_EQ(parser.ToPostfix("-2*3"), "2 3 *\x09");
  EXPECT_EQ(parser.ToPostfix("x[1] + f(a, (b))"), "x[1] f(a, (b))+");
  EXPECT_EQ(parser.ToPostfix("'it''s' + [My name]"), "'it''s' [My name] +");
  EXPECT_EQ(parser.ToPostfix("INT(2.5)"), "2.5 \x06");
}

TEST(ExpressionParser, IntFracRoundSnapAndRoundHalvesToEven) {
  ParserWithNames p;
  EXPECT_EQ(p.Text("INT(2.9999999999999)"), "3");
  EXPECT_EQ(p.Text("INT(2.5)"), "2");
  EXPECT_EQ(p.Text("INT(-2.5)"), "-2");
  EXPECT_EQ(p.Text("ROUND(2.5)"), "2");
  EXPECT_EQ(p.Text("ROUND(3.5)"), "4");
  EXPECT_EQ(p.parser.Calc("ROUND(3.5)").GetType(), Variant::Type::Integer);
  EXPECT_EQ(p.Text("FRAC(2.25)"), "0.25");
  EXPECT_EQ(p.Text("FRAC(1.99999999999999)"), "0");
  EXPECT_EQ(p.parser.Calc("INT(2.5)").GetType(), Variant::Type::Float);
}

TEST(ExpressionParser, QuotedTextsAndStrings) {
  ParserWithNames p;
  EXPECT_EQ(p.Text("'it''s'"), "it's");
  EXPECT_EQ(p.Text("'a' + 'b'"), "ab");
  EXPECT_EQ(p.Text("'(not) a call'"), "(not) a call");
  EXPECT_EQ(p.Text("COPY('abcdef', 2, 3)"), "bcd");
  EXPECT_EQ(p.Text("COPY('abc', 2, 10)"), "bc");
  EXPECT_EQ(p.Text("COPY('abc', 0, 1)"), "a");
  EXPECT_EQ(p.Text("STR(12) + 'x'"), "12x");
  EXPECT_THROW(p.Text("COPY('abc', 1.5, 1)"), ConversionError);
}

TEST(ExpressionParser, IfEvaluatesOnlyTheChosenBranch) {
  ParserWithNames p;
  EXPECT_EQ(p.Text("IF(1, 'yes', NEVER)"), "yes");
  EXPECT_EQ(p.Text("IF(0, NEVER, 'no')"), "no");
  EXPECT_EQ(p.Text("IF(0.5, 'yes', 'no')"), "no");  // integral part 0
  EXPECT_EQ(p.Text("IF(TRUE, 'yes', 'no')"), "yes");
  for (const std::string& name : p.asked) EXPECT_NE(name, "NEVER");
}

TEST(ExpressionParser, NamesArraysAndHooks) {
  ParserWithNames p;
  p.names["PRICE"] = Variant(4);
  p.names["My name"] = Variant("Ann");
  EXPECT_EQ(p.Text("price * 2"), "8");    // names arrive upper-cased
  EXPECT_EQ(p.Text("[My name]"), "Ann");  // bracketed names as written
  EXPECT_EQ(p.Text("Lookup(a + b, 'x,y', (3))"), "called");
  EXPECT_EQ(p.calls.back(), "LOOKUP|a + b| 'x,y'| (3)");
  EXPECT_EQ(p.Text("A[3]"), "called");
  EXPECT_EQ(p.calls.back(), "GETARRAY|A| 3|");
  EXPECT_EQ(p.Text("Shape1.Left + 0"), "0");
  EXPECT_EQ(p.asked.back(), "SHAPE1.LEFT");
  EXPECT_EQ(p.Text("TRUE"), "True");
}

// A minus, plus or NOT right after another operator takes the operand that
// follows it; everywhere else the stored priorities hold.
TEST(ExpressionParser, SignsAndNotAfterAnOperatorTakeTheNextOperand) {
  ParserWithNames p;
  p.names["B"] = Variant(20);
  p.names["PRICE"] = Variant(2.5);
  const std::pair<const char*, const char*> cases[] = {
      {"2 * -3", "-6"},     {"3 - -10", "13"},       {"B mod -(INT(6))", "2"},
      {"NOT NOT 5", "1"},   {"NOT NOT 0", "0"},      {"[PRICE] * -1", "-2.5"},
      {"2 * -3 + 1", "-5"}, {"2 * -3 * 4", "-24"},   {"1 + +2", "3"},
      {"- -3", "3"},        {"2 * -INT(3.5)", "-6"}, {"3 * - (1 + 1)", "-6"},
      {"1 AND NOT 0", "1"}, {"NOT NOT 5 = 1", "1"},  {"2 * (-3)", "-6"},
      {"-2*3", "-6"},       {"-3 + 5", "2"},         {"NOT 1 = 0", "1"},
  };
  for (const auto& [expression, expected] : cases)
    EXPECT_EQ(p.Text(expression), expected) << expression;
  EXPECT_EQ(EscapePostfix(p.parser.ToPostfix("2 * -3 + 1")), "2 3 \\x09*1 +");
}

TEST(ExpressionParser, MalformedExpressionsAreRefusedNamingThem) {
  ParserWithNames p;
  // An operator short of operands.
  try {
    p.parser.Calc("2 *");
    FAIL();
  } catch (const ParserError& e) {
    EXPECT_NE(std::string(e.what()).find("\"2 *\""), std::string::npos) << e.what();
  }
  EXPECT_THROW(p.parser.Calc("2 * * 3"), ParserError);
  EXPECT_THROW(p.parser.Calc("2 -"), ParserError);
  EXPECT_THROW(p.parser.Calc("NOT"), ParserError);
  EXPECT_THROW(p.parser.Calc("(1 + 2"), ParserError);
  EXPECT_THROW(p.parser.Calc("1 + 2)"), ParserError);
  EXPECT_THROW(p.parser.Calc("f(1, 2"), ParserError);
  EXPECT_THROW(p.parser.Calc("f(1, 2, 3, 4)"), ParserError);
  EXPECT_THROW(p.parser.Calc("1..2"), ConversionError);
  EXPECT_THROW(p.parser.Calc("*"), ParserError);
  EXPECT_THROW(p.parser.CalcPostfix("+"), ParserError);
  EXPECT_THROW(p.parser.CalcPostfix("\x06"), ParserError);
}

// Converted forms are kept per text: the same text follows the names'
// current values, and an evaluation whose names convert more texts than
// are kept (emptying the store under it) still finishes right.
TEST(ExpressionParser, KeptConversionsFollowValuesAndSurviveBeingEmptied) {
  ParserWithNames p;
  p.names["N"] = Variant(2);
  EXPECT_EQ(p.Text("N * 1.5"), "3");
  p.names["N"] = Variant(5);
  EXPECT_EQ(p.Text("N * 1.5"), "7.5");
  EXPECT_THROW(p.parser.Calc("(N"), ParserError);  // refused each time, never kept
  EXPECT_THROW(p.parser.Calc("(N"), ParserError);

  int inner = 0;
  p.parser.ValueHook = [&](const std::string& name, Variant& v) {
    if (name != "MANY") return;
    for (int i = 0; i < 600; ++i)
      inner += int(p.parser.Calc(std::to_string(i) + " + 0").AsInteger());
    v = Variant(1);
  };
  EXPECT_EQ(p.Text("100 + many + 1000 * 2"), "2101");
  EXPECT_EQ(inner, 599 * 600 / 2);
}

// Plain decimals take a shorter road than strtod; they must read the same
// double, bit for bit, at every length up to the 15 digits it takes.
TEST(NumberText, PlainDecimalsReadExactlyAsStrtodReadsThem) {
  std::vector<std::string> texts = {"0",
                                    "-0",
                                    "+7",
                                    ".5",
                                    "-.5",
                                    "5.",
                                    "0.1",
                                    "0.3",
                                    "1.15",
                                    "2.675",
                                    "1e5",
                                    "1.2.3",
                                    "12a",
                                    "",
                                    "-",
                                    ".",
                                    "+.",
                                    "999999999999999",
                                    "1234567890123456",
                                    "0.000000000000001",
                                    "9007199254740993"};
  std::uint64_t seed = 12345;
  for (int i = 0; i < 20000; ++i) {
    seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
    std::string digits = std::to_string(seed >> 11).substr(0, 1 + (seed >> 3) % 15);
    const std::size_t point = (seed >> 20) % (digits.size() + 1);
    digits.insert(point, ".");
    texts.push_back(((seed >> 40) & 1 ? "-" : "") + digits);
  }
  for (const std::string& t : texts) {
    double fast = 0;
    const bool read = ReadPlainDecimal(t, fast);
    char* end = nullptr;
    const double slow = std::strtod(t.c_str(), &end);
    const bool whole = !t.empty() && end == t.c_str() + t.size();
    if (!read) {
      // Only texts outside the plain form, or past 15 digits, are left to strtod.
      const std::size_t count = std::count_if(t.begin(), t.end(), ::isdigit);
      EXPECT_TRUE(!whole || count > 15 || t.find_first_of("eE") != std::string::npos) << t;
      continue;
    }
    ASSERT_TRUE(whole) << t;
    EXPECT_EQ(std::memcmp(&fast, &slow, sizeof fast), 0) << t;
    double viaText = 0;
    ASSERT_TRUE(TryStrToFloat(t, '.', viaText)) << t;
    EXPECT_EQ(std::memcmp(&viaText, &slow, sizeof fast), 0) << t;
  }
}

TEST(ExpressionParser, StackHoldsThirtyTwoValues) {
  ParserWithNames p;
  // 32 operands waiting for their operators fit; 33 do not.
  std::string fits, overflows;
  for (int i = 0; i < 32; ++i) fits += "1 ";
  fits += std::string(31, '+');
  EXPECT_EQ(p.parser.CalcPostfix(fits).AsText(), "32");
  for (int i = 0; i < 33; ++i) overflows += "1 ";
  overflows += std::string(32, '+');
  EXPECT_THROW(p.parser.CalcPostfix(overflows), ParserError);
  // A right-leaning sum needs one slot per term.
  std::string deep = "1";
  for (int i = 0; i < 40; ++i) deep = "1 + (" + deep + ")";
  EXPECT_THROW(p.parser.Calc(deep), ParserError);
  std::string nested = "1";
  for (int i = 0; i < 200; ++i) nested = "IF(1, " + nested + ", 0)";
  EXPECT_THROW(p.parser.Calc(nested), ParserError);  // never exhausts the thread's stack
}

TEST(ExpressionParser, DatesAndTimesFromText) {
  ParserWithNames p;
  const Variant d = p.parser.Calc("STRTODATE('2024-02-29')");
  ASSERT_EQ(d.GetType(), Variant::Type::Date);
  EXPECT_EQ(d.AsFloat(), 45351);
  EXPECT_DOUBLE_EQ(p.parser.Calc("STRTOTIME('12:00')").AsFloat(), 0.5);
  EXPECT_THROW(p.parser.Calc("STRTODATE('2023-02-29')"), ConversionError);
}

TEST(TextRoutines, ReadersAndLists) {
  std::size_t pos = 0;
  EXPECT_EQ(ReadToken("  Shape1.Left+1", pos), "Shape1.Left");
  EXPECT_EQ(pos, 13u);
  pos = 0;
  EXPECT_EQ(ReadToken("Table1.\"Field name\" * 2", pos), "Table1.\"Field name\"");
  pos = 0;
  EXPECT_EQ(ReadQuoted("'a''b' + c", pos), "'a''b'");
  EXPECT_EQ(pos, 6u);
  pos = 1;
  const CallArguments args = ReadArguments("f(a, ')', (b, c)) tail", pos);
  EXPECT_EQ(args.p1, "a");
  EXPECT_EQ(args.p2, " ')'");
  EXPECT_EQ(args.p3, " (b, c)");
  EXPECT_EQ(pos, 17u);
  std::vector<std::string> list;
  SplitList("psSolid;psDash;;psDot", list);
  EXPECT_EQ(list, (std::vector<std::string>{"psSolid", "psDash", "", "psDot"}));
  EXPECT_EQ(Unquote("\"quoted\""), "quoted");
  EXPECT_EQ(Unquote("\"\""), "\"\"");
  EXPECT_EQ(Unquote("plain"), "plain");
}

TEST(Variables, CaseBlindSortedAndOutOfRange) {
  TfrVariables v;
  v.SetValue("Beta", Variant(2));
  v.SetValue("alpha", Variant(1));
  v.SetValue("BETA", Variant(3));
  EXPECT_EQ(v.Count(), 2);
  EXPECT_EQ(v.GetValue("beta").AsInteger(), 3);
  EXPECT_TRUE(v.GetValue("gamma").IsNull());
  EXPECT_EQ(v.ValueAt(7).AsInteger(), 0);
  v.SetValueAt(7, Variant(9));
  v.Delete(-1);
  EXPECT_EQ(v.Count(), 2);
  v.SetSorted(true);
  EXPECT_EQ(v.NameAt(0), "alpha");
  v.SetValue("Aardvark", Variant(0));
  EXPECT_EQ(v.NameAt(0), "Aardvark");
  EXPECT_EQ(v.IndexOfName("ALPHA"), 1);
}

TEST(FunctionSplitter, FindsCallsThroughVariablesAndArguments) {
  TfrVariables vars;
  vars.SetValue("Total", Variant("SUM(Price) * 2"));
  TfrFunctionSplitter s({"SUM", "COUNT"}, &vars);
  s.Split("[Total] + count(x) + MAX(sum(y), 1)");
  EXPECT_EQ(s.FoundCalls, (std::vector<std::string>{"SUM(Price)", " count(x)", "sum(y)"}));
  s.FoundCalls.clear();
  s.Split("'SUM(quoted)'");
  EXPECT_TRUE(s.FoundCalls.empty());
  // Variables naming themselves or each other end, and quickly: each is
  // split once per chain, not once per mention.
  vars.SetValue("A", Variant("B + B + B + SUM(a)"));
  vars.SetValue("B", Variant("A + A + A"));
  s.FoundCalls.clear();
  s.Split("A + A");
  EXPECT_EQ(s.FoundCalls, (std::vector<std::string>{" SUM(a)", " SUM(a)"}));
}

TEST(ComponentPaths, MissingComponentsAreNamed) {
  NamedComponent* dataset = nullptr;
  try {
    FindComponentByPath(nullptr, "Form1.Table1");
    FAIL();
  } catch (const ClassNotFoundError& e) {
    EXPECT_STREQ(e.what(), "Missing Form1.Table1");
  }
  EXPECT_EQ(FindDataField("Field", dataset, nullptr), "");

  struct Table : NamedComponent {
    std::string ComponentName() const override { return "Table1"; }
    bool HasField(std::string_view n) const override { return n == "Field.with.dots"; }
  } table;
  struct Form : NamedComponent {
    Table* t;
    std::string ComponentName() const override { return "Form1"; }
    NamedComponent* FindOwned(std::string_view n) override { return n == "Table1" ? t : nullptr; }
  } form;
  form.t = &table;
  RegisterGlobalComponent(&form);
  EXPECT_EQ(FindDataField("Form1.Table1.\"Field.with.dots\"", dataset, nullptr), "Field.with.dots");
  EXPECT_EQ(dataset, &table);
  EXPECT_EQ(FindDataField("Table1.Other", dataset, &form), "");
  // The look-up that does not raise answers the same, and nothing where a
  // step of the path is missing.
  struct Row {
    const char* reference;
    NamedComponent* owner;
    std::optional<std::string> field;
  };
  for (const Row& row :
       {Row{"Form1.Table1.\"Field.with.dots\"", nullptr, "Field.with.dots"},
        Row{"Table1.Other", &form, ""}, Row{"Form1.Table2.Field", nullptr, std::nullopt},
        Row{"Table1.Field", nullptr, std::nullopt}, Row{"A.B.C.D.E", nullptr, std::nullopt}}) {
    NamedComponent* found = nullptr;
    EXPECT_EQ(LookUpDataField(row.reference, found, row.owner), row.field) << row.reference;
    if (row.field) EXPECT_EQ(found, &table) << row.reference;
  }
  UnregisterGlobalComponent(&form);
}

TEST(VariantRules, MixedKinds) {
  EXPECT_EQ(AddValues(Variant(2), Variant(3)).GetType(), Variant::Type::Integer);
  EXPECT_EQ(AddValues(Variant(2), Variant(0.5)).AsText(), "2.5");
  EXPECT_EQ(AddValues(Variant("2"), Variant(3)).AsText(), "5");
  EXPECT_EQ(AddValues(Variant("2"), Variant("3")).AsText(), "23");
  EXPECT_THROW(AddValues(Variant("abc"), Variant(1)), ConversionError);
  EXPECT_TRUE(AddValues(Variant::Null(), Variant(1)).IsNull());
  // Texts joined stop at the bound rather than take the machine's memory.
  const Variant half(std::string(kMaxTextBytes / 2, 'x'));
  EXPECT_EQ(AddValues(half, half).AsText().size(), kMaxTextBytes);
  try {
    AddValues(half, AddValues(half, Variant("y")));
    ADD_FAILURE();
  } catch (const EngineError& e) {
    EXPECT_NE(std::string(e.what()).find("past the bound of 64 MiB"), std::string::npos);
  }
  EXPECT_EQ(CompareValues(Variant("10"), Variant(9)), 1);     // as numbers
  EXPECT_EQ(CompareValues(Variant("10"), Variant("9")), -1);  // as texts
  EXPECT_EQ(CompareValues(Variant::Null(), Variant(0)), -1);
  EXPECT_EQ(OrValues(Variant(5), Variant(2)).AsInteger(), 7);
  EXPECT_EQ(OrValues(Variant(false), Variant(true)).GetType(), Variant::Type::Boolean);
  EXPECT_THROW(ModValues(Variant(5), Variant(0)), ParserError);
  EXPECT_EQ(AddValues(Variant(DateTime{100}), Variant(1)).GetType(), Variant::Type::Date);
  EXPECT_EQ(SubtractValues(Variant(DateTime{100}), Variant(DateTime{90})).AsText(), "10");
  EXPECT_EQ(Variant(0.1 + 0.2).AsText(), "0.3");  // 15 significant digits
  const std::int64_t big = std::numeric_limits<std::int64_t>::max();
  EXPECT_EQ(AddValues(Variant(big), Variant(1)).GetType(), Variant::Type::Float);
}

}  // namespace
}  // namespace quillet
