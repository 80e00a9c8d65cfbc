// --db against a real PostgreSQL server: a throwaway server is made in a
// temporary folder (initdb, pg_ctl), listening on a Unix socket there only,
// with a password that quillet-cli reads from QUILLET_DB_PASSWORD. Skipped,
// saying why, where the server programs or Qt's PostgreSQL driver are
// missing.
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>

#include "tests/cli/cli_run.h"
#include "tests/support.h"

namespace quillet {
namespace {

constexpr int kPort = 55432;  // names the socket file in the private folder only
const QString kPassword = QStringLiteral("s3cret pass");

// The folder holding initdb and pg_ctl: on PATH, or Debian's versioned one.
QString ServerPrograms() {
  QStringList folders;
  const QString onPath = QStandardPaths::findExecutable(QStringLiteral("pg_ctl"));
  if (!onPath.isEmpty()) folders << QFileInfo(onPath).canonicalPath();
  const QDir versions(QStringLiteral("/usr/lib/postgresql"));
  for (const QString& v : versions.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
    folders << versions.filePath(v + "/bin");
  for (const QString& folder : folders)
    if (QFileInfo::exists(folder + "/initdb") && QFileInfo::exists(folder + "/pg_ctl"))
      return folder;
  return {};
}

// A server that lives as long as the object. The server refuses to run as
// root, so under root it runs as the "postgres" account.
class ThrowawayServer {
 public:
  // Empty when the server started; otherwise why not.
  std::string Start() {
    programs_ = ServerPrograms();
    if (programs_.isEmpty()) return "no initdb and pg_ctl (Debian package postgresql)";
    if (!QSqlDatabase::isDriverAvailable("QPSQL"))
      return "no Qt PostgreSQL driver (Debian package libqt6sql6-psql)";
    if (!folder_.isValid()) return "no temporary folder";
    if (geteuid() == 0) {
      const passwd* account = getpwnam("postgres");
      if (!account) return "running as root and there is no postgres account to run the server";
      owner_ = account;
      if (chown(folder_.path().toLocal8Bit().constData(), account->pw_uid, account->pw_gid) != 0)
        return "cannot hand the temporary folder to postgres";
    }
    const QString passwordFile = folder_.filePath("password");
    std::ofstream(passwordFile.toStdString()) << kPassword.toStdString() << "\n";
    if (owner_) (void)chown(passwordFile.toLocal8Bit().constData(), owner_->pw_uid, owner_->pw_gid);
    std::string log;
    if (!Run("initdb",
             {"-D", Data(), "-U", "quillet", "--auth=scram-sha-256", "--pwfile=" + passwordFile,
              "-E", "UTF8", "--no-locale", "--no-sync"},
             log))
      return "initdb failed: " + log;
    if (!Run("pg_ctl",
             {"-D", Data(), "-l", folder_.filePath("server.log"), "-w", "-t", "20", "-o",
              QStringLiteral("-k %1 -c listen_addresses= -p %2 -F").arg(folder_.path()).arg(kPort),
              "start"},
             log))
      return "the server did not start: " + log;
    running_ = true;
    return {};
  }

  ~ThrowawayServer() {
    std::string log;
    if (running_) Run("pg_ctl", {"-D", Data(), "-m", "immediate", "stop"}, log);
  }

  QString Socket() const { return folder_.path(); }

 private:
  QString Data() const { return folder_.filePath("data"); }

  bool Run(const QString& program, const QStringList& args, std::string& output) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    const QString path = programs_ + "/" + program;
    if (owner_)
      p.start("runuser", QStringList{"-u", "postgres", "--", path} + args);
    else
      p.start(path, args);
    const bool ended = p.waitForFinished(30000);
    output = p.readAll().toStdString();
    return ended && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
  }

  QTemporaryDir folder_{QDir::tempPath() + "/quillet-pg-XXXXXX"};
  QString programs_;
  const passwd* owner_ = nullptr;
  bool running_ = false;
};

TEST(PostgresData, PrepareOverAServerQueryWithThePasswordFromTheEnvironment) {
  ThrowawayServer server;
  if (const std::string why = server.Start(); !why.empty()) GTEST_SKIP() << why;

  {
    QSqlDatabase db = QSqlDatabase::addDatabase("QPSQL", "pg-maker");
    db.setHostName(server.Socket());
    db.setPort(kPort);
    db.setDatabaseName("postgres");
    db.setUserName("quillet");
    db.setPassword(kPassword);
    ASSERT_TRUE(db.open()) << db.lastError().text().toStdString();
    QSqlQuery q(db);
    ASSERT_TRUE(q.exec("CREATE TABLE stock (name TEXT, price INTEGER, weight REAL)"));
    ASSERT_TRUE(
        q.exec("INSERT INTO stock VALUES ('cap', 4, 0.5), ('box', 6, 1.25), ('bag', 1, 2)"));
  }
  QSqlDatabase::removeDatabase("pg-maker");

  const QString json = QString::fromStdString(test::OutputPath("postgres_items.json"));
  std::ofstream(json.toStdString()) << R"({"pages": [{"name": "Page1", "objects": [
  {"type": "band", "name": "Data", "kind": "masterData", "left": 0, "top": 0, "width": 600,
   "height": 20, "dataSource": "Items"},
  {"type": "memo", "name": "Row", "left": 0, "top": 2, "width": 300, "height": 16,
   "text": ["[Items.Name] [Items.Price] [Items.Weight]"]}]}]})";
  const QString frp = QString::fromStdString(test::OutputPath("postgres_items.frp"));
  const QString connection =
      QStringLiteral("driver=QPSQL;host=%1;port=%2;dbname=postgres;user=quillet")
          .arg(server.Socket())
          .arg(kPort);
  const QStringList prepare = {
      "prepare",   json,
      "-o",        frp,
      "--db",      connection,
      "--dataset", "Items=SELECT name, price, weight FROM stock WHERE price > 1 ORDER BY price"};

  test::CliRun r = test::RunCli(prepare, {{"QUILLET_DB_PASSWORD", kPassword}});
  ASSERT_EQ(r.code, 0) << r.err;
  r = test::RunCli({"info", frp});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("text=\"cap 4 0.5\""), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("text=\"box 6 1.25\""), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("bag"), std::string::npos) << r.out;

  // Without the password, with a wrong one, or with one in the connection
  // text: one line, exit code 1, nothing written.
  std::filesystem::remove(frp.toStdString());
  for (const auto& [environment, extra] :
       std::vector<std::pair<std::vector<std::pair<QString, QString>>, QString>>{
           {{{"QUILLET_DB_PASSWORD", QString()}}, ""},
           {{{"QUILLET_DB_PASSWORD", "wrong"}}, ""},
           {{{"QUILLET_DB_PASSWORD", kPassword}}, ";password=" + kPassword}}) {
    QStringList args = prepare;
    args[5] += extra;
    r = test::RunCli(args, environment);
    EXPECT_EQ(r.code, 1) << r.err;
    EXPECT_EQ(r.ErrorLines(), 1) << r.err;
    EXPECT_EQ(r.err.find(kPassword.toStdString()), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(frp.toStdString()));
  }
}

