// The quillet-cli man page as the package builds it (help2man over the
// --help texts, with one section per command): each command is an entry
// of its own in the list, and has its own section.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <regex>

#include "tests/packaging/packaging_support.h"

namespace quillet {
namespace {

using test::RunProgram;

// The command names of `quillet-cli --help`, in order.
std::vector<std::string> Commands() {
  const auto help = RunProgram(QStringLiteral(QUILLET_CLI), {"--help"});
  std::vector<std::string> names;
  const auto block = help.out.find("Commands:\n");
  if (block == std::string::npos) return names;
  const std::regex line("^  ([a-z][a-z-]*) ");
  std::size_t at = block + 10;
  while (at < help.out.size() && help.out[at] != '\n') {
    const std::size_t end = help.out.find('\n', at);
    std::smatch m;
    const std::string text = help.out.substr(at, end - at);
    if (std::regex_search(text, m, line)) names.push_back(m[1]);
    at = end + 1;
  }
  return names;
}

TEST(ManPageTest, EveryCommandIsAnEntryAndASectionOfItsOwn) {
  if (!test::HaveProgram("help2man")) GTEST_SKIP() << "help2man is not installed";
  QTemporaryDir dir;
  const QString include = dir.filePath("commands.h2m");
  const QString page = dir.filePath("quillet-cli.1");
  auto r = RunProgram(QStringLiteral(QUILLET_CMAKE),
                      {"-DCLI=" QUILLET_CLI, "-DOUT=" + include, "-P",
                       QStringLiteral(QUILLET_PACKAGING "/man_commands.cmake")});
  ASSERT_EQ(r.code, 0) << r.err;
  r = RunProgram("help2man", {"--no-info", "--no-discard-stderr", "--section", "1", "--name", "x",
                              "--include", include, "--output", page, QUILLET_CLI});
  ASSERT_EQ(r.code, 0) << r.err;
  const std::string roff = test::ReadFileBytes(page.toStdString());

  const std::vector<std::string> names = Commands();
  ASSERT_GE(names.size(), 11u);
  for (std::string name : names) {
    name = std::regex_replace(name, std::regex("-"), "\\-");
    EXPECT_NE(roff.find(".TP\n" + name + "\n"), std::string::npos) << name << "\n" << roff;
    EXPECT_NE(roff.find(".SS " + std::regex_replace(name, std::regex("\\\\-"), "-") + "\n"),
              std::string::npos)
        << name;
  }
}

}  // namespace
}  // namespace quillet
