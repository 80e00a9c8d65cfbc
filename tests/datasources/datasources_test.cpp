// Real data sets: CSV files and SQLite files made here, stepped as data
// bands step them, and a template prepared over each.
#include <gtest/gtest.h>

#include <QSqlDatabase>
#include <QSqlQuery>
#include <filesystem>
#include <fstream>

#include "datasources/csv_source.h"
#include "datasources/field_types.h"
#include "datasources/source_dataset.h"
#include "datasources/sql_source.h"
#include "platform/errors.h"
#include "tests/report/formation_support.h"
#include "tests/support.h"

namespace quillet::test {
namespace {

std::string WriteFile(const std::string& name, const std::string& bytes) {
  const std::string path = OutputPath(name);
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

// Runs the statements on a new SQLite file and returns its path.
std::string MakeSqlite(const std::string& name, const std::vector<std::string>& statements) {
  const std::string path = OutputPath(name);
  std::filesystem::remove(path);
  {
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "maker");
    db.setDatabaseName(QString::fromStdString(path));
    EXPECT_TRUE(db.open());
    QSqlQuery q(db);
    for (const std::string& s : statements) EXPECT_TRUE(q.exec(QString::fromStdString(s))) << s;
    db.close();
  }
  QSqlDatabase::removeDatabase("maker");
  return path;
}

// Every row of a data set as texts "a|b|c", stepping it as formation does.
std::vector<std::string> Rows(SourceDataset& set, const std::vector<std::string>& fields) {
  std::vector<std::string> rows;
  TfrDataset& d = set.Dataset();
  for (d.First(); !d.Eof(); d.Next()) {
    std::string row;
    for (const std::string& f : fields)
      row += (row.empty() ? "" : "|") + set.FieldValue(f).AsText();
    rows.push_back(row);
  }
  return rows;
}

TEST(FieldTypes, CellsBecomeIntegersDecimalsDatesOrText) {
  EXPECT_EQ(TypedFieldValue("42"), Variant(std::int64_t(42)));
  EXPECT_EQ(TypedFieldValue("-7"), Variant(std::int64_t(-7)));
  EXPECT_EQ(TypedFieldValue("2.50"), Variant(2.5));
  EXPECT_EQ(TypedFieldValue("-.5"), Variant(-0.5));
  EXPECT_EQ(TypedFieldValue("1899-12-31"), Variant(DateTime{1}));
  // Not a date, not a number: text as it stands.
  EXPECT_EQ(TypedFieldValue("2023-02-30"), Variant("2023-02-30"));
  EXPECT_EQ(TypedFieldValue("1e5"), Variant("1e5"));
  EXPECT_EQ(TypedFieldValue("12."), Variant("12."));
  EXPECT_EQ(TypedFieldValue(""), Variant(""));
  EXPECT_EQ(TypedFieldValue("99999999999999999999"), Variant("99999999999999999999"));
}

TEST(CsvSource, QuotingUtf8AndDelimiter) {
  const std::string path = WriteFile("quoted.csv",
                                     "\xEF\xBB\xBFName,Note,Price\r\n"
                                     "\"Smith, J\",\"said \"\"hi\"\"\",3\r\n"
                                     "Ærø,\"two\nlines\",4.25\n"
                                     "last,,\n");
  SourceDataset set("People", std::make_unique<CsvSource>(path));
  EXPECT_TRUE(set.HasField("name"));  // the byte-order mark is no part of it
  EXPECT_EQ(Rows(set, {"Name", "Note", "Price"}),
            (std::vector<std::string>{"Smith, J|said \"hi\"|3", "Ærø|two\nlines|4.25", "last||"}));

  const std::string semi = WriteFile("semi.csv", "a;b\n1;x,y\n");
  SourceDataset s2("Semi", std::make_unique<CsvSource>(semi, ';'));
  EXPECT_EQ(Rows(s2, {"a", "b"}), (std::vector<std::string>{"1|x,y"}));
}

TEST(CsvSource, BadFilesNameThemselves) {
  const std::string missing = OutputPath("no_such.csv");
  try {
    CsvSource s(missing);
    FAIL();
  } catch (const EngineError& e) {
    EXPECT_NE(std::string(e.what()).find(missing), std::string::npos);
  }
  EXPECT_THROW(CsvSource(WriteFile("empty.csv", "")), EngineError);
  EXPECT_THROW(
      {
        CsvSource s(WriteFile("open_quote.csv", "a,b\n1,\"never closed\n"));
        std::vector<Variant> row;
        while (s.Read(row)) {
        }
      },
      EngineError);
}

TEST(SourceDataset, StepsBackOneRecordAndForwardWithoutRereading) {
  std::string text = "n\n";
  for (int i = 1; i <= 5; ++i) text += std::to_string(i) + "\n";
  SourceDataset set("N", std::make_unique<CsvSource>(WriteFile("n.csv", text)));
  TfrDataset& d = set.Dataset();
  d.First();
  d.Next();
  d.Next();
  EXPECT_EQ(set.FieldValue("n").AsInteger(), 3);
  d.Prior();
  EXPECT_EQ(set.FieldValue("n").AsInteger(), 2);
  EXPECT_EQ(d.RecordNumber, 1);
  EXPECT_THROW(d.Prior(), EngineError);  // one step only
  d.Next();
  EXPECT_EQ(set.FieldValue("n").AsInteger(), 3);
  d.Next();
  d.Next();
  d.Next();
  EXPECT_TRUE(d.Eof());
  EXPECT_TRUE(set.FieldValue("n").IsNull());
  d.First();  // starts over from the file
  EXPECT_EQ(set.FieldValue("n").AsInteger(), 1);
}

TEST(SqlSource, RowsByColumnTypeAndErrors) {
  const std::string path = MakeSqlite(
      "shop.sqlite", {"CREATE TABLE items (name TEXT, qty INTEGER, price REAL, note TEXT)",
                      "INSERT INTO items VALUES ('pen', 2, 1.5, NULL)",
                      "INSERT INTO items VALUES ('ink', 1, 3.25, 'blue')"});
  SqlConnection db(path);
  SourceDataset set("Items", std::make_unique<SqlSource>(db, "SELECT * FROM items ORDER BY qty"));
  TfrDataset& d = set.Dataset();
  d.First();
  EXPECT_EQ(set.FieldValue("NAME"), Variant("ink"));
  EXPECT_EQ(set.FieldValue("qty"), Variant(std::int64_t(1)));
  EXPECT_EQ(set.FieldValue("price"), Variant(3.25));
  d.Next();
  EXPECT_TRUE(set.FieldValue("note").IsNull());
  d.Prior();
  EXPECT_EQ(set.FieldValue("name"), Variant("ink"));
  d.Next();
  d.Next();
  EXPECT_TRUE(d.Eof());

  try {
    SqlSource bad(db, "SELECT nothing FROM nowhere");
    FAIL();
  } catch (const EngineError& e) {
    EXPECT_NE(std::string(e.what()).find("nowhere"), std::string::npos) << e.what();
  }
  EXPECT_THROW(SqlConnection(OutputPath("absent.sqlite")), EngineError);
  EXPECT_FALSE(std::filesystem::exists(OutputPath("absent.sqlite")));
}

class RealDataReports : public FormationTest {};

TEST_F(RealDataReports, GroupsAndTotalsOverCsvAndSqlite) {
  const std::string csv = WriteFile("sales.csv", "Region,Amount\nEast,10\nEast,20\nWest,5\n");
  const std::string sqlite = MakeSqlite(
      "sales.sqlite", {"CREATE TABLE sales (Region TEXT, Amount INTEGER)",
                       "INSERT INTO sales VALUES ('East', 10), ('East', 20), ('West', 5)"});
  SqlConnection db(sqlite);
  for (int source = 0; source < 2; ++source) {
    SCOPED_TRACE(source);
    std::unique_ptr<RowSource> rows;
    if (source == 0)
      rows = std::make_unique<CsvSource>(csv);
    else
      rows = std::make_unique<SqlSource>(db, "SELECT * FROM sales");
    SourceDataset sales("Sales", std::move(rows));
    RegisterDataset(&sales);
    TfrReport report;
    PageBuilder b(report.Template);
    b.Band(btGroupHeader, "Group", 0, 20).FormatText = "Sales.Region";
    b.Band(btMasterData, "Data", 30, 20).FormatText = "SALES";
    b.Memo("Row", 0, 32, 200, 16, {"[Sales.\"Region\"] [Sales.Amount]"});
    b.Band(btGroupFooter, "GroupFoot", 60, 20);
    b.Memo("Sub", 0, 62, 200, 16, {"[Sales.Region] [SUM([Sales.Amount])]"});
    b.Band(btReportSummary, "Summary", 100, 20);
    b.Memo("Total", 0, 102, 200, 16, {"[SUM([Sales.Amount])] [AVG([Sales.Amount])]"});
    ASSERT_TRUE(report.Prepare());
    std::vector<std::string> texts;
    for (const auto& o : PageObjects(report, 0)) texts.push_back(o.Text.at(0));
    EXPECT_EQ(texts, (std::vector<std::string>{"East 10", "East 20", "East 30", "West 5", "West 5",
                                               "35 11.6666666666667"}));
  }
}

}  // namespace
}  // namespace quillet::test
