// --sort over a CSV data set: a grouped report comes out with each group
// once, check warns about data out of group order, and a --sort that cannot
// apply is one line naming what is wrong.
#include <gtest/gtest.h>

#include <QString>
#include <filesystem>
#include <fstream>

#include "tests/cli/cli_run.h"
#include "tests/report/formation/formation_support.h"
#include "tests/support.h"

namespace quillet {
namespace {

using test::RunCli;

QString Path(const std::string& name) {
  return QString::fromStdString(test::OutputPath(name));
}

// Articles grouped by category: a heading per group, a line per article.
QString GroupedTemplate() {
  const QString path = Path("sort_grouped.json");
  std::ofstream(path.toStdString()) << R"({"pages": [{"name": "Page1", "objects": [
  {"type": "band", "name": "ByCategory", "kind": "groupHeader", "left": 0, "top": 0,
   "width": 600, "height": 20, "condition": "Items.\"Category\""},
  {"type": "memo", "name": "Heading", "left": 0, "top": 2, "width": 300, "height": 16,
   "text": ["== [Items.\"Category\"]"]},
  {"type": "band", "name": "Articles", "kind": "masterData", "left": 0, "top": 30,
   "width": 600, "height": 20, "dataSource": "Items"},
  {"type": "memo", "name": "Row", "left": 0, "top": 32, "width": 300, "height": 16,
   "text": ["[Items.\"Name\"] [Items.\"Price\"]"]}]}]})";
  return path;
}

QString UnsortedCsv() {
  const QString path = Path("sort_items.csv");
  std::ofstream(path.toStdString()) << "Name,Category,Price\n"
                                       "pen,Pens,2\n"
                                       "ream,Paper,5.5\n"
                                       "nib,Pens,10\n"
                                       "card,Paper,9\n"
                                       "ink,Ink,3\n";
  return path;
}

std::vector<std::string> PreparedTexts(const QString& frp) {
  TfrReport report;
  report.LoadPrepared(frp.toStdString());
  std::vector<std::string> texts;
  for (const auto& o : test::PageObjects(report, 0)) texts.push_back(o.Text.at(0));
  return texts;
}

class SortOption : public test::FormationTest {};

TEST_F(SortOption, GroupsComeOutOnceInTheOrderOfTheKeys) {
  const QString frp = Path("sort_grouped.frp");
  const QString csv = "Items=" + UnsortedCsv();
  auto r = RunCli({"prepare", GroupedTemplate(), "-o", frp, "--csv", csv, "--sort",
                   "Items=Category,Price DESC"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(PreparedTexts(frp),
            (std::vector<std::string>{"== Ink", "ink 3", "== Paper", "card 9", "ream 5.5",
                                      "== Pens", "nib 10", "pen 2"}));
  // Unsorted, a category's rows that are apart make a group each.
  r = RunCli({"prepare", GroupedTemplate(), "-o", frp, "--csv", csv});
  ASSERT_EQ(r.code, 0) << r.err;
  const auto texts = PreparedTexts(frp);
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "== Pens"), 2);
}

TEST_F(SortOption, CheckWarnsWhenAGroupsRowsAreApart) {
  const QString csv = "Items=" + UnsortedCsv();
  auto r = RunCli({"check", GroupedTemplate(), "--csv", csv});
  EXPECT_EQ(r.code, 1) << r.err;
  EXPECT_NE(r.out.find("warning: ByCategory (/pages/0/objects/"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("): the group 'Pens' comes again at record 3 of Items"), std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("0 errors, 1 warning\n"), std::string::npos) << r.out;

  r = RunCli({"check", GroupedTemplate(), "--csv", csv, "--sort", "items=category"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "no problems\n");
}

TEST_F(SortOption, ASortThatCannotApplyIsOneLineNamingIt) {
  const QString frp = Path("sort_never.frp");
  std::filesystem::remove(frp.toStdString());
  const QString csv = "Items=" + UnsortedCsv();
  struct Case {
    QStringList sort;
    std::string named;
  };
  const Case cases[] = {
      {{"--sort", "Other=Name"}, "'Other', which no --csv option gives"},
      {{"--sort", "Items"}, "--sort wants NAME=COLUMN"},
      {{"--sort", "Items=Name,,Price"}, "empty column name"},
      {{"--sort", "Items=Colour"},
       "by 'Colour': it has no such column (its columns: Name, "
       "Category, Price)"},
      {{"--sort", "Items=Name", "--sort", "ITEMS=Price"}, "names the data set 'ITEMS' twice"},
  };
  for (const Case& c : cases) {
    const auto r =
        RunCli(QStringList{"prepare", GroupedTemplate(), "-o", frp, "--csv", csv} + c.sort);
    EXPECT_NE(r.code, 0) << c.named;
    EXPECT_EQ(r.ErrorLines(), 1) << r.err;
    EXPECT_NE(r.err.find(c.named), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(frp.toStdString())) << c.named;
  }
}

}  // namespace
}  // namespace quillet
