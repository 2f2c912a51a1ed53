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
//   char/varchar family             blanks beyond the length cut silently
//   anything else                   stored as given
//
// Failures are reported as the other conversions are (SQLITE_MISMATCH, SQL
// Server's message, 0x80040E07 at the connection). The declared types are
// read from the connection's schema and kept per connection (a save stores
// thousands of values into a few columns); the kept types are dropped when a
// database file changes (every commit, this connection's or another's) and
// when SchemaChanged (or the SQL function tsql_store_forget()) says so,
// which a connection calls after it ran DDL (a table recreated inside a
// transaction). Tables the schema does not know (views) get the value as
// given.
#pragma once

struct sqlite3;

namespace fabrikon::dialect {

class StoreConversion {
 public:
  static void Register(sqlite3* db);
  // Forgets the declared types kept for db (after DDL on it).
  static void SchemaChanged(sqlite3* db);
};

}  // namespace fabrikon::dialect
