// quillet-cli check on templates with mistakes, and the calculation errors
// that the same mistakes give when the template is prepared anyway.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <fstream>

#include "tests/cli/cli_run.h"
#include "tests/support.h"

namespace quillet {
namespace {

using test::RunCli;

const QString kFixture = QString(QUILLET_TEST_DATA) + "/check_mistakes.json";
const QString kFixtureData = "Items=" + QString(QUILLET_TEST_DATA) + "/check_mistakes.csv";

// A one-page template with the given objects, written under a name of its own.
QString Template(const std::string& name, const std::string& objects,
                 const std::string& head = "") {
  const std::string path = test::OutputPath(name);
  std::ofstream(path, std::ios::binary)
      << "{" << head << "\"pages\": [{\"name\": \"Page1\", \"objects\": [" << objects << "]}]}";
  return QString::fromStdString(path);
}

const std::string kItemsBand =
    R"({"type": "band", "name": "Lines", "kind": "masterData", "left": 0, "top": 0,
        "width": 600, "height": 20, "dataSource": "Items"})";

// A data band over three records, which needs no data option.
const std::string kCountBand =
    R"({"type": "band", "name": "Lines", "kind": "masterData", "left": 0, "top": 0,
        "width": 600, "height": 20, "dataSource": "3"})";

std::string Memo(const std::string& name, const std::string& text, int top = 2) {
  return R"({"type": "memo", "name": ")" + name + R"(", "left": 0, "top": )" + std::to_string(top) +
         R"(, "width": 300, "height": 16, "text": [")" + text + R"("]})";
}

TEST(CheckCommand, FindsEveryMistakeOfTheFixture) {
  const test::CliRun r = RunCli({"check", kFixture, "--csv", kFixtureData});
  EXPECT_EQ(r.code, 2) << r.out << r.err;
  EXPECT_EQ(r.err, "");
  struct Expected {
    const char* line;  // the whole finding after "FILE:LINE:COLUMN: "
  };
  const Expected expected[] = {
      {"warning: PageNumber (/pages/0/objects/1/text/0): [TOTALPAGES]: TOTALPAGES is 0 in a "
       "report formed once; set \"twoPass\": true"},
      {"warning: Product (/pages/0/objects/3/script): script: Line 2/1: only the first "
       "statement runs; put the statements in begin ... end"},
      {"error: Price (/pages/0/objects/4/text/0): \"[\" at character 1 is never closed: "
       "[Items.\"Price\" #N0.00"},
      {"error: Total (/pages/0/objects/7/text/0): [SUMM([Items.\"Price\"])]: unknown function "
       "SUMM"},
      {"error: LineCount (/pages/0/objects/8/text/0): [COUNT(LineBnd)]: COUNT over band "
       "\"LineBnd\", which page Page1 does not have"},
      {"warning: Stray (/pages/0/objects/9): its top (300) lies in no band of page Page1, so "
       "it does not print; move it into a band"},
      {"warning: OffPage (/pages/0/objects/10): lies outside its page"},
      {"error: Orders (/pages/0/objects/5/dataSource): the data band runs over data set "
       "'Orders', which no --csv or --dataset option gives"},
      {"warning: Product (/pages/0/objects/3/text/0): [Items.\"Nmae\"]: data set 'Items' has "
       "no field \"Nmae\"; did you mean \"Name\"?"},
      {"warning: Product (/pages/0/objects/3/text/0): [Itmes.\"Name\"]: no data set 'Itmes' is "
       "given; did you mean \"Items\"?"},
  };
  for (const Expected& e : expected)
    EXPECT_NE(r.out.find(e.line), std::string::npos) << e.line << "\n" << r.out;
  // Each finding carries the line and column of its member in the file.
  EXPECT_NE(r.out.find("check_mistakes.json:21:21: warning: Product (/pages/0/objects/3/script)"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("\n4 errors, 6 warnings\n"), std::string::npos) << r.out;
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 11) << r.out;
}

TEST(CheckCommand, JsonListsTheSameFindings) {
  const test::CliRun text = RunCli({"check", kFixture, "--csv", kFixtureData});
  const test::CliRun json = RunCli({"check", kFixture, "--csv", kFixtureData, "--json"});
  EXPECT_EQ(json.code, 2) << json.err;
  QJsonParseError error{};
  const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(json.out), &error);
  ASSERT_EQ(error.error, QJsonParseError::NoError) << json.out;
  ASSERT_TRUE(doc.isArray());
  const QJsonArray list = doc.array();
  EXPECT_EQ(list.size(), std::count(text.out.begin(), text.out.end(), '\n') - 1);
  const QJsonObject total = list.at(3).toObject();
  EXPECT_EQ(total["severity"].toString(), "error");
  EXPECT_EQ(total["object"].toString(), "Total");
  EXPECT_EQ(total["pointer"].toString(), "/pages/0/objects/7/text/0");
  EXPECT_EQ(total["file"].toString(), kFixture);
  EXPECT_EQ(total["line"].toInt(), 37);
  EXPECT_GT(total["column"].toInt(), 0);
  EXPECT_EQ(total["message"].toString(), "[SUMM([Items.\"Price\"])]: unknown function SUMM");

  const test::CliRun clean =
      RunCli({"check", Template("check_clean_json.json", Memo("Fine", "[1 + 2]")), "--json"});
  EXPECT_EQ(clean.code, 0) << clean.err;
  EXPECT_EQ(clean.out, "[]\n");
}

