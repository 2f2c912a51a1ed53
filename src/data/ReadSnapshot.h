// ReadSnapshot: keeps one read transaction open on the embedded database
// while a run of reads goes on (a batch's schema check, compilation and
// SELECTs; the explosion's level queries, one per BOM head; a voucher's load
// or move: parameters, head, lines and key range), so that each
// read does not take and release the file's locks again. The reads then all
// see the database as it was when the first of them ran, this connection's
// own writes included. Nothing is sent as SQL text and the connection stays
// outside any transaction (InTransaction is unchanged); on other backends,
// inside a transaction (whose locks are held anyway) and inside another
// snapshot of the same connection, it does nothing.
#pragma once
#include "fabrikon/Connection.h"

struct sqlite3_stmt;

namespace fabrikon {

class SqliteConnection;

class ReadSnapshot {
 public:
  explicit ReadSnapshot(const ConnectionPtr& conn);
  explicit ReadSnapshot(SqliteConnection& conn);
  ~ReadSnapshot() { Release(); }
  ReadSnapshot(const ReadSnapshot&) = delete;
  ReadSnapshot& operator=(const ReadSnapshot&) = delete;

  // Ends the read transaction early (before this connection writes, as a
  // write would otherwise have to start from an older snapshot).
  void Release();
  // Holds it again after Release (a no-op when it never could).
  void Hold();

 private:
  SqliteConnection* conn_ = nullptr;
  sqlite3_stmt* held_ = nullptr;  // the connection's snapshot statement, stepped to its row
};

}  // namespace fabrikon
