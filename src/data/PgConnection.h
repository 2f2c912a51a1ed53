// PgConnection: the PostgreSQL backend (libpq URIs "postgresql://..." and
// "postgres://..."). The library's T-SQL goes through the dialect's
// PostgreSQL target (PgTarget) to a database laid out by schema/pg, with
// the embedded connection's promises: ADO's records-affected counts, SQL
// Server's error numbers and wording, statement-level errors inside a
// transaction (each statement of a transaction runs behind a savepoint, so a
// failed one leaves the transaction usable, as on SQL Server), READ
// COMMITTED.
//
// Keys under concurrency: SQL Server's locking READ COMMITTED makes a second
// writer wait where PostgreSQL lets it read the same MAX(key) and then fail
// on the unique index. Every transaction the library begins therefore takes
// one transaction-scoped advisory lock (pg_advisory_xact_lock) of the
// database first, and a write outside a transaction takes it in its own
// implicit transaction: writers of one database follow each other, so the
// IF NOT EXISTS guards, the MAX + 1 keys and the renumbering of outsourcing
// orders hold as they do on SQL Server, and no two writers can deadlock.
// Readers outside transactions never wait.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "fabrikon/ComError.h"
#include "fabrikon/Connection.h"
#include "data/PgStatementShapes.h"

struct pg_conn;
struct pg_result;

namespace fabrikon {

namespace dialect {
class SchemaCatalog;
struct TranslatedStatement;
}  // namespace dialect
class PgColumnTypes;
class PgRecordsetReader;

class PgConnection : public Connection, public std::enable_shared_from_this<PgConnection> {
 public:
  // True for "postgresql://..." and "postgres://...".
  static bool IsPgConnectionString(const std::string& connectionString);
  // The string with its password replaced by "***" (for messages).
  static std::string Masked(const std::string& connectionString);
  static std::shared_ptr<PgConnection> Connect(const std::string& connectionString);
  ~PgConnection() override;
  PgConnection(const PgConnection&) = delete;
  PgConnection& operator=(const PgConnection&) = delete;

  void Execute(const std::string& text, long& recordsAffected) override;
  using Connection::Execute;
  std::vector<long> ExecuteEach(const std::string& text) override;
  RecordsetPtr Open(const std::string& text, CursorTypeEnum cursor = adOpenForwardOnly,
                    LockTypeEnum lock = adLockReadOnly,
                    CursorLocationEnum location = adUseServer) override;
  // Runs the batch once and keeps the rows of every SELECT in it, in order.
  std::vector<long> ExecuteAll(const std::string& text, std::vector<RecordsetPtr>& rowsets);
  void BeginTrans() override;
  void CommitTrans() override;
  void RollbackTrans() override;
  bool InTransaction() const override { return inTransaction_; }
  std::string ConnectionString() const override { return connectionString_; }

  // Runs native PostgreSQL script text (schema scripts; several statements).
  void ExecuteNative(const std::string& script);
  // The first column of the first row of a native query (0 without one).
  long long NativeInt(const std::string& sql);
  // The database's name (SQL Server's wording of some errors names it).
  const std::string& DatabaseName() const { return database_; }

 private:
  explicit PgConnection(std::string connectionString);
  using RowsTarget = std::function<PgRecordsetReader*()>;
  std::vector<long> RunBatch(const std::string& text, const RowsTarget& rows);
  long RunStatement(const dialect::TranslatedStatement& statement, const RowsTarget& rows);
  // A write inside a transaction, which goes through the pipeline.
  bool Pipelined(const dialect::TranslatedStatement& statement) const;
  // Runs statements [from, to) in one round trip (the first may have had its
  // condition checked; the others are unconditional writes), each behind its
  // savepoint, or (grouped) all behind one and, when one fails, again each
  // behind its own; appends their counts. Returns where it stopped: a
  // statement that cannot go through the pipeline (run it on its own), or `to`.
  size_t RunPipelined(const std::vector<dialect::TranslatedStatement>& statements, size_t from, size_t to,
                      std::vector<long>& counts, bool grouped);
  void Forget();  // drops the prepared statements (after DDL)
  void Retranslate(std::vector<dialect::TranslatedStatement>& statements, size_t from);
  static void ToServer(std::vector<dialect::TranslatedStatement>& statements);
  bool ConditionHolds(const std::string& sql);
  // Runs one statement of PostgreSQL text; raises its error as ComError.
  std::unique_ptr<pg_result, void (*)(pg_result*)> Run(const std::string& sql, bool writes);
  void RunPlain(const char* sql);
  [[noreturn]] void Fail(pg_result* result, const std::string& sql);
  // True when the server is gone: libpq says so, or a statement failed
  // without the server's SQLSTATE (libpq keeps a dropped connection's status
  // OK until the next call, and writes its own message into the result).
  bool Lost(const pg_result* result) const;

  std::string connectionString_;
  std::string database_;
  pg_conn* conn_ = nullptr;
  bool inTransaction_ = false;
  std::unique_ptr<PgColumnTypes> types_;
  std::unique_ptr<dialect::SchemaCatalog> catalog_;
  PgStatementShapes shapes_;  // this transaction's prepared statements
};

}  // namespace fabrikon
