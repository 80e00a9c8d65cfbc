// quillet-cli run as a program, for the command-line suites: its exit code
// and what it wrote, with environment variables set (or, given a null
// value, removed), a working folder and standard input when asked.
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace quillet::test {

using Environment = std::vector<std::pair<QString, QString>>;

struct CliOptions {
  Environment environment;
  QString workingDirectory;  // empty: the test's own
  QByteArray input;          // null: standard input is left closed to nothing
  // Generous: the sanitized run on a loaded two-core machine takes seconds
  // for the runs that form a million pages before they are stopped.
  int timeoutMs = 180000;
};

struct CliRun {
  bool finished = false;  // exited on its own, in time, without a signal
  int code = -1;          // -1 when it crashed or did not end in time
  std::string out, err;
  int ErrorLines() const { return static_cast<int>(std::count(err.begin(), err.end(), '\n')); }
  // The last line written to standard error.
  std::string LastLine() const {
    const std::string trimmed = err.substr(0, err.find_last_not_of('\n') + 1);
    return trimmed.substr(trimmed.find_last_of('\n') + 1);
  }
};

inline CliRun RunCli(const QStringList& args, const CliOptions& options) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const auto& [name, value] : options.environment) {
    if (value.isNull())
      env.remove(name);
    else
      env.insert(name, value);
  }
  p.setProcessEnvironment(env);
  if (!options.workingDirectory.isEmpty()) p.setWorkingDirectory(options.workingDirectory);
  p.start(QStringLiteral(QUILLET_CLI), args);
  if (!options.input.isNull()) {
    p.waitForStarted();
    p.write(options.input);
    p.closeWriteChannel();
  }
  const bool done = p.waitForFinished(options.timeoutMs);
  if (p.state() != QProcess::NotRunning) {
    p.kill();
    p.waitForFinished();
  }
  const bool normal = done && p.exitStatus() == QProcess::NormalExit;
  return {normal, normal ? p.exitCode() : -1, p.readAllStandardOutput().toStdString(),
          p.readAllStandardError().toStdString()};
}

inline CliRun RunCli(const QStringList& args, const Environment& environment = {}) {
  CliOptions options;
  options.environment = environment;
  return RunCli(args, options);
}

}  // namespace quillet::test
