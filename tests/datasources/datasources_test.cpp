// Real data sets: CSV files and SQLite files made here, stepped as data
// bands step them, and a template prepared over each.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <filesystem>
#include <fstream>

#include "datasources/csv_source.h"
#include "datasources/field_types.h"
#include "datasources/master_fields.h"
#include "datasources/read_query.h"
#include "datasources/source_dataset.h"
#include "datasources/sql_source.h"
#include "platform/errors.h"
#include "platform/locale_formats.h"
#include "report/views/picture_view.h"
#include "tests/report/formation/formation_support.h"
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
  EXPECT_EQ(TypedFieldValue(""), Variant::Null());  // a blank cell, as SQL NULL
  EXPECT_EQ(TypedFieldValue("99999999999999999999"), Variant("99999999999999999999"));
  // Short numbers take a quicker road to the same values as long ones.
  EXPECT_EQ(TypedFieldValue("+5"), Variant(std::int64_t(5)));
  EXPECT_EQ(TypedFieldValue("-0"), Variant(std::int64_t(0)));
  EXPECT_EQ(TypedFieldValue("00012"), Variant("00012"));
  EXPECT_EQ(TypedFieldValue("123456789012345678"), Variant(std::int64_t(123456789012345678)));
  EXPECT_EQ(TypedFieldValue("+.5"), Variant(0.5));
  EXPECT_EQ(TypedFieldValue("0.1"), Variant(0.1));
  EXPECT_EQ(TypedFieldValue("-1234567890123.45"), Variant(-1234567890123.45));
  EXPECT_EQ(TypedFieldValue("1234567890123456.5"), Variant(1234567890123456.5));
  for (const char* text : {".", "-", "+", "1.5.3", "5-", "Caf\xC3\xA9", " 7", "7 "})
    EXPECT_EQ(TypedFieldValue(text), Variant(text)) << text;
}

TEST(CsvSource, QuotingUtf8AndDelimiter) {
  const std::string path = WriteFile("quoted.csv",
                                     "\xEF\xBB\xBFName,Note,Price\r\n"
                                     "\"Smith, J\",\"said \"\"hi\"\"\",3\r\n"
                                     "Ærø,\"two\nlines\",4.25\n"
                                     "last,,\n"
                                     "1–12 €,À,Ж\n");
  SourceDataset set("People", std::make_unique<CsvSource>(path));
  EXPECT_TRUE(set.HasField("name"));  // the byte-order mark is no part of it
  // Texts reach the engine as written, in any script.
  EXPECT_EQ(Rows(set, {"Name", "Note", "Price"}),
            (std::vector<std::string>{"Smith, J|said \"hi\"|3", "Ærø|two\nlines|4.25", "last||",
                                      "1–12 €|À|Ж"}));

  const std::string semi = WriteFile("semi.csv", "a;b\n1;x,y\n");
  SourceDataset s2("Semi", std::make_unique<CsvSource>(semi, ';'));
  EXPECT_EQ(Rows(s2, {"a", "b"}), (std::vector<std::string>{"1|x,y"}));
}

