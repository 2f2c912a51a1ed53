// RecordsetBuilder: statement columns -> FieldInfo, stored values -> Variants.
// SQLite keeps dates as text and booleans as integers; the declared type says
// which is which, so dates come back as DateTime and bit columns as Boolean.
#include "data/RecordsetBuilder.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>

#include "data/ColumnMetadataCache.h"
#include "data/SqliteErrorMapper.h"
#include "data/SqliteTypeMapper.h"

namespace fabrikon {

namespace {

std::string ColumnText(sqlite3_stmt* statement, int index) {
  const auto* text = sqlite3_column_text(statement, index);
  int bytes = sqlite3_column_bytes(statement, index);
  return text == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(text), bytes);
}

Variant StoredValue(sqlite3_stmt* statement, int index) {
  switch (sqlite3_column_type(statement, index)) {
    case SQLITE_INTEGER:
      return Variant(static_cast<long long>(sqlite3_column_int64(statement, index)));
    case SQLITE_FLOAT:
      return Variant(sqlite3_column_double(statement, index));
    case SQLITE_NULL:
      return Variant::Null();
    default:
      return Variant(ColumnText(statement, index));
  }
}

}  // namespace

void RecordsetBuilder::Read(sqlite3* db, sqlite3_stmt* statement) {
  hasResult_ = true;
  Describe(statement);
  const int count = static_cast<int>(columns_.size());
  int rc;
  while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
    std::vector<Variant> row;
    row.reserve(columns_.size());
    for (int i = 0; i < count; ++i) row.push_back(ReadValue(statement, i, columns_[i].rule));
    rows_.push_back(std::move(row));
  }
  if (rc != SQLITE_DONE) SqliteErrorMapper::Raise(db, rc, SqliteErrorMapper::Phase::Run);
  InferTypes();
}

void RecordsetBuilder::Describe(sqlite3_stmt* statement) {
  const int count = sqlite3_column_count(statement);
  columns_.assign(static_cast<size_t>(count), Column{});
  for (int i = 0; i < count; ++i) {
    Column& column = columns_[i];
    const char* name = sqlite3_column_name(statement, i);
    column.info.name = name != nullptr ? name : "";
    const char* declared = sqlite3_column_decltype(statement, i);
    column.inferred = declared == nullptr || *declared == '\0';
    if (!column.inferred) SqliteTypeMapper::Apply(declared, column.info);
    column.rule = SqliteTypeMapper::KindOf(column.info.type);
    if (column.inferred) column.rule = ValueRule::Other;
    const char* database = sqlite3_column_database_name(statement, i);
    const char* table = sqlite3_column_table_name(statement, i);
    const char* origin = sqlite3_column_origin_name(statement, i);
    if (database != nullptr && table != nullptr && origin != nullptr) {
      const ColumnTraits& traits = metadata_.Lookup(database, table, origin);
      column.info.isAutoIncrement = traits.isAutoIncrement;
      column.info.isNullable = !traits.isNotNull;
    }
  }
}

Variant RecordsetBuilder::ReadValue(sqlite3_stmt* statement, int index, ValueRule rule) {
  const int stored = sqlite3_column_type(statement, index);
  if (stored == SQLITE_NULL) return Variant::Null();
  switch (rule) {
    case ValueRule::Bool:
      if (stored == SQLITE_TEXT) return Variant(Variant(ColumnText(statement, index)).ToBool());
      return Variant(sqlite3_column_double(statement, index) != 0.0);
    case ValueRule::Date:
      if (stored == SQLITE_TEXT) {
        std::string text = ColumnText(statement, index);
        DateTime date;
        if (DateTime::Parse(text, date)) return Variant(date);
        return Variant(std::move(text));  // not a date: keep what is stored
      }
      break;
    case ValueRule::Double:
      if (stored == SQLITE_INTEGER || stored == SQLITE_FLOAT) return Variant(sqlite3_column_double(statement, index));
      break;
    case ValueRule::Text:
      if (stored == SQLITE_FLOAT) return Variant(FormatDouble(sqlite3_column_double(statement, index)));
      return Variant(ColumnText(statement, index));
    case ValueRule::Integer:
    case ValueRule::Binary:
    case ValueRule::Other:
      break;
  }
  return StoredValue(statement, index);
}

void RecordsetBuilder::InferTypes() {
  for (size_t c = 0; c < columns_.size(); ++c) {
    if (columns_[c].inferred) SqliteTypeMapper::InferFromValues(rows_, c, columns_[c].info);
  }
}

RecordsetPtr RecordsetBuilder::Build() { return TakeRecordset(columns_, rows_, hasResult_); }

}  // namespace fabrikon
