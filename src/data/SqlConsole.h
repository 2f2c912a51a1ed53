// SqlConsole: runs a T-SQL batch that a user typed (the command line's sql
// command) on a connection of either backend, and keeps both what Execute reports
// for the batch and the rows of every row-returning statement in it.
#pragma once
#include <string>
#include <vector>

#include "fabrikon/Recordset.h"

namespace fabrikon {

class Connection;

struct SqlConsoleResult {
  std::vector<RecordsetPtr> rowsets;  // one per row-returning statement that ran, in order
  long recordsAffected = -1;          // the count Connection::Execute reports for the batch
};

class SqlConsole {
 public:
  // The batch runs once. On the embedded connection it runs as a whole, as
  // Execute runs it; on an ODBC connection its statements run in order
  // through the connection's own Open and ExecuteEach (which only checks
  // first that the batch reads). Errors end the batch as SQL Server's do: a
  // constraint violation outside a transaction ends its statement only and
  // is raised when the batch is done.
  static SqlConsoleResult Run(Connection& conn, const std::string& text);
};

}  // namespace fabrikon
