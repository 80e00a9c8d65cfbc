// SqlSource: the rows of one SELECT over a database connection (Qt SQL),
// fetched one at a time as the data set moves; the query runs again when
// the data set starts over, with the current values of the master fields it
// names (master_fields.h). Column values become engine values by their SQL
// type.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "datasources/master_fields.h"
#include "datasources/row_source.h"

class QSqlQuery;

namespace quillet {

// A database connection for SqlSource. The text is either the path of an
// SQLite file or "driver=QPSQL;host=...;port=...;dbname=...;user=..."; a
// server's password comes from the QUILLET_DB_PASSWORD environment variable.
//
// Databases are only read: an SQLite file is opened read-only, and a
// server session runs in one read-only transaction (never committed) from
// the moment it opens. A server gives each query a session of its own, so a
// detail query can run while its master's rows are still being fetched.
class SqlConnection {
 public:
  // Raises EngineError naming the database when it cannot be opened.
  explicit SqlConnection(const std::string& connection);
  ~SqlConnection();
  SqlConnection(const SqlConnection&) = delete;
  SqlConnection& operator=(const SqlConnection&) = delete;
  const std::string& Name() const { return names_.front(); }

  // The Qt connection name a new query runs on: the first query gets the
  // connection opened here; on a server, each further one a new read-only
  // session like it (raising EngineError when it cannot be opened).
  std::string SessionForQuery();

 private:
  // Makes the session read-only, or raises EngineError.
  void StartReading(const std::string& name);
  // Closes every session.
  void Close();

  std::string connection_;          // as given, for messages
  bool server_ = false;             // sessions of its own per query
  bool firstTaken_ = false;         // names_.front() runs a query already
  std::vector<std::string> names_;  // the Qt connection names opened
};

class SqlSource : public RowSource {
 public:
  // Prepares and runs the query once to learn its columns, its master
  // fields all Null; raises EngineError with the database's message when the
  // query is bad, and before it runs when it is not one reading statement
  // (read_query.h). Messages name `dataset` when given.
  SqlSource(SqlConnection& connection, std::string query, std::string dataset = {});
  ~SqlSource() override;

  const std::vector<std::string>& Columns() const override { return columns_; }
  void Rewind() override;
  bool Read(std::vector<Variant>& row) override;

 private:
  // Runs the query; with `masters`, its master fields take their data sets'
  // current values (raising EngineError for a data set or field no option
  // names), otherwise Null.
  void Run(bool masters);

  [[noreturn]] void Fail(const std::string& what) const;

  std::string text_;
  std::string dataset_;
  MasterFieldQuery prepared_;
  std::unique_ptr<QSqlQuery> query_;
  std::vector<std::string> columns_;
};

}  // namespace quillet
