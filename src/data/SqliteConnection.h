// SqliteConnection: the embedded backend. Runs the library's T-SQL on a
// SQLite database file through the dialect layer, with ADO's counting rules,
// error numbers and transaction behaviour.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "fabrikon/ComError.h"
#include "fabrikon/Connection.h"

struct sqlite3;
struct sqlite3_stmt;

namespace fabrikon {

class StatementCache;
class ColumnMetadataCache;
namespace dialect {
class SchemaCatalog;
}
class RecordsetBuilder;

class SqliteConnection : public Connection, public std::enable_shared_from_this<SqliteConnection> {
 public:
  // What Connect does when the file is missing: refuse (a typo or a server's
  // name must not leave an empty database behind) or make an empty one.
  enum class Missing { Refuse, Create };

  // connectionString: "Data Source=FILE[;Mode=Read][;Key=Value...]" or a bare
  // file name. Nothing is written to a file before its schema version says
  // it is a host database; a file of a newer schema version, a file that
  // cannot be written and "Mode=Read" are opened for reading only.
  // (Not named Open: a static Open(text) would be ambiguous with the
  // recordset Open, whose other parameters have defaults.)
  static std::shared_ptr<SqliteConnection> Connect(const std::string& connectionString,
                                                   Missing missing = Missing::Refuse);
  ~SqliteConnection() override;

  void Execute(const std::string& text, long& recordsAffected) override;
  using Connection::Execute;
  std::vector<long> ExecuteEach(const std::string& text) override;
  RecordsetPtr Open(const std::string& text, CursorTypeEnum cursor = adOpenForwardOnly,
                    LockTypeEnum lock = adLockReadOnly,
                    CursorLocationEnum location = adUseServer) override;
  // Steps the statement row by row: nothing is held but the current row.
  void ForEachRow(const std::string& text, RowSink& sink) override;
  // Runs the batch once and keeps the rows of every SELECT in it, in order
  // (the console shows them all); returns each statement's count as
  // ExecuteEach does.
  std::vector<long> ExecuteAll(const std::string& text, std::vector<RecordsetPtr>& rowsets);
  void BeginTrans() override;
  void CommitTrans() override;
  void RollbackTrans() override;
  bool InTransaction() const override;
  std::string ConnectionString() const override { return connectionString_; }

  // Runs native SQLite script text (schema scripts only; business code never does).
  void ExecuteNative(const std::string& script);
  sqlite3* Handle() const { return db_; }
  const std::string& FilePath() const { return path_; }
  // Why writes are refused ("" when the connection may write).
  const std::string& ReadOnlyReason() const { return readOnlyReason_; }
  // Opens a read transaction outside any transaction of the caller's (see
  // ReadSnapshot): the pending snapshot statement, to be reset to let go, or
  // null when the locks are held already or cannot be taken.
  sqlite3_stmt* HoldSnapshot();

 private:
  SqliteConnection(std::string connectionString, std::string path);
  void OpenFile(bool readOnly, bool create);
  void Configure(int busyTimeoutMs);
  // Closes the handle and opens the file again for reading only.
  void ReopenReadOnly();
  // An immutable read sees the file as it was; once a writer has started a
  // log or changed the file, the next batch opens it again.
  void FollowWriters();
  void Settle(bool readOnlyRequested);
  [[noreturn]] void RaiseRefusedWrite(const ComError& error) const;
  // Compiles the whole batch, then runs it; rows says where each SELECT's rows go.
  std::vector<long> RunBatch(const std::string& text, const std::function<RecordsetBuilder*()>& rows);
  void RunControl(const char* sql);  // BEGIN / COMMIT / ROLLBACK
  void SchemaChanged();
  // Reads the schema cookie unless the read transaction it was read under
  // is still held and this connection has not written since.
  void RefreshSchema();

  std::string connectionString_;
  std::string path_;
  std::string readOnlyReason_;
  std::string immutableStamp_;  // the file's stamp when read as immutable, else ""
  sqlite3* db_ = nullptr;
  sqlite3_stmt* snapshot_ = nullptr;  // reads the schema version; pending while held
  uint64_t holds_ = 0;  // how many times snapshot_ began to hold a read transaction
  // The hold under which the catalog last read the schema cookie, with no
  // write, transaction or schema change of this connection since (0: none).
  uint64_t schemaReadIn_ = 0;
  std::unique_ptr<StatementCache> statements_;
  std::unique_ptr<ColumnMetadataCache> columns_;
  std::unique_ptr<dialect::SchemaCatalog> catalog_;  // the declared types the translation reads
};

// The open connection (on this thread) whose ConnectionString equals the given
// text, or null. Host substitutes use it so that they share the caller's
// connection (and its transaction) instead of opening a second writer.
ConnectionPtr FindOpenConnection(const std::string& connectionString);

// Value of KEY in a "Key=Value;Key=Value" connection string ("" when absent);
// keys compare without regard to case.
std::string ConnectionStringValue(const std::string& connectionString, const std::string& key);

}  // namespace fabrikon
