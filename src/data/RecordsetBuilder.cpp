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
#include "data/StatementCache.h"
#include "fabrikon/Connection.h"

namespace fabrikon {

namespace {

// The row's stored values are read through their sqlite3_value, located once
// per column (each sqlite3_column_* call would locate it again).
std::string ValueText(sqlite3_value* value) {
  const auto* text = sqlite3_value_text(value);
  int bytes = sqlite3_value_bytes(value);
  return text == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(text), bytes);
}

Variant StoredValue(sqlite3_value* value, int stored) {
  switch (stored) {
    case SQLITE_INTEGER:
      return Variant(static_cast<long long>(sqlite3_value_int64(value)));
    case SQLITE_FLOAT:
      return Variant(sqlite3_value_double(value));
    case SQLITE_NULL:
      return Variant::Null();
    default:
      return Variant(ValueText(value));
  }
}

// The fields with the inferred columns typed from the rows read; the last
// such fields when the rows type them the same.
std::shared_ptr<const std::vector<FieldInfo>> TypedFields(const ResultColumns& columns,
                                                          const std::vector<std::vector<Variant>>& rows) {
  const std::vector<FieldInfo>& declared = *columns.fields;
  const std::shared_ptr<const std::vector<FieldInfo>>& last = columns.lastTyped;
  bool same = last != nullptr;
  for (size_t i = 0; same && i < columns.inferred.size(); ++i) {
    const size_t c = columns.inferred[i];
    FieldInfo typed;  // the column's traits without its name
    typed.type = declared[c].type;
    typed.definedSize = declared[c].definedSize;
    typed.precision = declared[c].precision;
    typed.numericScale = declared[c].numericScale;
    SqliteTypeMapper::InferFromValues(rows, c, typed);
    const FieldInfo& kept = (*last)[c];
    same = typed.type == kept.type && typed.definedSize == kept.definedSize && typed.precision == kept.precision &&
           typed.numericScale == kept.numericScale;
  }
  if (same) return last;
  auto typed = std::make_shared<std::vector<FieldInfo>>(declared);
  for (size_t c : columns.inferred) SqliteTypeMapper::InferFromValues(rows, c, (*typed)[c]);
  columns.lastTyped = typed;
  return typed;
}

}  // namespace

void RecordsetBuilder::Read(sqlite3* db, sqlite3_stmt* statement, const std::vector<std::string>& resultTypes) {
  hasResult_ = true;
  columns_ = Columns(statement, resultTypes);
  int rc = sqlite3_step(statement);
  // The first step recompiles a statement whose tables another connection
  // altered: its columns are then described again.
  if (sqlite3_stmt_status(statement, SQLITE_STMTSTATUS_REPREPARE, 0) != columns_->reprepares)
    columns_ = Columns(statement, resultTypes);
  if (sink_ != nullptr) rc = Stream(statement, rc);
  const std::vector<ValueRule>& rules = columns_->rules;
  const int count = static_cast<int>(rules.size());
  for (; rc == SQLITE_ROW; rc = sqlite3_step(statement)) {
    std::vector<Variant> row;
    row.reserve(rules.size());
    for (int i = 0; i < count; ++i) row.push_back(ReadValue(statement, i, rules[i]));
    rows_.push_back(std::move(row));
  }
  if (rc != SQLITE_DONE) SqliteErrorMapper::Raise(db, rc, SqliteErrorMapper::Phase::Run);
}

// The names as a recordset of the statement would give them (see Build);
// one row's values, their storage reused from row to row.
int RecordsetBuilder::Stream(sqlite3_stmt* statement, int rc) {
  const std::vector<FieldInfo>& fields = *columns_->fields;
  const bool rename = unnamed_.size() == fields.size();
  std::vector<std::string> names;
  names.reserve(fields.size());
  for (size_t c = 0; c < fields.size(); ++c) names.push_back(rename && unnamed_[c] ? std::string() : fields[c].name);
  sink_->Columns(names);
  const std::vector<ValueRule>& rules = columns_->rules;
  std::vector<Variant> row(rules.size());
  for (; rc == SQLITE_ROW; rc = sqlite3_step(statement)) {
    for (size_t i = 0; i < rules.size(); ++i) row[i] = ReadValue(statement, static_cast<int>(i), rules[i]);
    ++streamed_;
    sink_->Row(row);
  }
  return rc;
}

