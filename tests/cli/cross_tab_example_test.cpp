// The cross-tab example over its CSV data: months across, products down,
// row totals in the cross footer, column totals in the master footer and
// the grand total where the two meet.
// The example list renders its pages; this checks where the totals land.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/cli/cli_run.h"
#include "tests/support.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;

using test::RunCli;

QString Q(const fs::path& p) {
  return QString::fromStdString(p.string());
}

const fs::path kExamples = fs::path(QUILLET_TEST_DATA) / ".." / ".." / "examples";

// How often `needle` occurs in `text`.
int Count(const std::string& text, const std::string& needle) {
  int n = 0;
  for (auto at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++n;
  return n;
}

TEST(CrossTabExample, PreparesWithItsDataAndRenders) {
  const fs::path frp = test::OutputPath("example_cross_tab.frp");
  test::CliRun prepare =
      RunCli({"prepare", Q(kExamples / "cross_tab.json"), "-o", Q(frp), "--csv",
              Q("Sales=" + (kExamples / "data" / "sales.csv").string()), "--csv",
              Q("Months=" + (kExamples / "data" / "sales_months.csv").string())});
  ASSERT_EQ(prepare.code, 0) << prepare.err;

  test::CliRun info = RunCli({"info", Q(frp)});
  ASSERT_EQ(info.code, 0) << info.err;
  EXPECT_NE(info.out.find("pages=1"), std::string::npos) << info.out;
  // Twelve month titles, six products of twelve cells each, twelve column
  // totals.
  EXPECT_EQ(Count(info.out, "name=\"MonthTitle\""), 12);
  EXPECT_EQ(Count(info.out, "name=\"Units\""), 72);
  EXPECT_EQ(Count(info.out, "name=\"ColumnTotal\""), 12);
  EXPECT_NE(info.out.find("name=\"MonthTitle\" left=870 top=82 width=62 height=24"),
            std::string::npos);
  // Notebooks over the year, and January over the products.
  EXPECT_NE(info.out.find("name=\"RowTotal\" left=932 top=106 width=80 height=20 frame=#A0A8B0 "
                          "fill=#F2F2F2 visible=1 tag=\"\" text=\"1580\""),
            std::string::npos)
      << info.out;
  EXPECT_NE(info.out.find("name=\"ColumnTotal\" left=188 top=226 width=62 height=24 "
                          "frame=#A0A8B0 fill=#F2F2F2 visible=1 tag=\"\" text=\"870\""),
            std::string::npos)
      << info.out;
  // The corner totals every cell of the rows above it, once.
  EXPECT_EQ(Count(info.out, "name=\"Corner\""), 1);
  EXPECT_NE(info.out.find("name=\"Corner\" left=932 top=226 width=80 height=24 frame=#A0A8B0 "
                          "fill=#F2F2F2 visible=1 tag=\"\" text=\"10858\""),
            std::string::npos)
      << info.out;
}

}  // namespace
}  // namespace quillet
