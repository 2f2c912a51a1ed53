// StatementCache: prepared statements of one connection, kept per SQL text.
// A save sends the same statement shapes again and again; compiling each once
// saves most of the work. Bounded by entries and by the memory they hold. Handles are shared, so evicting an entry never
// finalises a statement that a running batch still holds.
#pragma once
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

struct sqlite3;
struct sqlite3_stmt;

namespace fabrikon {

using StatementHandle = std::shared_ptr<sqlite3_stmt>;
struct ResultColumns;  // what the recordset reader learnt of a statement's result

class StatementCache {
 public:
  explicit StatementCache(sqlite3* db, size_t capacity = 256, size_t capacityBytes = 8 * 1024 * 1024)
      : db_(db), capacity_(capacity), capacityBytes_(capacityBytes) {}
  StatementCache(const StatementCache&) = delete;
  StatementCache& operator=(const StatementCache&) = delete;

  // The prepared statement for one SQL statement, ready to step. Raises a
  // ComError when the text does not compile or holds more than one statement.
  // A text with nothing to run gives null.
  StatementHandle Prepare(std::string_view sql);
  // Drops every entry (after the schema changed, so that the next batch is
  // compiled against the new schema before anything of it runs).
  void Clear();
  size_t Size() const { return entries_.size(); }

  // The result columns kept with a cached statement (null when the statement
  // is not cached or nothing was kept); they go when the statement leaves.
  std::shared_ptr<const ResultColumns> Columns(sqlite3_stmt* statement) const;
  void KeepColumns(sqlite3_stmt* statement, std::shared_ptr<const ResultColumns> columns);

 private:
  using Order = std::list<std::string>;
  struct Entry {
    StatementHandle statement;
    Order::iterator position;
    size_t bytes;  // the compiled statement's memory and its text
  };
  StatementHandle Compile(const std::string& sql) const;
  // Texts are looked up without being copied.
  struct TextHash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
  };

  sqlite3* db_;
  size_t capacity_;
  size_t capacityBytes_;
  size_t bytes_ = 0;
  Order order_;  // most recently used first
  std::unordered_map<std::string, Entry, TextHash, std::equal_to<>> entries_;
  // One slot per cached statement: a statement is only described again when
  // it has left the cache (its address may then be reused).
  std::unordered_map<sqlite3_stmt*, std::shared_ptr<const ResultColumns>> columns_;
};

}  // namespace fabrikon
