// TSqlDialect: turns the T-SQL batches the library builds into statements the
// embedded database runs with SQL Server's meaning. The embedded connection
// prepares every translated statement of a batch before it runs the first.
#pragma once
#include <string>
#include <vector>

struct sqlite3;

namespace fabrikon::dialect {

enum class StatementKind { Select, Insert, Update, Delete, Ddl, Other };

struct TranslatedStatement {
  std::string original;  // the T-SQL text of this statement
  // For IF [NOT] EXISTS (...) and the like: a SQLite SELECT yielding one row
  // whose first column is 1 when the guarded statement must run. Empty: no guard.
  std::string condition;
  // The SQLite statements that carry out the T-SQL statement, in order
  // (usually one). Their last one decides the count.
  std::vector<std::string> sql;
  // What the (guarded) statement is: Select reports -1, Insert/Update/Delete
  // report the rows they changed, Ddl and Other produce no count.
  StatementKind kind = StatementKind::Other;
};

// Splits and translates a batch. Throws ComError (0x80040E14) for text it
// cannot read. Translations are cached.
std::vector<TranslatedStatement> TranslateBatch(const std::string& tsql);

// Registers on a connection what the translations rely on: the TSQL
// collation (case-insensitive, trailing blanks ignored), the T-SQL functions
// and conversions, and the strict sum that fails on text (0x80040E07).
void RegisterFunctions(sqlite3* db);

}  // namespace fabrikon::dialect
