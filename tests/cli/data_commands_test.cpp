// quillet-cli prepare over real data: --csv, --db with --dataset, and the
// one-line errors for a missing file, a bad query and an unknown data set.
#include <gtest/gtest.h>

#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <filesystem>
#include <fstream>

#include "tests/report/formation_support.h"
#include "tests/support.h"

namespace quillet {
namespace {

struct CliRun {
  int code = -1;
  std::string out, err;
};

CliRun Cli(const QStringList& args) {
  QProcess p;
  p.start(QStringLiteral(QUILLET_CLI), args);
  p.waitForFinished(120000);
  return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
          p.readAllStandardOutput().toStdString(), p.readAllStandardError().toStdString()};
}

QString Path(const std::string& name) {
  return QString::fromStdString(test::OutputPath(name));
}

// A template whose data band runs over the data set "Items".
QString ItemsTemplate() {
  TfrReport report;
  test::PageBuilder b(report.Template);
  b.Band(btMasterData, "Data", 0, 20).FormatText = "Items";
  b.Memo("Row", 0, 2, 300, 16, {"[Items.Name] [Items.Price]"});
  b.Band(btReportSummary, "Summary", 40, 20);
  b.Memo("Total", 0, 42, 300, 16, {"total [SUM([Items.Price])]"});
  // One file a test: ctest runs the tests of this file side by side.
  const std::string path = test::OutputPath(
      std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".frf");
  report.SaveTemplateFile(path);
  return QString::fromStdString(path);
}

std::vector<std::string> PreparedTexts(const QString& frp) {
  TfrReport report;
  report.LoadPrepared(frp.toStdString());
  std::vector<std::string> texts;
  for (const auto& o : test::PageObjects(report, 0)) texts.push_back(o.Text.at(0));
  return texts;
}

class DataCommands : public test::FormationTest {};

TEST_F(DataCommands, PrepareOverACsvFileAndAnSqliteQuery) {
  const QString frf = ItemsTemplate();
  std::ofstream(test::OutputPath("items.csv")) << "Name;Price\n\"pen; blue\";2\nink;3.5\n";
  const QString frp = Path("items_csv.frp");
  CliRun r = Cli(
      {"prepare", frf, "-o", frp, "--csv", "items=" + Path("items.csv"), "--csv-delimiter", ";"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(PreparedTexts(frp), (std::vector<std::string>{"pen; blue 2", "ink 3.5", "total 5.5"}));

  const std::string db = test::OutputPath("items.sqlite");
  std::filesystem::remove(db);
  {
    QSqlDatabase maker = QSqlDatabase::addDatabase("QSQLITE", "cli-maker");
    maker.setDatabaseName(QString::fromStdString(db));
    ASSERT_TRUE(maker.open());
    QSqlQuery q(maker);
    ASSERT_TRUE(q.exec("CREATE TABLE stock (name TEXT, price INTEGER)"));
    ASSERT_TRUE(q.exec("INSERT INTO stock VALUES ('cap', 4), ('box', 6), ('bag', 1)"));
  }
  QSqlDatabase::removeDatabase("cli-maker");
  const QString frp2 = Path("items_sql.frp");
  r = Cli({"prepare", frf, "-o", frp2, "--db", QString::fromStdString(db), "--dataset",
           "Items=SELECT name AS Name, price AS Price FROM stock WHERE price > 1 ORDER BY price"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(PreparedTexts(frp2), (std::vector<std::string>{"cap 4", "box 6", "total 10"}));
}

TEST_F(DataCommands, MissingFileBadQueryAndUnknownDataSetGiveOneLine) {
  const QString frf = ItemsTemplate();
  const QString frp = Path("never.frp");
  std::filesystem::remove(frp.toStdString());
  const std::string db = test::OutputPath("empty.sqlite");
  std::filesystem::remove(db);
  {
    QSqlDatabase maker = QSqlDatabase::addDatabase("QSQLITE", "cli-maker2");
    maker.setDatabaseName(QString::fromStdString(db));
    ASSERT_TRUE(maker.open());
    QSqlQuery q(maker);
    ASSERT_TRUE(q.exec("CREATE TABLE t (x INTEGER)"));
  }
  QSqlDatabase::removeDatabase("cli-maker2");

  struct Case {
    QStringList extra;
    std::string named;
  };
  for (const Case& c :
       {Case{{"--csv", "Items=" + Path("nowhere.csv")}, "nowhere.csv"},
        Case{{"--db", QString::fromStdString(db), "--dataset", "Items=SELECT * FROM missing_table"},
             "missing_table"},
        Case{{"--csv", "Other=" + Path("other_items.csv")}, "'Items'"}}) {
    std::ofstream(test::OutputPath("other_items.csv")) << "Name,Price\na,1\n";
    CliRun r = Cli(QStringList{"prepare", frf, "-o", frp} + c.extra);
    EXPECT_EQ(r.code, 1) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_NE(r.err.find(c.named), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(frp.toStdString()));
  }
  CliRun r = Cli({"prepare", frf, "-o", frp, "--dataset", "Items=SELECT 1"});
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.err.find("--db"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace quillet
