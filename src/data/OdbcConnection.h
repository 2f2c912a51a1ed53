// OdbcConnection: the backend for a database reached through an ODBC driver
// ("Driver=..." or "DSN=..." connection strings). SQL Server gets the
// library's T-SQL unchanged; the SQLite ODBC driver (which takes one statement
// per call and knows no T-SQL) gets it through the embedded dialect,
// statement by statement, with the T-SQL runtime loaded as an extension
// ("LoadExt=" naming the fabrikon_tsql library). Any other database is
// refused at open. Counts, error numbers, transactions and recordsets follow
// the embedded connection's rules.
#pragma once
#include <sql.h>

#include <memory>
#include <string>
#include <vector>

#include "fabrikon/Connection.h"

namespace fabrikon {

class OdbcRecordsetReader;

class OdbcConnection : public Connection, public std::enable_shared_from_this<OdbcConnection> {
 public:
  enum class Dbms { SqlServer, Sqlite };

  // True for a connection string naming an ODBC driver or data source.
  static bool IsOdbcConnectionString(const std::string& connectionString);
  static std::shared_ptr<OdbcConnection> Connect(const std::string& connectionString);
  ~OdbcConnection() override;
  OdbcConnection(const OdbcConnection&) = delete;
  OdbcConnection& operator=(const OdbcConnection&) = delete;

  void Execute(const std::string& text, long& recordsAffected) override;
  using Connection::Execute;
  std::vector<long> ExecuteEach(const std::string& text) override;
  RecordsetPtr Open(const std::string& text, CursorTypeEnum cursor = adOpenForwardOnly,
                    LockTypeEnum lock = adLockReadOnly,
                    CursorLocationEnum location = adUseServer) override;
  void BeginTrans() override;
  void CommitTrans() override;
  void RollbackTrans() override;
  bool InTransaction() const override { return inTransaction_; }
  std::string ConnectionString() const override { return connectionString_; }
  std::string SessionTableSuffix() const override { return sessionSuffix_; }

  Dbms Kind() const { return dbms_; }

 private:
  explicit OdbcConnection(std::string connectionString);
  void Attach();
  void Identify();
  // Runs a batch as one call and walks every result: -1 for a row-returning
  // one (the first goes to rows), the count of a counted one; statements
  // without a count make no result.
  std::vector<long> RunWhole(const std::string& text, OdbcRecordsetReader* rows);
  // Runs a batch through the dialect, statement by statement (SQLite driver),
  // or each statement as its own call (SQL Server); one count per statement.
  std::vector<long> RunEach(const std::string& text, OdbcRecordsetReader* rows);
  std::vector<long> RunTranslated(const std::string& text, OdbcRecordsetReader* rows);
  void EndTransaction(bool commit);
  void RunDirect(const std::string& text);

  std::string connectionString_;
  SQLHENV environment_ = SQL_NULL_HENV;
  SQLHDBC connection_ = SQL_NULL_HDBC;
  bool connected_ = false;
  Dbms dbms_ = Dbms::SqlServer;
  bool inTransaction_ = false;
  std::string sessionSuffix_;
};

}  // namespace fabrikon
