// The paged list: SELECT IDENTITY ... INTO TempDB..X, its index, and reads.
#include <gtest/gtest.h>

#include "CatalogueSchema.h"
#include "DialectDb.h"

namespace fabrikon::dialect::test {
namespace {

// The table is made empty from the query's columns, then filled by an INSERT
// (which counts the rows, as SQL Server counts them).
std::vector<std::string> Steps(const std::string& tsql) { return TranslateBatch(tsql).at(0).sql; }

TEST(SelectIntoRule, Golden) {
  EXPECT_EQ(Steps("SELECT IDENTITY(int,1,1) AS IDOrder,ccode,ddate INTO TempDB..TMPQX_pp25 FROM v_pp25_list WHERE "
                  "ddate>='2008-01-01' ORDER BY ccode"),
            (std::vector<std::string>{
                "CREATE TABLE temp.TMPQX_pp25 AS SELECT * FROM (SELECT row_number() OVER(ORDER BY ccode) AS IDOrder,"
                "ccode,ddate FROM v_pp25_list WHERE ddate>='2008-01-01 00:00:00' ORDER BY ccode) LIMIT 0",
                "INSERT INTO temp.TMPQX_pp25 SELECT row_number() OVER(ORDER BY ccode) AS IDOrder,ccode,ddate FROM "
                "v_pp25_list WHERE ddate>='2008-01-01 00:00:00' ORDER BY ccode"}));
  EXPECT_EQ(Sql("select identity(int, 10, 5) idorder, a into #t from u order by 2 desc"),
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