// A blank cell, quoted or not, holds no value: Null, which a total counts
// as 0 where an empty text would stop the report.
TEST(CsvSource, BlankCellsAreNull) {
  const std::string path = WriteFile("blanks.csv", "a,b,c\n1,,x\n,\"\",2\n3,4,\n");
  SourceDataset set("Blanks", std::make_unique<CsvSource>(path));
  std::vector<std::string> kinds;
  TfrDataset& d = set.Dataset();
  for (d.First(); !d.Eof(); d.Next()) {
    std::string row;
    for (const char* f : {"a", "b", "c"}) row += set.FieldValue(f).IsNull() ? "-" : "v";
    kinds.push_back(row);
  }
  EXPECT_EQ(kinds, (std::vector<std::string>{"v-v", "--v", "vv-"}));
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
  // Bytes that are no UTF-8 (here Windows-1252 "é") are refused with their row.
  for (const char* text : {"a,b\n1,ok\n2,caf\xE9\n", "a,b\n1,ok\n2,caf\xE9", "a\xE9,b\n1,2\n"}) {
    try {
      CsvSource s(WriteFile("not_utf8.csv", text));
      std::vector<Variant> row;
      while (s.Read(row)) {
      }
      ADD_FAILURE() << text;
    } catch (const EngineError& e) {
      EXPECT_NE(std::string(e.what()).find("not_utf8.csv is not UTF-8 text: row "),
                std::string::npos)
          << e.what();
      EXPECT_NE(std::string(e.what()).find(text[1] == '\xE9' ? "row 1 " : "row 3 "),
                std::string::npos)
          << e.what();
    }
  }
  EXPECT_THROW(
      {
        CsvSource s(WriteFile("open_quote.csv", "a,b\n1,\"never closed\n"));
        std::vector<Variant> row;
        while (s.Read(row)) {
        }
      },
      EngineError);
}

// Rows are read a block at a time: cells, quoted line breaks and non-ASCII
// characters that straddle a block's end come out whole, and a fault far
// into the file names its row.
TEST(CsvSource, RowsAcrossBlocksShortAndLongRowsAndLateFaults) {
  std::string text = "n,note,price\n";
  std::vector<std::string> expected;
  for (int i = 1; i <= 6000; ++i) {
    const std::string n = std::to_string(i);
    if (i % 1000 == 0) {
      text += n + ",,\n";
      expected.push_back(n + "||");
    } else if (i % 7 == 0) {
      text += n + ",\"Caf\xC3\xA9 " + n + "\nline two, \"\"quoted\"\"\"," + n + ".5\n";
      expected.push_back(n + "|Café " + n + "\nline two, \"quoted\"|" + n + ".5");
    } else {
      text += n + ",plain " + n + "," + n + ".25\n";
      expected.push_back(n + "|plain " + n + "|" + n + ".25");
    }
  }
  ASSERT_GT(text.size(), 2u * 64 * 1024);
  const std::string path = WriteFile("blocks.csv", text);
  SourceDataset set("Blocks", std::make_unique<CsvSource>(path));
  EXPECT_EQ(Rows(set, {"n", "note", "price"}), expected);
  // Read again from the start, the types as before.
  set.Dataset().First();
  EXPECT_EQ(set.FieldValue("n"), Variant(std::int64_t(1)));
  EXPECT_EQ(set.FieldValue("price"), Variant(1.25));

  const std::string bad = WriteFile("late_fault.csv", text + "6001,\"x\"y,1\n");
  CsvSource source(bad);
  std::vector<Variant> row;
  try {
    while (source.Read(row)) {
    }
    FAIL();
  } catch (const EngineError& e) {
    EXPECT_NE(std::string(e.what()).find("near row 6002"), std::string::npos) << e.what();
  }
}

