// ColumnMetadataCache: per-column facts of base tables (identity, NOT NULL)
// that recordsets report as field properties. Looked up once per column and
// kept until the schema changes, because metadata queries run on every save.
#pragma once
#include <string>
#include <unordered_map>

struct sqlite3;

namespace fabrikon {

struct ColumnTraits {
  // Declared "INTEGER PRIMARY KEY AUTOINCREMENT": the embedded form of an
  // identity column.
  bool isAutoIncrement = false;
  bool isNotNull = false;
};

class ColumnMetadataCache {
 public:
  explicit ColumnMetadataCache(sqlite3* db) : db_(db) {}
  // database: "main", "temp" ...; unknown columns give default traits.
  const ColumnTraits& Lookup(const char* database, const char* table, const char* column);
  void Clear() {
    traits_.clear();
    bytes_ = 0;
  }

 private:
  sqlite3* db_;
  std::unordered_map<std::string, ColumnTraits> traits_;
  size_t bytes_ = 0;  // of the keys: temporary tables come and go under new names
};

}  // namespace fabrikon
