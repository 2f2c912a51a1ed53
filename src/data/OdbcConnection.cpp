// OdbcConnection: opening through the driver manager, telling SQL Server from
// the SQLite driver, and running batches with ADO's counting rules.
#include "data/OdbcConnection.h"

#include <sqlext.h>

#include <cstdlib>
#include <optional>

#include "data/ConnectionRegistry.h"
#include "data/OdbcErrorMapper.h"
#include "data/OdbcRecordsetReader.h"
#include "data/OdbcStatement.h"
#include "data/OdbcText.h"
#include "data/SqliteConnection.h"
#include "data/dialect/TSqlDialect.h"

namespace fabrikon {

namespace {

bool IsBlank(const std::string& text) { return text.find_first_not_of(" \t\r\n\f\v;") == std::string::npos; }

// A statement of the dialect's translation, compiled before any of the batch runs.
struct CompiledStatement {
  const dialect::TranslatedStatement* source = nullptr;
  std::optional<OdbcStatement> condition;
  std::vector<OdbcStatement> steps;
};

// Steps an IF condition once: true when its first column is a non-zero number.
bool ConditionHolds(OdbcStatement& condition) {
  condition.Execute();
  SQLRETURN rc = SQLFetch(condition.Handle());
  bool holds = false;
  if (rc != SQL_NO_DATA) {
    if (!SQL_SUCCEEDED(rc)) condition.Fail();
    char value[64] = {0};
    SQLLEN indicator = 0;
    if (!SQL_SUCCEEDED(SQLGetData(condition.Handle(), 1, SQL_C_CHAR, value, sizeof value, &indicator)))
      condition.Fail();
    holds = indicator != SQL_NULL_DATA && std::strtod(value, nullptr) != 0.0;
  }
  condition.Close();
  return holds;
}

long CountOf(dialect::StatementKind kind, long rowCount) {
  switch (kind) {
    case dialect::StatementKind::Select: return -1;
    case dialect::StatementKind::Insert:
    case dialect::StatementKind::Update:
    case dialect::StatementKind::Delete: return rowCount;
    default: return kNoCount;
  }
}

}  // namespace

bool OdbcConnection::IsOdbcConnectionString(const std::string& connectionString) {
  return !ConnectionStringValue(connectionString, "Driver").empty() ||
         !ConnectionStringValue(connectionString, "DSN").empty();
}

OdbcConnection::OdbcConnection(std::string connectionString) : connectionString_(std::move(connectionString)) {}

OdbcConnection::~OdbcConnection() {
  if (connected_) {
    if (inTransaction_) {
      try {
        EndTransaction(false);
      } catch (const ComError&) {
        // disconnecting ends the transaction on the server anyway
      }
    }
    SQLDisconnect(connection_);
  }
  if (connection_ != SQL_NULL_HDBC) SQLFreeHandle(SQL_HANDLE_DBC, connection_);
  if (environment_ != SQL_NULL_HENV) SQLFreeHandle(SQL_HANDLE_ENV, environment_);
  ConnectionRegistry::Prune();
}

std::shared_ptr<OdbcConnection> OdbcConnection::Connect(const std::string& connectionString) {
  std::shared_ptr<OdbcConnection> connection(new OdbcConnection(connectionString));
  connection->Attach();
  connection->Identify();
  ConnectionRegistry::Add(connection);
  return connection;
}

void OdbcConnection::Attach() {
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &environment_)))
    throw ComError(ErrorNumber::E_FAIL_, "The ODBC driver manager could not be started.");
  SQLSetEnvAttr(environment_, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, environment_, &connection_)))
    OdbcErrorMapper::Raise(SQL_HANDLE_ENV, environment_, false, OdbcErrorMapper::Phase::Run);
  std::vector<SQLWCHAR> text = odbc::Wide(connectionString_);
  SQLRETURN rc = SQLDriverConnectW(connection_, nullptr, text.data(), SQL_NTS, nullptr, 0, nullptr,
                                   SQL_DRIVER_NOPROMPT);
  if (!SQL_SUCCEEDED(rc)) {
    ComError error = OdbcErrorMapper::ToError(SQL_HANDLE_DBC, connection_, false, OdbcErrorMapper::Phase::Run);
    throw ComError(ErrorNumber::E_FAIL_, "Cannot connect (" + connectionString_ + "): " + error.Description());
  }
  connected_ = true;
}