// Row storage is reused as rows are read: a column whose cells change type
// from row to row, texts growing and shrinking and turning non-ASCII or
// empty, rows wider than those whose storage is kept, and a start again
// from the middle of the file all read as a fresh source would.
TEST(CsvSource, ReusedRowsChangeTypeWidthAndStartAgainMidFile) {
  const std::string mixed = WriteFile("mixed.csv",
                                      "v,w\n"
                                      "1,a\n"
                                      "a text longer than fifteen bytes,2\n"
                                      "\xC3\xA9t\xC3\xA9,abc\n"
                                      "2.5,\n"
                                      "2024-02-29,\"x,y\"\n"
                                      "z,\xE2\x82\xAC\n");
  SourceDataset set("Mixed", std::make_unique<CsvSource>(mixed));
  std::vector<std::pair<Variant, Variant>> rows;
  TfrDataset& d = set.Dataset();
  for (d.First(); !d.Eof(); d.Next()) rows.emplace_back(set.FieldValue("v"), set.FieldValue("w"));
  double leap = 0;
  ASSERT_TRUE(CivilToDays(2024, 2, 29, leap));
  EXPECT_EQ(rows, (std::vector<std::pair<Variant, Variant>>{
                      {Variant(std::int64_t(1)), Variant("a")},
                      {Variant("a text longer than fifteen bytes"), Variant(std::int64_t(2))},
                      {Variant("été"), Variant("abc")},
                      {Variant(2.5), Variant::Null()},  // a blank cell is Null
                      {Variant(DateTime{leap}), Variant("x,y")},
                      {Variant("z"), Variant("€")}}));

  // 80 columns: wider than the rows whose storage is refilled.
  std::string text;
  for (int c = 0; c < 80; ++c) text += (c ? ",c" : "c") + std::to_string(c);
  text += "\n";
  std::vector<std::string> expected;
  for (int r = 0; r < 3000; ++r) {
    const int cells = r % 5 == 0 ? 1 : 80;
    std::string row, shown;
    for (int c = 0; c < 80; ++c) {
      const std::string cell = c >= cells         ? ""
                               : (r + c) % 3 == 0 ? std::to_string(r * c)
                               : (r + c) % 3 == 1 ? "t" + std::to_string(r)
                                                  : "\xC3\xA9" + std::to_string(c);
      row += (c ? "," : "") + cell;
      shown += (c ? "|" : "") + cell;
    }
    text += row + "\n";
    expected.push_back(shown);
  }
  std::vector<std::string> fields;
  for (int c = 0; c < 80; ++c) fields.push_back("c" + std::to_string(c));
  SourceDataset wide("Wide", std::make_unique<CsvSource>(WriteFile("wide.csv", text)));
  EXPECT_EQ(Rows(wide, fields), expected);

  // Stopped in the middle, then read again from the start.
  d.First();
  d.Next();
  d.Next();
  TfrDataset& w = wide.Dataset();
  w.First();
  for (int i = 0; i < 1234; ++i) w.Next();
  EXPECT_EQ(wide.FieldValue("c0").AsText(), "t1234");
  EXPECT_EQ(Rows(wide, fields), expected);
  EXPECT_EQ(Rows(set, {"v"}).size(), 6u);
}

// What a CSV file holds reaches the report as it was written, or the file
// is refused saying where: rows wider or narrower than the header, a column
// named twice, UTF-16 text. A UTF-8 byte-order mark is no part of the first
// name.
TEST(CsvSource, RefusesWhatWouldBeLostOrChanged) {
  struct Case {
    const char* name;
    std::string bytes;
    std::string message;  // empty: read without fault
  };
  const std::string utf16le = std::string("\xFF\xFE", 2) + std::string("n\0,\0p\0\n\0", 8);
  const std::string utf16be = std::string("\xFE\xFF", 2) + std::string("\0n\0,\0p\0\n", 8);
  for (const Case& c : std::vector<Case>{
           {"too_wide.csv", "name,price\nSmith, John,5\n\"Doe, Jane\",7\n",
            "row 2 (counting the header as row 1) has 3 fields where the header has 2"},
           {"narrow.csv", "a,b,c\n1,2,3\n4,5\n",
            "row 3 (counting the header as row 1) has 2 fields"},
           {"late.csv",
            "a,b\n" +
                [] {
                  std::string rows;
                  for (int i = 0; i < 20000; ++i) rows += std::to_string(i) + ",x\n";
                  return rows;
                }() +
                "1,2,3\n",
            "row 20002 "},
           {"last_no_newline.csv", "a,b\n1,2\n3", "row 3 "},
           {"dup.csv", "name,name,price\nfirst,second,1\n",
            "names column 'name' twice (columns 1 and 2)"},
           {"utf16le.csv", utf16le, "is UTF-16 little-endian"},
           {"utf16be.csv", utf16be, "is UTF-16 big-endian"},
           {"utf16_no_mark.csv", std::string("n\0,\0p\0\n\0", 8), "looks like UTF-16"},
           {"bom.csv", "\xEF\xBB\xBFname,price\nx,1\n", ""},
       }) {
    SCOPED_TRACE(c.name);
    const std::string path = WriteFile(c.name, c.bytes);
    try {
      SourceDataset set("Items", std::make_unique<CsvSource>(path));
      const std::size_t rows = Rows(set, {"name"}).size();
      EXPECT_TRUE(c.message.empty()) << "read " << rows << " rows without a word";
      if (c.message.empty()) {
        EXPECT_EQ(Rows(set, {"name", "price"}), std::vector<std::string>{"x|1"});
      }
    } catch (const EngineError& e) {
      EXPECT_FALSE(c.message.empty()) << e.what();
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    }
  }
}

