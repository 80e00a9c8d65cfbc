// Dates and times as text: the value converted to text wherever a report
// prints one (a bracket's default format, STR, text joined to a date, a date
// kept in a dictionary variable), in the locale's forms; here the built-in
// locale's yyyy-mm-dd and hh:mm:ss.
#include "platform/locale_formats.h"
#include "report/expr/expression_globals.h"
#include "tests/report/formation/formation_support.h"

namespace quillet::test {
namespace {

// 2024-03-05 is day 45356 after 1899-12-30.
constexpr double kMarch5 = 45356;

class DateText : public FormationTest {
 protected:
  void SetUp() override {
    FormationTest::SetUp();
    saved_ = &CurrentLocale();
    SetLocaleFormats(&builtIn_);
  }
  void TearDown() override {
    SetLocaleFormats(saved_);
    FormationTest::TearDown();
  }
  LocaleFormats builtIn_;
  LocaleFormats* saved_ = nullptr;
};

TEST_F(DateText, DatesTimesAndBothAsText) {
  const std::pair<double, const char*> cases[] = {
      {kMarch5, "2024-03-05"}, {kMarch5 + 0.5, "2024-03-05 12:00:00"},
      {0.2468, "05:55:24"},  // a time alone: day 0
      {0, "1899-12-30"},       {kMarch5 + 0.9999999, "2024-03-05 23:59:59"},
  };
  for (const auto& [days, text] : cases) EXPECT_EQ(Variant(DateTime{days}).AsText(), text) << days;
  EXPECT_EQ(AddValues(Variant("on "), Variant(DateTime{kMarch5})).AsText(), "on 2024-03-05");
  EXPECT_EQ(AddValues(Variant(DateTime{kMarch5}), Variant("!")).AsText(), "2024-03-05!");
  EXPECT_EQ(AddValues(Variant(DateTime{kMarch5}), Variant(1)).GetType(), Variant::Type::Date);
}

// Memos, STR and joined texts print what eval prints; a date kept in a
// dictionary variable by a script comes back as the same date.
TEST_F(DateText, ReportsPrintDatesAsDates) {
  TfrReport report;
  report.Template.Dictionary.VariableTable = {{"Due", "0"}};
  PageBuilder b(report.Template);
  b.Memo("Plain", 0, 20, 300, 16, {"[STRTODATE('2024-03-05')]"});
  b.Memo("Str", 0, 40, 300, 16, {"[STR(STRTODATE('2024-03-05') + 0.5)]"});
  b.Memo("Joined", 0, 60, 300, 16, {"[ 'due ' + STRTODATE('2024-03-05')]"});
  b.Memo("Time", 0, 80, 300, 16, {"[STRTOTIME('13:05:09')]"});
  b.Memo("Set", 0, 100, 300, 16, {"x"}).ScriptLines = {"Due := STRTODATE('2024-03-05') + 0.25"};
  b.Memo("Kept", 0, 120, 300, 16, {"[Due] [Due - STRTODATE('2024-03-05')]"});
  ASSERT_TRUE(report.Prepare());
  const auto objects = PageObjects(report, 0);
  auto text = [&](const std::string& name) {
    const PreparedObject* o = FindObject(objects, name);
    return o && !o->Text.empty() ? o->Text[0] : std::string("<none>");
  };
  EXPECT_EQ(text("Plain"), "2024-03-05");
  EXPECT_EQ(text("Str"), "2024-03-05 12:00:00");
  EXPECT_EQ(text("Joined"), "due 2024-03-05");
  EXPECT_EQ(text("Time"), "13:05:09");
  EXPECT_EQ(text("Kept"), "2024-03-05 06:00:00 0.25");
}

}  // namespace
}  // namespace quillet::test
