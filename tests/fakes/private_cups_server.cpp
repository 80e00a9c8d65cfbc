#include "tests/fakes/private_cups_server.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>
#include <algorithm>
#include <cstdlib>

#if QUILLET_HAVE_CUPS
#include <cups/cups.h>
#endif

namespace quillet::test {
namespace {

// cups-pdf reads its settings from here, whatever server runs it.
constexpr const char* kCupsPdfConf = "/etc/cups/cups-pdf.conf";
constexpr const char* kCupsPdfBackend = "/usr/lib/cups/backend/cups-pdf";
constexpr const char* kCupsPdfPpd = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd";

bool WriteFile(const QString& path, const QString& text) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  return f.write(text.toUtf8()) >= 0;
}

// Get-Job-Attributes for every attribute of one job.
constexpr const char* kJobAttributesTest = R"({
  OPERATION Get-Job-Attributes
  GROUP operation-attributes-tag
  ATTR charset attributes-charset utf-8
  ATTR naturalLanguage attributes-natural-language en
  ATTR uri printer-uri $uri
  ATTR integer job-id $job_id
  ATTR keyword requested-attributes all
}
)";

}  // namespace

PrivateCupsServer::PrivateCupsServer() {
  skipReason_ = Start();
  if (!skipReason_.empty()) Stop();
}

PrivateCupsServer::~PrivateCupsServer() {
  Stop();
}

QString PrivateCupsServer::Socket() const {
  return dir_ ? dir_->filePath(QStringLiteral("sock")) : QString();
}

QString PrivateCupsServer::OutputFolder() const {
  return dir_ ? dir_->filePath(QStringLiteral("out")) : QString();
}

std::vector<std::pair<QString, QString>> PrivateCupsServer::Environment() const {
  return {{QStringLiteral("CUPS_SERVER"), Socket()}};
}

