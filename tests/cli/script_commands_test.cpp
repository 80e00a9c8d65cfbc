// quillet-cli run-script and check, run as programs.
#include <gtest/gtest.h>

#include <QProcess>
#include <fstream>

#include "report/component/report.h"
#include "report/template/page.h"
#include "report/views/memo/memo_view.h"
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

QString ScriptFile(const std::string& name, const std::string& text) {
  const std::string path = test::OutputPath(name);
  std::ofstream(path, std::ios::binary) << text;
  return QString::fromStdString(path);
}

TEST(ScriptCommands, RunScriptPrintsTheUserVariablesSortedByName) {
  const QString file = ScriptFile("run_total.pas",
                                  "begin\r\n  s := 0;\r\n  for i := 1 to N do s := s + i;\r\n"
                                  "  Name := UPPERCASE('done')\r\nend\r\n");
  CliRun r = Cli({"run-script", file, "--var", "N=4"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "i=5\nN=4\nName=DONE\ns=10\n");

  r = Cli({"run-script", file, "--var", "N=2", "--json"});
  ASSERT_EQ(r.code, 0) << r.err;
  // Numbers in expressions are floating-point; --var typed N as an integer.
  EXPECT_EQ(r.out,
            "{\"i\": {\"type\": \"float\", \"text\": \"3\"}, \"N\": {\"type\": \"integer\", "
            "\"text\": \"2\"}, \"Name\": {\"type\": \"text\", \"text\": \"DONE\"}, \"s\": "
            "{\"type\": \"float\", \"text\": \"3\"}}\n");
}

TEST(ScriptCommands, RunScriptErrorsAndTheStepBound) {
  CliRun r = Cli({"run-script", ScriptFile("run_bad.pas", "if a > 1 b := 2\n")});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "Line 1/10: Need \"then\" here\n");
  EXPECT_EQ(r.out, "");

  r = Cli({"run-script", ScriptFile("run_undefined.pas", "x := y + 1\n")});
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.err.find("Undefined symbol"), std::string::npos) << r.err;

  r = Cli({"run-script", ScriptFile("run_forever.pas", "begin x := 0; while 1 do x := x + 1 end"),
           "--max-steps", "5000"});
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.err, "Script stopped after 5000 steps: it may loop for ever\n");
}

TEST(ScriptCommands, CheckListsEveryProblemOfATemplate) {
  CliRun r = Cli({"check", QString(QUILLET_TEST_DATA) + "/scripted.frf"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "no problems\n");

  TfrReport report;
  TfrPage& page = report.Template.AddPage();
  page.ScriptLines = {"begin", "  x := 1", "  y := 2", "end"};
  auto memo = std::make_unique<TfrMemoView>();
  memo->Name = "Memo1";
  memo->Memo = {"Fine [1 + 2]", "Broken [(1 + 2] and [COPY('a', 1, 1, 1)]"};
  memo->ScriptLines = {"if a b := 1"};
  memo->HighlightCondition = "(Value > 1";
  page.AddObject(std::move(memo));
  auto loose = std::make_unique<TfrMemoView>();
  loose->Name = "Loose";
  loose->ScriptLines = {"x := 1;", "y := 2"};
  page.AddObject(std::move(loose));
  const std::string path = test::OutputPath("check_broken.frf");
  report.SaveTemplateFile(path);
  r = Cli({"check", QString::fromStdString(path)});
  EXPECT_EQ(r.code, 2);
  for (const char* found :
       {": error: Page1 (/pages/0/script): script: Line 3/3: Need \";\" or \"end\" here\n",
        ": error: Memo1 (/pages/0/objects/0/script): script: Line 1/6: Need \"then\" here\n",
        ": error: Memo1 (/pages/0/objects/0/text/1): [(1 + 2]: ",
        ": error: Memo1 (/pages/0/objects/0/text/1): [COPY('a', 1, 1, 1)]: ",
        ": error: Memo1 (/pages/0/objects/0/highlight/condition): (Value > 1: ",
        ": warning: Loose (/pages/0/objects/1/script): script: Line 2/1: only the first "
        "statement runs"})
    EXPECT_NE(r.out.find(found), std::string::npos) << found << "\n" << r.out;
}

}  // namespace
}  // namespace quillet
