// The calls of the C interface that need no handle (fabrikon_c.h): the
// library's version and the creation of a host database, whose failures are
// kept per thread for fabrikon_last_error().
#include <cctype>
#include <filesystem>
#include <string>

#include "data/OdbcConnection.h"
#include "data/PgConnection.h"
#include "data/SqliteConnection.h"
#include "engine/EngineErrors.h"
#include "fabrikon/Connection.h"
#include "fabrikon/fabrikon_c.h"

namespace {

using namespace fabrikon;

thread_local std::string tLastError;

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The embedded database file that the argument names: a file name, or the
// Data Source of an embedded connection string (an existing file is a file
// name even when its name holds '='). A server that is not PostgreSQL and a
// read-only connection string create nothing.
std::string DatabaseFile(const std::string& argument) {
  if (argument.find('=') == std::string::npos) return argument;
  if (OdbcConnection::IsOdbcConnectionString(argument)) {
    throw ComError(ErrorNumber::InvalidProcedureCall,
                   "only embedded database files and PostgreSQL databases are created: " + argument);
  }
  std::error_code ec;
  if (std::filesystem::is_regular_file(argument, ec)) return argument;
  const std::string source = ConnectionStringValue(argument, "Data Source");
  if (source.empty()) return argument;
  if (Lower(ConnectionStringValue(argument, "Mode")) == "read") {
    throw ComError(ErrorNumber::InvalidProcedureCall, "Mode=Read creates nothing: " + argument);
  }
  return source;
}

void CreateDatabase(const std::string& argument, bool demo, bool force) {
  if (argument.empty()) throw ComError(ErrorNumber::InvalidProcedureCall, "no database named");
  if (PgConnection::IsPgConnectionString(argument)) {
    CreateHostDatabase(argument, demo, force);
  } else {
    CreateHostDatabase(DatabaseFile(argument), demo, force);
  }
}

}  // namespace

extern "C" {

const char* fabrikon_version(void) { return FABRIKON_VERSION_STRING; }

int32_t fabrikon_create_database(const char* path_or_connection, int32_t demo, int32_t force) {
  tLastError.clear();
  try {
    CreateDatabase(path_or_connection ? path_or_connection : "", demo != 0, force != 0);
    return 0;
  } catch (...) {
    tLastError = engine::CurrentErrorDescription();
    const int32_t number = engine::CurrentErrorNumber();
    return number == 0 ? ErrorNumber::E_FAIL_ : number;
  }
}

const char* fabrikon_last_error(void) { return tLastError.c_str(); }

}  // extern "C"
