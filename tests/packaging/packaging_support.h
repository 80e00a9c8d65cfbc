// Helpers of the packaging suite: running a program, and reading files.
#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <fstream>
#include <iterator>
#include <string>

namespace quillet::test {

struct ProgramRun {
  int code = -1;
  std::string out, err;
};

inline ProgramRun RunProgram(
    const QString& program, const QStringList& args,
    const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
  QProcess p;
  p.setProcessEnvironment(env);
  p.start(program, args);
  if (!p.waitForFinished(120000)) return {};
  return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
          p.readAllStandardOutput().toStdString(), p.readAllStandardError().toStdString()};
}

inline std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// True when `name` is a program on the PATH.
inline bool HaveProgram(const char* name) {
  return !QStandardPaths::findExecutable(QString::fromLatin1(name)).isEmpty();
}

}  // namespace quillet::test
