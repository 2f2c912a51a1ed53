// SqliteErrorMapper: turns SQLite result codes into the error numbers callers
// test for (busy -> timeout, locked -> failed, conversion, syntax, constraint),
// and words the description as SQL Server would where it can.
#pragma once
#include <cstdint>
#include <string>

#include "fabrikon/ComError.h"

struct sqlite3;

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
};

}  // namespace fabrikon
