// TableMetadataCache: one metadata query per connection and table while a
// save runs (see TableMetadataCache.h).
#include "engine/TableMetadataCache.h"

#include "engine/EngineErrors.h"

namespace fabrikon {
namespace {
thread_local TableMetadataCache* tActive = nullptr;
}  // namespace

TableMetadataCache::TableMetadataCache() : outer_(tActive) { tActive = this; }

TableMetadataCache::~TableMetadataCache() { tActive = outer_; }

RecordsetPtr TableMetadataCache::Columns(const ConnectionPtr& Conn, const std::string& strTableName) {
  Connection& conn = engine::Use(Conn);
  const std::string sql = "SELECT * FROM " + strTableName + " WHERE 1=0";
  if (!tActive) return conn.Open(sql, adOpenForwardOnly, adLockReadOnly);
  RecordsetPtr& cached = tActive->tables_[{&conn, strTableName}];
  if (!cached) cached = conn.Open(sql, adOpenForwardOnly, adLockReadOnly);
  return cached;
}

}  // namespace fabrikon
