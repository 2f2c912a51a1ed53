// OdbcTypeMapper: ODBC column descriptions -> ADO field types.
#include "data/OdbcTypeMapper.h"

#include <sqlext.h>

#include <algorithm>
#include <cctype>

#include "data/SqliteTypeMapper.h"

namespace fabrikon {

namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

int AdoTypeOf(const OdbcColumnDescription& column) {
  const std::string name = Lower(column.typeName);
  switch (column.sqlType) {
    case SQL_INTEGER: return AdoType::Integer;
    case SQL_BIGINT: return AdoType::BigInt;
    case SQL_SMALLINT: return AdoType::SmallInt;
    case SQL_TINYINT: return AdoType::UnsignedTinyInt;
    case SQL_BIT: return AdoType::Boolean;
    case SQL_REAL: return AdoType::Single;
    case SQL_FLOAT:
    case SQL_DOUBLE: return AdoType::Double;
    case SQL_DECIMAL:
    case SQL_NUMERIC: return StartsWith(name, "money") || StartsWith(name, "smallmoney") ? AdoType::Currency
                                                                                          : AdoType::Numeric;
    case SQL_CHAR: return AdoType::Char;
    case SQL_VARCHAR: return AdoType::VarChar;
    case SQL_WCHAR: return AdoType::WChar;
    case SQL_WVARCHAR: return AdoType::VarWChar;
    case SQL_LONGVARCHAR: return AdoType::LongVarChar;
    case SQL_WLONGVARCHAR: return AdoType::LongVarWChar;
    case SQL_TYPE_TIMESTAMP:
    case SQL_DATETIME: return AdoType::DBTimeStamp;
    case SQL_TYPE_DATE: return SqliteTypeMapper::DBDate;
    case SQL_TYPE_TIME: return SqliteTypeMapper::DBTime;
    case SQL_BINARY: return AdoType::Binary;
    case SQL_VARBINARY: return StartsWith(name, "timestamp") || StartsWith(name, "rowversion") ? AdoType::Binary
                                                                                               : AdoType::VarBinary;
    case SQL_LONGVARBINARY: return SqliteTypeMapper::LongVarBinary;
    case SQL_GUID: return SqliteTypeMapper::Guid;
    default: return SqliteTypeMapper::Variant;
  }
}

bool IsText(int type) {
  return type == AdoType::Char || type == AdoType::VarChar || type == AdoType::WChar || type == AdoType::VarWChar ||
         type == AdoType::LongVarChar || type == AdoType::LongVarWChar;
}

}  // namespace

void OdbcTypeMapper::ApplyServer(const OdbcColumnDescription& column, FieldInfo& info) {
  info.type = AdoTypeOf(column);
  info.definedSize = static_cast<long>(column.length);
  if (info.type == AdoType::Numeric || info.type == AdoType::Currency) {
    info.precision = static_cast<int>(column.precision);
    info.numericScale = static_cast<int>(column.scale);
  } else if (!IsText(info.type)) {
    info.precision = static_cast<int>(column.precision);
  }
}

bool OdbcTypeMapper::ApplySqlite(const OdbcColumnDescription& column, FieldInfo& info) {
  // The driver reports the declared name without its arguments and names a
  // type of its own guess for an expression (which has no table).
  if (column.tableName.empty() || column.typeName.empty()) return false;
  std::string declared = Lower(column.typeName);
  const bool sized = declared.find('(') == std::string::npos;
  if (sized && (declared == "decimal" || declared == "numeric")) {
    // The driver keeps the declared precision as the length and the scale as the precision.
    declared += "(" + std::to_string(column.length) + ", " + std::to_string(column.precision) + ")";
  } else if (sized && declared.find("char") != std::string::npos && column.length > 0) {
    declared += "(" + std::to_string(column.length) + ")";
  }
  SqliteTypeMapper::Apply(declared, info);
  return true;
}

}  // namespace fabrikon
