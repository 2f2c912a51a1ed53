// The read transaction held across a run of reads (see ReadSnapshot.h).
// SQLite ends an implicit read transaction only when the last statement of
// the connection that reads the file finishes, so the connection's snapshot
// statement, stepped to its row and left unfinished, keeps it open: the
// batches run meanwhile find the file locked for reading already and end
// without unlocking it.
#include "data/ReadSnapshot.h"

#include <sqlite3.h>

#include "data/SqliteConnection.h"
#include "fabrikon/TraceConnection.h"

namespace fabrikon {
namespace {

SqliteConnection* Embedded(Connection* conn) {
  while (auto* traced = dynamic_cast<TraceConnection*>(conn)) conn = traced->Inner().get();
  return dynamic_cast<SqliteConnection*>(conn);
}

}  // namespace

ReadSnapshot::ReadSnapshot(const ConnectionPtr& conn) {
  SqliteConnection* embedded = conn ? Embedded(conn.get()) : nullptr;
  // A read-only handle may be opened again under the scope (see
  // SqliteConnection::FollowWriters); it is left to lock for itself.
  if (embedded == nullptr || embedded->Handle() == nullptr || !embedded->ReadOnlyReason().empty()) return;
  conn_ = embedded;
  Hold();
}

ReadSnapshot::ReadSnapshot(SqliteConnection& conn) : conn_(&conn) { Hold(); }

void ReadSnapshot::Release() {
  if (held_ != nullptr) sqlite3_reset(held_);
  held_ = nullptr;
}

void ReadSnapshot::Hold() {
  // Nothing held (the file busy or unreadable): the reads then lock for
  // themselves and report a failure as they always did.
  if (conn_ != nullptr && held_ == nullptr) held_ = conn_->HoldSnapshot();
}

}  // namespace fabrikon
