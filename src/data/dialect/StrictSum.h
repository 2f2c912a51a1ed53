// StrictSum: sum() and avg() that refuse text, as SQL Server does (a sum over
// a character column is an error there, while SQLite quietly adds text as 0).
// They replace SQLite's built-ins on the connection and work as window
// functions too. Text or blob input raises SQLITE_MISMATCH with a message
// starting "conversion failed".
#pragma once

struct sqlite3;

namespace fabrikon::dialect {

class StrictSum {
 public:
  static void Register(sqlite3* db);
};

}  // namespace fabrikon::dialect
