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
  // The batch runs once. On the embedded connection it is compiled as a whole
  // first (a batch that does not compile changes nothing; an ODBC connection
  // only checks that the batch reads), then its statements run in order through
  // the connection's own Open and ExecuteEach; the first runtime error stops it.
  static SqlConsoleResult Run(Connection& conn, const std::string& text);
};

}  // namespace fabrikon
