// The data options over real data: --csv, --db with --dataset, on every
// command that loads a template, and the one-line errors for a missing
// file, a bad query and an unknown data set, with no output written.
#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>

#include "tests/cli/cli_run.h"
#include "tests/report/formation/formation_support.h"
#include "tests/support.h"

namespace quillet {
namespace {

using test::CliRun;
CliRun Cli(const QStringList& args) {
  return test::RunCli(args);
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

std::string Slurp(const QString& path) {
  std::ifstream in(path.toStdString(), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// The same template as JSON text under a name that does not say so: every
// command tells the form by the content.
QString ItemsJsonTemplate() {
  const QString path = Path("items_template.txt");
  std::ofstream(path.toStdString()) << R"({"pages": [{"name": "Page1", "objects": [
  {"type": "band", "name": "Data", "kind": "masterData", "left": 0, "top": 0, "width": 600,
   "height": 20, "dataSource": "Items"},
  {"type": "memo", "name": "Row", "left": 0, "top": 2, "width": 300, "height": 16,
   "text": ["[Items.Name] [Items.Price]"]},
  {"type": "band", "name": "Summary", "kind": "reportSummary", "left": 0, "top": 40,
   "width": 600, "height": 20},
  {"type": "memo", "name": "Total", "left": 0, "top": 42, "width": 300, "height": 16,
   "text": ["total [SUM([Items.Price])]"]}]}]})";
  return path;
}

// An SQLite file with the table stock (name, price): cap 4, box 6, bag 1.
QString StockDatabase(const std::string& name) {
  const std::string db = test::OutputPath(name);
  std::filesystem::remove(db);
  {
    QSqlDatabase maker = QSqlDatabase::addDatabase("QSQLITE", "cli-stock");
    maker.setDatabaseName(QString::fromStdString(db));
    EXPECT_TRUE(maker.open());
    QSqlQuery q(maker);
    EXPECT_TRUE(q.exec("CREATE TABLE stock (name TEXT, price INTEGER)"));
    EXPECT_TRUE(q.exec("INSERT INTO stock VALUES ('cap', 4), ('box', 6), ('bag', 1)"));
  }
  QSqlDatabase::removeDatabase("cli-stock");
  return QString::fromStdString(db);
}

// "Print to PDF" writes into HOME's documents folder: a fresh one a run.
std::vector<std::pair<QString, QString>> HomeIn(const QTemporaryDir& home) {
  return {{"HOME", home.path()}, {"XDG_CONFIG_HOME", home.path() + "/.config"}};
}

int FilesIn(const QTemporaryDir& home) {
  int n = 0;
  for (const auto& e : std::filesystem::recursive_directory_iterator(home.path().toStdString()))
    n += e.path().extension() == ".pdf";
  return n;
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

// Names in any script reach the PDF as written: its text, extracted again,
// gives back the same characters, as does the prepared file's information.
TEST_F(DataCommands, TextsOfEveryScriptReachThePdfAndCanBeExtracted) {
  const std::vector<std::string> names = {"Zoë's Café", "Łódź notebook", "Карандаш", "日本の紙",
                                          "Ελληνικά",   "שלום עולם",     "😀 emoji"};
  std::string csv = "Name,Price\n";
  for (std::size_t i = 0; i < names.size(); ++i)
    csv += "\"" + names[i] + "\"," + std::to_string(i + 1) + "\n";
  std::ofstream(test::OutputPath("every_script.csv"), std::ios::binary) << csv;
  const QString frp = Path("every_script.frp"), pdf = Path("every_script.pdf");
  const QStringList data{"--csv", "Items=" + Path("every_script.csv")};
  CliRun r = Cli(QStringList{"prepare", ItemsJsonTemplate(), "-o", frp} + data);
  ASSERT_EQ(r.code, 0) << r.err;
  ASSERT_EQ(Cli({"render", frp, "--pdf", pdf}).code, 0);
  QProcess text;
  text.start("pdftotext", {"-layout", pdf, "-"});
  ASSERT_TRUE(text.waitForFinished(60000));
  const std::string extracted = text.readAllStandardOutput().toStdString();
  r = Cli({"info", frp, "--json"});
  ASSERT_EQ(r.code, 0) << r.err;
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::string row = names[i] + " " + std::to_string(i + 1);
    // The PDF writer gives characters past U+FFFF (the emoji) no text
    // mapping: they are drawn but not extracted.
    const std::string extractable = i == 6 ? " emoji" : names[i];
    EXPECT_NE(extracted.find(extractable), std::string::npos) << names[i] << " in\n" << extracted;
    EXPECT_NE(r.out.find(row), std::string::npos) << row;
  }
}

