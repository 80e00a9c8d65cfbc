// A real CUPS server of the test's own: cupsd in the foreground with its
// configuration, spool, state, cache and logs in a temporary folder,
// listening only on a Unix socket in that folder, with cups-pdf queues that
// write every job as a PDF into a folder the test owns. The machine's CUPS
// set-up is never read or changed: the server is started in a mount
// namespace of its own, where cups-pdf's settings file (which the backend
// reads from a fixed place) is the test's, and cupsd and the backend run
// from copies in the folder, out of reach of profiles attached to the
// installed programs.
//
// Programs started after Environment() is applied, and this process once
// Use() has run (before its first printer query), talk to this server.
// Stopping it (or destroying the object) ends cupsd.
//
// Where cupsd cannot be started here (not root, cups or cups-pdf missing,
// mount namespaces refused), SkipReason() says why.
#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class QProcess;

namespace quillet::test {

class PrivateCupsServer {
 public:
  PrivateCupsServer();
  ~PrivateCupsServer();
  PrivateCupsServer(const PrivateCupsServer&) = delete;
  PrivateCupsServer& operator=(const PrivateCupsServer&) = delete;

  // Empty when the server runs; otherwise why it could not start.
  const std::string& SkipReason() const { return skipReason_; }
  bool Running() const { return skipReason_.empty() && cupsd_ != nullptr; }

  // The socket path, which CUPS_SERVER names.
  QString Socket() const;
  // CUPS_SERVER for child processes, as RunCli takes it.
  std::vector<std::pair<QString, QString>> Environment() const;
  // Points this process's CUPS client at the server (sets CUPS_SERVER).
  void Use() const;

  // Adds an enabled cups-pdf queue; false with `error` set when lpadmin fails.
  bool AddPdfQueue(const QString& name, std::string* error = nullptr);
  // Runs a CUPS client tool against the server; its exit code and output.
  int Tool(const QString& program, const QStringList& args, std::string* output = nullptr) const;

  // Ends cupsd (idempotent).
  void Stop();

  // Where the queues write their PDFs.
  QString OutputFolder() const;
  // PDFs in the output folder, oldest first.
  QStringList Pdfs() const;

  // Job ids of the queue, all states, oldest first.
  std::vector<int> Jobs(const QString& queue) const;
  // Waits until every job of the server has ended (completed, cancelled or
  // aborted); false when they have not after `seconds`.
  bool WaitForJobsToEnd(int seconds = 60) const;
  // The job's attributes as ipptool shows them: name -> value text
  // ("copies" -> "2", "media" -> "iso_a4_210x297mm").
  std::map<std::string, std::string> JobAttributes(const QString& queue, int jobId) const;

  // The server's error log (for failure messages).
  std::string ErrorLog() const;

 private:
  std::string Start();

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<QProcess> cupsd_;
  std::string skipReason_;
};

}  // namespace quillet::test
