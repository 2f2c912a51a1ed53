// PgTarget: the PostgreSQL target of the dialect. The translation of a T-SQL
// batch (TranslateBatch) is written for the embedded engine; this pass turns
// each translated statement into PostgreSQL text that means the same on a
// database laid out as the embedded one is (schema/pg: text dates, the tsql
// collation, the runtime functions of the same names):
//
// * functions whose result type depends on a type argument get one function
//   per type: tsql_store_as(v, 1, 32, 0) -> tsql_store_integer(v, 32, 0),
//   tsql_as(x, 'int', 'varchar', 1) -> tsql_as_int(x, 'varchar', 1);
// * engine names: instr -> strpos, CAST(... AS REAL) ->
//   double precision, x IS y -> x IS NOT DISTINCT FROM y;
// * LIKE, which PostgreSQL refuses on the case-insensitive collation, becomes
//   the ~~~ operator of the runtime (T-SQL patterns, escapes, the padded
//   match): a LIKE p ESCAPE e -> a ~~~ ROW(p, e)::tsql_pattern;
// * temporary tables: temp.x -> pg_temp.x, CREATE TABLE temp.x -> CREATE
//   TEMP TABLE x, and the embedded engine's catalogue of them
//   (temp.sqlite_master) -> the session's pg_tables rows;
// * quoted names other than column aliases are folded to lower case, as the
//   PostgreSQL schema declares every name unquoted.
#pragma once
#include <string>

namespace fabrikon::dialect {

class PgTarget {
 public:
  // One translated statement (or condition) in, PostgreSQL text out.
  // Throws ComError (0x80040E14) for text it cannot read.
  static std::string Rewrite(const std::string& sql);
};

}  // namespace fabrikon::dialect