// Codes written with a leading zero stay texts, as do whole columns named to
// stay text; "0" and "0.5" stay numbers.
TEST(CsvSource, LeadingZerosAndTextColumnsKeepTheirCharacters) {
  const std::string path = WriteFile("codes.csv",
                                     "code,zip,qty\n"
                                     "007,02134,0\n"
                                     "0.5,12345,-0.25\n"
                                     "-007,2024-01-02,00.5\n");
  SourceDataset typed("Typed", std::make_unique<CsvSource>(path));
  TfrDataset& d = typed.Dataset();
  std::vector<std::vector<Variant>> rows;
  for (d.First(); !d.Eof(); d.Next())
    rows.push_back({typed.FieldValue("code"), typed.FieldValue("zip"), typed.FieldValue("qty")});
  double day = 0;
  ASSERT_TRUE(CivilToDays(2024, 1, 2, day));
  EXPECT_EQ(rows, (std::vector<std::vector<Variant>>{
                      {Variant("007"), Variant("02134"), Variant(std::int64_t(0))},
                      {Variant(0.5), Variant(std::int64_t(12345)), Variant(-0.25)},
                      {Variant("-007"), Variant(DateTime{day}), Variant("00.5")}}));

  SourceDataset text(
      "Text", std::make_unique<CsvSource>(path, ',', std::vector<std::string>{"zip", "qty"}));
  TfrDataset& t = text.Dataset();
  std::vector<Variant> zips, qtys;
  for (t.First(); !t.Eof(); t.Next()) {
    zips.push_back(text.FieldValue("zip"));
    qtys.push_back(text.FieldValue("qty"));
  }
  EXPECT_EQ(zips,
            (std::vector<Variant>{Variant("02134"), Variant("12345"), Variant("2024-01-02")}));
  EXPECT_EQ(qtys, (std::vector<Variant>{Variant("0"), Variant("-0.25"), Variant("00.5")}));
  EXPECT_EQ(text.FieldValue("code"), Variant::Null());  // past the end

  try {
    CsvSource missing(path, ',', {"zipcode"});
    FAIL();
  } catch (const EngineError& e) {
    EXPECT_NE(std::string(e.what()).find("has no column 'zipcode' to keep as text"),
              std::string::npos)
        << e.what();
  }
}

// A data set's query runs only when it is one reading statement; the
// reason names what stands in the way.
TEST(ReadQuery, OneReadingStatementOnly) {
  struct Case {
    const char* query;
    const char* why;  // empty: a read
  };
  for (const Case& c : std::vector<Case>{
           {"SELECT * FROM t", ""},
           {"  select a FROM t;  ", ""},
           {"-- items\nWITH x AS (SELECT 1) SELECT * FROM x", ""},
           {"(SELECT 1) UNION (SELECT 2)", ""},
           {"VALUES (1), (2)", ""},
           {"SELECT 'a;b', \"c;d\", $$e;f$$, $t$g;h$t$ FROM t /* ; */ -- ;", ""},
           {"SELECT 1;;", ""},
           {"SELECT 1; -- nothing after\n", ""},
           {"", "is empty"},
           {" /* only */ -- a comment", "is empty"},
           {"DELETE FROM stock WHERE name = 'a'", "begins with DELETE, not SELECT"},
           {"delete from stock returning name", "begins with DELETE"},
           {"CREATE TABLE x(y int)", "begins with CREATE"},
           {"SET SESSION CHARACTERISTICS AS TRANSACTION READ WRITE", "begins with SET"},
           {"SELECT name FROM stock; CREATE TABLE pwned(x int)", "holds a second statement"},
           {"SELECT ';' ; DROP TABLE t", "holds a second statement"},
           {"SELECT $x$;$x$; COMMIT", "holds a second statement"},
           {";SELECT 1", "begins with ;"},
       }) {
    SCOPED_TRACE(c.query);
    const std::string why = WhyNotAReadQuery(c.query);
    if (*c.why == '\0')
      EXPECT_EQ(why, "");
    else
      EXPECT_NE(why.find(c.why), std::string::npos) << why;
  }
}

