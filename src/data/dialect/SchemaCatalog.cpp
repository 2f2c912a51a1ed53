// SchemaCatalog: see the header. Tables are read with pragma_table_info,
// which finds temporary tables before main ones, as T-SQL's # names expect.
#include "data/dialect/SchemaCatalog.h"

#include <sqlite3.h>

#include <atomic>
#include <cctype>

namespace fabrikon::dialect {

namespace {

uint64_t NextGeneration() {
  static std::atomic<uint64_t> counter{0};
  return ++counter;
}

std::string Unquoted(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  for (char c : name)
    if (c != '[' && c != ']' && c != '"') out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

SchemaCatalog::SchemaCatalog(sqlite3* db) : db_(db), generation_(NextGeneration()) {}

SchemaCatalog::SchemaCatalog(Reader reader) : reader_(std::move(reader)), generation_(NextGeneration()) {}

SchemaCatalog::~SchemaCatalog() {
  sqlite3_finalize(info_);
  sqlite3_finalize(kind_);
  sqlite3_finalize(version_);
}

void SchemaCatalog::Changed() {
  tables_.clear();
  rowidTables_.clear();
  generation_ = NextGeneration();
}

void SchemaCatalog::Refresh() {
  if (db_ == nullptr) return;
  if (version_ == nullptr && sqlite3_prepare_v2(db_, "PRAGMA schema_version", -1, &version_, nullptr) != SQLITE_OK)
    return;
  int cookie = cookie_;
  if (sqlite3_step(version_) == SQLITE_ROW) cookie = sqlite3_column_int(version_, 0);
  sqlite3_reset(version_);
  if (cookie != cookie_) {
    if (cookie_ != -1) Changed();
    cookie_ = cookie;
  }
}

const SchemaCatalog::Columns* SchemaCatalog::Table(std::string_view name) const {
  std::string key = Unquoted(name);
  auto found = tables_.find(key);
  if (found == tables_.end()) {
    auto columns = std::make_unique<Columns>();
    ReadTable(key, *columns);
    if (columns->empty()) columns.reset();
    found = tables_.emplace(std::move(key), std::move(columns)).first;
  }
  return found->second.get();
}

bool SchemaCatalog::RowidTable(std::string_view name) const {
  if (db_ == nullptr) return false;
  std::string key = Unquoted(name);
  if (const auto found = rowidTables_.find(key); found != rowidTables_.end()) return found->second;
  if (kind_ == nullptr && sqlite3_prepare_v2(db_,
                                             "SELECT type = 'table' AND wr = 0 FROM pragma_table_list(?1) "
                                             "ORDER BY schema = 'temp' DESC LIMIT 1",
                                             -1, &kind_, nullptr) != SQLITE_OK)
    return false;
  sqlite3_bind_text(kind_, 1, key.c_str(), -1, SQLITE_TRANSIENT);
  const bool rowid = sqlite3_step(kind_) == SQLITE_ROW && sqlite3_column_int(kind_, 0) != 0;
  sqlite3_reset(kind_);
  sqlite3_clear_bindings(kind_);
  rowidTables_.emplace(std::move(key), rowid);
  return rowid;
}

void SchemaCatalog::ReadTable(const std::string& key, Columns& columns) const {
  if (reader_) {
    const size_t dot = key.find('.');
    reader_(dot == std::string::npos ? "" : key.substr(0, dot), dot == std::string::npos ? key : key.substr(dot + 1),
            columns);
    return;
  }
  if (info_ == nullptr &&
      sqlite3_prepare_v2(db_, "SELECT name, type FROM pragma_table_info(?1, ?2)", -1, &info_, nullptr) != SQLITE_OK)
    return;
  const size_t dot = key.find('.');
  const std::string schema = dot == std::string::npos ? "" : key.substr(0, dot);
  const std::string table = dot == std::string::npos ? key : key.substr(dot + 1);
  sqlite3_bind_text(info_, 1, table.c_str(), -1, SQLITE_TRANSIENT);
  if (schema.empty() || schema == "dbo")
    sqlite3_bind_null(info_, 2);
  else
    sqlite3_bind_text(info_, 2, schema.c_str(), -1, SQLITE_TRANSIENT);
  while (sqlite3_step(info_) == SQLITE_ROW) {
    const auto* column = reinterpret_cast<const char*>(sqlite3_column_text(info_, 0));
    const auto* type = reinterpret_cast<const char*>(sqlite3_column_text(info_, 1));
    if (column == nullptr) continue;
    columns.emplace(Unquoted(column), SqlType::FromDeclared(type != nullptr ? type : ""));
  }
  sqlite3_reset(info_);
  sqlite3_clear_bindings(info_);
}

}  // namespace fabrikon::dialect
