// quillet-cli template dump|build and JSON templates given to prepare and info.
#include <gtest/gtest.h>

#include <QProcess>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "tests/cli/cli_run.h"
#include "tests/support.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;

using CliResult = test::CliRun;
CliResult Cli(const QStringList& args) {
  test::CliOptions options;
  options.timeoutMs = 300000;
  return test::RunCli(args, options);
}

QString Q(const fs::path& p) {
  return QString::fromStdString(p.string());
}
fs::path Out(const std::string& name) {
  return test::OutputPath(name);
}
const fs::path kRoot = fs::path(QUILLET_TEST_DATA) / ".." / "..";

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}
void Spill(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

TEST(TemplateCli, DumpThenBuildGivesTheSameBytes) {
  for (const char* name : {"banded.frf", "two_pass.frf", "columns.frf"}) {
    SCOPED_TRACE(name);
    const fs::path frf = fs::path(QUILLET_TEST_DATA) / name;
    const fs::path json = Out(std::string("cli_dump_") + name + ".json");
    const fs::path built = Out(std::string("cli_built_") + name);
    CliResult dump = Cli({"template", "dump", Q(frf), "-o", Q(json)});
    ASSERT_EQ(dump.code, 0) << dump.err;
    CliResult toStdout = Cli({"template", "dump", Q(frf)});
    EXPECT_EQ(toStdout.out, Slurp(json));
    CliResult build = Cli({"template", "build", Q(json), "-o", Q(built)});
    ASSERT_EQ(build.code, 0) << build.err;
    EXPECT_EQ(Slurp(built), Slurp(frf));
  }
}

TEST(TemplateCli, BadJsonGivesOneLineWithItsPlaceAndWritesNothing) {
  const fs::path bad = Out("cli_bad.json");
  Spill(bad,
        "{\"pages\": [{\"objects\": [\n  {\"type\": \"band\", \"kind\": \"masterdata\"}]}]}\n");
  const fs::path target = Out("cli_bad_never.frf");
  fs::remove(target);
  CliResult r = Cli({"template", "build", Q(bad), "-o", Q(target)});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("cli_bad.json:2:28: /pages/0/objects/0/kind: unknown band kind"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  EXPECT_FALSE(fs::exists(target));

  Spill(bad, "{\"pages\": [}");
  CliResult syntax = Cli({"prepare", Q(bad), "-o", Q(Out("cli_bad_never.frp"))});
  EXPECT_EQ(syntax.code, 1);
  EXPECT_NE(syntax.err.find("cli_bad.json:1:12: syntax error"), std::string::npos) << syntax.err;
  EXPECT_FALSE(fs::exists(Out("cli_bad_never.frp")));
}

// The form is told by the content: a JSON template named .txt still prepares.
TEST(TemplateCli, PrepareAndInfoTakeJsonWhateverItsName) {
  const fs::path json = Out("cli_shapes_template.txt");
  fs::copy_file(kRoot / "examples/shapes.json", json, fs::copy_options::overwrite_existing);
  CliResult info = Cli({"info", Q(json)});
  ASSERT_EQ(info.code, 0) << info.err;
  EXPECT_EQ(info.out.rfind("file template pages=1", 0), 0u) << info.out;
  EXPECT_NE(info.out.find("Shape10"), std::string::npos) << info.out;
  CliResult prepare = Cli({"prepare", Q(json), "-o", Q(Out("cli_shapes_template.frp"))});
  EXPECT_EQ(prepare.code, 0) << prepare.err;
}

// check and eval --template read a JSON template as prepare does, by its
// content; a JSON mistake is the same one line.
TEST(TemplateCli, CheckAndEvalTakeJsonWhateverItsName) {
  const fs::path json = Out("cli_check_template.data");
  Spill(json, R"({"pages": [{"name": "Page1", "objects": [
  {"type": "memo", "name": "Memo1", "left": 10, "top": 10, "width": 200, "height": 20,
   "text": ["fine [1 + 2]", "broken [(1 + 2]"]}]}]})");
  CliResult check = Cli({"check", Q(json)});
  EXPECT_EQ(check.code, 2) << check.err;
  EXPECT_NE(check.out.find(": error: Memo1 (/pages/0/objects/0/text/1): [(1 + 2]: "),
            std::string::npos)
      << check.out;
  EXPECT_EQ(std::count(check.out.begin(), check.out.end(), '\n'), 2) << check.out;

  CliResult eval = Cli({"eval", "Memo1.Left + 5", "--template", Q(json)});
  EXPECT_EQ(eval.code, 0) << eval.err;
  EXPECT_EQ(eval.out, "15\n");

  Spill(json, "{\"pages\": [}");
  CliResult bad = Cli({"eval", "1", "--template", Q(json)});
  EXPECT_EQ(bad.code, 1);
  EXPECT_NE(bad.err.find("cli_check_template.data:1:12: syntax error"), std::string::npos)
      << bad.err;
  EXPECT_EQ(std::count(bad.err.begin(), bad.err.end(), '\n'), 1) << bad.err;
  // check lists it as its finding.
  bad = Cli({"check", Q(json)});
  EXPECT_EQ(bad.code, 2);
  EXPECT_NE(bad.out.find("cli_check_template.data:1:12: error: syntax error"), std::string::npos)
      << bad.out;
}

}  // namespace
}  // namespace quillet