// Describing the columns (names, declared types, origin traits) costs more
// than running a small query, so a cached statement is described once.
std::shared_ptr<const ResultColumns> RecordsetBuilder::Columns(sqlite3_stmt* statement,
                                                              const std::vector<std::string>& resultTypes) {
  const int reprepares = sqlite3_stmt_status(statement, SQLITE_STMTSTATUS_REPREPARE, 0);
  if (statements_ != nullptr) {
    std::shared_ptr<const ResultColumns> known = statements_->Columns(statement);
    if (known && known->reprepares == reprepares) return known;
  }
  std::shared_ptr<ResultColumns> described = Describe(statement, resultTypes);
  described->reprepares = reprepares;
  if (statements_ != nullptr) statements_->KeepColumns(statement, described);
  return described;
}

std::shared_ptr<ResultColumns> RecordsetBuilder::Describe(sqlite3_stmt* statement,
                                                         const std::vector<std::string>& resultTypes) {
  const int count = sqlite3_column_count(statement);
  auto result = std::make_shared<ResultColumns>();
  std::vector<FieldInfo> fields(static_cast<size_t>(count));
  result->rules.assign(static_cast<size_t>(count), ValueRule::Other);
  for (int i = 0; i < count; ++i) {
    FieldInfo& info = fields[i];
    const char* name = sqlite3_column_name(statement, i);
    info.name = name != nullptr ? name : "";
    const char* declared = sqlite3_column_decltype(statement, i);
    if ((declared == nullptr || *declared == '\0') && static_cast<size_t>(i) < resultTypes.size())
      declared = resultTypes[static_cast<size_t>(i)].c_str();
    if (declared == nullptr || *declared == '\0') {
      result->inferred.push_back(static_cast<size_t>(i));
    } else {
      SqliteTypeMapper::Apply(declared, info);
      result->rules[i] = SqliteTypeMapper::KindOf(info.type);
    }
    const char* database = sqlite3_column_database_name(statement, i);
    const char* table = sqlite3_column_table_name(statement, i);
    const char* origin = sqlite3_column_origin_name(statement, i);
    if (database != nullptr && table != nullptr && origin != nullptr) {
      const ColumnTraits& traits = metadata_.Lookup(database, table, origin);
      info.isAutoIncrement = traits.isAutoIncrement;
      info.isNullable = !traits.isNotNull;
    }
  }
  result->names = Recordset::IndexNames(fields);
  result->fields = std::make_shared<const std::vector<FieldInfo>>(std::move(fields));
  return result;
}

Variant RecordsetBuilder::ReadValue(sqlite3_stmt* statement, int index, ValueRule rule) {
  sqlite3_value* value = sqlite3_column_value(statement, index);
  const int stored = sqlite3_value_type(value);
  if (stored == SQLITE_NULL) return Variant::Null();
  switch (rule) {
    case ValueRule::Bool:
      if (stored == SQLITE_TEXT) return Variant(Variant(ValueText(value)).ToBool());
      return Variant(sqlite3_value_double(value) != 0.0);
    case ValueRule::Date:
      if (stored == SQLITE_TEXT) {
        std::string text = ValueText(value);
        DateTime date;
        if (DateTime::Parse(text, date)) return Variant(date);
        return Variant(std::move(text));  // not a date: keep what is stored
      }
      break;
    case ValueRule::Double:
      if (stored == SQLITE_INTEGER || stored == SQLITE_FLOAT) return Variant(sqlite3_value_double(value));
      break;
    case ValueRule::Text:
      if (stored == SQLITE_FLOAT) return Variant(FormatDouble(sqlite3_value_double(value)));
      return Variant(ValueText(value));
    case ValueRule::Integer:
    case ValueRule::Binary:
    case ValueRule::Other:
      break;
  }
  return StoredValue(value, stored);
}

RecordsetPtr RecordsetBuilder::Build() {
  if (!hasResult_) {
    auto closed = std::make_shared<Recordset>(std::vector<FieldInfo>{}, std::vector<std::vector<Variant>>{});
    closed->Close();
    return closed;
  }
  std::shared_ptr<const std::vector<FieldInfo>> fields = columns_->fields;
  std::shared_ptr<const Recordset::NameIndex> names = columns_->names;
  if (!columns_->inferred.empty()) fields = TypedFields(*columns_, rows_);
  bool rename = unnamed_.size() == fields->size();
  if (rename) rename = std::find(unnamed_.begin(), unnamed_.end(), true) != unnamed_.end();
  if (rename) {
    auto named = std::make_shared<std::vector<FieldInfo>>(*fields);
    for (size_t c = 0; c < named->size(); ++c)
      if (unnamed_[c]) (*named)[c].name.clear();
    names = Recordset::IndexNames(*named);
    fields = std::move(named);
  }
  auto recordset = std::make_shared<Recordset>(std::move(fields), std::move(names), std::move(rows_));
  rows_.clear();
  return recordset;
}

}  // namespace fabrikon