// Statements run on the server directly, as its owner.
void RunOnServer(const ThrowawayServer& server, const std::vector<QString>& statements,
                 std::vector<QString>* answers = nullptr) {
  {
    QSqlDatabase db = QSqlDatabase::addDatabase("QPSQL", "pg-owner");
    db.setHostName(server.Socket());
    db.setPort(kPort);
    db.setDatabaseName("postgres");
    db.setUserName("quillet");
    db.setPassword(kPassword);
    ASSERT_TRUE(db.open()) << db.lastError().text().toStdString();
    QSqlQuery q(db);
    for (const QString& statement : statements) {
      ASSERT_TRUE(q.exec(statement)) << q.lastError().text().toStdString();
      if (answers && q.isSelect() && q.next()) answers->push_back(q.value(0).toString());
    }
  }
  QSqlDatabase::removeDatabase("pg-owner");
}

// Nothing a data set names is ever written: a statement that is not a read
// is refused before it runs, naming the data set, and one that reads but
// would write (a data-modifying WITH, a function that writes) meets a
// read-only session. Master and detail queries run side by side.
TEST(PostgresData, DataSetsOnlyReadAndMasterDetailWorks) {
  ThrowawayServer server;
  if (const std::string why = server.Start(); !why.empty()) GTEST_SKIP() << why;
  RunOnServer(server, {"CREATE TABLE stock (name TEXT, price INTEGER)",
                       "INSERT INTO stock VALUES ('a', 1), ('b', 2), ('c', 3)",
                       "CREATE FUNCTION wipe() RETURNS INTEGER AS 'DELETE FROM stock; SELECT 0' "
                       "LANGUAGE sql",
                       "CREATE TABLE m (id INTEGER, name TEXT)",
                       "INSERT INTO m VALUES (1, 'one'), (2, 'two')",
                       "CREATE TABLE d (mid INTEGER, who TEXT)",
                       "INSERT INTO d VALUES (1, 'd1a'), (1, 'd1b'), (2, 'd2a')"});
  const QString connection =
      QStringLiteral("driver=QPSQL;host=%1;port=%2;dbname=postgres;user=quillet")
          .arg(server.Socket())
          .arg(kPort);
  const QString json = QString::fromStdString(test::OutputPath("postgres_writes.json"));
  std::ofstream(json.toStdString()) << R"({"pages": [{"objects": [
  {"type": "band", "name": "Data", "kind": "masterData", "left": 0, "top": 0, "width": 600,
   "height": 20, "dataSource": "Items"},
  {"type": "memo", "name": "Row", "left": 0, "top": 2, "width": 300, "height": 16,
   "text": ["[Items.\"name\"]"]}]}]})";
  const QString frp = QString::fromStdString(test::OutputPath("postgres_writes.frp"));
  struct Case {
    QString query;
    std::string said;
  };
  for (const Case& c : std::vector<Case>{
           {"DELETE FROM stock WHERE name = 'a'", "begins with DELETE"},
           {"DELETE FROM stock RETURNING name", "begins with DELETE"},
           {"SELECT name FROM stock; CREATE TABLE pwned(x INTEGER)", "a second statement"},
           {"WITH gone AS (DELETE FROM stock RETURNING name) SELECT name FROM gone", "read-only"},
           {"SELECT wipe() AS name", "read-only"},
           {"SELECT set_config('transaction_read_only', 'off', false) AS name", ""},
       }) {
    SCOPED_TRACE(c.query.toStdString());
    std::filesystem::remove(frp.toStdString());
    const test::CliRun r = test::RunCli(
        {"prepare", json, "-o", frp, "--db", connection, "--dataset", "Items=" + c.query},
        {{"QUILLET_DB_PASSWORD", kPassword}});
    EXPECT_EQ(r.code, 1) << r.err;
    EXPECT_NE(r.err.find("data set 'Items'"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(frp.toStdString()));
  }
  std::vector<QString> answers;
  RunOnServer(server,
              {"SELECT count(*) FROM stock",
               "SELECT count(*) FROM pg_tables WHERE tablename = "
               "'pwned'"},
              &answers);
  EXPECT_EQ(answers, (std::vector<QString>{"3", "0"}));

  const QString md = QString::fromStdString(test::OutputPath("postgres_md.json"));
  std::ofstream(md.toStdString()) << R"({"pages": [{"objects": [
  {"type": "band", "name": "M", "kind": "masterData", "left": 0, "top": 40, "width": 680,
   "height": 22, "dataSource": "Master"},
  {"type": "memo", "left": 40, "top": 40, "width": 300, "height": 20, "text": "M [Master.\"name\"]"},
  {"type": "band", "name": "D", "kind": "detailData", "left": 0, "top": 80, "width": 680,
   "height": 22, "dataSource": "Detail"},
  {"type": "memo", "left": 40, "top": 80, "width": 300, "height": 20, "text": "D [Detail.\"who\"]"}]}]})";
  test::CliRun r = test::RunCli({"prepare", md, "-o", frp, "--db", connection, "--dataset",
                                 "Master=SELECT id, name FROM m ORDER BY id", "--dataset",
                                 "Detail=SELECT who FROM d WHERE mid = :Master.id ORDER BY who"},
                                {{"QUILLET_DB_PASSWORD", kPassword}});
  ASSERT_EQ(r.code, 0) << r.err;
  r = test::RunCli({"info", frp});
  std::string texts;
  for (std::size_t at = r.out.find("text=\""); at != std::string::npos;
       at = r.out.find("text=\"", at + 1))
    texts += r.out.substr(at + 6, r.out.find('"', at + 6) - at - 6) + ";";
  EXPECT_EQ(texts, "M one;D d1a;D d1b;M two;D d2a;");
}

}  // namespace
}  // namespace quillet
