// ColumnMetadataCache: asks SQLite for a base-table column's declaration once
// and remembers the answer (names compared without regard to case).
#include "data/ColumnMetadataCache.h"

#include <sqlite3.h>

#include <cctype>

namespace fabrikon {

namespace {

constexpr size_t kMaxBytes = 256 * 1024;

void AppendLower(std::string& key, const char* text) {
  for (const char* p = text; p != nullptr && *p != '\0'; ++p)
    key += static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
  key += '\x1f';
}

}  // namespace

const ColumnTraits& ColumnMetadataCache::Lookup(const char* database, const char* table, const char* column) {
  std::string key;
  AppendLower(key, database);
  AppendLower(key, table);
  AppendLower(key, column);
  auto found = traits_.find(key);
  if (found != traits_.end()) return found->second;

  ColumnTraits traits;
  int notNull = 0, primaryKey = 0, autoIncrement = 0;
  if (sqlite3_table_column_metadata(db_, database, table, column, nullptr, nullptr, &notNull, &primaryKey,
                                    &autoIncrement) == SQLITE_OK) {
    traits.isAutoIncrement = autoIncrement != 0;
    traits.isNotNull = notNull != 0 || autoIncrement != 0;
  }
  if (bytes_ + key.size() > kMaxBytes) Clear();
  bytes_ += key.size() + 64;
  return traits_.emplace(std::move(key), traits).first->second;
}

}  // namespace fabrikon
