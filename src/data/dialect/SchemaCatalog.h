// SchemaCatalog: the declared column types of a connection's tables, views
// and temporary tables, which the translation reads to type its operands.
// Each table is looked up once and kept until the schema changes; the
// generation names the schema the answers describe, and every cached
// translation made with the catalog is keyed by it.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "data/dialect/SqlType.h"

struct sqlite3;
struct sqlite3_stmt;

namespace fabrikon::dialect {

class SchemaCatalog {
 public:
  using Columns = std::unordered_map<std::string, SqlType>;  // by lower-case name

  explicit SchemaCatalog(sqlite3* db);
  // A server's catalog: reader fills the columns of (schema, table), both
  // lower case and unquoted (schema "" when the name has none).
  using Reader = std::function<void(const std::string& schema, const std::string& table, Columns& columns)>;
  explicit SchemaCatalog(Reader reader);
  ~SchemaCatalog();
  SchemaCatalog(const SchemaCatalog&) = delete;
  SchemaCatalog& operator=(const SchemaCatalog&) = delete;

  // The columns of a table or view ("name" or "schema.name"); null when the
  // schema has no such table.
  const Columns* Table(std::string_view name) const;
  // True when `name` (unqualified) is a table of the database whose rows have
  // rowids: not a view, not WITHOUT ROWID. False when it is unknown, or the
  // catalog reads a server.
  bool RowidTable(std::string_view name) const;
  // Unique in the process for each schema state a catalog has seen.
  uint64_t Generation() const { return generation_; }
  // This connection changed the schema.
  void Changed();
  // Reads the schema cookie: another connection may have changed the schema.
  void Refresh();

 private:
  void ReadTable(const std::string& key, Columns& columns) const;

  sqlite3* db_ = nullptr;
  Reader reader_;
  uint64_t generation_;
  int cookie_ = -1;
  mutable std::unordered_map<std::string, std::unique_ptr<Columns>> tables_;  // null: no such table
  mutable sqlite3_stmt* info_ = nullptr;
  mutable std::unordered_map<std::string, bool> rowidTables_;
  mutable sqlite3_stmt* kind_ = nullptr;
  sqlite3_stmt* version_ = nullptr;
};

}  // namespace fabrikon::dialect
