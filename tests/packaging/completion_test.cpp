// bash completion of quillet-cli: commands and options come from the
// program's own help texts.
#include <gtest/gtest.h>

#include <QFile>

#include "tests/packaging/packaging_support.h"

namespace quillet {
namespace {

const char* const kBashCompletion = "/usr/share/bash-completion/bash_completion";

// What completing `line` (the program's name left out) offers, one a line.
std::string Complete(const std::string& line) {
  const std::string full = std::string(QUILLET_CLI) + " " + line;
  const std::string script =
      std::string("source ") + kBashCompletion + "\nsource " QUILLET_PACKAGING +
      "/quillet-cli.bash-completion\n"
      "COMP_LINE='" +
      full +
      "'; COMP_POINT=${#COMP_LINE}\n"
      "read -ra COMP_WORDS <<<\"$COMP_LINE\"\n"
      "[[ $COMP_LINE == *' ' ]] && COMP_WORDS+=('')\n"
      "COMP_CWORD=$((${#COMP_WORDS[@]} - 1))\n"
      "_quillet_cli\n((${#COMPREPLY[@]} == 0)) || printf '%s\\n' \"${COMPREPLY[@]}\"\n";
  const auto r = test::RunProgram("bash", {"-c", QString::fromStdString(script)});
  EXPECT_EQ(r.code, 0) << r.err;
  return r.out;
}

TEST(CompletionTest, CommandsOptionsAndValuesFollowTheHelpTexts) {
  if (!QFile::exists(kBashCompletion)) GTEST_SKIP() << "bash-completion is not installed";
  EXPECT_EQ(Complete("ren"), "render\n");
  EXPECT_EQ(Complete("pre"), "prepare\npreview\n");
  EXPECT_EQ(Complete("preview x.json --cs"), "--csv\n--csv-delimiter\n--csv-text\n");
  EXPECT_EQ(Complete("check x.json --d"), "--dataset\n--db\n");
  EXPECT_EQ(Complete("preview x.json --w"), "--watch\n");
  EXPECT_EQ(Complete("--v"), "--version\n");
  EXPECT_EQ(Complete("render x.frp --png-"), "--png-file\n");
  EXPECT_EQ(Complete("render x.frp --si"), "--size\n");
  EXPECT_EQ(Complete("sheet --shape st"), "star\n");
  EXPECT_EQ(Complete("sheet --brush "), "solid\nclear\n");
  EXPECT_EQ(Complete("render x.frp --pages 1 --p"),
            "--page-memory\n--pages\n--pdf\n--png\n--png-file\n");
  // Sub-commands come from the command's usage lines; after one, files.
  EXPECT_EQ(Complete("template "), "build\ndump\n");
  EXPECT_EQ(Complete("template d"), "dump\n");
  EXPECT_EQ(Complete("template dump --"), "--help\n");
  // A value that is a number offers nothing.
  EXPECT_EQ(Complete("sheet --count "), "");
}

}  // namespace
}  // namespace quillet
