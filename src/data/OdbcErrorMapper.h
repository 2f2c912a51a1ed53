// OdbcErrorMapper: the error numbers of ODBC failures. The SQLSTATE decides on
// a server database; on the SQLite driver, whose SQLSTATEs say little, the
// native SQLite result code decides exactly as on the embedded connection.
#pragma once
#include <sql.h>

#include <cstdint>
#include <string>

#include "fabrikon/ComError.h"

namespace fabrikon {

class OdbcErrorMapper {
 public:
  // What the failing call was: compiling text, or anything else.
  enum class Phase { Prepare, Run };

  static int32_t Number(const std::string& sqlState, long nativeError, const std::string& message,
                        bool sqliteDriver, Phase phase);
  // The ComError of the handle's diagnostic records: the first record's
  // SQLSTATE decides the number, the messages (without the driver's
  // bracketed prefixes) make the description.
  static ComError ToError(SQLSMALLINT handleType, SQLHANDLE handle, bool sqliteDriver, Phase phase);
  [[noreturn]] static void Raise(SQLSMALLINT handleType, SQLHANDLE handle, bool sqliteDriver, Phase phase);
};

}  // namespace fabrikon
