// IF [NOT] EXISTS (...) <statement>: the condition becomes a separate query,
// and a skipped statement produces no count (-1 for the batch).
#include <gtest/gtest.h>

#include "CatalogueSchema.h"
#include "DialectDb.h"

namespace fabrikon::dialect::test {
namespace {

class IfExists : public ::testing::Test {
 protected:
  void SetUp() override {
    db.Native(kCatalogueSchema);
    db.Native(RowVersionTriggers("om_productpo"));
  }
  DialectDb db;
};

const char* const kGuardedInsert =
    " IF NOT EXISTS (SELECT id FROM om_productpo WHERE ccode='WW0001' or id='12')  INSERT INTO "
    "om_productpo(id,ccode,ddate,cmaker,istate) Values (12,'WW0001','2008-01-14','u1',1)";

TEST_F(IfExists, ConditionAndStatementAreTranslatedApart) {
  const std::vector<TranslatedStatement> t = TranslateBatch(kGuardedInsert);
  ASSERT_EQ(t.size(), 1u);
  EXPECT_EQ(t[0].condition, "SELECT NOT EXISTS (SELECT id FROM om_productpo WHERE ccode='WW0001' or id='12')");
  EXPECT_EQ(t[0].sql.back(),
            "INSERT INTO om_productpo(id,ccode,ddate,cmaker,istate) Values (tsql_store(12, 'om_productpo', 'id'),"
            "tsql_store('WW0001', 'om_productpo', 'ccode'),tsql_store('2008-01-14 00:00:00', 'om_productpo', 'ddate'),"
            "tsql_store('u1', 'om_productpo', 'cmaker'),tsql_store(1, 'om_productpo', 'istate'))");
  EXPECT_EQ(t[0].kind, StatementKind::Insert);
}

TEST_F(IfExists, GuardedInsertCountsOneThenIsSkippedWithMinusOne) {
  EXPECT_EQ(db.Execute(kGuardedInsert), 1);
  EXPECT_EQ(db.Execute(kGuardedInsert), -1);
  EXPECT_EQ(db.Value("select count(*) from om_productpo"), "1");
}

TEST_F(IfExists, CodeGuardIgnoresCaseAndTrailingBlanks) {
  db.Execute(kGuardedInsert);
  EXPECT_EQ(db.Execute(" IF NOT EXISTS (SELECT id FROM om_productpo WHERE ccode='ww0001  ' or id='13') INSERT "
                       "INTO om_productpo(id,ccode) Values (13,'ww0001  ')"),
            -1);
}

TEST_F(IfExists, MissingKeyAttributeComparesWithZero) {
  db.Native("INSERT INTO om_productpo(id, ccode) VALUES (0, 'Z')");
  EXPECT_EQ(db.Execute(" IF NOT EXISTS (SELECT id FROM om_productpo WHERE id='') INSERT INTO om_productpo(id,ccode) "
                       "Values (14,'X')"),
            -1);
}

TEST_F(IfExists, SkippedStatementsGiveNoCountButLaterOnesDo) {
  db.Execute(kGuardedInsert);
  EXPECT_EQ(db.Counts(std::string(kGuardedInsert) + " UPDATE om_productpo SET cmaker='u2' WHERE id=12"),
            (std::vector<long>{-2, 1}));
  // The batch reports the first count produced.
  EXPECT_EQ(db.Execute(std::string(kGuardedInsert) + " UPDATE om_productpo SET cmaker='u2' WHERE id=12"), 1);
}

TEST_F(IfExists, GuardedUpdateReportsItsCountOrMinusOneWhenSkipped) {
  db.Native("CREATE TABLE pp_ropquota(quid int, duid int, fpoquantity float);"
            "CREATE TABLE pp_ropdetails(duid int, muid int);"
            "CREATE TABLE pp_ropmain(muid int, iState int);"
            "INSERT INTO pp_ropmain VALUES (5, 1); INSERT INTO pp_ropdetails VALUES (50, 5);");
  const std::string cancel =
      "if not exists(select quid from pp_ropquota where duid In (Select duid From pp_ropdetails where muid ='5') and "
      "isnull(fpoquantity,0)>0  ) Update pp_ropmain Set iState=0 where muid='5' and iState= 1";
  db.Native("INSERT INTO pp_ropquota VALUES (1, 50, 3)");
  EXPECT_EQ(db.Execute(cancel), -1);
  db.Native("UPDATE pp_ropquota SET fpoquantity = 0");
  EXPECT_EQ(db.Execute(cancel), 1);
  EXPECT_EQ(db.Execute(cancel), 0);
}

TEST(DropTableRule, AGuardedDropCompilesWhenTheTableIsMissing) {
  const std::vector<TranslatedStatement> t = TranslateBatch(
      "IF EXISTS (SELECT * FROM tempdb..sysobjects WHERE name = 'TMPQX_pp13' AND type='U') DROP TABLE "
      "TempDB..TMPQX_pp13");
  ASSERT_EQ(t.size(), 1u);
  EXPECT_EQ(t[0].sql.back(), "DROP TABLE IF EXISTS temp.TMPQX_pp13");
  EXPECT_EQ(t[0].kind, StatementKind::Ddl);
  EXPECT_EQ(Sql("DROP TABLE TempDB..TMPQX_pp13"), "DROP TABLE temp.TMPQX_pp13");  // unguarded: as written
}

TEST_F(IfExists, ExistenceTestOfATempTableThenDrop) {
  const std::string drop =
      "IF EXISTS (SELECT * FROM tempdb..sysobjects WHERE name = 'tmpqx_PP13' AND type='U') DROP TABLE "
      "TempDB..TMPQX_pp13";
  EXPECT_EQ(db.Counts(drop), std::vector<long>{-2});  // nothing to drop: still compiles
  db.Native("CREATE TEMP TABLE TMPQX_pp13(IDOrder int)");
  EXPECT_EQ(db.Counts(drop), std::vector<long>{-2});  // dropped: DDL has no count
  EXPECT_EQ(db.Value("select count(*) from tempdb..sysobjects where name='TMPQX_pp13'"), "0");
}

}  // namespace
}  // namespace fabrikon::dialect::test
