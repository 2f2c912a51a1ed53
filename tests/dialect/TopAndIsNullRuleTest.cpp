// TOP n -> LIMIT n, and isnull -> ifnull.
#include <gtest/gtest.h>

#include "CatalogueSchema.h"
#include "DialectDb.h"

namespace fabrikon::dialect::test {
namespace {

TEST(TopRule, LimitGoesAfterOrderBy) {
  EXPECT_EQ(Sql("SELECT Top 1 *,'' AS editprop FROM v_om_h ORDER BY id DESC"),
            "SELECT *,'' AS editprop FROM v_om_h ORDER BY id DESC LIMIT 1");
  EXPECT_EQ(Sql("select distinct top (5) a from t"), "select distinct a from t LIMIT 5");
}

TEST(TopRule, InsideParenthesesTheLimitStaysInside) {
  EXPECT_EQ(Sql("select a from t where exists (select top 1 b from u where u.a = t.a) and c = 1"),
            "select a from t where exists (select b from u where u.a = t.a LIMIT 1) and c = 1");
}

// TOP n PERCENT takes n percent of the query's rows, rounded up; WITH TIES
// has no form in the engine and is refused.
TEST(TopRule, PercentTakesTheShareRoundedUpAndTiesAreRefused) {
  DialectDb db;
  db.Native("CREATE TABLE n (v int); INSERT INTO n VALUES (1),(2),(3),(4),(5)");
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"select top 50 percent v from n order by v", "1,2,3"},
      {"select top 1 percent v from n order by v", "1"},
      {"select top (40) percent v from n order by v desc", "5,4"},
      {"select top 100 percent v from n order by v", "1,2,3,4,5"},
      {"select top 0 percent v from n", ""},
      {"select top 50 percent v from n where v > 2 order by v", "3,4"},
      {"select v from n where v in (select top 20 percent v from n order by v desc)", "5"},
  };
  for (const auto& [tsql, expected] : cases) {
    std::string got;
    for (const auto& row : db.Query(tsql)) got += (got.empty() ? "" : ",") + row.at(0);
    EXPECT_EQ(got, expected) << tsql;
  }
  EXPECT_THROW(Sql("select top 1 with ties a from t order by a"), ComError);
}

TEST(TopRule, PicksTheFirstRowsInOrder) {
  DialectDb db;
  db.Native(kCatalogueSchema);
  db.Native("INSERT INTO om_productpo(id, ccode) VALUES (1,'a'),(2,'b'),(3,'c')");
  EXPECT_EQ(db.Value("SELECT Top 1 *,'' AS editprop FROM v_om_h WHERE id < '3' ORDER BY id DESC"), "2");
  EXPECT_EQ(db.Execute("select top 1 * from om_productpo where istate<>1  and  id=1"), -1);
}

TEST(IsNullRule, BecomesIfnullButIsNullStays) {
  EXPECT_EQ(Sql("SELECT ISNULL(MAX(SubID),0) AS SubID FROM t WHERE x is null"),
            "SELECT ifnull(MAX(SubID),0) AS SubID FROM t WHERE x is null");
}

TEST(IsNullRule, ReplacesNullsAsTSqlDoes) {
  DialectDb db;
  db.Native(kCatalogueSchema);
  EXPECT_EQ(db.Value("Select isnull(cValue,2) as cValue from AccInformation Where cSysID='AA' and "
                     "cName='iStrsQuanDecDgt'"),
            "2");
  EXPECT_EQ(db.Value("select isnull(max(SubID),0) as MaxID from (select 1 as SubID where 1=0) x"), "0");
  EXPECT_EQ(db.Value("SELECT isnull(DEF_ID,'') AS DEF_ID FROM vouchers WHERE cardnumber='PP13'"), "");
}

}  // namespace
}  // namespace fabrikon::dialect::test
