// A two-pass template whose memos carry bracketed expressions, prepared and
// checked text by text: page numbers with the page count, the preparation
// date with a format suffix, arithmetic, IF, a highlight condition and a
// name that refers to itself.
#include <ctime>

#include "platform/errors.h"
#include "report/expr/expression_globals.h"
#include "tests/report/formation/formation_templates.h"

namespace quillet::test {
namespace {

// Page header "Page [PAGE#] of [TOTALPAGES]" on every page, a title with
// the date, a sum, IF and two highlighted memos, and a summary that breaks
// over the following pages.
void BuildExpressions(TfrReport& report) {
  report.Template.TwoPass = true;
  PageBuilder b(report.Template);
  b.Band(btPageHeader, "PageHeader", 0, 30);
  b.Memo("PageNumber", 20, 5, 300, 20, {"Page [PAGE#] of [TOTALPAGES]"});
  b.Band(btReportTitle, "Title", 40, 130);
  b.Memo("Today", 20, 45, 300, 20, {"Printed [DATE #Ddd.mm.yyyy]"});
  b.Memo("Sum", 20, 65, 300, 20, {"2 + 3 * 4 = [2 + 3 * 4], halved [(2 + 3 * 4) / 4 #N0.2]"});
  b.Memo("Choice", 20, 85, 300, 20, {"[IF(TOTALPAGES > 1, 'several pages', 'one page')]"});
  auto& hot = b.Memo("Hot", 20, 105, 300, 20, {"highlighted"});
  hot.HighlightCondition = "PAGE# = 1";
  hot.HighlightStyle = fsBold | fsItalic;
  hot.HighlightColor = 0x0000FF;
  auto& cold = b.Memo("Cold", 20, 125, 300, 20, {"not highlighted"});
  cold.HighlightCondition = "PAGE# = 2";
  cold.HighlightStyle = fsBold;
  b.Band(btReportSummary, "Summary", 200, 40, flStretched | flBandBreaked);
  b.Memo("Body", 20, 205, 400, 30, NumberedLines("Body line", kBodyLines));
}

std::string Today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char buf[16];
  std::strftime(buf, sizeof buf, "%d.%m.%Y", &local);
  return buf;
}

class ExpressionTemplate : public FormationTest {};

TEST_F(ExpressionTemplate, FixtureMatchesTheTemplateBuiltInCode) {
  TfrReport built;
  BuildExpressions(built);
  CheckFixture(built, "expressions.frf");
}

TEST_F(ExpressionTemplate, EveryBracketIsEvaluatedAsThePagesAreFormed) {
  TfrReport report;
  LoadFixture(report, "expressions.frf");
  ASSERT_TRUE(report.Prepare());
  const int pages = report.PreparedPages.Count();
  ASSERT_GE(pages, 2);
  for (int p = 0; p < pages; ++p) {
    const auto objects = PageObjects(report, p);
    const PreparedObject* header = FindObject(objects, "PageNumber");
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->Text,
              StringList{"Page " + std::to_string(p + 1) + " of " + std::to_string(pages)});
  }
  const auto first = PageObjects(report, 0);
  EXPECT_EQ(FindObject(first, "Today")->Text, StringList{"Printed " + Today()});
  EXPECT_EQ(FindObject(first, "Sum")->Text, StringList{"2 + 3 * 4 = 14, halved 3.50"});
  EXPECT_EQ(FindObject(first, "Choice")->Text, StringList{"several pages"});

  // The highlight shows in the prepared memo's font.
  report.PreparedPages.RebuildPage(0);
  const auto& rebuilt = report.PreparedPages[0].RebuiltPage->Objects;
  for (const auto& v : rebuilt) {
    auto* memo = dynamic_cast<TfrMemoView*>(v.get());
    if (!memo) continue;
    if (memo->Name == "Hot") {
      EXPECT_EQ(memo->Font_.Style, fsBold | fsItalic);
      EXPECT_EQ(memo->Font_.Color, 0x0000FFu);
    } else if (memo->Name == "Cold") {
      EXPECT_EQ(memo->Font_.Style, 0);
    }
  }
  report.PreparedPages[0].RebuiltPage.reset();
  // Preparation leaves the template as it was.
  EXPECT_EQ(report.Template.Pages[0]->Objects[1]->Memo, StringList{"Page [PAGE#] of [TOTALPAGES]"});
}

TEST_F(ExpressionTemplate, AnUndefinedNameBecomesOneCalculationError) {
  TfrReport report;
  PageBuilder b(report.Template);
  b.Memo("Broken", 20, 20, 300, 20, {"Total: [Nowhere * 2]"});
  EXPECT_FALSE(report.Prepare() && report.PreparedPages.Count() > 0);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].text.find("Undefined symbol \"NOWHERE\""), std::string::npos)
      << host.messages[0].text;
  EXPECT_NE(host.messages[0].text.find("Object: Broken"), std::string::npos);
  EXPECT_EQ(report.PreparedPages.Count(), 0);
}

}  // namespace
}  // namespace quillet::test
