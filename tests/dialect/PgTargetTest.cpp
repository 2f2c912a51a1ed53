// The PostgreSQL target: golden texts of what each rewrite makes of a
// translated statement, and the statements it refuses before anything runs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/dialect/PgTarget.h"
#include "fabrikon/ComError.h"

namespace fabrikon::dialect {
namespace {

struct Golden {
  const char* embedded;  // the translation for the embedded engine
  const char* server;    // what the server runs
};

TEST(PgTarget, RewritesEachEngineFormAsTheServerReadsIt) {
  const std::vector<Golden> cases = {
      // stored values: one function per kind of column
      {"insert into t(a,b) values (tsql_store_as(5.5, 1, 32, 0),tsql_store_as(5, 9, 30, 0))",
       "insert into t(a,b) values (tsql_store_integer(5.5, 32, 0),tsql_store_text(5, 30, 0))"},
      // ...and a literal the column takes as written goes in as it is
      {"insert into t(a,b,c,d,e) values (tsql_store_as(5, 1, 32, 0),tsql_store_as('x', 9, 30, 0),"
       "tsql_store_as(2.5, 4, 0, 0),tsql_store_as('2024-02-29 10:00:00', 6, 0, 0),tsql_store_as(NULL, 1, 32, 0))",
       "insert into t(a,b,c,d,e) values (5,'x',2.5,'2024-02-29 10:00:00',NULL)"},
      {"insert into t(a,b,c) values (tsql_store_as(300, 1, 8, 0),tsql_store_as('2023-02-29 00:00:00', 6, 0, 0),"
       "tsql_store_as('20240229', 6, 0, 0))",
       "insert into t(a,b,c) values (tsql_store_integer(300, 8, 0),tsql_store_datetime('2023-02-29 00:00:00', 0, 0),"
       "tsql_store_datetime('20240229', 0, 0))"},
      {"select * from t where id=tsql_as('9', 'int', 'varchar', 1)",
       "select * from t where id=tsql_as_int('9', 'varchar', 1)"},
      {"insert into x(a) values (tsql_store(1, 'x', 'a'))", "insert into x(a) values ((1))"},
      // LIKE becomes the runtime's operators; an ESCAPE travels with its pattern
      {"select 1 where a like 'x%'", "select 1 where a ~~~ ('x%')"},
      {"select 1 where a not like 'x%' and b = 1", "select 1 where a !~~~ ('x%') and b = 1"},
      {"select 1 where a like 'x!%' escape '!'", "select 1 where a ~~~ ROW('x!%', '!') :: tsql_pattern"},
      {"select 1 where 'a' like 'a' escape char(1)", "select 1 where 'a' ~~~ ROW('a', chr(1)) :: tsql_pattern"},
      // engine names
      {"select instr(a, 'b') from t", "select strpos(a, 'b') from t"},
      {"select cast(a as real) from t", "select cast(a as double precision) from t"},
      {"select 1 where a is b", "select 1 where a IS NOT DISTINCT FROM b"},
      {"select 1 where a is not null", "select 1 where a is not null"},
      {"select replace(a, 'B', 'x') from t", "select tsql_replace(a, 'B', 'x') from t"},
      {"delete from t where rowid in (select rowid from t limit 1)",
       "delete from t where ctid in (select ctid from t limit 1)"},
      // NULL sorts first, and last when descending, as on SQL Server
      {"select a from t order by a, b desc", "select a from t order by a NULLS FIRST, b desc NULLS LAST"},
      {"select row_number() over(order by a) from t", "select row_number() over(order by a NULLS FIRST) from t"},
      {"select upper(a) from t group by upper(a) COLLATE TSQL", "select upper(a) from t group by upper(a)"},
      // a float literal stays a float; literals compared ignore trailing blanks
      {"select 0.1e0", "select CAST(0.1e0 AS double precision)"},
      {"select 1 where a = 'x  '", "select 1 where a = 'x'"},
      {"select 1 where a in ('x ', 'y')", "select 1 where a in ('x', 'y')"},
      {"select 'x  '", "select 'x  '"},
      // temporary tables and a derived table without an alias
      {"CREATE TABLE temp.\"L\" AS SELECT 1", "CREATE TEMP TABLE \"l\" AS SELECT 1"},
      {"select * from temp.\"L\"", "select * from pg_temp.\"l\""},
      {"select * from (select 1) limit 1", "select * from (select 1) AS derived_1 limit 1"},
      {"select a as \"Total\" from \"T\"", "select a as \"Total\" from \"t\""},
      // an INSERT ... SELECT staged for the embedded engine's conversions
      // takes the select as it is (the server converts, and counts)
      {"INSERT INTO t (a) WITH fabrikon_stored( c0) AS (SELECT * FROM u) SELECT tsql_store_as(c0, 9, 30, 0) FROM "
       "fabrikon_stored",
       "INSERT INTO t (a) SELECT * FROM u"},
      {"insert into t WITH fabrikon_stored_all( c0, c1) AS (SELECT distinct a, b FROM u union select 1, 2) SELECT "
       "tsql_store(c0, 't', 0), tsql_store(c1, 't', 1) FROM fabrikon_stored_all;",
       "insert into t SELECT distinct a, b FROM u union select 1, 2;"},
      // a name never touches a literal: E'…' would read backslash escapes
      {"select E'a\\'", "select E 'a\\'"},
  };
  for (const Golden& c : cases) EXPECT_EQ(PgTarget::Rewrite(c.embedded), c.server) << c.embedded;
}

TEST(PgTarget, DeclaresTheSchemasColumnTypesAndMakesTheirTextDomains) {
  EXPECT_EQ(PgTarget::RewriteAll({"CREATE TABLE t (a nvarchar(20) COLLATE TSQL, b bit, c money, d varchar(max))"}),
            (std::vector<std::string>{"SELECT tsql_text_domain(20)",
                                      "CREATE TABLE t (a tsql_nvarchar_20 COLLATE TSQL, b tsql_bit, c tsql_money_t, "
                                      "d tsql_nvarchar_max)"}));
  EXPECT_EQ(PgTarget::RewriteAll({"alter table t add n nchar(3)"}), (std::vector<std::string>{"alter table t add n char(3)"}));
}

TEST(PgTarget, AnIdentityColumnIsTheServersOwnInsteadOfTheEmbeddedTriggers) {
  const std::vector<std::string> embedded = {
      "CREATE TABLE \"ti\" (\"id\" int PRIMARY KEY, name int)",
      "CREATE TRIGGER \"ti_id_identity_explicit\" BEFORE INSERT ON \"ti\" WHEN NEW.\"id\" IS NOT NULL BEGIN SELECT "
      "RAISE(ABORT, 'x'); END",
      "CREATE TRIGGER \"ti_id_identity\" AFTER INSERT ON \"ti\" WHEN NEW.\"id\" IS NULL BEGIN UPDATE \"ti\" SET \"id\" "
      "= tsql_identity_note(coalesce((SELECT max(\"id\") FROM \"ti\"), 9) + 1) WHERE rowid = NEW.rowid; END"};
  EXPECT_EQ(PgTarget::RewriteAll(embedded),
            (std::vector<std::string>{
                "CREATE TABLE \"ti\" (\"id\" int GENERATED ALWAYS AS IDENTITY (START WITH 10 INCREMENT BY 1) PRIMARY "
                "KEY, name int)"}));
}

TEST(PgTarget, RefusesWhatSqlServerRefusesBeforeTheServerSeesIt) {
  const std::vector<Golden> cases = {
      {"select from t", "Incorrect syntax near the keyword 'from'."},
      // a statement built with empty names: the server would take FROM for a label
      {"SELECT ifnull(MAX(),0) AS FROM", "Incorrect syntax near the keyword 'FROM'."},
      {"SELECT a AS where FROM t", "Incorrect syntax near the keyword 'where'."},
      {"SELECT a FROM t AS ORDER BY a", "Incorrect syntax near the keyword 'ORDER'."},
  };
  for (const Golden& c : cases) {
    try {
      PgTarget::Rewrite(c.embedded);
      ADD_FAILURE() << "no error for " << c.embedded;
    } catch (const ComError& e) {
      EXPECT_EQ(e.Number(), ErrorNumber::ErrorsInCommand) << c.embedded;
      EXPECT_EQ(e.Description(), c.server) << c.embedded;
    }
  }
}

TEST(PgTarget, TakesWhatMayFollowAs) {
  for (const char* sql : {"CREATE TABLE \"t\" AS SELECT a FROM u", "SELECT CAST(a AS varchar(10)) AS \"from\" FROM t",
                          "SELECT a AS b FROM t AS x ORDER BY b", "CREATE VIEW v AS SELECT 1 AS n"}) {
    EXPECT_NO_THROW(PgTarget::Rewrite(sql)) << sql;
  }
}

}  // namespace
}  // namespace fabrikon::dialect
