// quillet-cli run as a program, for the command-line suites: its exit code
// and what it wrote, with environment variables set (or, given a null
// value, removed) when asked.
#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace quillet::test {

struct CliRun {
  int code = -1;  // -1 when it crashed or did not end in time
  std::string out, err;
  int ErrorLines() const { return static_cast<int>(std::count(err.begin(), err.end(), '\n')); }
};

inline CliRun RunCli(const QStringList& args,
                     const std::vector<std::pair<QString, QString>>& environment = {}) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const auto& [name, value] : environment) {
    if (value.isNull())
      env.remove(name);
    else
      env.insert(name, value);
  }
  p.setProcessEnvironment(env);
  p.start(QStringLiteral(QUILLET_CLI), args);
  p.waitForFinished(120000);
  return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
          p.readAllStandardOutput().toStdString(), p.readAllStandardError().toStdString()};
}

}  // namespace quillet::test
