// ReadSnapshot: keeps one read transaction open on the embedded database
// while a run of reads goes on (the explosion's level queries, one per BOM
// head), so that each read does not take and release the file's locks again.
// The reads then all see the database as it was when the first of them ran,
// this connection's own writes included. Nothing is sent as SQL text and the
// connection stays outside any transaction (InTransaction is unchanged); on
// other backends, and inside a transaction (whose locks are held anyway), it
// does nothing.
#pragma once
#include "fabrikon/Connection.h"

struct sqlite3_stmt;

namespace fabrikon {

class ReadSnapshot {
 public:
  explicit ReadSnapshot(const ConnectionPtr& conn);
  ~ReadSnapshot();
  ReadSnapshot(const ReadSnapshot&) = delete;
  ReadSnapshot& operator=(const ReadSnapshot&) = delete;

  // Ends the read transaction early (before this connection writes, as a
  // write would otherwise have to start from an older snapshot).
  void Release();
  // Holds it again after Release (a no-op when it never held one).
  void Hold();

 private:
  sqlite3_stmt* pin_ = nullptr;  // stepped to its row and left there
};

}  // namespace fabrikon
