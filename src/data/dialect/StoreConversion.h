// StoreConversion: the run-time half of the conversion of stored values.
// SQL Server converts every value an INSERT or UPDATE stores to the column's
// declared type; the embedded engine keeps what it is given (a date text as
// a number, 12.7 in an int column). The translator therefore wraps each
// stored value as tsql_store(value, 'table', column), column being the
// column's name or, for an INSERT without a column list, its 0-based
// position, and tsql_store converts the value as SQL Server would:
//
//   int, smallint, tinyint, bigint  decimals truncated; text must be a whole
//                                   number ('' is 0); out of range fails
//   decimal(p,s), numeric(p,s)      rounded to s decimals; overflow fails
//   money, smallmoney               rounded to 4 decimals ('' is 0)
//   float, real                     numeric text read ('' is 0)
//   bit                             0/1, any other number 1, 'true'/'false'
//   datetime, smalldatetime, date   SQL Server's date texts (and numbers as
//                                   days since 1900-01-01) stored as
//                                   'YYYY-MM-DD HH:MM:SS'; '' is 1900-01-01
//   char(n), nchar(n)               padded with blanks to n characters
//   char/varchar family             blanks beyond the length cut silently;
//                                   anything else beyond it refused ("String
//                                   or binary data would be truncated.")
//   anything else                   stored as given
//
// Failures are reported as the other conversions are (SQLITE_MISMATCH, SQL
// Server's message, 0x80040E07 at the connection). The declared types are
// read from the connection's schema and kept per connection (a save stores
// thousands of values into a few columns); the kept types are dropped when
// SchemaChanged (or the SQL function tsql_store_forget()) says so, which a
// connection calls after it ran DDL (a table recreated inside a transaction).
// A connection that also reports the schema changes of other connections
// (the embedded one compares the schema cookie before every batch) says so
// with ReportsSchemaChanges; otherwise, as in the SQLite ODBC driver, the
// kept types are also dropped whenever a database file changes (every
// commit, this connection's or another's), which costs a save a lookup of
// every column it stores into. Tables the schema does not know (views) get the value as
// given.
#pragma once
#include <array>
#include <string_view>

struct sqlite3;

namespace fabrikon::dialect {

struct SqlType;

class StoreConversion {
 public:
  static void Register(sqlite3* db);
  // Forgets the declared types kept for db (after DDL on it).
  static void SchemaChanged(sqlite3* db);
  // From now on the caller calls SchemaChanged for every schema change of db,
  // its own and other connections'; the kept types then live across commits.
  static void ReportsSchemaChanges(sqlite3* db);
  // The arguments after the value of tsql_store_as(value, kind, a, b), which
  // converts to a type the translation already knows (no lookup when it
  // runs); false for a type whose values are stored as given.
  static bool TypedArguments(const SqlType& type, std::array<int, 3>& arguments);
  // Whether tsql_store_as(number, arguments...) gives back the value the
  // engine reads from the number literal itself: digits with at most one
  // point into a float or real column, a whole number the column holds into
  // an int or bigint one.
  static bool KeepsNumber(const std::array<int, 3>& arguments, std::string_view number);
};

}  // namespace fabrikon::dialect
