// DatabaseArgument: tells an ODBC connection string from a database file name.
#include "DatabaseArgument.h"

#include "data/OdbcConnection.h"

namespace fabrikon::cli {

bool IsOdbcDatabase(const std::string& argument) {
  // A file name holding '=' is still a file name unless it names a driver or data source.
  return argument.find('=') != std::string::npos && OdbcConnection::IsOdbcConnectionString(argument);
}

}  // namespace fabrikon::cli
