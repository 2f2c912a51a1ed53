// RecordsetBuilder: reads every row of a row-returning statement into a
// materialised Recordset, with ADO field types taken from the columns'
// declared SQL Server types. Nothing stays pending on the database afterwards,
// so the caller may write on the same connection while the recordset is open.
#pragma once
#include <vector>

#include "data/SqliteTypeMapper.h"
#include "fabrikon/Recordset.h"

struct sqlite3;
struct sqlite3_stmt;

namespace fabrikon {

class ColumnMetadataCache;
class RowSink;
class StatementCache;

// The recordset of a reader's columns (each with its FieldInfo `info`) and
// rows, which it takes; a closed one when no result was read, like ADO after
// a command that returns no rows. Shared by the embedded and ODBC readers.
template <class Column>
RecordsetPtr TakeRecordset(std::vector<Column>& columns, std::vector<std::vector<Variant>>& rows, bool hasResult) {
  std::vector<FieldInfo> fields;
  fields.reserve(columns.size());
  for (auto& column : columns) fields.push_back(std::move(column.info));
  auto recordset = std::make_shared<Recordset>(std::move(fields), std::move(rows));
  if (!hasResult) recordset->Close();
  columns.clear();
  rows.clear();
  return recordset;
}

// What a statement's result columns are: fields as declared, their name
// index, how each stored value is read, and which columns take their type
// from the values. The same for every run of a compiled statement, so the
// statement cache keeps it (reprepares: SQLite's count of recompilations
// when it was described; a recompiled statement is described again).
struct ResultColumns {
  std::shared_ptr<const std::vector<FieldInfo>> fields;
  std::shared_ptr<const Recordset::NameIndex> names;
  std::vector<SqliteTypeMapper::ValueKind> rules;
  std::vector<size_t> inferred;  // no declared type: the values decide
  int reprepares = 0;
  // The fields as the values last typed the inferred columns: the next run
  // mostly types them the same and then shares them.
  mutable std::shared_ptr<const std::vector<FieldInfo>> lastTyped;
};

class RecordsetBuilder {
 public:
  // statements: where the columns of cached statements are kept (optional).
  explicit RecordsetBuilder(ColumnMetadataCache& metadata, StatementCache* statements = nullptr)
      : metadata_(metadata), statements_(statements) {}
  // Hands each row to sink as it is read instead of keeping it (Build then
  // has no rows to give).
  RecordsetBuilder(ColumnMetadataCache& metadata, StatementCache* statements, RowSink& sink)
      : metadata_(metadata), statements_(statements), sink_(&sink) {}

  // Steps the (freshly reset) statement to its end and keeps its rows.
  // Raises a ComError when a step fails.
  // resultTypes: declared types for the computed columns the engine gives
  // none (by position; "" or missing: the values decide).
  void Read(sqlite3* db, sqlite3_stmt* statement, const std::vector<std::string>& resultTypes = {});
  bool HasResult() const { return hasResult_; }
  size_t RowCount() const { return sink_ != nullptr ? streamed_ : rows_.size(); }
  // The columns marked true are named "" (computed columns without an
  // alias, as SQL Server names them); ignored when the counts differ.
  void Unname(const std::vector<bool>& unnamed) { unnamed_ = unnamed; }
  // The recordset of the statement read; a closed one when none was.
  RecordsetPtr Build();

 private:
  // How a stored value becomes the Variant its declared type calls for.
  using ValueRule = SqliteTypeMapper::ValueKind;

  std::shared_ptr<const ResultColumns> Columns(sqlite3_stmt* statement, const std::vector<std::string>& resultTypes);
  std::shared_ptr<ResultColumns> Describe(sqlite3_stmt* statement, const std::vector<std::string>& resultTypes);
  static Variant ReadValue(sqlite3_stmt* statement, int index, ValueRule rule);
  // Steps the rest of the statement, handing each row to the sink.
  int Stream(sqlite3_stmt* statement, int rc);

  ColumnMetadataCache& metadata_;
  StatementCache* statements_;
  bool hasResult_ = false;
  std::shared_ptr<const ResultColumns> columns_;
  std::vector<std::vector<Variant>> rows_;
  std::vector<bool> unnamed_;
  RowSink* sink_ = nullptr;
  size_t streamed_ = 0;
};

}  // namespace fabrikon
