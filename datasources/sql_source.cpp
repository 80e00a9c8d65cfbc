#include "datasources/sql_source.h"

#include <QDate>
#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>
#include <atomic>
#include <cstdlib>
#include <filesystem>

#include "datasources/read_query.h"
#include "platform/errors.h"
#include "platform/locale_formats.h"
#include "report/expr/dataset_components.h"

namespace quillet {
namespace {

std::string Text(const QString& s) {
  return s.toStdString();
}

// The database's own message, then the driver's, on one line: a server's
// message ends in a line break and names the driver's failure on the next.
std::string ErrorText(const QSqlError& error) {
  QString text = error.databaseText().simplified();
  const QString driver = error.driverText().simplified();
  if (text.isEmpty())
    text = driver;
  else if (!driver.isEmpty())
    text += " (" + driver + ")";
  return Text(text);
}

// "key=value;key=value" into the database's settings; false for a path.
bool ServerSettings(const std::string& text, QSqlDatabase& db, const QString& name) {
  if (text.find("driver=") != 0) return false;
  QString driver, host, dbname, user;
  int port = -1;
  for (const QString& part : QString::fromStdString(text).split(';', Qt::SkipEmptyParts)) {
    const auto eq = part.indexOf('=');
    if (eq < 0) throw EngineError("database connection part '" + Text(part) + "' has no '='");
    const QString key = part.left(eq).trimmed().toLower();
    const QString value = part.mid(eq + 1).trimmed();
    if (key == "driver")
      driver = value;
    else if (key == "host")
      host = value;
    else if (key == "port")
      port = value.toInt();
    else if (key == "dbname")
      dbname = value;
    else if (key == "user")
      user = value;
    else if (key == "password")
      throw EngineError(
          "the database password is read from QUILLET_DB_PASSWORD, not the connection");
    else
      throw EngineError("unknown database connection key '" + Text(key) + "'");
  }
  if (!QSqlDatabase::isDriverAvailable(driver))
    throw EngineError("database driver " + Text(driver) + " is not installed");
  db = QSqlDatabase::addDatabase(driver, name);
  db.setHostName(host);
  if (port > 0) db.setPort(port);
  db.setDatabaseName(dbname);
  db.setUserName(user);
  if (const char* password = std::getenv("QUILLET_DB_PASSWORD")) db.setPassword(password);
  return true;
}

Variant ToVariant(const QVariant& v) {
  if (v.isNull()) return Variant::Null();
  switch (v.typeId()) {
    case QMetaType::Bool: return Variant(v.toBool());
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort: return Variant(static_cast<std::int64_t>(v.toLongLong()));
    case QMetaType::ULongLong: return Variant(static_cast<std::int64_t>(v.toULongLong()));
    case QMetaType::Double:
    case QMetaType::Float: return Variant(v.toDouble());
    case QMetaType::QDate: {
      const QDate d = v.toDate();
      double days = 0;
      if (CivilToDays(d.year(), d.month(), d.day(), days)) return Variant(DateTime{days});
      return Variant::Null();
    }
    case QMetaType::QDateTime: {
      const QDateTime t = v.toDateTime();
      double days = 0;
      if (!CivilToDays(t.date().year(), t.date().month(), t.date().day(), days))
        return Variant::Null();
      return Variant(DateTime{days + t.time().msecsSinceStartOfDay() / 86'400'000.0});
    }
    case QMetaType::QByteArray: {
      const QByteArray bytes = v.toByteArray();
      return Variant(std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    }
    default: return Variant(Text(v.toString()));
  }
}

QVariant ToQVariant(const Variant& v) {
  switch (v.GetType()) {
    case Variant::Type::Empty:
    case Variant::Type::Null: return QVariant();
    case Variant::Type::Boolean: return QVariant(v.AsBoolean());
    case Variant::Type::Integer: return QVariant(static_cast<qlonglong>(v.AsInteger()));
    case Variant::Type::Float: return QVariant(v.AsFloat());
    case Variant::Type::Date: {
      // Dates are compared as ISO texts, the way SQLite keeps them.
      const double days = v.AsFloat();
      const CivilDate d = DaysToCivil(days);
      return QVariant(QDate(d.year, d.month, d.day).toString(Qt::ISODate));
    }
    case Variant::Type::Text: break;
  }
  return QVariant(QString::fromStdString(*v.IfText()));
}

Variant MasterValue(const MasterField& master) {
  DataSetComponent* set = FindDatasetComponent(master.dataset);
  if (!set)
    throw EngineError("query field :" + master.dataset + "." + master.field + " names data set '" +
                      master.dataset + "', which no option names");
  if (!set->HasField(master.field))
    throw EngineError("query field :" + master.dataset + "." + master.field + ": data set '" +
                      master.dataset + "' has no field '" + master.field + "'");
  return set->FieldValue(master.field);
}

}  // namespace

SqlConnection::SqlConnection(const std::string& connection) : connection_(connection) {
  static std::atomic<int> serial{0};
  const QString name = QStringLiteral("quillet-%1").arg(++serial);
  QSqlDatabase db;
  server_ = ServerSettings(connection, db, name);
  if (!server_) {
    if (!QSqlDatabase::isDriverAvailable("QSQLITE"))
      throw EngineError("the SQLite database driver is not installed");
    std::error_code ec;
    if (std::filesystem::is_directory(connection, ec))
      throw EngineError("database " + connection + " cannot be opened: it is a folder");
    db = QSqlDatabase::addDatabase("QSQLITE", name);
    db.setDatabaseName(QString::fromStdString(connection));
    // An SQLite path that does not exist would be created empty: refuse it.
    db.setConnectOptions("QSQLITE_OPEN_READONLY");
  }
  if (!db.open()) {
    const std::string message = ErrorText(db.lastError());
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(name);
    throw EngineError("database " + connection + " cannot be opened: " + message);
  }
  names_.push_back(Text(name));
  try {
    StartReading(names_.front());
  } catch (...) {
    db = QSqlDatabase();
    Close();
    throw;
  }
}

void SqlConnection::StartReading(const std::string& name) {
  if (!server_) return;
  QSqlQuery q(QSqlDatabase::database(QString::fromStdString(name), false));
  // Every transaction of the session is read-only, and the session runs in
  // one that is never committed: a function called by a query cannot make
  // it writable once the transaction has begun reading.
  for (const char* statement :
       {"SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY", "BEGIN READ ONLY"})
    if (!q.exec(QString::fromLatin1(statement)))
      throw EngineError("database " + connection_ +
                        " cannot be opened read-only: " + ErrorText(q.lastError()));
}

std::string SqlConnection::SessionForQuery() {
  if (!firstTaken_ || !server_) {
    firstTaken_ = true;
    return names_.front();
  }
  static std::atomic<int> serial{0};
  const QString name = QString::fromStdString(names_.front()) + QStringLiteral("-%1").arg(++serial);
  {
    QSqlDatabase db = QSqlDatabase::cloneDatabase(QString::fromStdString(names_.front()), name);
    if (!db.open()) {
      const std::string message = ErrorText(db.lastError());
      db = QSqlDatabase();
      QSqlDatabase::removeDatabase(name);
      throw EngineError("database " + connection_ + " cannot open another session: " + message);
    }
  }
  names_.push_back(Text(name));
  StartReading(names_.back());
  return names_.back();
}

void SqlConnection::Close() {
  // The read-only transaction ends with the session, never committed.
  for (const std::string& name : names_) {
    {
      QSqlDatabase db = QSqlDatabase::database(QString::fromStdString(name), false);
      db.close();
    }
    QSqlDatabase::removeDatabase(QString::fromStdString(name));
  }
  names_.clear();
}

SqlConnection::~SqlConnection() {
  Close();
}

SqlSource::SqlSource(SqlConnection& connection, std::string query, std::string dataset)
    : text_(std::move(query)), dataset_(std::move(dataset)), prepared_(FindMasterFields(text_)) {
  if (const std::string why = WhyNotAReadQuery(text_); !why.empty()) Fail(why);
  query_ = std::make_unique<QSqlQuery>(
      QSqlDatabase::database(QString::fromStdString(connection.SessionForQuery()), false));
  // Rows are fetched front to back and not kept by the driver.
  query_->setForwardOnly(true);
  Run(false);
  const QSqlRecord record = query_->record();
  for (int i = 0; i < record.count(); ++i) columns_.push_back(Text(record.fieldName(i)));
}

void SqlSource::Fail(const std::string& what) const {
  std::string shown = text_;
  if (shown.size() > 80) shown = shown.substr(0, 77) + "...";
  throw EngineError((dataset_.empty() ? std::string() : "data set '" + dataset_ + "': ") +
                    "query \"" + shown + "\" " + what);
}

SqlSource::~SqlSource() = default;

void SqlSource::Rewind() {
  Run(true);
}

void SqlSource::Run(bool masters) {
  bool ran = false;
  if (prepared_.fields.empty()) {
    ran = query_->exec(QString::fromStdString(text_));
  } else {
    ran = query_->prepare(QString::fromStdString(prepared_.text));
    for (const MasterField& master : prepared_.fields)
      query_->addBindValue(masters ? ToQVariant(MasterValue(master)) : QVariant());
    ran = ran && query_->exec();
  }
  if (!ran) Fail("failed: " + ErrorText(query_->lastError()));
  if (!query_->isSelect()) Fail("returns no rows");
}

bool SqlSource::Read(std::vector<Variant>& row) {
  if (!query_->next()) {
    if (query_->lastError().isValid()) Fail("failed: " + ErrorText(query_->lastError()));
    return false;
  }
  row.clear();
  const int n = static_cast<int>(columns_.size());
  for (int i = 0; i < n; ++i) {
    const QVariant value = query_->value(i);
    row.push_back(ToVariant(value));
  }
  return true;
}

}  // namespace quillet
