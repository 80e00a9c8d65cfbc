// The documentation and the example reports the package installs, and
// quillet-cli's help naming where they are.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QTemporaryDir>
#include <regex>

#include "tests/packaging/packaging_support.h"

namespace quillet {
namespace {

using test::RunProgram;

// The install rules of the "documentation" component, run into `root`.
bool InstallDocumentation(const QString& root, std::string& output) {
  const auto r = RunProgram(QStringLiteral(QUILLET_CMAKE),
                            {"--install", QStringLiteral(QUILLET_BUILD_DIR), "--prefix",
                             root + "/usr", "--component", "documentation"});
  output = r.out + r.err;
  return r.code == 0;
}

TEST(DocumentationTest, ThePackageCarriesTheDocsAndEveryExampleWithItsData) {
  QTemporaryDir root;
  std::string output;
  ASSERT_TRUE(InstallDocumentation(root.path(), output)) << output;
  const QDir doc(root.path() + "/usr/share/doc/quillet");
  EXPECT_TRUE(doc.exists("template-format.md"));
  EXPECT_TRUE(doc.exists("examples/README.md"));
  // Every example, and every data file, as the source tree has them.
  const QDir examples(QStringLiteral(QUILLET_EXAMPLES));
  const QStringList jsons = examples.entryList({"*.json"}, QDir::Files);
  EXPECT_GE(jsons.size(), 7);
  for (const QString& name : jsons)
    EXPECT_TRUE(doc.exists("examples/" + name)) << name.toStdString();
  for (const QString& name : QDir(examples.filePath("data")).entryList(QDir::Files))
    EXPECT_TRUE(doc.exists("examples/data/" + name)) << name.toStdString();
  // The tests' own list stays behind, and nothing under /usr/share/doc runs.
  EXPECT_FALSE(doc.exists("examples/examples.list"));
  for (QDirIterator it(doc.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
    const QFileInfo file(it.next());
    EXPECT_FALSE(file.isExecutable()) << file.filePath().toStdString();
  }
}

TEST(DocumentationTest, TheHelpNamesFilesThePackageInstalls) {
  const auto help = RunProgram(QStringLiteral(QUILLET_CLI), {"--help"});
  ASSERT_EQ(help.code, 0);
  QTemporaryDir root;
  std::string output;
  ASSERT_TRUE(InstallDocumentation(root.path(), output)) << output;
  // Every path under /usr/share/doc/quillet the help names is installed there.
  const std::regex path("/usr/share/doc/quillet[^ \n]*");
  int named = 0;
  for (auto it = std::sregex_iterator(help.out.begin(), help.out.end(), path);
       it != std::sregex_iterator(); ++it, ++named) {
    std::string p = it->str();
    if (p.back() == '.' || p.back() == ';' || p.back() == ',') p.pop_back();
    EXPECT_TRUE(QFileInfo::exists(root.path() + QString::fromStdString(p))) << p;
  }
  EXPECT_GE(named, 2) << help.out;
  EXPECT_NE(help.out.find("/usr/share/doc/quillet/examples/"), std::string::npos);
}

}  // namespace
}  // namespace quillet
