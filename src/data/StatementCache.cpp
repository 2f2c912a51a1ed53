// StatementCache: compiles SQL text once per connection and hands out the
// statement reset, least recently used entries dropped beyond the capacity.
#include "data/StatementCache.h"

#include <sqlite3.h>

#include "data/SqliteErrorMapper.h"

namespace fabrikon {

namespace {

// Only blanks, semicolons and comments may follow the one statement.
bool HasMoreStatements(sqlite3* db, const char* tail) {
  while (tail != nullptr && *tail != '\0') {
    sqlite3_stmt* next = nullptr;
    const char* rest = nullptr;
    int rc = sqlite3_prepare_v2(db, tail, -1, &next, &rest);
    if (rc != SQLITE_OK || next != nullptr) {
      sqlite3_finalize(next);
      return true;
    }
    if (rest == tail) break;
    tail = rest;
  }
  return false;
}

}  // namespace

StatementHandle StatementCache::Prepare(std::string_view text) {
  auto found = entries_.find(text);
  if (found != entries_.end()) {
    order_.splice(order_.begin(), order_, found->second.position);
    sqlite3_reset(found->second.statement.get());
    return found->second.statement;
  }
  const std::string sql(text);
  StatementHandle statement = Compile(sql);
  if (!statement) return statement;
  const size_t bytes = 2 * sql.size() + 128 +
                      static_cast<size_t>(sqlite3_stmt_status(statement.get(), SQLITE_STMTSTATUS_MEMUSED, 0));
  if (bytes > capacityBytes_ / 4) return statement;  // used by this batch only
  order_.push_front(sql);
  entries_.emplace(sql, Entry{statement, order_.begin(), bytes});
  columns_.emplace(statement.get(), nullptr);
  bytes_ += bytes;
  while (entries_.size() > capacity_ || bytes_ > capacityBytes_) {
    auto oldest = entries_.find(order_.back());
    bytes_ -= oldest->second.bytes;
    columns_.erase(oldest->second.statement.get());
    entries_.erase(oldest);
    order_.pop_back();
  }
  return statement;
}

StatementHandle StatementCache::Compile(const std::string& sql) const {
  sqlite3_stmt* raw = nullptr;
  const char* tail = nullptr;
  int rc = sqlite3_prepare_v3(db_, sql.c_str(), static_cast<int>(sql.size() + 1), SQLITE_PREPARE_PERSISTENT,
                              &raw, &tail);
  if (rc != SQLITE_OK) {
    sqlite3_finalize(raw);
    SqliteErrorMapper::Raise(db_, rc, SqliteErrorMapper::Phase::Prepare);
  }
  if (raw == nullptr) return StatementHandle();
  StatementHandle statement(raw, sqlite3_finalize);
  // Running only the first of several statements would silently drop the rest.
  if (HasMoreStatements(db_, tail))
    throw ComError(ErrorNumber::ErrorsInCommand, "more than one statement in one translated statement: " + sql);
  return statement;
}

std::shared_ptr<const ResultColumns> StatementCache::Columns(sqlite3_stmt* statement) const {
  auto found = columns_.find(statement);
  return found == columns_.end() ? nullptr : found->second;
}

void StatementCache::KeepColumns(sqlite3_stmt* statement, std::shared_ptr<const ResultColumns> columns) {
  auto found = columns_.find(statement);
  if (found != columns_.end()) found->second = std::move(columns);
}

void StatementCache::Clear() {
  columns_.clear();
  entries_.clear();
  order_.clear();
  bytes_ = 0;
}

}  // namespace fabrikon
