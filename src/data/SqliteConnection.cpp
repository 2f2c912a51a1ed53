// SqliteConnection: the embedded backend. Opens an existing database file
// with a busy timeout and the dialect's collation and functions, brings a
// host database's schema up to date and then switches it to WAL (files that
// are not ours, are newer, or fail their upgrade are never written), and
// runs T-SQL batches through the dialect with ADO's counting rules, error
// numbers and transaction behaviour.
//
// A read-only open (Mode=Read, or a file or folder this process cannot
// write) creates no file beside the database: a reader's -wal/-shm would
// belong to the reader and lock the owner's later writes out, and a
// read-only folder cannot take them at all. A rollback-journal file is read
// with mode=ro. A WAL file whose log is gone (its last writer closed it, so
// everything is in the file) is read as immutable, and opened again when a
// writer appears later (see FollowWriters); while a writer has the
// log open, its -wal and -shm exist and the reader uses them read-only. A
// log with content but no -shm (left by hand) cannot be read without
// recovering it, which only a writer may do, so that open is refused.
#include "data/SqliteConnection.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>

#include "data/ColumnMetadataCache.h"
#include "data/ConnectionRegistry.h"
#include "data/HostDatabase.h"
#include "data/PreparedBatch.h"
#include "data/ReadSnapshot.h"
#include "data/RecordsetBuilder.h"
#include "data/SqliteErrorMapper.h"
#include "data/StatementCache.h"
#include "data/dialect/SchemaCatalog.h"
#include "data/dialect/StoreConversion.h"
#include "data/dialect/TSqlDialect.h"

