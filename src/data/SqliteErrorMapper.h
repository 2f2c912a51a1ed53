// SqliteErrorMapper: turns SQLite result codes into the error numbers callers
// test for (busy -> timeout, locked -> failed, conversion, syntax, constraint),
// and words the description as SQL Server would where it can.
#pragma once
#include <cstdint>
#include <string>

#include "fabrikon/ComError.h"

struct sqlite3;
struct sqlite3_stmt;

namespace fabrikon {

class SqliteErrorMapper {
 public:
  // Where the failure happened: text that cannot be compiled is a command
  // error, the same primary code at run time is a plain failure.
  enum class Phase { Prepare, Run };

  // SQL Server's wording of a SQLite message where there is one.
  static std::string Describe(const std::string& message);
  static int32_t Number(int resultCode, const std::string& message, Phase phase);
  static ComError ToError(sqlite3* db, int resultCode, Phase phase);
  [[noreturn]] static void Raise(sqlite3* db, int resultCode, Phase phase);
  // A failed step of a statement: constraint violations are worded as SQL
  // Server words them, with the key value where the statement shows it.
  [[noreturn]] static void RaiseFrom(sqlite3* db, sqlite3_stmt* statement, int resultCode);
  // True for the errors after which SQL Server goes on with the batch (the
  // statement ends, the batch does not): constraint violations and values
  // too long for their column. Conversion and arithmetic errors end the
  // batch (ARITHABORT), as do missing objects and everything else.
  static bool EndsStatementOnly(const ComError& error);
};

}  // namespace fabrikon
