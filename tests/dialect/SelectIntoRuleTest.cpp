// The paged list: SELECT IDENTITY ... INTO TempDB..X, its index, and reads.
#include <gtest/gtest.h>

#include "CatalogueSchema.h"
#include "DialectDb.h"

namespace fabrikon::dialect::test {
namespace {

// The table is made empty from the query's columns, then filled by an INSERT
// (which counts the rows, as SQL Server counts them).
std::vector<std::string> Steps(const std::string& tsql, Engine engine = Engine::Embedded) {
  return TranslateBatch(tsql, nullptr, engine).at(0).sql;
}

// The embedded engine numbers the identity column from the new table's
// rowids after the fill; PostgreSQL numbers it in the query.
TEST(SelectIntoRule, Golden) {
  const std::string paged =
      "SELECT IDENTITY(int,1,1) AS IDOrder,ccode,ddate INTO TempDB..TMPQX_pp25 FROM v_pp25_list WHERE "
      "ddate>='2008-01-01' ORDER BY ccode";
  EXPECT_EQ(Steps(paged),
            (std::vector<std::string>{
                "CREATE TABLE temp.TMPQX_pp25 AS SELECT * FROM (SELECT NULL AS IDOrder,ccode,ddate FROM v_pp25_list "
                "WHERE ddate>='2008-01-01 00:00:00' ORDER BY ccode) LIMIT 0",
                "INSERT INTO temp.TMPQX_pp25 SELECT NULL AS IDOrder,ccode,ddate FROM v_pp25_list WHERE "
                "ddate>='2008-01-01 00:00:00' ORDER BY ccode",
                "UPDATE temp.TMPQX_pp25 SET IDOrder = rowid"}));
  EXPECT_EQ(Steps(paged, Engine::Postgres),
            (std::vector<std::string>{
                "CREATE TABLE temp.TMPQX_pp25 AS SELECT * FROM (SELECT row_number() OVER(ORDER BY ccode) AS IDOrder,"
                "ccode,ddate FROM v_pp25_list WHERE ddate>='2008-01-01 00:00:00' ORDER BY ccode) LIMIT 0",
                "INSERT INTO temp.TMPQX_pp25 SELECT row_number() OVER(ORDER BY ccode) AS IDOrder,ccode,ddate FROM "
                "v_pp25_list WHERE ddate>='2008-01-01 00:00:00' ORDER BY ccode"}));
  const std::string seeded = "select identity(int, 10, 5) idorder, a into #t from u order by 2 desc";
  EXPECT_EQ(Sql(seeded), "UPDATE temp.\"#t\" SET idorder = (rowid - 1) * 5 + 10");
  EXPECT_EQ(Steps(seeded, Engine::Postgres).back(),
            "INSERT INTO temp.\"#t\" SELECT (row_number() OVER(ORDER BY a desc) - 1) * 5 + 10 AS idorder, a "
            "from u order by 2 desc");
  EXPECT_THROW(Sql("select identity(int,1,1) as n, a into #t from u order by 1"), ComError);
  EXPECT_THROW(Sql("select identity(int,1,1) as n, a into #t from u order by 99999999999999999999999"), ComError);
  EXPECT_EQ(Steps("select a, b into x from u"),
            (std::vector<std::string>{"CREATE TABLE x AS SELECT * FROM (SELECT a, b from u) LIMIT 0",
                                      "INSERT INTO x SELECT a, b from u"}));
  EXPECT_EQ(TranslateBatch("select a into x from u")[0].kind, StatementKind::Insert);
  EXPECT_THROW(Sql("select identity(int,1,1), a into x from u"), ComError);  // every column needs a name
  // An ORDER BY list cut short is a command error, never a read past the statement.
  DialectDb db;
  db.Native("CREATE TABLE u (a int)");
  for (const char* cut : {"select a into x from u order by", "select a into x from u order by a,",
                          "select identity(int,1,1) as n, a into x from u order by 2,"})
    EXPECT_THROW(db.Execute(cut), ComError) << cut;
}

// The rowid numbering against the numbering in the query (the PostgreSQL
// engine's translation, which the embedded engine runs as well): same rows,
// same numbers, same count; the shapes the rowids cannot number stay with
// the query's numbering.
TEST(SelectIntoRule, RowidNumberingNumbersAsTheQueryWould) {
  struct Case {
    const char* tsql;  // INTO x
    bool byRowid;
  };
  const Case cases[] = {
      {"select identity(int,1,1) as n, a, b into x from u order by a, b", true},
      {"select identity(int,1,1) as n, a, b into x from u order by b desc, a", true},
      {"select identity(int,10,5) n, a into x from u order by 2 desc", true},
      {"select identity(int,-1,-2) as n, a, b into x from u where a > 2 order by a", true},
      {"select identity(int,1,1) as n, a, b into x from u where a > 99 order by a", true},
      {"select identity(int,1,1) as n, b, count(*) as c into x from u group by b order by b desc", true},
      {"select a, identity(int,1,1) as n, b into x from u order by a", true},
      {"select distinct identity(int,1,1) as n, b into x from u order by b", false},
      {"select identity(int,1,1) as n, * into x from u order by a", false},
      {"select identity(int,1,1) as n, a as rowid into x from u order by a", false},
      {"select identity(int,1,1) as n, a into x from u union all select 0, a from u order by a", false},
  };
  for (const Case& c : cases) {
    DialectDb db;
    db.Native("CREATE TABLE u (a int, b varchar(10) COLLATE TSQL); INSERT INTO u VALUES "
              "(3,'c'),(1,'B'),(4,'a'),(2,'b '),(5,'d'),(6,'A'),(7,NULL)");
    const std::vector<std::string> embedded = Steps(c.tsql);
    EXPECT_EQ(embedded.size() == 3, c.byRowid) << c.tsql;
    const long count = db.Execute(c.tsql);
    const DialectDb::Rows numbered = db.Query("select * from x order by 1, 2");
    db.Native("DROP TABLE x");
    long queryCount = 0;
    for (const std::string& step : Steps(c.tsql, Engine::Postgres)) {
      db.Native(step);
      queryCount = sqlite3_changes(db.Handle());
    }
    EXPECT_EQ(count, queryCount) << c.tsql;
    EXPECT_EQ(numbered, db.Query("select * from x order by 1, 2")) << c.tsql;
  }
}

TEST(CreateIndexRule, IndexOnATempTableIsNamedAfterTheTable) {
  EXPECT_EQ(Sql("create index IX_IDOrder ON TempDB..TMPQX_pp25(idorder)"),
            "create index temp.\"IX_IDOrder_TMPQX_pp25\" ON \"TMPQX_pp25\"(idorder)");
  EXPECT_EQ(Sql("create nonclustered index ix on t(a)"), "create index ix on t(a)");
}

TEST(SelectIntoRule, PagedListOfTwoCardsNumbersRowsInOrder) {
  DialectDb db;
  db.Native(kCatalogueSchema);
  db.Native("INSERT INTO om_productpo(id, ccode, ddate) VALUES (1,'c','2008-01-02 00:00:00'),"
            "(2,'a','2007-12-31 00:00:00'),(3,'b','2008-01-01 00:00:00'),(4,'d','2008-02-01 00:00:00')");
  for (const std::string card : {"pp25", "pp13"}) {
    const std::string table = "TempDB..TMPQX_" + card;
    db.Execute("IF EXISTS (SELECT * FROM tempdb..sysobjects WHERE name = 'TMPQX_" + card +
               "' AND type='U') DROP TABLE " + table);
    db.Execute("SELECT IDENTITY(int,1,1) AS IDOrder,ccode,ddate INTO " + table +
               " FROM v_om_h WHERE ddate>='2008-1-1' ORDER BY ccode");
    db.Execute("create index IX_IDOrder ON " + table + "(idorder)");
  }
  const DialectDb::Rows page =
      db.Query(" SELECT ccode FROM TempDB..TMPQX_pp13 WHERE IdOrder  >= 2 AND IDOrder <= 3 ORDER BY IdOrder");
  EXPECT_EQ(page, (DialectDb::Rows{{"c"}, {"d"}}));
  // Rebuilding replaces the table.
  db.Execute("IF EXISTS (SELECT * FROM tempdb..sysobjects WHERE name = 'TMPQX_pp13' AND type='U') DROP TABLE "
             "TempDB..TMPQX_pp13");
  EXPECT_EQ(db.Value("SELECT count(*) FROM tempdb..sysobjects"), "1");
}

}  // namespace
}  // namespace fabrikon::dialect::test
