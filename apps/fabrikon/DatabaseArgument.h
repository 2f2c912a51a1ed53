// DatabaseArgument: the DB argument of the commands. An ODBC connection string
// ("Driver=..." or "DSN=...", e.g. a SQL Server database) is used as given;
// anything else names an embedded database file.
#pragma once
#include <string>

namespace fabrikon::cli {

bool IsOdbcDatabase(const std::string& argument);

}  // namespace fabrikon::cli
