// What quillet-cli tells about files: a bad file's error names it, and a
// job printed to "Print to PDF" prints the PDF's path on standard output.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <fstream>

#include "tests/cli/cli_run.h"
#include "tests/support.h"

namespace quillet {
namespace {

using test::CliRun;
// quillet-cli with HOME (and so the documents folder "Print to PDF" writes
// to) in `home`.
CliRun Cli(const QStringList& args, const QString& home) {
  return test::RunCli(args,
                      {{QStringLiteral("HOME"), home},
                       {QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config")}});
}

void Write(const QString& path, const std::string& bytes) {
  std::ofstream f(path.toStdString(), std::ios::binary);
  f << bytes;
}

TEST(CliNamedOutput, ABadFileIsNamedBesideTheEngineMessage) {
  QTemporaryDir home;
  const QString frp = home.filePath(QStringLiteral("short.frp"));
  Write(frp, std::string("\x18\x00\x00", 3));
  CliRun render = Cli({"render", frp, "--pdf", home.filePath("out.pdf")}, home.path());
  EXPECT_EQ(render.code, 1);
  EXPECT_EQ(render.err,
            "quillet-cli render: Cannot open '" + frp.toStdString() + "': Stream read error\n");

  // A template of a later stream version: the loader's own message, named.
  const QString frf = home.filePath(QStringLiteral("later.frf"));
  Write(frf, std::string("\x30\x00\x00\x00", 4));
  CliRun prepare = Cli({"prepare", frf, "-o", home.filePath("out.frp")}, home.path());
  EXPECT_NE(prepare.code, 0);
  EXPECT_NE(prepare.err.find("Cannot open '" + frf.toStdString() + "': Unsupported FRF format"),
            std::string::npos)
      << prepare.err;
}

// The one line of `out` as a path: an existing PDF in the documents folder.
void ExpectOnePdfIn(const std::string& out, const QString& home) {
  ASSERT_FALSE(out.empty());
  EXPECT_EQ(out.find('\n'), out.size() - 1) << out;
  const QFileInfo pdf(QString::fromStdString(out.substr(0, out.size() - 1)));
  EXPECT_TRUE(pdf.isFile()) << out;
  EXPECT_EQ(pdf.suffix(), QStringLiteral("pdf"));
  EXPECT_EQ(pdf.absolutePath(), QDir(home).filePath(QStringLiteral("Documents")));
}

TEST(CliNamedOutput, PrintingToPdfTellsWhereTheFileWent) {
  QTemporaryDir home;
  CliRun sheet = Cli({"sheet", "--print", "--printer", "Print to PDF"}, home.path());
  ASSERT_EQ(sheet.code, 0) << sheet.err;
  ExpectOnePdfIn(sheet.out, home.path());

  const QString frp = home.filePath(QStringLiteral("sheet.frp"));
  ASSERT_EQ(Cli({"sheet", "--frp", frp}, home.path()).code, 0);
  CliRun print = Cli({"print", frp, "--printer", "Print to PDF"}, home.path());
  ASSERT_EQ(print.code, 0) << print.err;
  ExpectOnePdfIn(print.out, home.path());
  EXPECT_NE(print.out, sheet.out);  // a new file, never the one before
}

}  // namespace
}  // namespace quillet