// A query that is not a read never reaches the database, and the message
// names the data set. An SQLite file is opened read-only besides.
TEST(SqlSource, WritingQueriesAreRefusedNamingTheDataSet) {
  const std::string path =
      MakeSqlite("writes.sqlite", {"CREATE TABLE t (k INTEGER)", "INSERT INTO t VALUES (1), (2)"});
  SqlConnection db(path);
  for (const char* query : {"DELETE FROM t", "SELECT k FROM t; DELETE FROM t",
                            "DELETE FROM t RETURNING k", "DROP TABLE t"}) {
    SCOPED_TRACE(query);
    try {
      SqlSource source(db, query, "Items");
      FAIL();
    } catch (const EngineError& e) {
      EXPECT_EQ(std::string(e.what()).rfind("data set 'Items': query", 0), 0u) << e.what();
    }
  }
  SourceDataset set("Items",
                    std::make_unique<SqlSource>(db, "SELECT k FROM t ORDER BY k", "Items"));
  EXPECT_EQ(Rows(set, {"k"}), (std::vector<std::string>{"1", "2"}));

  const std::string folder = OutputPath("a_folder.sqlite");
  std::filesystem::create_directories(folder);
  try {
    SqlConnection none(folder);
    FAIL();
  } catch (const EngineError& e) {
    EXPECT_NE(std::string(e.what()).find("it is a folder"), std::string::npos) << e.what();
  }
}

// Fields are found by name in any order; where two column names differ
// only in letter case, the first of them answers.
TEST(SourceDataset, FieldsByNameInAnyOrderAndTheFirstOfTwoLikeNames) {
  SourceDataset set("Abc", std::make_unique<CsvSource>(WriteFile("abc.csv", "a,b,c\n1,2,3\n")));
  set.Dataset().First();
  std::string order;
  for (const char* f : {"c", "a", "b", "b", "A", "C", "c", "nope", "b"})
    order += set.FieldValue(f).IsNull() ? "-" : set.FieldValue(f).AsText();
  EXPECT_EQ(order, "3122133-2");

  SourceDataset like("Like", std::make_unique<CsvSource>(WriteFile("like.csv", "x,y,X\n1,2,3\n")));
  like.Dataset().First();
  order.clear();
  for (const char* f : {"x", "y", "X", "X", "y", "x"}) order += like.FieldValue(f).AsText();
  EXPECT_EQ(order, "121121");
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
                      "INSERT INTO items VALUES ('ink', 1, 3.25, 'bl\xC3\xA9')"});
  SqlConnection db(path);
  SourceDataset set("Items", std::make_unique<SqlSource>(db, "SELECT * FROM items ORDER BY qty"));
  TfrDataset& d = set.Dataset();
  d.First();
  EXPECT_EQ(set.FieldValue("NAME"), Variant("ink"));
  EXPECT_EQ(set.FieldValue("qty"), Variant(std::int64_t(1)));
  EXPECT_EQ(set.FieldValue("price"), Variant(3.25));
  // Texts reach the engine in its code page, as a CSV file's do.
  EXPECT_EQ(set.FieldValue("note"), Variant("blé"));
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

