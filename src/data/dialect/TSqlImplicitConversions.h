// TSqlImplicitConversions: the run-time side of the conversions T-SQL makes
// on its own when operands of different types meet (a text compared with or
// added to a number, a date plus a number of days). The translation decides
// the target type from the expression types and calls:
//   tsql_as(x, 'int'|'smallint'|'tinyint'|'bigint'|'bit'|'numeric'|'money'|
//           'float'|'real'|'datetime'|'date', 'varchar'|'nvarchar')
//       converts a text x as SQL Server converts it, failing with SQL
//       Server's message (the last argument names the text's type in it);
//       other values pass unchanged; tsql_as(x, target, source, 1) leaves a
//       text that is no number as it is (unequal to every number);
//   tsql_date_add(d, n, sign)
//       the datetime d plus (sign 1) or minus (sign -1) n days, fractions of
//       a day included; a datetime n counts its days since 1900-01-01.
#pragma once

struct sqlite3;

namespace fabrikon::dialect {

class TSqlImplicitConversions {
 public:
  static void Register(sqlite3* db);
};

}  // namespace fabrikon::dialect
