// The T-SQL runtime of the embedded database as a SQLite loadable extension:
// the TSQL collation and the functions the dialect's translations call, from
// the same code the embedded connection registers directly. The SQLite ODBC
// driver loads it through "LoadExt=", the sqlite3 shell through ".load".
// It calls the SQLite library it is linked with, so the host must use the
// system's shared SQLite library (the driver and the shell do).
#include <sqlite3.h>

#include "data/dialect/TSqlDialect.h"
#include "fabrikon/ComError.h"

namespace {

int Register(sqlite3* db, char** errorMessage) {
  try {
    fabrikon::dialect::RegisterFunctions(db);
    return SQLITE_OK;
  } catch (const std::exception& e) {
    if (errorMessage != nullptr) *errorMessage = sqlite3_mprintf("%s", e.what());
    return SQLITE_ERROR;
  }
}

}  // namespace

extern "C" {

// The entry point SQLite derives from the file name (libfabrikon_tsql.so).
__attribute__((visibility("default"))) int sqlite3_fabrikontsql_init(sqlite3* db, char** errorMessage,
                                                                    const sqlite3_api_routines*) {
  return Register(db, errorMessage);
}

// The default entry point, for hosts that load the file under another name.
__attribute__((visibility("default"))) int sqlite3_extension_init(sqlite3* db, char** errorMessage,
                                                                 const sqlite3_api_routines*) {
  return Register(db, errorMessage);
}

}
