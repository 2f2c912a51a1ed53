// ColumnLengthGuard: SQL Server refuses text longer than a char, varchar,
// nchar or nvarchar column's declared length ("String or binary data would
// be truncated."); the embedded engine stores it whole. The guard gives every
// table of a host database, on one connection, temporary triggers that refuse
// such inserts and updates (trailing blanks do not count, as there). They live
// in the connection's temporary schema: the file itself is not changed.
#pragma once

namespace fabrikon {

class SqliteConnection;

class ColumnLengthGuard {
 public:
  static void Install(SqliteConnection& conn);
};

}  // namespace fabrikon
