// StatementCache: prepared statements of one connection, kept per SQL text.
// A save sends the same statement shapes again and again; compiling each once
// saves most of the work. Bounded by entries and by the memory they hold. Handles are shared, so evicting an entry never
// finalises a statement that a running batch still holds.
#pragma once
#include <list>
#include <memory>
#include <string>
#include <unordered_map>

struct sqlite3;
struct sqlite3_stmt;

namespace fabrikon {

using StatementHandle = std::shared_ptr<sqlite3_stmt>;

class StatementCache {
 public:
  explicit StatementCache(sqlite3* db, size_t capacity = 256, size_t capacityBytes = 8 * 1024 * 1024)
      : db_(db), capacity_(capacity), capacityBytes_(capacityBytes) {}
  StatementCache(const StatementCache&) = delete;
  StatementCache& operator=(const StatementCache&) = delete;

  // The prepared statement for one SQL statement, ready to step. Raises a
  // ComError when the text does not compile or holds more than one statement.
  // A text with nothing to run gives null.
  StatementHandle Prepare(const std::string& sql);
  // Drops every entry (after the schema changed, so that the next batch is
  // compiled against the new schema before anything of it runs).
  void Clear();
  size_t Size() const { return entries_.size(); }

 private:
  using Order = std::list<std::string>;
  struct Entry {
    StatementHandle statement;
    Order::iterator position;
    size_t bytes;  // the compiled statement's memory and its text
  };
  StatementHandle Compile(const std::string& sql) const;

  sqlite3* db_;
  size_t capacity_;
  size_t capacityBytes_;
  size_t bytes_ = 0;
  Order order_;  // most recently used first
  std::unordered_map<std::string, Entry> entries_;
};

}  // namespace fabrikon
