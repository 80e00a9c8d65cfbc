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

SqlConnection::SqlConnection(const std::string& connection) {
  static std::atomic<int> serial{0};
  const QString name = QStringLiteral("quillet-%1").arg(++serial);
  name_ = Text(name);
  QSqlDatabase db;
  if (!ServerSettings(connection, db, name)) {
    if (!QSqlDatabase::isDriverAvailable("QSQLITE"))
      throw EngineError("the SQLite database driver is not installed");
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
}

SqlConnection::~SqlConnection() {
  {
    QSqlDatabase db = QSqlDatabase::database(QString::fromStdString(name_), false);
    db.close();
  }
  QSqlDatabase::removeDatabase(QString::fromStdString(name_));
}

SqlSource::SqlSource(SqlConnection& connection, std::string query)
    : text_(std::move(query)),
      prepared_(FindMasterFields(text_)),
      query_(std::make_unique<QSqlQuery>(
          QSqlDatabase::database(QString::fromStdString(connection.Name()), false))) {
  // Rows are fetched front to back and not kept by the driver.
  query_->setForwardOnly(true);
  Run(false);
  const QSqlRecord record = query_->record();
  for (int i = 0; i < record.count(); ++i) columns_.push_back(Text(record.fieldName(i)));
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
  if (!ran) throw EngineError("query \"" + text_ + "\" failed: " + ErrorText(query_->lastError()));
  if (!query_->isSelect()) throw EngineError("query \"" + text_ + "\" returns no rows");
}

bool SqlSource::Read(std::vector<Variant>& row) {
  if (!query_->next()) {
    if (query_->lastError().isValid())
      throw EngineError("query \"" + text_ + "\" failed: " + ErrorText(query_->lastError()));
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