// The exit code tells the worst finding: nothing, warnings only, errors.
TEST(CheckCommand, ExitCodeTellsTheWorstFinding) {
  struct Case {
    const char* name;
    std::string objects;
    std::string head;
    int code;
    const char* found;
  };
  const Case cases[] = {
      {"check_code_clean.json", kCountBand + "," + Memo("Fine", "[PAGE#] of [TOTALPAGES]"),
       "\"twoPass\": true, ", 0, "no problems\n"},
      {"check_code_totalpages.json", kCountBand + "," + Memo("Count", "[PAGE#] of [TOTALPAGES]"),
       "", 1, "0 errors, 1 warning\n"},
      {"check_code_function.json",
       kCountBand + "," + Memo("Bad", "[Trimm('a')] [IF(1, 2, 3)] [Trim('b')]"), "", 2,
       "Bad (/pages/0/objects/1/text/0): [Trimm('a')]: unknown function Trimm"},
      {"check_code_member.json",
       R"({"type": "band", "name": "Lines", "kind": "masterData", "dataSorce": "Items"})", "", 2,
       "check_code_member.json:1:111: error: (/pages/0/objects/0/dataSorce): unknown member "
       "\"dataSorce\" here"},
      {"check_code_nested.json", kCountBand + "," + Memo("Nested", "[IF(1, [Lines.Left, 2)]"), "",
       2, "Nested (/pages/0/objects/1/text/0): \"[\" at character 1 is never closed"},
  };
  for (const Case& c : cases) {
    const test::CliRun r = RunCli({"check", Template(c.name, c.objects, c.head)});
    EXPECT_EQ(r.code, c.code) << c.name << "\n" << r.out << r.err;
    EXPECT_NE(r.out.find(c.found), std::string::npos) << c.name << "\n" << r.out;
  }
}

// What check calls errors stops prepare with a calculation error that
// names the template file, the band, the object, the expression and the
// unknown name, with no empty field.
TEST(CheckCommand, PrepareStopsOnWhatCheckCallsErrors) {
  const std::string csv = test::OutputPath("check_prepare_items.csv");
  std::ofstream(csv) << "Name,Category,Price\npen,Pens,2\ncap,Caps,4\n";
  const std::string summary =
      R"({"type": "band", "name": "Summary", "kind": "reportSummary", "left": 0, "top": 40,
          "width": 600, "height": 20})";
  const std::string group =
      R"j({"type": "band", "name": "ByCategory", "kind": "groupHeader", "left": 0, "top": 80,
          "width": 600, "height": 20, "condition": "CATEGORYOF([Items.\"Category\"])"})j";
  const std::string lines =
      R"({"type": "band", "name": "Lines", "kind": "masterData", "left": 0, "top": 120,
          "width": 600, "height": 20, "dataSource": "Items"})";
  struct Case {
    const char* name;
    std::string objects;
    std::vector<std::string> named;
  };
  const Case cases[] = {
      {"check_prepare_function.json",
       kItemsBand + "," + Memo("Row", "[Items.\\\"Name\\\"]") + "," + summary + "," +
           Memo("Total", "[SUMM([Items.\\\"Price\\\"])]", 42),
       {"Band: Summary", "Object: Total", "Expression: [SUMM([Items.\"Price\"])]",
        "Unknown function \"SUMM\""}},
      {"check_prepare_band.json",
       kItemsBand + "," + Memo("Row", "[Items.\\\"Name\\\"]") + "," + summary + "," +
           Memo("LineCount", "[COUNT(LineBnd)]", 42),
       {"Object: LineCount", "Expression: COUNT(LineBnd)",
        "COUNT over band \"LineBnd\", which the page does not have"}},
      {"check_prepare_group.json",
       group + "," + lines + "," + Memo("Row", "[Items.\\\"Name\\\"]", 122),
       {"Band: ByCategory", "Object: ByCategory", "Expression: CATEGORYOF([Items.\"Category\"])",
        "Unknown function \"CATEGORYOF\""}},
  };
  for (const Case& c : cases) {
    const QString json = Template(c.name, c.objects);
    const QString frp = QString::fromStdString(test::OutputPath(std::string(c.name) + ".frp"));
    const test::CliRun r =
        RunCli({"prepare", json, "-o", frp, "--csv", "Items=" + QString::fromStdString(csv)});
    EXPECT_EQ(r.code, 1) << c.name << "\n" << r.err;
    EXPECT_EQ(r.ErrorLines(), 1) << r.err;
    EXPECT_NE(r.err.find("Report: " + json.toStdString() + ";"), std::string::npos) << r.err;
    for (const std::string& part : c.named)
      EXPECT_NE(r.err.find(part), std::string::npos) << c.name << ": " << part << "\n" << r.err;
    EXPECT_EQ(r.err.find(": ;"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("  "), std::string::npos) << r.err;
  }
}

}  // namespace
}  // namespace quillet
