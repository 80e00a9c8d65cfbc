// Both programs tell the one version the build was made with, without a
// display, as help2man and package tools run them.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>

#include "quillet_version.h"

namespace quillet {
namespace {

struct ProgramOutput {
  int code = -1;
  QString out;
};

ProgramOutput Start(const QString& program, const QStringList& args) {
  QProcess p;
  // No display at all: --version must answer before any window system.
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove(QStringLiteral("DISPLAY"));
  env.remove(QStringLiteral("WAYLAND_DISPLAY"));
  env.remove(QStringLiteral("QT_QPA_PLATFORM"));
  p.setProcessEnvironment(env);
  p.start(program, args);
  p.waitForFinished(60000);
  return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
          QString::fromUtf8(p.readAllStandardOutput())};
}

TEST(VersionTest, BothProgramsPrintTheProjectVersion) {
  const QString version = QString::fromLatin1(kQuilletVersion);
  EXPECT_TRUE(
      QRegularExpression(QStringLiteral("^\\d+\\.\\d+(\\.\\d+)*$")).match(version).hasMatch())
      << version.toStdString();
  const ProgramOutput cli = Start(QStringLiteral(QUILLET_CLI), {QStringLiteral("--version")});
  EXPECT_EQ(cli.code, 0);
  EXPECT_EQ(cli.out, QStringLiteral("quillet-cli ") + version + QLatin1Char('\n'));
  const ProgramOutput app = Start(QStringLiteral(QUILLET_APP), {QStringLiteral("--version")});
  EXPECT_EQ(app.code, 0);
  EXPECT_EQ(app.out, QStringLiteral("quillet ") + version + QLatin1Char('\n'));
}

TEST(VersionTest, HelpTextsNameTheVersionOption) {
  // help2man builds the man pages from these two texts.
  for (const char* program : {QUILLET_CLI, QUILLET_APP}) {
    const ProgramOutput help = Start(QString::fromUtf8(program), {QStringLiteral("--help")});
    EXPECT_EQ(help.code, 0) << program;
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: "))) << program;
    EXPECT_TRUE(help.out.contains(QStringLiteral("--version"))) << program;
  }
}

TEST(VersionTest, TheProgramRefusesUnknownOptions) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  p.setProcessEnvironment(env);
  p.start(QStringLiteral(QUILLET_APP), {QStringLiteral("--zoom")});
  ASSERT_TRUE(p.waitForFinished(60000));
  EXPECT_EQ(p.exitCode(), 2);
  // Qt's own start-up notes may come first.
  const QString err = QString::fromUtf8(p.readAllStandardError());
  EXPECT_TRUE(
      err.contains(QRegularExpression(QStringLiteral("(^|\n)quillet: unknown option --zoom"))))
      << err.toStdString();
}

}  // namespace
}  // namespace quillet
