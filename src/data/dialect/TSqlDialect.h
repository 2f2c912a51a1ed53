// TSqlDialect: turns the T-SQL batches the library builds into statements the
// embedded database runs with SQL Server's meaning. The embedded connection
// prepares every translated statement of a batch before it runs the first.
//
// Agreements with the rest of the embedded backend:
//
// * Errors. Text the translator cannot read raises ComError 0x80040E14
//   (ErrorsInCommand); an empty or blank batch raises 0x80040E0C
//   (CommandTextNotSet). At run time the functions below report failed
//   conversions (the strict sum over text included) with result code
//   SQLITE_MISMATCH and a message starting "conversion failed"; the connection
//   maps either of the two to 0x80040E07 (CantConvertValue).
//
// * Counts. `kind` decides: Select reports -1, Insert/Update/Delete the rows
//   they changed (sqlite3_changes of the last statement in `sql`), Ddl and
//   Other no count. A guarded statement whose condition is false runs nothing
//   and produces no count. Step the condition once, read column 0, and reset
//   (or finalize) it before running the guarded statement: a condition left
//   pending keeps its tables read-locked, and the guarded DROP TABLE of the
//   list table would fail with SQLITE_LOCKED.
//
// * Row versions. A `qxts` column holds an INTEGER counter that triggers bump
//   from one database-wide counter on every insert and update. The guard
//   "convert(char, convert(money, qxts), 2) = convert(char, convert(money,'X'), 2)"
//   becomes "tsql_char_money2(tsql_money_rv(qxts)) = tsql_char_money2(tsql_money('X'))":
//   the counter n reads as the money value n/10000, as SQL Server reads a
//   timestamp. Views deliver `qxts` as tsql_rowversion(qxts), the money text
//   of the counter ("0.2001" for 2001), which money('0.2001') turns back into
//   the same value; a stale text no longer matches. (The padded form
//   tsql_char_money2(tsql_money_rv(qxts)) is what "select convert(char,
//   convert(money,qxts),2) ..." returns.)
//
// * Text columns are declared COLLATE TSQL (case-insensitive, trailing blanks
//   ignored). A string literal compared with a plain column takes the column's
//   collation (so the column's index still serves the lookup); compared with
//   anything else (isnull(c,''), another literal) it gets COLLATE TSQL. A view
//   column computed from text (not a plain column reference) should therefore
//   carry COLLATE TSQL itself.
//
// * Dates are stored as text 'YYYY-MM-DD HH:MM:SS'. Date literals compared
//   with, assigned to or inserted into columns are rewritten to that form.
//
// * Stored values. Each value an INSERT (VALUES or SELECT list) or an UPDATE's
//   SET stores becomes tsql_store(value, 'table', column), which converts it
//   to the column's declared type as SQL Server does when it runs (see
//   StoreConversion): an int column gets 12 for 12.7 and refuses 'abc', a
//   datetime column gets '2008-03-01 00:00:00' for '20080301', char(5) 'ab'
//   is padded. Given a catalog that knows the column, the translation writes
//   the type in instead, tsql_store_as(value, kind, a, b) (such translations
//   are cached per catalog generation); otherwise the type is looked up when
//   the statement runs.
//
// * Types. The ExpressionTyper types operands (literals by their form,
//   columns through the catalog TranslateBatch is given, functions and
//   operators by SQL Server's precedence); ImplicitConversionRule converts a
//   text meeting a number or date (operators, comparisons, ISNULL, COALESCE,
//   CASE) with tsql_int(x, bits) or tsql_as(x, type, source), joins two texts
//   with ||, and turns date +/- number into tsql_date_add(d, n, sign).
//   Translations are cached per catalog generation.
//
// * Numbers compared with quoted literals of unknown type: SQLite's column
//   affinity converts '12' for number columns (views must deliver key columns
//   as plain column references or CAST(... AS int) so that they keep the
//   affinity). The blank literal '' becomes tsql_blank(column), which is 0
//   for a number and '' for text, as in SQL Server. A non-numeric literal
//   compared with a number column of unknown type is simply unequal (SQL
//   Server would raise a conversion error).
//
// * Int arithmetic. An integer literal within int's range is an int, a larger
//   one numeric. +, -, *, / and % of two ints (literals, conversions to int,
//   parenthesised expressions of them) and the minus before such an
//   expression become tsql_int(a op b, 32), so 2147483647+1 fails with
//   "Arithmetic overflow error converting expression to data type int."
//   (0x80040E07) as each intermediate value does; 2147483648+1 is numeric and
//   gives 2147483649. Columns of the int family count as such where the
//   catalog declares them (tiny + tiny is checked as tinyint); without a
//   catalog intcol + 1 is not checked (a + b of two untyped columns is:
//   tsql_add decides when it runs). The decimal, number-text and average rules
//   read column types the same way (NumericType::FromSql over the typer's
//   SqlType).
//
// * UNION, EXCEPT, INTERSECT. Where every arm's type of a result column is
//   known from the text and text meets numbers there, the text arms convert
//   to the numbers' type (tsql_int(x, 32) when all are ints, else
//   tsql_float(x)): select 1 union select 'a' fails with "Conversion failed
//   when converting the varchar value 'a' to data type int.", '5' gives 5.
//
// * Functions registered by RegisterFunctions (usable in views too), each
//   with SQL Server's rules: tsql_money(x), tsql_money_rv(n),
//   tsql_rowversion(n), tsql_char_money2(m), tsql_money_str(m, len, style,
//   padded), tsql_str(x, len, style, padded), tsql_int(x, bits) (overflow
//   checked), tsql_decimal(x, p, s), tsql_float(x), tsql_bit(x),
//   tsql_datetime(x[, style]) and tsql_date(x, style) (1753-01-01 to
//   9999-12-31), tsql_blank(x), tsql_add(a, b) (text with int converts to
//   int; int sums overflow), tsql_divisor(x) (divide by zero fails),
//   getdate(), getutcdate(), len, charindex, tsql_left, tsql_right,
//   substring (a start before 1 shortens the result; a negative length
//   fails), upper and lower (Latin, Greek, Cyrillic letters), replicate,
//   space, isnumeric (money and float forms: '$', '.', '+', '1d2' give 1),
//   year, month, day, tsql_datepart/datename/datediff/dateadd (int and
//   datetime overflow fail), like() with T-SQL patterns, and strict sum() and
//   avg(). The engine's own functions that T-SQL lacks (typeof, printf,
//   substr, ...) are refused by the translator.
//
// * Text only the embedded engine reads (LIMIT, ==, ||, GLOB, IS 1, WHERE 1,
//   IN (), RETURNING, ON CONFLICT, CREATE TEMP TABLE, PRAGMA, sqlite_master,
//   ...) is a syntax error, so that no host SQL works here and fails there.
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
  // For a Select: the declared type of each result column the translation
  // computes as a date ("datetime", "date"; "" for the others), which the
  // engine cannot tell; empty when no column needs one.
  std::vector<std::string> resultTypes;
  // The ELSE of the IF statement before it: runs exactly when that one's
  // condition was false (the statement before was reached and did not run).
  bool otherwise = false;
  // Of a SELECT: for each item of its select list, whether it is computed and
  // has no alias, so that SQL Server leaves its column unnamed. Empty: none
  // known.
  std::vector<bool> unnamed;
};

class SchemaCatalog;

// The engine a translation runs on: the embedded one (also behind the ODBC
// driver) or PostgreSQL, whose PgTarget pass rewrites the text further.
enum class Engine { Embedded, Postgres };

// Splits and translates a batch. Throws ComError (0x80040E14) for text it
// cannot read. Translations are cached (by the catalog's generation too).
// catalog: the declared column types the operands are typed by; null when
// the connection cannot tell them.
std::vector<TranslatedStatement> TranslateBatch(const std::string& tsql, const SchemaCatalog* catalog = nullptr,
                                                Engine engine = Engine::Embedded);

// Registers on a connection what the translations rely on: the TSQL
// collation (case-insensitive, trailing blanks ignored), the T-SQL functions
// and conversions, and the strict sum that fails on text (0x80040E07).
void RegisterFunctions(sqlite3* db);

}  // namespace fabrikon::dialect