// A total over a column with a blank cell counts the blank as 0 instead of
// stopping the report on an empty text.
TEST_F(RealDataReports, TotalsOverBlankCsvCells) {
  SourceDataset sales(
      "Sales", std::make_unique<CsvSource>(
                   WriteFile("blank_amount.csv", "Region,Amount\nEast,10\nEast,\nWest,20\n")));
  RegisterDataset(&sales);
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btMasterData, "Data", 0, 20).FormatText = "Sales";
  b.Band(btReportSummary, "Summary", 40, 20);
  b.Memo("Total", 0, 42, 200, 16, {"[SUM([Sales.Amount])] [COUNT(Data)]"});
  ASSERT_TRUE(report.Prepare());
  const auto objects = PageObjects(report, 0);
  ASSERT_EQ(objects.size(), 1u);
  EXPECT_EQ(objects[0].Text, StringList{"30 3"});
}

// A picture whose text is one data reference loads each record's picture
// from a BLOB column, the bytes as the database holds them; a NULL empties it.
TEST_F(RealDataReports, PictureLoadsEachRecordFromABlobColumn) {
  std::vector<QByteArray> bitmaps;
  for (int width : {3, 5}) {
    QImage image(width, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(image.save(&buffer, "BMP"));
    bitmaps.push_back(bytes);
  }
  const std::string path = OutputPath("pictures.sqlite");
  std::filesystem::remove(path);
  {
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "pictures");
    db.setDatabaseName(QString::fromStdString(path));
    ASSERT_TRUE(db.open());
    QSqlQuery q(db);
    ASSERT_TRUE(q.exec("CREATE TABLE pics (n INTEGER, photo BLOB)"));
    for (int n = 0; n < 3; ++n) {
      ASSERT_TRUE(q.prepare("INSERT INTO pics VALUES (?, ?)"));
      q.addBindValue(n);
      q.addBindValue(n < 2 ? QVariant(bitmaps[std::size_t(n)])
                           : QVariant(QMetaType(QMetaType::QByteArray)));
      ASSERT_TRUE(q.exec());
    }
    db.close();
  }
  QSqlDatabase::removeDatabase("pictures");

  SqlConnection db(path);
  SourceDataset pics("Pics", std::make_unique<SqlSource>(db, "SELECT * FROM pics ORDER BY n"));
  RegisterDataset(&pics);
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btMasterData, "Data", 30, 40).FormatText = "Pics";
  auto picture = std::make_unique<TfrPictureView>();
  picture->Name = "Photo";
  picture->SetGeometry(0, 32, 60, 30);
  picture->Memo = {"[Pics.\"photo\"]"};
  b.Page().AddObject(std::move(picture));
  ASSERT_TRUE(report.Prepare());
  UnregisterDataset(&pics);

  report.PreparedPages.RebuildPage(0);
  std::vector<std::vector<std::uint8_t>> loaded;
  for (const auto& v : report.PreparedPages[0].RebuiltPage->Objects)
    if (auto* p = dynamic_cast<const TfrPictureView*>(v.get()))
      loaded.push_back(p->Picture.Bytes());
  ASSERT_EQ(loaded.size(), 3u);
  for (int n = 0; n < 2; ++n)
    EXPECT_EQ(loaded[std::size_t(n)], std::vector<std::uint8_t>(bitmaps[std::size_t(n)].begin(),
                                                                bitmaps[std::size_t(n)].end()));
  EXPECT_TRUE(loaded[2].empty());
}

TEST(MasterFields, MarksBecomePlaceholdersOutsideTextsCommentsAndCasts) {
  const MasterFieldQuery q = FindMasterFields(
      "SELECT ':A.b', x::int, \"c:D.e\" FROM t -- :F.g\n"
      "WHERE k = :Orders.id AND d >= :Orders.Since_2 /* :H.i */ AND y = :lone");
  EXPECT_EQ(q.text,
            "SELECT ':A.b', x::int, \"c:D.e\" FROM t -- :F.g\n"
            "WHERE k = ? AND d >= ? /* :H.i */ AND y = :lone");
  ASSERT_EQ(q.fields.size(), 2u);
  EXPECT_EQ(q.fields[0].dataset + "." + q.fields[0].field, "Orders.id");
  EXPECT_EQ(q.fields[1].dataset + "." + q.fields[1].field, "Orders.Since_2");
  EXPECT_EQ(FindMasterFields("SELECT 1").text, "SELECT 1");
  EXPECT_EQ(FindMasterFields("SELECT :A. FROM t :B.").fields.size(), 0u);
}

