// Connection: the database the library talks to, through T-SQL text only,
// with ADO's semantics (records-affected counts, transactions, recordsets).
// Business code builds SQL Server text and hands it here; each backend runs
// it as SQL Server would (the embedded one translates it, an ODBC one passes
// it through).
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "fabrikon/Recordset.h"

namespace fabrikon {

// Takes the rows of Connection::ForEachRow one at a time.
class RowSink {
 public:
  virtual ~RowSink() = default;
  // The result's column names, before its first row (also when it has none).
  virtual void Columns(const std::vector<std::string>& names) = 0;
  // One row, a value per column, valid only during the call. What this
  // raises ends the read and reaches the caller of ForEachRow.
  virtual void Row(const std::vector<Variant>& values) = 0;
};

class Connection {
 public:
  virtual ~Connection() = default;

  // Runs a batch. recordsAffected gets the count of the first statement that
  // produced one (INSERT/UPDATE/DELETE: rows matched; a row-returning
  // statement: -1); -1 when none did. An empty text raises.
  virtual void Execute(const std::string& text, long& recordsAffected) = 0;
  void Execute(const std::string& text) { long ignored = 0; Execute(text, ignored); }
  // Runs a batch and reports each statement's count in order (a statement that
  // produced no count, such as a skipped IF or DDL, reports -2).
  virtual std::vector<long> ExecuteEach(const std::string& text) = 0;

  virtual RecordsetPtr Open(const std::string& text, CursorTypeEnum cursor = adOpenForwardOnly,
                            LockTypeEnum lock = adLockReadOnly,
                            CursorLocationEnum location = adUseServer) = 0;

  // Reads the rows of the batch's first row-returning statement into sink,
  // with the values Open would give, without holding them all: a long result
  // costs the memory of one row. The sink must not use this connection.
  // A batch without a result hands on nothing. By default Open reads them.
  virtual void ForEachRow(const std::string& text, RowSink& sink);

  virtual void BeginTrans() = 0;
  virtual void CommitTrans() = 0;
  virtual void RollbackTrans() = 0;  // raises when no transaction is open
  virtual bool InTransaction() const = 0;

  virtual std::string ConnectionString() const = 0;

  // Appended to the name of a temporary table that the engine keeps in the
  // server's shared temporary database (the paged list table), so that two
  // connections never share one: "" where temporary tables belong to one
  // connection anyway (the embedded database), "_" + the session id on
  // SQL Server.
  virtual std::string SessionTableSuffix() const { return ""; }
};

using ConnectionPtr = std::shared_ptr<Connection>;

// Opens the backend the connection string names. "Data Source=FILE" (or a
// bare file name) opens the embedded database; the file must exist (see
// CreateHostDatabase), and "Mode=Read" opens it for reading only. A string
// with "Driver=" or "DSN=" opens an ODBC connection (SQL Server, or the
// SQLite ODBC driver).
ConnectionPtr OpenConnection(const std::string& connectionString);

// Creates the embedded host database at path with the current schema and,
// with bDemo, the demo plant (the same as `fabrikon init-db`). An existing
// file is refused unless bForce, which replaces it. Failures raise ComError
// naming the path. Answers the connection string that opens the new file:
//
//   ConnectionPtr conn = OpenConnection(CreateHostDatabase("plant.db", true));
std::string CreateHostDatabase(const std::string& path, bool bDemo = false, bool bForce = false);

// A statement that produced no count in ExecuteEach.
inline constexpr long kNoCount = -2;

}  // namespace fabrikon