// Asks the database what it is: SQL Server runs T-SQL as it is, the SQLite
// driver needs the dialect and its runtime; anything else is refused.
void OdbcConnection::Identify() {
  SQLWCHAR name[128] = {0};
  SQLSMALLINT bytes = 0;
  if (!SQL_SUCCEEDED(SQLGetInfoW(connection_, SQL_DBMS_NAME, name, sizeof name, &bytes)))
    OdbcErrorMapper::Raise(SQL_HANDLE_DBC, connection_, false, OdbcErrorMapper::Phase::Run);
  const std::string dbms = odbc::Narrow(name, std::min<size_t>(static_cast<size_t>(std::max<SQLSMALLINT>(bytes, 0)) /
                                                                   sizeof(SQLWCHAR),
                                                               std::size(name) - 1));
  if (dbms.find("SQL Server") != std::string::npos) {
    dbms_ = Dbms::SqlServer;
    RecordsetPtr session = Open("SELECT @@SPID");
    sessionSuffix_ = "_" + session->Fields(size_t{0}).Value().ToText();
    return;
  }
  if (dbms == "SQLite") {
    dbms_ = Dbms::Sqlite;
    RunDirect("PRAGMA foreign_keys=ON");  // as on the embedded connection
    try {
      RunDirect("SELECT tsql_add(1, 1)");
    } catch (const ComError&) {
      throw ComError(ErrorNumber::E_FAIL_,
                     "The SQLite ODBC connection has no T-SQL runtime: add LoadExt=<path of the fabrikon_tsql "
                     "library> to the connection string.");
    }
    return;
  }
  throw ComError(ErrorNumber::E_FAIL_, "The database behind this connection is \"" + dbms +
                                           "\"; the library runs on SQL Server (or the SQLite ODBC driver).");
}

void OdbcConnection::Execute(const std::string& text, long& recordsAffected) {
  std::vector<long> counts =
      dbms_ == Dbms::Sqlite ? RunTranslated(text, nullptr) : RunWhole(text, nullptr);
  recordsAffected = -1;
  for (long count : counts) {
    if (count != kNoCount) {
      recordsAffected = count;
      break;
    }
  }
}

std::vector<long> OdbcConnection::ExecuteEach(const std::string& text) { return RunEach(text, nullptr); }

RecordsetPtr OdbcConnection::Open(const std::string& text, CursorTypeEnum, LockTypeEnum, CursorLocationEnum) {
  // A static snapshot, as on the embedded connection: nothing stays pending.
  OdbcRecordsetReader rows;
  if (dbms_ == Dbms::Sqlite) {
    RunTranslated(text, &rows);
  } else {
    RunWhole(text, &rows);
  }
  return rows.Build();
}

std::vector<long> OdbcConnection::RunWhole(const std::string& text, OdbcRecordsetReader* rows) {
  if (IsBlank(text))
    throw ComError(ErrorNumber::CommandTextNotSet, "Command text was not set for the command object.");
  OdbcStatement statement(connection_, false);
  // SQL_NO_DATA here is a first result that matched no rows (or no result at all).
  statement.ExecuteDirect(text);
  std::vector<long> results;
  do {
    if (statement.ColumnCount() > 0) {
      if (rows != nullptr && !rows->HasResult()) rows->Read(statement);
      results.push_back(-1);
    } else if (long count = statement.RowCount(); count != -1) {
      results.push_back(count);
    }
  } while (statement.MoreResults());
  return results;
}

std::vector<long> OdbcConnection::RunEach(const std::string& text, OdbcRecordsetReader* rows) {
  if (dbms_ == Dbms::Sqlite) return RunTranslated(text, rows);
  if (IsBlank(text))
    throw ComError(ErrorNumber::CommandTextNotSet, "Command text was not set for the command object.");
  std::vector<long> counts;
  for (const dialect::TranslatedStatement& statement : dialect::TranslateBatch(text)) {
    std::vector<long> results = RunWhole(statement.original, rows);
    counts.push_back(results.empty() ? kNoCount : results.front());
  }
  return counts;
}

