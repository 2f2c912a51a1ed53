// TSqlScalarFunctions: the T-SQL functions and conversions the translated
// statements call (see TSqlDialect.h for the list). Failed conversions raise
// SQLITE_MISMATCH with a message starting "conversion failed".
#pragma once

struct sqlite3;

namespace fabrikon::dialect {

class TSqlScalarFunctions {
 public:
  static void Register(sqlite3* db);
};

}  // namespace fabrikon::dialect
