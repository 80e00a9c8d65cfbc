// The example reports of examples/: every example examples/examples.list
// names is prepared with its data options, compared with its committed
// pages (examples/expected/NAME.frp), its texts checked and its pages
// rendered to test-output/examples/NAME/page-001.png, ... for looking at.
#include <gtest/gtest.h>

#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "tests/cli/cli_run.h"
#include "tests/support.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;

const fs::path kRoot = fs::path(QUILLET_TEST_DATA) / ".." / "..";
const fs::path kExamples = kRoot / "examples";

using CliResult = test::CliRun;
// Runs in the repository root, where the manifest's paths start.
CliResult Cli(const QStringList& args) {
  test::CliOptions options;
  options.workingDirectory = QString::fromStdString(kRoot.string());
  options.timeoutMs = 300000;
  return test::RunCli(args, options);
}

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

std::vector<std::string> Split(const std::string& s, char sep) {
  std::vector<std::string> parts;
  std::istringstream in(s);
  for (std::string part; std::getline(in, part, sep);) parts.push_back(Trim(part));
  return parts;
}

// Options as a shell splits them: words apart by spaces, double quotes
// holding a word together.
QStringList Words(const std::string& s) {
  QStringList words;
  std::string word;
  bool quoted = false, any = false;
  for (char c : s) {
    if (c == '"') {
      quoted = !quoted;
      any = true;
    } else if (c == ' ' && !quoted) {
      if (any) words << Q(word);
      word.clear();
      any = false;
    } else {
      word += c;
      any = true;
    }
  }
  if (any) words << Q(word);
  return words;
}

// One line of examples/examples.list:
//   name | pages | data options | texts the pages show, ";" between | description
struct Example {
  std::string name;
  int pages = 0;
  std::string options;
  std::vector<std::string> texts;
  std::string description;
};

std::vector<Example> ReadManifest() {
  std::vector<Example> examples;
  std::ifstream in(kExamples / "examples.list");
  EXPECT_TRUE(in) << "examples/examples.list cannot be read";
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    if (Trim(line).empty() || Trim(line)[0] == '#') continue;
    const std::vector<std::string> fields = Split(line, '|');
    if (fields.size() != 5) {
      ADD_FAILURE() << "examples.list:" << number << ": wants 5 fields, has " << fields.size();
      continue;
    }
    Example e{fields[0], std::atoi(fields[1].c_str()), fields[2], {}, fields[4]};
    for (const std::string& text : Split(fields[3], ';'))
      if (!text.empty()) e.texts.push_back(text);
    EXPECT_GT(e.pages, 0) << "examples.list:" << number;
    EXPECT_FALSE(e.description.empty()) << "examples.list:" << number;
    examples.push_back(e);
  }
  return examples;
}

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(Examples, EveryListedExamplePreparesShowsItsTextsAndRenders) {
  const std::vector<Example> examples = ReadManifest();
  ASSERT_FALSE(examples.empty());
  for (const Example& e : examples) {
    SCOPED_TRACE(e.name);
    const std::string frp = test::OutputPath("example_" + e.name + ".frp");
    CliResult prepare = Cli(
        QStringList{"prepare", Q("examples/" + e.name + ".json"), "-o", Q(frp)} + Words(e.options));
    ASSERT_EQ(prepare.code, 0) << prepare.err;
    // The pages as committed: a change to them is either a fault or is
    // refreshed on purpose with tools/update_expected_examples.sh.
    const std::string expected = "examples/expected/" + e.name + ".frp";
    CliResult diff = Cli({"diff", Q(expected), Q(frp)});
    EXPECT_EQ(diff.code, 0) << e.name << "'s pages differ from " << expected << ":\n"
                            << diff.out << diff.err
                            << "if the change is intended: bash tools/update_expected_examples.sh";
    CliResult info = Cli({"info", Q(frp)});
    ASSERT_EQ(info.code, 0) << info.err;
    for (const std::string& text : e.texts)
      EXPECT_NE(info.out.find(text), std::string::npos) << "no page shows \"" << text << '"';

    const fs::path pngs = test::OutputPath("examples/" + e.name);
    fs::remove_all(pngs);
    fs::create_directories(pngs);
    CliResult render = Cli({"render", Q(frp), "--png", Q(pngs.string())});
    ASSERT_EQ(render.code, 0) << render.err;
    int pages = 0;
    for (const auto& png : fs::directory_iterator(pngs)) pages += png.path().extension() == ".png";
    EXPECT_EQ(pages, e.pages);
  }
}