class MasterDetail : public FormationTest {};

// The detail query runs again for every order with that order's id, so each
// order shows its own lines and its own total.
TEST_F(MasterDetail, DetailQueryFollowsTheMastersCurrentRecord) {
  const std::string sqlite = MakeSqlite(
      "master_detail.sqlite",
      {"CREATE TABLE orders (id INTEGER, day TEXT)",
       "INSERT INTO orders VALUES (1, '2026-01-05'), (2, '2026-01-06'), (3, '2026-01-07')",
       "CREATE TABLE lines (order_id INTEGER, item TEXT, amount REAL)",
       "INSERT INTO lines VALUES (1, 'pen', 2.5), (3, 'ink', 4), (1, 'pad', 1), (3, 'nib', 3)"});
  SqlConnection db(sqlite);
  SourceDataset orders("Orders",
                       std::make_unique<SqlSource>(db, "SELECT * FROM orders ORDER BY id"));
  RegisterDataset(&orders);
  SourceDataset lines("Lines",
                      std::make_unique<SqlSource>(db,
                                                  "SELECT item, amount FROM lines WHERE order_id = "
                                                  ":Orders.id ORDER BY item"));
  RegisterDataset(&lines);
  TfrReport report;
  PageBuilder b(report.Template);
  b.Band(btMasterData, "Order", 0, 20).FormatText = "Orders";
  b.Memo("OrderText", 0, 2, 200, 16, {"order [Orders.id]"});
  b.Band(btDetailData, "Line", 30, 20).FormatText = "Lines";
  b.Memo("LineText", 0, 32, 200, 16, {"[Lines.item] [Lines.amount]"});
  b.Band(btDetailFooter, "LineFoot", 60, 20);
  b.Memo("LineSum", 0, 62, 200, 16, {"sum [SUM([Lines.amount])]"});
  ASSERT_TRUE(report.Prepare());
  std::vector<std::string> texts;
  for (const auto& o : PageObjects(report, 0)) texts.push_back(o.Text.at(0));
  // Order 2 has no lines, so it is not shown (no PrintIfSubsetEmpty).
  EXPECT_EQ(texts, (std::vector<std::string>{"order 1", "pad 1", "pen 2.5", "sum 3.5", "order 3",
                                             "ink 4", "nib 3", "sum 7"}));
}

TEST(MasterDetailErrors, AMarkNamingNoDataSetOrNoFieldIsRefusedWhenTheQueryRuns) {
  const std::string sqlite = MakeSqlite("master_errors.sqlite",
                                        {"CREATE TABLE t (k INTEGER)", "INSERT INTO t VALUES (1)"});
  SqlConnection db(sqlite);
  SourceDataset master("Master", std::make_unique<SqlSource>(db, "SELECT k FROM t"));
  RegisterDataset(&master);
  // Learning the columns runs with Null values, so no master is needed yet.
  SqlSource missingSet(db, "SELECT k FROM t WHERE k = :Nowhere.k");
  SqlSource missingField(db, "SELECT k FROM t WHERE k = :Master.nothing");
  try {
    missingSet.Rewind();
    ADD_FAILURE() << "no error";
  } catch (const EngineError& e) {
    EXPECT_NE(std::string(e.what()).find("data set 'Nowhere'"), std::string::npos) << e.what();
  }
  try {
    missingField.Rewind();
    ADD_FAILURE() << "no error";
  } catch (const EngineError& e) {
    EXPECT_NE(std::string(e.what()).find("has no field 'nothing'"), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace quillet::test
