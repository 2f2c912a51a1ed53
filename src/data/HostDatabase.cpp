// HostDatabase: creates the embedded host database from the schema scripts
// compiled into the library and brings older files up to date. The schema
// version lives in PRAGMA user_version; every script schema/NNN_name.sql
// brings a database to version NNN, and an upgrade runs the scripts above the
// file's version in one transaction, so a failed upgrade leaves the file as
// it was. A file is ours when it has a schema version and the host tables
// that the first script made; any other file (an empty one, another
// program's database, whatever its user_version says) is never touched:
// opening it must not plant a schema in it nor change its journal mode.
#include "data/HostDatabase.h"

#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <system_error>

#include "data/SchemaScripts.h"
#include "data/SqliteConnection.h"
#include "data/SqliteErrorMapper.h"
#include "fabrikon/ComError.h"
#include "fabrikon/Connection.h"

namespace fabrikon {

namespace {

namespace fs = std::filesystem;


// The tables of the first schema script that every host database keeps.
constexpr const char* kHostTablesQuery =
    "SELECT count(*) FROM sqlite_master WHERE type='table' AND lower(name) IN ('vouchers','fabrikonsettings','__dbts')";
constexpr int kHostTableCount = 3;

int ReadInt(SqliteConnection& conn, const char* sql) {
  sqlite3_stmt* raw = nullptr;
  int rc = sqlite3_prepare_v2(conn.Handle(), sql, -1, &raw, nullptr);
  std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> statement(raw, sqlite3_finalize);
  if (rc != SQLITE_OK) SqliteErrorMapper::Raise(conn.Handle(), rc, SqliteErrorMapper::Phase::Prepare);
  rc = sqlite3_step(statement.get());
  if (rc != SQLITE_ROW) SqliteErrorMapper::Raise(conn.Handle(), rc, SqliteErrorMapper::Phase::Run);
  return sqlite3_column_int(statement.get(), 0);
}

int ReadUserVersion(SqliteConnection& conn) { return ReadInt(conn, "PRAGMA user_version"); }

// Runs a script, naming it in the error so that a broken script is found.
void RunScript(SqliteConnection& conn, const SchemaScript& script, const char* what) {
  try {
    conn.ExecuteNative(script.text);
  } catch (const ComError& e) {
    throw ComError(e.Number(), std::string(what) + " " + script.name + " failed: " + e.Description());
  }
}

// Scripts above fromVersion, then the new version number.
void RunSchemaScripts(SqliteConnection& conn, int fromVersion) {
  for (const SchemaScript& script : SchemaScripts()) {
    if (script.version > fromVersion) RunScript(conn, script, "Schema script");
  }
  conn.ExecuteNative("PRAGMA user_version=" + std::to_string(HostDatabase::CurrentVersion()));
}

// One unit of work on the connection: a transaction that takes the write
// lock at once when none is open (so that two processes upgrading the same
// file do it one after the other), else a savepoint inside the caller's.
class SchemaTransaction {
 public:
  explicit SchemaTransaction(SqliteConnection& conn) : conn_(conn), nested_(conn.InTransaction()) {
    conn_.ExecuteNative(nested_ ? "SAVEPOINT fabrikon_schema" : "BEGIN IMMEDIATE");
  }
  ~SchemaTransaction() {
    if (done_) return;
    try {
      conn_.ExecuteNative(nested_ ? "ROLLBACK TO fabrikon_schema; RELEASE fabrikon_schema" : "ROLLBACK");
    } catch (const ComError&) {
      // The original failure is what the caller needs to see.
    }
  }
  SchemaTransaction(const SchemaTransaction&) = delete;
  SchemaTransaction& operator=(const SchemaTransaction&) = delete;
  void Commit() {
    conn_.ExecuteNative(nested_ ? "RELEASE fabrikon_schema" : "COMMIT");
    done_ = true;
  }

 private:
  SqliteConnection& conn_;
  bool nested_;
  bool done_ = false;
};

void RemoveDatabaseFiles(const std::string& path) {
  std::error_code ignored;
  for (const char* suffix : {"", "-wal", "-shm", "-journal"}) fs::remove(path + suffix, ignored);
}

void PrepareFreshFile(const std::string& path, bool bForce) {
  std::error_code ec;
  fs::file_status status = fs::status(path, ec);
  if (!fs::exists(status)) return;
  if (fs::is_directory(status))
    throw ComError(ErrorNumber::E_FAIL_, "Cannot create the database: " + path + " is a directory.");
  if (!bForce)
    throw ComError(ErrorNumber::E_FAIL_,
                   "Cannot create the database: the file " + path + " already exists (force to replace it).");
  RemoveDatabaseFiles(path);
  if (fs::exists(path, ec))
    throw ComError(ErrorNumber::E_FAIL_, "Cannot create the database: the file " + path + " cannot be removed.");
}

void Populate(SqliteConnection& conn, bool bDemo) {
  SchemaTransaction transaction(conn);
  RunSchemaScripts(conn, 0);
  if (bDemo) {
    for (const SchemaScript& script : DemoScripts()) RunScript(conn, script, "Demo script");
  }
  transaction.Commit();
}

}  // namespace

std::string HostDatabase::ConnectionStringFor(const std::string& path) {
  // Quoted, so that ';' or '=' in the path survive.
  std::string quoted;
  for (char c : path) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  return "Data Source=\"" + quoted + "\"";
}

int HostDatabase::CurrentVersion() {
  int version = 0;
  for (const SchemaScript& script : SchemaScripts()) version = std::max(version, script.version);
  return version;
}

int HostDatabase::SchemaVersion(SqliteConnection& conn) { return ReadUserVersion(conn); }

void HostDatabase::Create(const std::string& path, bool bDemo, bool bForce) {
  if (path.empty()) throw ComError(ErrorNumber::E_FAIL_, "Cannot create the database: no file name given.");
  PrepareFreshFile(path, bForce);
  try {
    std::shared_ptr<SqliteConnection> conn =
        SqliteConnection::Connect(ConnectionStringFor(path), SqliteConnection::Missing::Create);
    Populate(*conn, bDemo);
    conn->ExecuteNative("PRAGMA journal_mode=WAL;");
  } catch (...) {
    // The connection is gone here; a half-made file must not pass for a database.
    RemoveDatabaseFiles(path);
    throw;
  }
}

bool HostDatabase::IsHostDatabase(SqliteConnection& conn) {
  return ReadUserVersion(conn) > 0 && ReadInt(conn, kHostTablesQuery) == kHostTableCount;
}

void HostDatabase::Upgrade(SqliteConnection& conn) {
  const int current = CurrentVersion();
  int version = ReadUserVersion(conn);
  if (version == 0 || version >= current || !IsHostDatabase(conn)) return;
  SchemaTransaction transaction(conn);
  // Read again under the write lock: another process may have upgraded the
  // file while this one waited for the lock.
  version = ReadUserVersion(conn);
  if (version == 0 || version >= current) return;
  RunSchemaScripts(conn, version);
  transaction.Commit();
}

}  // namespace fabrikon