void PrivateCupsServer::Use() const {
  const QByteArray socket = Socket().toLocal8Bit();
  ::setenv("CUPS_SERVER", socket.constData(), 1);
#if QUILLET_HAVE_CUPS
  // The client keeps the server it first used; an earlier test's is gone.
  cupsSetServer(socket.constData());
#endif
}
std::string PrivateCupsServer::Start() {
  if (::geteuid() != 0)
    return "a private cupsd with the cups-pdf backend needs root (the backend runs only as root)";
  const QString cupsd = QStandardPaths::findExecutable(
      QStringLiteral("cupsd"), {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
  if (cupsd.isEmpty()) return "cupsd is not installed (Debian package cups)";
  if (!QFileInfo::exists(QString::fromLatin1(kCupsPdfBackend)) ||
      !QFileInfo::exists(QString::fromLatin1(kCupsPdfConf)) ||
      !QFileInfo::exists(QString::fromLatin1(kCupsPdfPpd)))
    return "cups-pdf is not installed (Debian package printer-driver-cups-pdf)";
  const QString unshare = QStandardPaths::findExecutable(QStringLiteral("unshare"));
  if (unshare.isEmpty()) return "unshare (util-linux) is missing";
  for (const char* tool : {"lpadmin", "lpstat", "ipptool"})
    if (QStandardPaths::findExecutable(QString::fromLatin1(tool),
                                       {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")})
            .isEmpty())
      return std::string(tool) + " is not installed (Debian packages cups-client, cups-ipp-utils)";

  // A short path: the socket's name must fit a Unix socket address.
  dir_ = std::make_unique<QTemporaryDir>(QStringLiteral("/tmp/qcups-XXXXXX"));
  if (!dir_->isValid()) return "no temporary folder for the server";
  const QString d = dir_->path();
  for (const char* sub : {"etc", "spool", "spool/tmp", "run", "cache", "log", "out", "pdfspool"})
    QDir().mkpath(d + u'/' + QLatin1String(sub));
  // cupsd checks that its folders are not open to everyone; the backend
  // writes as the job's owner, so the output folder is open to all.
  QFile::setPermissions(d, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                               QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                               QFileDevice::ExeGroup | QFileDevice::ReadOther |
                               QFileDevice::ExeOther);
  QFile::setPermissions(d + QStringLiteral("/out"),
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                            QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                            QFileDevice::ExeGroup | QFileDevice::ReadOther |
                            QFileDevice::WriteOther | QFileDevice::ExeOther);
  ::chmod((d + QStringLiteral("/spool/tmp")).toLocal8Bit().constData(), 01777);
  ::chmod((d + QStringLiteral("/pdfspool")).toLocal8Bit().constData(), 01777);

  const bool ok =
      WriteFile(d + QStringLiteral("/etc/cups-files.conf"),
                QStringLiteral("ServerRoot %1/etc\nRequestRoot %1/spool\nTempDir %1/spool/tmp\n"
                               "StateDir %1/run\nCacheDir %1/cache\nErrorLog %1/log/error_log\n"
                               "AccessLog %1/log/access_log\nPageLog %1/log/page_log\n"
                               "ServerBin %1/bin\nFileDevice No\nSystemGroup root\n")
                    .arg(d)) &&
      WriteFile(d + QStringLiteral("/etc/cupsd.conf"),
                QStringLiteral("Listen %1/sock\nLogLevel debug\nBrowsing No\nWebInterface No\n"
                               "DefaultAuthType None\nPreserveJobHistory Yes\n"
                               "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                               "<Policy default>\n  JobPrivateAccess all\n  JobPrivateValues none\n"
                               "  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n")
                    .arg(d)) &&
      // Files named after the job's title, into the test's folder.
      WriteFile(d + QStringLiteral("/cups-pdf.conf"),
                QStringLiteral("Out %1/out\nAnonDirName %1/out\nSpool %1/pdfspool\nLog %1/log\n"
                               "LogType 7\nLabel 1\nTitlePref 1\n")
                    .arg(d)) &&
      WriteFile(d + QStringLiteral("/job.test"), QString::fromLatin1(kJobAttributesTest));
  if (!ok) return "the server's settings could not be written in " + d.toStdString();

  // The server and the backend run from copies of their own: security
  // profiles that the machine attaches to the installed programs by path
  // (AppArmor's keep cups-pdf out of folders like this one) stay with the
  // machine's CUPS. The filters are the installed ones.
  const QString bin = d + QStringLiteral("/bin");
  QDir().mkpath(bin + QStringLiteral("/backend"));
  const QString privateCupsd = bin + QStringLiteral("/cupsd");
  const QString backend = bin + QStringLiteral("/backend/cups-pdf");
  if (!QFile::copy(cupsd, privateCupsd) ||
      !QFile::copy(QString::fromLatin1(kCupsPdfBackend), backend))
    return "cupsd and cups-pdf could not be copied into " + bin.toStdString();
  ::chmod(privateCupsd.toLocal8Bit().constData(), 0755);
  // The server runs a backend that only root may run as root.
  ::chmod(backend.toLocal8Bit().constData(), 0700);
  for (const char* sub : {"filter", "daemon", "cgi-bin", "driver", "notifier", "monitor"}) {
    const QString installed = QStringLiteral("/usr/lib/cups/") + QLatin1String(sub);
    if (QFileInfo::exists(installed)) QFile::link(installed, bin + u'/' + QLatin1String(sub));
  }

  // The bind mount lives only in the new namespace: the backend cupsd
  // starts sees the test's cups-pdf settings, nothing else does.
  cupsd_ = std::make_unique<QProcess>();
  cupsd_->setProcessChannelMode(QProcess::MergedChannels);
  cupsd_->setStandardOutputFile(d + QStringLiteral("/log/cupsd.out"));
  cupsd_->start(
      unshare, {QStringLiteral("-m"), QStringLiteral("--propagation"), QStringLiteral("private"),
                QStringLiteral("sh"), QStringLiteral("-c"),
                QStringLiteral("mount --bind \"$0\" %1 && exec \"$1\" -f -c \"$2\" -s \"$3\"")
                    .arg(QString::fromLatin1(kCupsPdfConf)),
                d + QStringLiteral("/cups-pdf.conf"), privateCupsd,
                d + QStringLiteral("/etc/cupsd.conf"), d + QStringLiteral("/etc/cups-files.conf")});
  if (!cupsd_->waitForStarted(10000)) return "unshare could not be started";
  // Ready once the socket answers.
  const QDeadlineTimer deadline(20000);
  while (!deadline.hasExpired()) {
    if (cupsd_->state() == QProcess::NotRunning) {
      QFile out(d + QStringLiteral("/log/cupsd.out"));
      out.open(QIODevice::ReadOnly);
      return "cupsd ended at once (exit " + std::to_string(cupsd_->exitCode()) +
             "): " + out.readAll().trimmed().toStdString() +
             " (a mount namespace needs root with CAP_SYS_ADMIN)";
    }
    if (QFileInfo::exists(Socket()) && Tool(QStringLiteral("lpstat"), {QStringLiteral("-r")}) == 0)
      return {};
    QThread::msleep(100);
  }
  return "cupsd did not open its socket within 20 seconds: " + ErrorLog();
}

void PrivateCupsServer::Stop() {
  if (!cupsd_) return;
  if (cupsd_->state() != QProcess::NotRunning) {
    cupsd_->terminate();
    if (!cupsd_->waitForFinished(10000)) {
      cupsd_->kill();
      cupsd_->waitForFinished(5000);
    }
  }
  cupsd_.reset();
}

int PrivateCupsServer::Tool(const QString& program, const QStringList& args,
                            std::string* output) const {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("CUPS_SERVER"), Socket());
  p.setProcessEnvironment(env);
  p.setProcessChannelMode(QProcess::MergedChannels);
  p.start(program, args);
  if (!p.waitForFinished(60000)) {
    p.kill();
    p.waitForFinished();
    if (output) *output = program.toStdString() + " did not finish";
    return -1;
  }
  if (output) *output = p.readAll().toStdString();
  return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

bool PrivateCupsServer::AddPdfQueue(const QString& name, std::string* error) {
  std::string out;
  const int code =
      Tool(QStringLiteral("lpadmin"),
           {QStringLiteral("-p"), name, QStringLiteral("-E"), QStringLiteral("-v"),
            QStringLiteral("cups-pdf:/"), QStringLiteral("-P"), QString::fromLatin1(kCupsPdfPpd)},
           &out);
  if (code != 0 && error) *error = "lpadmin failed: " + out;
  return code == 0;
}

QStringList PrivateCupsServer::Pdfs() const {
  QDir out(OutputFolder());
  QStringList files;
  for (const QFileInfo& f :
       out.entryInfoList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Time | QDir::Reversed))
    files << f.filePath();
  return files;
}

std::vector<int> PrivateCupsServer::Jobs(const QString& queue) const {
  std::string out;
  Tool(QStringLiteral("lpstat"),
       {QStringLiteral("-W"), QStringLiteral("all"), QStringLiteral("-o"), queue}, &out);
  std::vector<int> ids;
  const QRegularExpression line(
      QStringLiteral("^%1-(\\d+)\\s").arg(QRegularExpression::escape(queue)),
      QRegularExpression::MultilineOption);
  for (auto it = line.globalMatch(QString::fromStdString(out)); it.hasNext();)
    ids.push_back(it.next().captured(1).toInt());
  std::sort(ids.begin(), ids.end());
  return ids;
}

bool PrivateCupsServer::WaitForJobsToEnd(int seconds) const {
  const QDeadlineTimer deadline(seconds * 1000);
  while (!deadline.hasExpired()) {
    std::string out;
    // Jobs not yet ended.
    if (Tool(QStringLiteral("lpstat"),
             {QStringLiteral("-W"), QStringLiteral("not-completed"), QStringLiteral("-o")},
             &out) == 0 &&
        QString::fromStdString(out).trimmed().isEmpty())
      return true;
    QThread::msleep(200);
  }
  return false;
}

std::map<std::string, std::string> PrivateCupsServer::JobAttributes(const QString& queue,
                                                                    int jobId) const {
  const QString uri = QStringLiteral("ipp://%1/printers/%2")
                          .arg(QString::fromLatin1(QUrl::toPercentEncoding(Socket())), queue);
  std::string out;
  Tool(QStringLiteral("ipptool"),
       {QStringLiteral("-tv"), QStringLiteral("-d"), QStringLiteral("job_id=%1").arg(jobId), uri,
        dir_->filePath(QStringLiteral("job.test"))},
       &out);
  std::map<std::string, std::string> attributes;
  // The response's lines follow "RECEIVED": "        name (type) = value".
  const QString text = QString::fromStdString(out);
  const qsizetype received = text.indexOf(QStringLiteral("RECEIVED"));
  if (received < 0) return attributes;
  const QRegularExpression attr(QStringLiteral("^\\s+([a-z0-9-]+) \\([^)]*\\) = (.*)$"),
                                QRegularExpression::MultilineOption);
  for (auto it = attr.globalMatch(text.mid(received)); it.hasNext();) {
    const auto m = it.next();
    attributes[m.captured(1).toStdString()] = m.captured(2).toStdString();
  }
  return attributes;
}

std::string PrivateCupsServer::ErrorLog() const {
  if (!dir_) return {};
  QFile f(dir_->filePath(QStringLiteral("log/error_log")));
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll().toStdString();
}

}  // namespace quillet::test