std::vector<long> OdbcConnection::RunTranslated(const std::string& text, OdbcRecordsetReader* rows) {
  if (IsBlank(text))
    throw ComError(ErrorNumber::CommandTextNotSet, "Command text was not set for the command object.");
  const std::vector<dialect::TranslatedStatement> translated = dialect::TranslateBatch(text);
  // The whole batch compiles before any of it runs, as on the embedded connection.
  std::vector<CompiledStatement> compiled(translated.size());
  for (size_t i = 0; i < translated.size(); ++i) {
    compiled[i].source = &translated[i];
    if (!translated[i].condition.empty()) {
      compiled[i].condition.emplace(connection_, true);
      compiled[i].condition->Prepare(translated[i].condition);
    }
    for (const std::string& sql : translated[i].sql) {
      if (IsBlank(sql)) continue;
      compiled[i].steps.emplace_back(connection_, true);
      compiled[i].steps.back().Prepare(sql);
    }
  }
  std::vector<long> counts;
  counts.reserve(compiled.size());
  bool elseDue = false;  // the statement before was an IF whose condition was false
  for (CompiledStatement& statement : compiled) {
    const bool reached = !statement.source->otherwise || elseDue;
    elseDue = reached && statement.condition && !ConditionHolds(*statement.condition);
    if (!reached || elseDue) {
      counts.push_back(kNoCount);
      continue;
    }
    const bool select = statement.source->kind == dialect::StatementKind::Select;
    long rowCount = 0;
    for (OdbcStatement& step : statement.steps) {
      const bool matched = step.Execute();
      if (select && rows != nullptr && !rows->HasResult() && step.ColumnCount() > 0) rows->Read(step);
      rowCount = matched ? step.RowCount() : 0;
      step.Close();
    }
    counts.push_back(CountOf(statement.source->kind, rowCount));
    // The T-SQL runtime keeps the declared types it converts stored values to.
    if (statement.source->kind == dialect::StatementKind::Ddl) RunDirect("SELECT tsql_store_forget()");
  }
  return counts;
}

void OdbcConnection::BeginTrans() {
  if (inTransaction_) throw ComError(ErrorNumber::E_FAIL_, "A transaction is already open on this connection.");
  if (dbms_ == Dbms::Sqlite) {
    // The driver would begin a deferred transaction at the first statement;
    // taking the write lock now keeps a save from failing half way because
    // another connection became the writer, as on the embedded connection.
    RunDirect("BEGIN IMMEDIATE");
  } else if (!SQL_SUCCEEDED(SQLSetConnectAttrW(connection_, SQL_ATTR_AUTOCOMMIT,
                                               reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0))) {
    OdbcErrorMapper::Raise(SQL_HANDLE_DBC, connection_, false, OdbcErrorMapper::Phase::Run);
  }
  inTransaction_ = true;
}

void OdbcConnection::CommitTrans() {
  if (!inTransaction_) throw ComError(ErrorNumber::NoTransaction, "No transaction is active.");
  EndTransaction(true);
}

void OdbcConnection::RollbackTrans() {
  if (!inTransaction_) throw ComError(ErrorNumber::NoTransaction, "No transaction is active.");
  EndTransaction(false);
}

void OdbcConnection::EndTransaction(bool commit) {
  if (dbms_ == Dbms::Sqlite) {
    RunDirect(commit ? "COMMIT" : "ROLLBACK");
    inTransaction_ = false;
    return;
  }
  SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, connection_, commit ? SQL_COMMIT : SQL_ROLLBACK);
  if (!SQL_SUCCEEDED(rc)) OdbcErrorMapper::Raise(SQL_HANDLE_DBC, connection_, false, OdbcErrorMapper::Phase::Run);
  inTransaction_ = false;
  SQLSetConnectAttrW(connection_, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
}

void OdbcConnection::RunDirect(const std::string& text) {
  OdbcStatement statement(connection_, dbms_ == Dbms::Sqlite);
  statement.ExecuteDirect(text);
}

}  // namespace fabrikon
