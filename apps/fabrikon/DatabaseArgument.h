// DatabaseArgument: the DB argument of the commands. An ODBC connection string
// ("Driver=..." or "DSN=...", e.g. a SQL Server database) and a PostgreSQL
// URI ("postgresql://..." or "postgres://...") are used as given;
// an embedded connection string ("Data Source=FILE[;Mode=Read]") is used as
// given too; anything else names an embedded database file.
#pragma once
#include <string>

namespace fabrikon::cli {

bool IsOdbcDatabase(const std::string& argument);

// What a DB argument names.
struct DatabaseArgument {
  bool odbc = false;              // an ODBC connection string
  bool pg = false;                // a PostgreSQL URI
  bool Server() const { return odbc || pg; }  // opened by OpenConnection as given
  bool connectionString = false;  // an embedded connection string ("Data Source=...")
  bool readOnly = false;          // "Mode=Read" in an embedded connection string
  std::string file;               // the embedded database file ("" for ODBC)
};

// An existing file is a file name even when its name holds '='.
DatabaseArgument ReadDatabaseArgument(const std::string& argument);

}  // namespace fabrikon::cli
