// "+" between strings joins them; between numbers it adds.
#include <gtest/gtest.h>

#include "DialectDb.h"

namespace fabrikon::dialect::test {
namespace {

TEST(StringConcatRule, GoldenDecisions) {
  EXPECT_EQ(Sql("select ','+cast (iSOsID as varchar)+','"), "select ','||tsql_str(iSOsID, 30, 0, 0)||','");
  EXPECT_EQ(Sql("select 'a' + b + c"), "select 'a' || b || c");
  EXPECT_EQ(Sql("select b + 'a'"), "select b || 'a'");
  EXPECT_EQ(Sql("select b + c"), "select tsql_add(b, c)");
  EXPECT_EQ(Sql("update t set a=isnull(b,0)+isnull(c,0) where d = e + f"),
            "update t set a=tsql_store(tsql_add(ifnull(b,0), ifnull(c,0)), 't', 'a') where d = tsql_add(e, f)");
  EXPECT_EQ(Sql("select a + b + c, x - a + b, a * b + c, a + b * c, t.a + f(b) - 1"),
            "select tsql_add(tsql_add(a, b), c), x - a + b, a * b + c, a + b * c, tsql_add(t.a, f(b)) - 1");
  EXPECT_EQ(Sql("select isnull(a,0) - isnull(b,0) + 12"), "select ifnull(a,0) - ifnull(b,0) + 12");
  EXPECT_EQ(Sql("select (1+isnull(w,0)/100)"), "select (1+ifnull(w,0)/100)");
  EXPECT_EQ(Sql("select '1' + 1, +5, x + -3"), "select tsql_int(tsql_int('1', 32) + 1, 32), +5, x + -3");
  EXPECT_EQ(Sql("select upper(a) + b, len(a) + 1"), "select upper(a) || b, len(a) + 1");
  EXPECT_EQ(Sql("select y + (',' + x)"), "select y || (',' || x)");
}

TEST(StringConcatRule, JoinsAndAdds) {
  DialectDb db;
  EXPECT_EQ(db.Value("select ','+cast(17 as varchar)+','"), ",17,");
  EXPECT_EQ(db.Value("select 'a' + NULL"), "NULL");
  EXPECT_EQ(db.Value("select '1' + 1"), "2");
  db.Native("CREATE TABLE t(a float, b float, s text COLLATE TSQL)");
  db.Native("INSERT INTO t VALUES (2, 3, 'x')");
  EXPECT_EQ(db.Value("select isnull(a,0) + isnull(b,0) from t"), "5.0");
  EXPECT_EQ(db.Value("select s + '-' + s from t"), "x-x");
  EXPECT_EQ(db.Value("select s + s from t"), "xx");  // decided when it runs: two texts join
  EXPECT_EQ(db.Value("select a + s2 from (select a, '4' as s2 from t)"), "6.0");
  EXPECT_THROW(db.Value("select a + s from t"), ComError);  // 'x' is not a number
}

}  // namespace
}  // namespace fabrikon::dialect::test
