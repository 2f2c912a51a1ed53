// OdbcRecordsetReader: column descriptions -> FieldInfo, fetched data -> Variants.
#include "data/OdbcRecordsetReader.h"

#include <sqlext.h>

#include <algorithm>

#include "data/OdbcStatement.h"
#include "data/OdbcText.h"
#include "data/OdbcTypeMapper.h"
#include "data/RecordsetBuilder.h"
#include "data/SqliteTypeMapper.h"
#include "data/ValueText.h"

namespace fabrikon {

namespace {

// Reads a whole value in pieces. False for NULL.
bool GetData(const OdbcStatement& statement, SQLUSMALLINT index, SQLSMALLINT cType, std::string& bytes) {
  const size_t terminator = cType == SQL_C_WCHAR ? sizeof(SQLWCHAR) : cType == SQL_C_CHAR ? 1 : 0;
  char buffer[8192];
  bytes.clear();
  for (;;) {
    SQLLEN indicator = 0;
    SQLRETURN rc = SQLGetData(statement.Handle(), index, cType, buffer, sizeof buffer, &indicator);
    if (rc == SQL_NO_DATA) return true;
    if (!SQL_SUCCEEDED(rc)) statement.Fail();
    if (indicator == SQL_NULL_DATA) return false;
    size_t room = sizeof buffer - terminator;
    size_t piece = indicator == SQL_NO_TOTAL || static_cast<size_t>(indicator) > room ? room
                                                                                      : static_cast<size_t>(indicator);
    bytes.append(buffer, piece);
    if (rc == SQL_SUCCESS) return true;
  }
}

std::string WideValue(const std::string& bytes) {
  std::vector<SQLWCHAR> units(bytes.size() / sizeof(SQLWCHAR));
  std::copy(bytes.data(), bytes.data() + units.size() * sizeof(SQLWCHAR), reinterpret_cast<char*>(units.data()));
  return odbc::Narrow(units.data(), units.size());
}

}  // namespace

void OdbcRecordsetReader::Read(OdbcStatement& statement) {
  hasResult_ = true;
  Describe(statement);
  const auto count = static_cast<SQLUSMALLINT>(columns_.size());
  for (;;) {
    SQLRETURN rc = SQLFetch(statement.Handle());
    if (rc == SQL_NO_DATA) break;
    if (!SQL_SUCCEEDED(rc)) statement.Fail();
    std::vector<Variant> row;
    row.reserve(count);
    for (SQLUSMALLINT i = 0; i < count; ++i) row.push_back(ReadValue(statement, i + 1, columns_[i]));
    rows_.push_back(std::move(row));
  }
  InferTypes();
}

void OdbcRecordsetReader::Describe(OdbcStatement& statement) {
  const SQLSMALLINT count = statement.ColumnCount();
  columns_.assign(static_cast<size_t>(count), Column{});
  for (SQLUSMALLINT i = 1; i <= count; ++i) {
    Column& column = columns_[i - 1];
    OdbcColumnDescription description;
    description.sqlType = statement.ColumnNumber(i, SQL_DESC_CONCISE_TYPE);
    description.typeName = statement.ColumnText(i, SQL_DESC_TYPE_NAME);
    description.tableName = statement.ColumnText(i, SQL_DESC_TABLE_NAME);
    description.length = statement.ColumnNumber(i, SQL_DESC_LENGTH);
    description.precision = statement.ColumnNumber(i, SQL_DESC_PRECISION);
    description.scale = statement.ColumnNumber(i, SQL_DESC_SCALE);
    column.info.name = statement.ColumnText(i, SQL_DESC_LABEL);
    if (column.info.name.empty()) column.info.name = statement.ColumnText(i, SQL_DESC_NAME);
    column.info.isAutoIncrement = statement.ColumnNumber(i, SQL_DESC_AUTO_UNIQUE_VALUE) == SQL_TRUE;
    column.info.isNullable = statement.ColumnNumber(i, SQL_DESC_NULLABLE) != SQL_NO_NULLS;
    column.driverType = description.sqlType;
    if (statement.SqliteDriver()) {
      if (!OdbcTypeMapper::ApplySqlite(description, column.info)) continue;  // values decide
    } else {
      OdbcTypeMapper::ApplyServer(description, column.info);
    }
    column.rule = SqliteTypeMapper::KindOf(column.info.type);
    if (column.rule == ValueRule::Other) column.rule = ValueRule::Text;
  }
}

Variant OdbcRecordsetReader::ReadValue(const OdbcStatement& statement, SQLUSMALLINT index, const Column& column) {
  ValueRule rule = column.rule;
  if (rule == ValueRule::Other) {
    const bool integer = column.driverType == SQL_INTEGER || column.driverType == SQL_BIGINT ||
                         column.driverType == SQL_SMALLINT || column.driverType == SQL_TINYINT;
    const bool real = column.driverType == SQL_DOUBLE || column.driverType == SQL_FLOAT ||
                      column.driverType == SQL_REAL;
    rule = integer ? ValueRule::Integer : real ? ValueRule::Double : ValueRule::Text;
  }
  // Text comes as UTF-16 from a server driver, as the stored UTF-8 from the SQLite driver.
  const bool wide = rule == ValueRule::Text && !statement.SqliteDriver();
  const SQLSMALLINT cType = wide ? SQL_C_WCHAR : rule == ValueRule::Binary ? SQL_C_BINARY : SQL_C_CHAR;
  std::string bytes;
  if (!GetData(statement, index, cType, bytes)) return Variant::Null();
  switch (rule) {
    case ValueRule::Text: return Variant(wide ? WideValue(bytes) : std::move(bytes));
    case ValueRule::Integer: return valuetext::IntegerOrText(std::move(bytes));
    case ValueRule::Double: return valuetext::DoubleOrText(std::move(bytes));
    case ValueRule::Date: return valuetext::DateOrText(std::move(bytes));
    case ValueRule::Bool: return Variant(Variant(bytes).ToBool());
    default: return Variant(std::move(bytes));
  }
}

void OdbcRecordsetReader::InferTypes() {
  for (size_t c = 0; c < columns_.size(); ++c) {
    if (columns_[c].rule == ValueRule::Other) SqliteTypeMapper::InferFromValues(rows_, c, columns_[c].info);
  }
}

RecordsetPtr OdbcRecordsetReader::Build() { return TakeRecordset(columns_, rows_, hasResult_); }

}  // namespace fabrikon
