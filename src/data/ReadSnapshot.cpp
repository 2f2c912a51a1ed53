// The read transaction held across a run of reads (see ReadSnapshot.h).
// SQLite ends an implicit read transaction only when the last statement of
// the connection that reads the file finishes, so one statement stepped to
// its row and left unfinished keeps it open: the batches run meanwhile find
// the file locked for reading already and end without unlocking it.
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
  if (embedded == nullptr || embedded->Handle() == nullptr || embedded->InTransaction() ||
      !embedded->ReadOnlyReason().empty())
    return;
  if (sqlite3_prepare_v2(embedded->Handle(), "PRAGMA schema_version", -1, &pin_, nullptr) != SQLITE_OK) {
    sqlite3_finalize(pin_);
    pin_ = nullptr;
    return;
  }
  Hold();
}

ReadSnapshot::~ReadSnapshot() { sqlite3_finalize(pin_); }

void ReadSnapshot::Release() {
  if (pin_ != nullptr) sqlite3_reset(pin_);
}

void ReadSnapshot::Hold() {
  // A failed step (the file busy or unreadable) holds nothing: the reads
  // then lock for themselves and report the failure as they always did.
  if (pin_ != nullptr && sqlite3_step(pin_) != SQLITE_ROW) sqlite3_reset(pin_);
}

}  // namespace fabrikon