// A field the data lacks would print nothing: check says so first.
TEST_F(DataCommands, CheckWarnsOfAFieldTheDataSetLacks) {
  std::ofstream(test::OutputPath("no_price.csv")) << "Name,Cost\npen,2\n";
  const CliRun r = Cli({"check", ItemsJsonTemplate(), "--csv", "Items=" + Path("no_price.csv")});
  EXPECT_EQ(r.code, 1) << r.err;
  EXPECT_NE(r.out.find("warning: Row (/pages/0/objects/1/text/0): [Items.Price]: data set "
                       "'Items' has no field \"Price\""),
            std::string::npos)
      << r.out;
  EXPECT_EQ(r.out.find("no field \"Name\""), std::string::npos) << r.out;
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

// prepare, render, print, check and eval --template read the same data
// through the same options; render and print prepare a template first.
TEST_F(DataCommands, EveryCommandThatLoadsATemplateTakesTheDataOptions) {
  const QString json = ItemsJsonTemplate();
  std::ofstream(test::OutputPath("every_items.csv")) << "Name\tPrice\npen\t2\nink\t3.5\n";
  const QStringList csv = {"--csv", "Items=" + Path("every_items.csv"), "--csv-delimiter", "tab"};
  const QString frp = Path("every_items.frp");
  test::CliRun r = test::RunCli(QStringList{"prepare", json, "-o", frp} + csv);
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(PreparedTexts(frp), (std::vector<std::string>{"pen 2", "ink 3.5", "total 5.5"}));

  // The template rendered directly draws what its prepared file draws.
  const QString fromTemplate = Path("every_items_template.png");
  const QString fromPrepared = Path("every_items_prepared.png");
  r = test::RunCli(QStringList{"render", json, "--png-file", fromTemplate} + csv);
  ASSERT_EQ(r.code, 0) << r.err;
  r = test::RunCli({"render", frp, "--png-file", fromPrepared});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_GT(Slurp(fromTemplate).size(), 100u);
  EXPECT_EQ(Slurp(fromTemplate), Slurp(fromPrepared));

  QTemporaryDir home;
  r = test::RunCli(QStringList{"print", json, "--printer", "Print to PDF"} + csv, HomeIn(home));
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(FilesIn(home), 1) << r.out;

  r = test::RunCli(QStringList{"check", json} + csv);
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "no problems\n");

  // eval reads the fields of each data set's first record.
  r = test::RunCli(QStringList{"eval", "[Items.Price] * 2", "--template", json} + csv);
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "4\n");
  r = test::RunCli({"eval", "Stock.name", "--template", json, "--db",
                    StockDatabase("every_stock.sqlite"), "--dataset", "Items=SELECT 1",
                    "--dataset=Stock=SELECT name FROM stock ORDER BY name"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "bag\n");
}

// Whichever command, a missing file, a bad query or an unknown data set is
// one line naming it, exit code 1, and nothing written: an existing output
// file keeps its bytes, no PDF is printed and no window opens.
TEST_F(DataCommands, EveryCommandFailsWithOneLineAndWritesNothing) {
  const QString json = ItemsJsonTemplate();
  const QString db = StockDatabase("failing_stock.sqlite");
  std::ofstream(test::OutputPath("failing_other.csv")) << "Name,Price\na,1\n";
  const QString kept = Path("failing_kept.out");
  QTemporaryDir home;

  struct Cause {
    QStringList options;
    std::string named;
  };
  const std::vector<Cause> causes = {
      {{"--csv", "Items=" + Path("nowhere.csv")}, "nowhere.csv"},
      {{"--db", db, "--dataset", "Items=SELECT * FROM missing_table"}, "missing_table"},
      {{"--csv", "Other=" + Path("failing_other.csv")}, "'Items'"},
  };
  const std::vector<QStringList> commands = {
      {"prepare", json, "-o", kept},        {"render", json, "--pdf", kept},
      {"render", json, "--png-file", kept}, {"print", json, "--printer", "Print to PDF"},
      {"eval", "1", "--template", json},    {"preview", json},
  };
  for (const QStringList& command : commands) {
    for (const Cause& cause : causes) {
      SCOPED_TRACE((command + cause.options).join(' ').toStdString());
      std::ofstream(kept.toStdString(), std::ios::binary) << "keep me";
      auto environment = HomeIn(home);
      environment.push_back({"QUILLET_PREVIEW_CLOSE_MS", "0"});
      environment.push_back({"QT_QPA_PLATFORM", "offscreen"});
      const test::CliRun r = test::RunCli(command + cause.options, environment);
      EXPECT_EQ(r.code, 1) << r.err;
      EXPECT_EQ(r.ErrorLines(), 1) << r.err;
      EXPECT_NE(r.err.find(cause.named), std::string::npos) << r.err;
      EXPECT_EQ(r.err.find("preview of"), std::string::npos) << r.err;
      EXPECT_EQ(r.out, "");
      EXPECT_EQ(Slurp(kept), "keep me");
      EXPECT_EQ(FilesIn(home), 0);
    }
  }
  // check fails as loudly, with exit code 2: data it cannot open is one
  // line, a band over a data set no option gives is one of its findings.
  for (const Cause& cause : causes) {
    const test::CliRun r = test::RunCli(QStringList{"check", json} + cause.options);
    EXPECT_EQ(r.code, 2) << r.out << r.err;
    EXPECT_NE((r.err + r.out).find(cause.named), std::string::npos) << r.out << r.err;
  }

  // Data options where no template takes them are mistakes of usage.
  const QString frp = Path("failing.frp");
  ASSERT_EQ(
      test::RunCli({"prepare", json, "-o", frp, "--csv", "Items=" + Path("failing_other.csv")})
          .code,
      0);
  for (const QStringList& misuse :
       {QStringList{"render", frp, "--pdf", kept, "--csv", "Items=" + Path("failing_other.csv")},
        QStringList{"eval", "1", "--csv", "Items=" + Path("failing_other.csv")}}) {
    const test::CliRun r = test::RunCli(misuse);
    EXPECT_EQ(r.code, 2) << r.err;
    EXPECT_EQ(r.ErrorLines(), 1) << r.err;
    EXPECT_EQ(Slurp(kept), "keep me");
  }
}

}  // namespace
}  // namespace quillet