// An example without its line would never be tried; a line without its
// example, or missing from the README with its exact options, misleads.
TEST(Examples, ManifestJsonFilesAndReadmeAgree) {
  std::set<std::string> listed;
  const std::string readme = Slurp(kExamples / "README.md");
  for (const Example& e : ReadManifest()) {
    EXPECT_TRUE(listed.insert(e.name).second) << e.name << " is listed twice";
    EXPECT_TRUE(fs::exists(kExamples / (e.name + ".json"))) << e.name << ".json is missing";
    EXPECT_NE(readme.find("`" + e.name + ".json`"), std::string::npos)
        << "examples/README.md does not describe " << e.name;
    EXPECT_NE(readme.find("examples/" + e.name + ".json -o out/" + e.name + ".frp" +
                          (e.options.empty() ? "" : " " + e.options)),
              std::string::npos)
        << "examples/README.md has no prepare command for " << e.name << " with its options";
  }
  for (const auto& entry : fs::directory_iterator(kExamples)) {
    if (entry.path().extension() != ".json") continue;
    EXPECT_TRUE(listed.count(entry.path().stem().string()))
        << entry.path().filename() << " has no line in examples/examples.list";
  }
}

// docs/template-format.md shows price_list.json "exactly as template dump
// writes it"; an edit to the example must reach the document.
TEST(Examples, FormatDocumentShowsThePriceListAsItStands) {
  const std::string doc = Slurp(kRoot / "docs" / "template-format.md");
  EXPECT_NE(doc.find("```json\n" + Slurp(kExamples / "price_list.json") + "```"),
            std::string::npos);
}

// The rows of every table, in a fixed order, as text.
std::string TableRows(const std::string& path) {
  std::string rows;
  {
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "examples");
    db.setDatabaseName(Q(path));
    EXPECT_TRUE(db.open()) << path;
    QSqlQuery tables(db);
    tables.exec("SELECT name, sql FROM sqlite_master ORDER BY name");
    std::vector<std::string> names;
    while (tables.next()) {
      names.push_back(tables.value(0).toString().toStdString());
      rows += tables.value(1).toString().toStdString() + "\n";
    }
    for (const std::string& table : names) {
      QSqlQuery q(db);
      EXPECT_TRUE(q.exec(Q("SELECT * FROM \"" + table + "\" ORDER BY 1")));
      while (q.next()) {
        rows += table + ":";
        for (int i = 0; i < q.record().count(); ++i)
          rows += " " + q.value(i).toString().toStdString();
        rows += "\n";
      }
    }
  }
  QSqlDatabase::removeDatabase("examples");
  return rows;
}

// shop.sqlite is built from shop.sql (build_shop_db.sh); a change to one
// that does not reach the other fails here.
TEST(Examples, ShopDatabaseHoldsWhatItsSqlSays) {
  const std::string fresh = test::OutputPath("examples_shop_fresh.sqlite");
  fs::remove(fresh);
  {
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "fresh");
    db.setDatabaseName(Q(fresh));
    ASSERT_TRUE(db.open());
    db.transaction();  // one write to the disk, not one per row
    std::string statement;
    std::ifstream in(kExamples / "data" / "shop.sql");
    ASSERT_TRUE(in);
    for (std::string line; std::getline(in, line);) {
      if (line.rfind("--", 0) == 0) continue;
      statement += line + "\n";
      if (Trim(line).empty() || Trim(line).back() != ';') continue;
      QSqlQuery q(db);
      EXPECT_TRUE(q.exec(Q(statement))) << statement;
      statement.clear();
    }
    EXPECT_EQ(Trim(statement), "") << "shop.sql ends inside a statement";
    db.commit();
  }
  QSqlDatabase::removeDatabase("fresh");
  const std::string built = TableRows((kExamples / "data" / "shop.sqlite").string());
  EXPECT_GT(built.size(), 1000u);
  EXPECT_EQ(built, TableRows(fresh));
}

}  // namespace
}  // namespace quillet
