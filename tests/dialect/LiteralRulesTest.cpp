// Literals compared with columns: blank literals against numbers, dates in
// the stored form, and the case- and blank-insensitive comparison of text.
#include <gtest/gtest.h>

#include "CatalogueSchema.h"
#include "DialectDb.h"

namespace fabrikon::dialect::test {
namespace {

class LiteralRules : public ::testing::Test {
 protected:
  void SetUp() override {
    db.Native(kCatalogueSchema);
    db.Native("INSERT INTO om_productpo(id, ccode, ddate, cverifier) VALUES (0,'Z','2008-01-09 00:00:00',NULL),"
              "(5,'WW5','2008-01-10 00:00:00','u1'),(7,'ww7 ','2008-01-14 10:30:00','')");
  }
  DialectDb db;
};

TEST(BlankLiteralRule, Golden) {
  EXPECT_EQ(Sql("select * from v where id < ''"), "select * from v where id < tsql_blank(id) COLLATE TSQL");
  EXPECT_EQ(Sql("select * from v where '' = v.id and isnull(c,'')=''"),
            "select * from v where tsql_blank(v.id) COLLATE TSQL = v.id and ifnull(c,'')='' COLLATE TSQL");
  EXPECT_EQ(Sql("update t set c='' where k = 1"), "update t set c=tsql_store('', 't', 'c') where k = 1");
}

TEST_F(LiteralRules, BlankLiteralMeansZeroForNumberColumns) {
  // Navigation after a move that found nothing sends the empty current ID.
  EXPECT_EQ(db.Query("SELECT Top 1 *,'' AS editprop FROM v_om_h WHERE id < '' ORDER BY id DESC").size(), 0u);
  EXPECT_EQ(db.Value("SELECT Top 1 id FROM v_om_h WHERE id > '' ORDER BY id"), "5");
  EXPECT_EQ(db.Value("SELECT Top 1 id FROM v_om_h WHERE id >='' ORDER BY id"), "0");
  EXPECT_EQ(db.Value("select count(*) from om_productpo where id = '5'"), "1");
}

TEST_F(LiteralRules, BlankLiteralStaysTextForTextColumns) {
  EXPECT_EQ(db.Value("select count(*) from om_productpo where cverifier=''"), "1");
  EXPECT_EQ(db.Value("select count(*) from om_productpo where (cverifier='' or cverifier is null)"), "2");
  EXPECT_EQ(db.Value("select count(*) from om_productpo where isnull(cverifier,'')=''"), "2");
  EXPECT_EQ(db.Value("select count(*) from om_productpo where isnull(cverifier,' ')=' '"), "2");
}

TEST(DateLiteralRule, Golden) {
  EXPECT_EQ(Sql("select * from t where d >= '2008-1-9' and d between '2008/01/01' and '2008-01-31T23:59:59'"),
            "select * from t where d >= '2008-01-09 00:00:00' and d between '2008-01-01 00:00:00' and "
            "'2008-01-31 23:59:59'");
  EXPECT_EQ(Sql("insert into t(a,d) values ('x','2008-01-14')"),
            "insert into t(a,d) values (tsql_store('x', 't', 'a'),tsql_store('2008-01-14 00:00:00', 't', 'd'))");
  EXPECT_EQ(Sql("select '2008-01-14', c from t where d in ('2008-1-2')"),
            "select '2008-01-14', c from t where d in ('2008-01-02 00:00:00')");
  EXPECT_EQ(Sql("select * from t where c = '2008-02-30'"), "select * from t where c = '2008-02-30'");
  EXPECT_EQ(Sql("select * from t where convert(varchar(10), d, 120) = '2008-01-14'"),
            "select * from t where tsql_str(d, 10, 120, 0) = '2008-01-14' COLLATE TSQL");
}

TEST_F(LiteralRules, DatesCompareAsTimes) {
  EXPECT_EQ(db.Value("select count(*) from om_productpo where ddate = '2008-1-9'"), "1");
  EXPECT_EQ(db.Value("select count(*) from om_productpo where ddate >= '2008-1-10'"), "2");
  EXPECT_EQ(db.Value("select count(*) from om_productpo where ddate <= '2008-01-14'"), "2");
  EXPECT_EQ(db.Execute("UPDATE om_productpo SET dcheckdate='2008-1-15' WHERE id = 5"), 1);
  EXPECT_EQ(db.Value("select dcheckdate from om_productpo where id = 5"), "2008-01-15 00:00:00");
  EXPECT_EQ(db.Value("select count(*) from om_productpo where convert(varchar(10), ddate, 120) = '2008-01-14'"), "1");
}

TEST(CollateLiteralRule, Golden) {
  EXPECT_EQ(Sql("select 'A'='a '"), "select 'A' COLLATE TSQL='a ' COLLATE TSQL");
  EXPECT_EQ(Sql("select * from t where isnull(c,'') <> 'x' and k = 'y' and 'z' = t.k"),
            "select * from t where ifnull(c,'') <> 'x' COLLATE TSQL and k = 'y' and 'z' = t.k");
  EXPECT_EQ(Sql("select * from t where 'a ' like k and k like 'a' and 'b' not like 'c' + k escape '!'"),
            "select * from t where 'a ' like k and k like 'a' and 'b' not like 'c' || k escape '!'");
  EXPECT_EQ(Sql("select * from t where 'a ' like 'a' and 'b' not like upper('c') + '%' escape '!'"),
            "select * from t where 'a ' like 'a' ESCAPE char(1) and 'b' not like upper('c') || '%' escape "
            "char(1) || '!'");
  EXPECT_EQ(Sql("select * from t where 'b' not between 'A' and k and k between 'a' and 'c'"),
            "select * from t where 'b' COLLATE TSQL not between 'A' and k and k between 'a' and 'c'");
}

TEST_F(LiteralRules, TextComparesWithoutCaseAndTrailingBlanks) {
  EXPECT_EQ(db.Value("select case when 'A'='a ' then 1 else 0 end"), "1");
  EXPECT_EQ(db.Value("SELECT BTTblName FROM Vouchers WHERE CardNumber='PP13'"), "PP_MoOrderMa");
  EXPECT_EQ(db.Value("select count(*) from om_productpo where ccode = 'WW7'"), "1");
  EXPECT_EQ(db.Value("select count(*) from om_productpo where isnull(ccode,'') = 'ww5  '"), "1");
  EXPECT_EQ(db.Value("select count(*) from om_productpo where ccode > 'WW5 '"), "2");
}

// LIKE ignores the trailing blanks of a non-Unicode value (a literal) but
// not of the Unicode text columns hold; BETWEEN of literals and the
// duplicates of UNION, EXCEPT and INTERSECT follow the collation.
TEST_F(LiteralRules, LikeBetweenAndUnionFollowTheCollation) {
  const std::vector<std::pair<const char*, const char*>> cases = {
      {"select case when 'a ' like 'a' then 'y' else 'n' end", "y"},
      {"select case when 'a ' like 'A_' then 'y' else 'n' end", "y"},
      {"select case when 'a ' like 'a %' then 'y' else 'n' end", "y"},
      {"select case when 'a' like 'a ' then 'y' else 'n' end", "n"},
      {"select case when ' a' like 'a' then 'y' else 'n' end", "n"},
      {"select case when 'a% ' like 'A!%' escape '!' then 'y' else 'n' end", "y"},
      {"select case when 'a ' not like 'a' then 'y' else 'n' end", "n"},
      {"select case when N'a ' like 'a' then 'y' else 'n' end", "n"},
      {"select case when 'a ' like N'a' then 'y' else 'n' end", "n"},
      {"select count(*) from om_productpo where ccode like 'ww7'", "0"},
      {"select count(*) from om_productpo where ccode like 'ww7 '", "1"},
      {"select count(*) from om_productpo where ccode like 'ww_'", "1"},
      {"select case when 'b' between 'A' and 'C' then 'y' else 'n' end", "y"},
      {"select case when 'B' between 'a' and 'c' then 'y' else 'n' end", "y"},
      {"select case when 'B' not between 'a' and 'c' then 'y' else 'n' end", "n"},
      {"select case when 'd' between 'a' and 'C' then 'y' else 'n' end", "n"},
      {"select case when isnull(null, 'b') between 'A' and 'C' then 'y' else 'n' end", "y"},
      {"select count(*) from (select 'a' as x union select 'A ') u", "1"},
      {"select count(*) from (select upper('a') as x union select 'a') u", "1"},
      {"select count(*) from (select 'a' as x except select 'A') u", "0"},
      {"select count(*) from (select 'a' as x union all select 'A') u", "2"},
  };
  for (const auto& [sql, expected] : cases) EXPECT_EQ(db.Value(sql), expected) << sql;
}

// A literal compared with a column takes the column's collation, so the
// column's index still serves key and code lookups.
TEST_F(LiteralRules, KeyLookupsStillUseTheIndex) {
  for (const char* tsql : {"select * from om_productpo where ccode='WW5'", "select * from om_productpo where id='5'"}) {
    const std::string sql = "EXPLAIN QUERY PLAN " + Sql(tsql);
    sqlite3_stmt* stmt = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db.Handle(), sql.c_str(), -1, &stmt, nullptr), SQLITE_OK);
    std::string detail;
    while (sqlite3_step(stmt) == SQLITE_ROW) detail += reinterpret_cast<const char*>(sqlite3_column_text(stmt, 3));
    sqlite3_finalize(stmt);
    EXPECT_NE(detail.find("INDEX"), std::string::npos) << tsql << ": " << detail;
  }
}

}  // namespace
}  // namespace fabrikon::dialect::test
