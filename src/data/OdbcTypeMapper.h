// OdbcTypeMapper: the ADO type, size, precision and scale of a result column
// from what the driver describes. A server database is mapped from the ODBC
// SQL type (the type name tells money from decimal and timestamp from
// binary); the SQLite driver reports the column's declared type name, which
// goes through the embedded backend's own mapping so that both agree.
#pragma once
#include <sql.h>

#include <string>

#include "fabrikon/Recordset.h"

namespace fabrikon {

struct OdbcColumnDescription {
  SQLLEN sqlType = SQL_UNKNOWN_TYPE;  // SQL_DESC_CONCISE_TYPE
  std::string typeName;               // SQL_DESC_TYPE_NAME
  std::string tableName;              // SQL_DESC_TABLE_NAME ("" for an expression)
  SQLLEN length = 0, precision = 0, scale = 0;
};

class OdbcTypeMapper {
 public:
  // Server databases: ODBC SQL type (and type name) -> ADO type.
  static void ApplyServer(const OdbcColumnDescription& column, FieldInfo& info);
  // SQLite driver: false when the column has no declared type (an
  // expression), whose values then decide as on the embedded backend.
  static bool ApplySqlite(const OdbcColumnDescription& column, FieldInfo& info);
};

}  // namespace fabrikon
