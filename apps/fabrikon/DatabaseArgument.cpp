// DatabaseArgument: tells an ODBC connection string, an embedded connection
// string and a database file name apart.
#include "DatabaseArgument.h"

#include <cctype>
#include <filesystem>

#include "data/OdbcConnection.h"
#include "data/PgConnection.h"
#include "data/SqliteConnection.h"

namespace fabrikon::cli {

bool IsOdbcDatabase(const std::string& argument) {
  // A file name holding '=' is still a file name unless it names a driver or data source.
  return argument.find('=') != std::string::npos && OdbcConnection::IsOdbcConnectionString(argument);
}

DatabaseArgument ReadDatabaseArgument(const std::string& argument) {
  DatabaseArgument db;
  if (PgConnection::IsPgConnectionString(argument)) {
    db.pg = true;
    return db;
  }
  if (IsOdbcDatabase(argument)) {
    db.odbc = true;
    return db;
  }
  db.file = argument;
  std::error_code ec;
  if (argument.find('=') == std::string::npos || std::filesystem::is_regular_file(argument, ec)) return db;
  const std::string source = ConnectionStringValue(argument, "Data Source");
  if (source.empty()) return db;
  db.connectionString = true;
  db.file = source;
  std::string mode = ConnectionStringValue(argument, "Mode");
  for (char& c : mode) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  db.readOnly = mode == "read";
  return db;
}

}  // namespace fabrikon::cli