namespace fabrikon {

namespace {

constexpr int kDefaultBusyTimeoutMs = 5000;

std::string Trim(const std::string& text) {
  size_t begin = text.find_first_not_of(" \t\r\n");
  if (begin == std::string::npos) return "";
  size_t end = text.find_last_not_of(" \t\r\n");
  return text.substr(begin, end - begin + 1);
}

// "Busy Timeout=MS": how long a statement waits for another writer.
int BusyTimeoutOf(const std::string& connectionString) {
  std::string text = ConnectionStringValue(connectionString, "Busy Timeout");
  if (text.empty()) return kDefaultBusyTimeoutMs;
  char* end = nullptr;
  long ms = std::strtol(text.c_str(), &end, 10);
  if (end == text.c_str() || *end != '\0' || ms < 0 || ms > 3600000)
    throw ComError(ErrorNumber::E_FAIL_, "Invalid Busy Timeout in the connection string: " + text);
  return static_cast<int>(ms);
}

// "Mode=Read" (ADO's read-only mode) opens the file for reading only.
bool IsReadMode(const std::string& connectionString) {
  std::string mode = ConnectionStringValue(connectionString, "Mode");
  for (char& c : mode) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return mode == "read";
}

namespace fs = std::filesystem;

// True when this process may change the file and create its journal or log
// beside it (root may; a read-only file system refuses even root).
bool CanWrite(const std::string& path) {
  fs::path folder = fs::path(path).parent_path();
  if (folder.empty()) folder = ".";
  return ::access(path.c_str(), W_OK) == 0 && ::access(folder.c_str(), W_OK) == 0;
}

// The header's read and write versions are 2 in WAL mode.
bool IsWalFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  unsigned char header[20] = {0};
  const size_t read = std::fread(header, 1, sizeof header, file);
  std::fclose(file);
  return read == sizeof header && header[18] == 2 && header[19] == 2;
}

std::string UriPath(const std::string& path) {
  std::string text = fs::absolute(path).string();
  std::string uri = "file://";
  for (unsigned char c : text) {
    const bool plain = std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~';
    if (plain) {
      uri += static_cast<char>(c);
    } else {
      static const char* kHex = "0123456789ABCDEF";
      uri += '%';
      uri += kHex[c >> 4];
      uri += kHex[c & 15];
    }
  }
  return uri;
}

// What tells whether a file read as immutable has changed since.
std::string StampOf(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return "gone";
  return std::to_string(info.st_ino) + ":" + std::to_string(info.st_size) + ":" +
         std::to_string(info.st_mtim.tv_sec) + "." + std::to_string(info.st_mtim.tv_nsec);
}

// The URI that reads the file without creating anything beside it; immutable
// tells whether it reads the file as immutable.
std::string ReadOnlyUri(const std::string& path, bool& immutable) {
  immutable = false;
  const std::string uri = UriPath(path) + "?mode=ro";
  if (!IsWalFile(path)) return uri;
  std::error_code ec;
  const bool hasLog = fs::exists(path + "-wal", ec);
  const bool logHasContent = hasLog && fs::file_size(path + "-wal", ec) > 0;
  const bool hasIndex = fs::exists(path + "-shm", ec);
  if (hasLog && hasIndex) return uri;
  immutable = !logHasContent;
  if (immutable) return uri + "&immutable=1";
  throw ComError(ErrorNumber::E_FAIL_, "Cannot open database \"" + path + "\" for reading: its write-ahead log (" +
                                           path + "-wal) has no index beside it; open it once for writing first.");
}

// A statement from native script text, finalised when it leaves scope.
struct Finalizer {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using OwnedStatement = std::unique_ptr<sqlite3_stmt, Finalizer>;

}  // namespace

SqliteConnection::SqliteConnection(std::string connectionString, std::string path)
    : connectionString_(std::move(connectionString)), path_(std::move(path)) {}

SqliteConnection::~SqliteConnection() {
  sqlite3_finalize(snapshot_);
  statements_.reset();  // every statement finalised before the handle goes
  columns_.reset();
  catalog_.reset();
  if (db_ != nullptr) sqlite3_close_v2(db_);  // rolls back an open transaction
  ConnectionRegistry::Prune();
}

std::shared_ptr<SqliteConnection> SqliteConnection::Connect(const std::string& connectionString, Missing missing) {
  std::string path = connectionString.find('=') == std::string::npos
                         ? Trim(connectionString)
                         : ConnectionStringValue(connectionString, "Data Source");
  if (path.empty())
    throw ComError(ErrorNumber::E_FAIL_, "The connection string names no data source: " + connectionString);
  const int busyTimeoutMs = BusyTimeoutOf(connectionString);
  const bool readOnlyRequested = IsReadMode(connectionString);
  std::error_code ec;
  const bool exists = path == ":memory:" || std::filesystem::exists(path, ec);
  if (!exists && (missing == Missing::Refuse || readOnlyRequested))
    throw ComError(ErrorNumber::E_FAIL_, "Cannot open database \"" + path +
                                             "\": the file does not exist (create a host database first).");

  const bool readOnly = readOnlyRequested || (exists && path != ":memory:" && !CanWrite(path));
  std::shared_ptr<SqliteConnection> connection(new SqliteConnection(connectionString, path));
  connection->OpenFile(readOnly, !exists);
  connection->Configure(busyTimeoutMs);
  connection->Settle(readOnly);
  ConnectionRegistry::Add(connection);
  return connection;
}

// NOMUTEX: SQLite skips its per-connection lock on every call (a tenth of
// the work of a small query). Safe because a connection is used by one thread
// at a time anyway: its statement and column caches are unsynchronised, the
// registry that hands it out is per thread, and the C interface requires a
// handle to stay on one thread at a time. Separate connections on separate
// threads remain safe in SQLite's multi-thread mode.
void SqliteConnection::OpenFile(bool readOnly, bool create) {
  immutableStamp_.clear();
  if (readOnly && path_ != ":memory:") {
    bool immutable = false;
    const std::string stamp = StampOf(path_);
    const std::string uri = ReadOnlyUri(path_, immutable);
    const int rc = sqlite3_open_v2(uri.c_str(), &db_, SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_READONLY | SQLITE_OPEN_URI,
                                   nullptr);
    if (rc != SQLITE_OK) SqliteErrorMapper::Raise(db_, rc, SqliteErrorMapper::Phase::Run);
    if (immutable) immutableStamp_ = stamp;
    return;
  }
  const int flags = SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
  int rc = sqlite3_open_v2(path_.c_str(), &db_, flags, nullptr);
  if (rc != SQLITE_OK) SqliteErrorMapper::Raise(db_, rc, SqliteErrorMapper::Phase::Run);
}

void SqliteConnection::Configure(int busyTimeoutMs) {
  sqlite3_extended_result_codes(db_, 1);
  sqlite3_busy_timeout(db_, busyTimeoutMs);
  // A double-quoted name is a name, never a text as SQLite would fall back to.
  sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
  sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
  statements_ = std::make_unique<StatementCache>(db_);
  columns_ = std::make_unique<ColumnMetadataCache>(db_);
  catalog_ = std::make_unique<dialect::SchemaCatalog>(db_);
  dialect::RegisterFunctions(db_);
  dialect::StoreConversion::ReportsSchemaChanges(db_);  // RunBatch and SchemaChanged do
  // SQL Server enforces declared foreign keys, so the embedded database does
  // too (a setting of the connection, not of the file).
  ExecuteNative("PRAGMA foreign_keys=ON;");
}

// Decides whether the file is ours to write (HostDatabase::IsHostDatabase):
// only then is it brought up to date and, once that succeeded, switched to
// WAL (which lets readers go on while one connection writes). Other files
// get no write at all.
void SqliteConnection::Settle(bool readOnly) {
  const int version = HostDatabase::SchemaVersion(*this);
  const int current = HostDatabase::CurrentVersion();
  if (version > current) {
    readOnlyReason_ = "The database \"" + path_ + "\" has schema version " + std::to_string(version) +
                      ", newer than version " + std::to_string(current) +
                      " of this library; it is opened for reading only.";
    if (!readOnly) ReopenReadOnly();
    return;
  }
  if (readOnly || sqlite3_db_readonly(db_, "main") == 1) {
    readOnlyReason_ = "Failed to update database \"" + path_ + "\" because the database is read-only.";
    return;
  }
  if (version > 0 && HostDatabase::IsHostDatabase(*this)) {
    HostDatabase::Upgrade(*this);
    ExecuteNative("PRAGMA journal_mode=WAL;");
  }
}

void SqliteConnection::ReopenReadOnly() {
  bool immutable = false;
  ReadOnlyUri(path_, immutable);  // refuses before the open handle goes
  sqlite3_finalize(snapshot_);
  snapshot_ = nullptr;
  schemaReadIn_ = 0;
  statements_.reset();
  columns_.reset();
  catalog_.reset();
  sqlite3_close_v2(db_);
  db_ = nullptr;
  OpenFile(true, false);
  Configure(BusyTimeoutOf(connectionString_));
}

// An immutable read takes no locks, so a writer that appears later neither
// waits for it nor is seen by it. A writer's first write starts the log and
// its checkpoints change the file; either makes the next batch open the file
// again: through the writer's -wal and -shm while they exist, else as
// immutable again. (Temporary tables of the old handle are gone then.)
void SqliteConnection::FollowWriters() {
  if (!statements_)  // an earlier reopen failed
    throw ComError(ErrorNumber::E_FAIL_, "The database \"" + path_ + "\" could not be opened again for reading.");
  if (immutableStamp_.empty() || InTransaction()) return;
  std::error_code ec;
  if (!fs::exists(path_ + "-wal", ec) && StampOf(path_) == immutableStamp_) return;
  ReopenReadOnly();
}

void SqliteConnection::RaiseRefusedWrite(const ComError& error) const {
  if (!readOnlyReason_.empty() && error.Description().find("readonly database") != std::string::npos)
    throw ComError(ErrorNumber::E_FAIL_, readOnlyReason_);
  throw error;
}

void SqliteConnection::Execute(const std::string& text, long& recordsAffected) {
  FollowWriters();
  std::vector<long> counts = RunBatch(text, [] { return nullptr; });
  recordsAffected = -1;
  for (long count : counts) {
    if (count != kNoCount) {
      recordsAffected = count;
      break;
    }
  }
}

std::vector<long> SqliteConnection::ExecuteEach(const std::string& text) {
  FollowWriters();
  return RunBatch(text, [] { return nullptr; });
}

std::vector<long> SqliteConnection::ExecuteAll(const std::string& text, std::vector<RecordsetPtr>& rowsets) {
  FollowWriters();
  std::deque<RecordsetBuilder> builders;
  std::vector<long> counts = RunBatch(text, [&] { return &builders.emplace_back(*columns_, statements_.get()); });
  for (RecordsetBuilder& rows : builders) rowsets.push_back(rows.Build());
  return counts;
}

RecordsetPtr SqliteConnection::Open(const std::string& text, CursorTypeEnum, LockTypeEnum, CursorLocationEnum) {
  // Every cursor is a static snapshot: the library writes on this connection
  // while its recordsets are open.
  FollowWriters();  // before the builder takes the caches
  RecordsetBuilder rows(*columns_, statements_.get());
  RunBatch(text, [&rows]() { return rows.HasResult() ? nullptr : &rows; });
  return rows.Build();
}

void SqliteConnection::ForEachRow(const std::string& text, RowSink& sink) {
  FollowWriters();
  RecordsetBuilder rows(*columns_, statements_.get(), sink);
  RunBatch(text, [&rows]() { return rows.HasResult() ? nullptr : &rows; });
}

std::vector<long> SqliteConnection::RunBatch(const std::string& text,
                                             const std::function<RecordsetBuilder*()>& rows) {
  if (text.find_first_not_of(" \t\r\n\f\v") == std::string::npos)
    throw ComError(ErrorNumber::CommandTextNotSet, "Command text was not set for the command object.");
  try {
    ReadSnapshot snapshot(*this);
    RefreshSchema();
    PreparedBatch batch(db_, *statements_, text, catalog_.get());
    if (!batch.ReadsOnly()) {
      snapshot.Release();  // writes take their own transaction
      schemaReadIn_ = 0;
    }
    return batch.Run(rows, [this] { SchemaChanged(); });
  } catch (const ComError& error) {
    RaiseRefusedWrite(error);
  }
}

// Another connection cannot change the schema a held read transaction sees,
// so within one hold the cookie is read once; whatever this connection does
// besides reading (a write, a transaction, a native script) reads it again.
void SqliteConnection::RefreshSchema() {
  const bool held = snapshot_ != nullptr && sqlite3_stmt_busy(snapshot_) != 0;
  if (held && schemaReadIn_ == holds_) return;
  const uint64_t generation = catalog_->Generation();
  catalog_->Refresh();
  if (catalog_->Generation() != generation) dialect::StoreConversion::SchemaChanged(db_);
  schemaReadIn_ = held ? holds_ : 0;
}

// One read transaction serves the schema check, the compilation and, when
// the batch only reads, its SELECTs: each would otherwise take and drop the
// file's locks in turn. A statement that has returned a row and is not reset
// keeps SQLite's read transaction open across the statements after it.
sqlite3_stmt* SqliteConnection::HoldSnapshot() {
  if (sqlite3_get_autocommit(db_) == 0) return nullptr;  // the caller's transaction holds the locks
  if (snapshot_ == nullptr && sqlite3_prepare_v2(db_, "PRAGMA schema_version", -1, &snapshot_, nullptr) != SQLITE_OK)
    return nullptr;
  if (sqlite3_stmt_busy(snapshot_)) return nullptr;  // a batch run from inside a batch
  if (sqlite3_step(snapshot_) == SQLITE_ROW) {
    ++holds_;
    return snapshot_;
  }
  sqlite3_reset(snapshot_);
  return nullptr;
}

void SqliteConnection::BeginTrans() {
  // A transaction is begun to write; the engine would grant it even here.
  if (!readOnlyReason_.empty()) throw ComError(ErrorNumber::E_FAIL_, readOnlyReason_);
  if (InTransaction())
    throw ComError(ErrorNumber::E_FAIL_, "A transaction is already open on this connection.");
  // IMMEDIATE takes the write lock now: a save never fails half way because
  // another connection became the writer in the meantime.
  RunControl("BEGIN IMMEDIATE");
}

void SqliteConnection::CommitTrans() {
  if (!InTransaction()) throw ComError(ErrorNumber::NoTransaction, "No transaction is active.");
  RunControl("COMMIT");
}

void SqliteConnection::RollbackTrans() {
  if (!InTransaction()) throw ComError(ErrorNumber::NoTransaction, "No transaction is active.");
  RunControl("ROLLBACK");
}

bool SqliteConnection::InTransaction() const { return db_ != nullptr && sqlite3_get_autocommit(db_) == 0; }

void SqliteConnection::RunControl(const char* sql) {
  schemaReadIn_ = 0;
  StatementHandle statement = statements_->Prepare(sql);
  int rc = sqlite3_step(statement.get());
  sqlite3_reset(statement.get());
  if (rc != SQLITE_DONE) RaiseRefusedWrite(SqliteErrorMapper::ToError(db_, rc, SqliteErrorMapper::Phase::Run));
}

void SqliteConnection::ExecuteNative(const std::string& script) {
  schemaReadIn_ = 0;
  try {
    const char* tail = script.c_str();
    while (*tail != '\0') {
      sqlite3_stmt* raw = nullptr;
      const char* next = nullptr;
      int rc = sqlite3_prepare_v2(db_, tail, -1, &raw, &next);
      OwnedStatement statement(raw);
      if (rc != SQLITE_OK) SqliteErrorMapper::Raise(db_, rc, SqliteErrorMapper::Phase::Prepare);
      if (next == tail) break;
      tail = next;
      if (!statement) continue;  // blanks or a comment
      while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) {
      }
      if (rc != SQLITE_DONE) SqliteErrorMapper::Raise(db_, rc, SqliteErrorMapper::Phase::Run);
    }
  } catch (...) {
    SchemaChanged();
    throw;
  }
  SchemaChanged();
}

void SqliteConnection::SchemaChanged() {
  schemaReadIn_ = 0;
  if (statements_) statements_->Clear();
  if (columns_) columns_->Clear();
  if (catalog_) catalog_->Changed();
  if (db_ != nullptr) dialect::StoreConversion::SchemaChanged(db_);
}

}  // namespace fabrikon
