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
class SqlConnection {
 public:
  // Raises EngineError naming the database when it cannot be opened.
  explicit SqlConnection(const std::string& connection);
  ~SqlConnection();
  SqlConnection(const SqlConnection&) = delete;
  SqlConnection& operator=(const SqlConnection&) = delete;
  const std::string& Name() const { return name_; }

 private:
  std::string name_;  // the Qt connection name
};

class SqlSource : public RowSource {
 public:
  // Prepares and runs the query once to learn its columns, its master
  // fields all Null; raises EngineError with the database's message when the
  // query is bad.
  SqlSource(SqlConnection& connection, std::string query);
  ~SqlSource() override;

  const std::vector<std::string>& Columns() const override { return columns_; }
  void Rewind() override;
  bool Read(std::vector<Variant>& row) override;

 private:
  // Runs the query; with `masters`, its master fields take their data sets'
  // current values (raising EngineError for a data set or field no option
  // names), otherwise Null.
  void Run(bool masters);

  std::string text_;
  MasterFieldQuery prepared_;
  std::unique_ptr<QSqlQuery> query_;
  std::vector<std::string> columns_;
};

}  // namespace quillet
