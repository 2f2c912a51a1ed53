// Smaller rules: function names SQLite reads differently, T-SQL operators,
// DELETE and INSERT forms.
#include <gtest/gtest.h>

#include "CatalogueSchema.h"
#include "DialectDb.h"

namespace fabrikon::dialect::test {
namespace {

TEST(FunctionNameRule, Golden) {
  EXPECT_EQ(Sql("select left(a, 2), right(a,1), datediff(day, d1, d2), dateadd(mm, 1, d), CURRENT_TIMESTAMP from t "
                "left join u on 1=1"),
            "select tsql_left(a, 2), tsql_right(a,1), tsql_datediff('day', d1, d2), tsql_dateadd('mm', 1, d), "
            "getdate() from t left join u on 1=1");
}

TEST(FunctionNameRule, FunctionsRun) {
  DialectDb db;
  EXPECT_EQ(db.Value("select left('中文abc', 3) + '|' + right('abc', 5)"), "中文a|abc");
  EXPECT_EQ(db.Value("select datediff(day, '2008-01-31', '2008-02-01 08:00')"), "1");
  EXPECT_EQ(db.Value("select datediff(month, '2008-01-31', '2008-02-01')"), "1");
  EXPECT_EQ(db.Value("select datediff(year, '2008-12-31', '2009-01-01')"), "1");
  EXPECT_EQ(db.Value("select dateadd(month, 1, '2008-01-31')"), "2008-02-29 00:00:00");
  EXPECT_EQ(db.Value("select dateadd(dd, -1, '2008-03-01')"), "2008-02-29 00:00:00");
  EXPECT_EQ(db.Value("select datepart(weekday, '2008-01-13') + year('2008-01-13')"), "2009");  // a Sunday
  EXPECT_EQ(db.Value("select datename(month, '2008-01-13')"), "January");
  EXPECT_EQ(db.Value("select len('ab  ') + charindex('B', 'abc')"), "4");
  EXPECT_EQ(db.Value("select getdate()").size(), 19u);
}

TEST(OperatorRule, NotLessAndNotGreater) {
  EXPECT_EQ(Sql("select * from t where a !< 1 and b !> 2 and c != 3"),
            "select * from t where a >= 1 and b <= 2 and c != 3");
}

TEST(MissingIntoRule, InsertWithoutInto) {
  EXPECT_EQ(Sql("insert t (a) values (1)"), "insert INTO t (a) values (tsql_store(1, 't', 'a'))");
  EXPECT_EQ(Sql("INSERT INTO t VALUES (1)"), "INSERT INTO t VALUES (tsql_store(1, 't', 0))");
}

TEST(DeleteFromRule, Forms) {
  EXPECT_EQ(Sql("delete om_podetails where mainid=5"), "delete FROM om_podetails where mainid=5");
  EXPECT_EQ(Sql("delete d from om_podetails d inner join om_pomain m on d.mainid = m.mainid where m.id = 12"),
            "DELETE FROM om_podetails WHERE rowid IN (SELECT d.rowid from om_podetails d inner join om_pomain m on "
            "d.mainid = m.mainid where m.id = 12)");
}

TEST(DeleteFromRule, DeleteThroughAJoinRemovesOnlyTheJoinedRows) {
  DialectDb db;
  db.Native(kCatalogueSchema);
  db.Native("CREATE TABLE om_podetails(mainid int, subid int);"
            "INSERT INTO om_podetails VALUES (101, 1), (101, 2), (102, 3);"
            "INSERT INTO om_pomain(mainid, id) VALUES (101, 12), (102, 13)");
  EXPECT_EQ(db.Execute("delete d from om_podetails d inner join om_pomain m on d.mainid = m.mainid where m.id = 12"),
            2);
  EXPECT_EQ(db.Execute("delete from om_podetails where mainid in (select mainid from om_pomain where id=13) "), 1);
  EXPECT_EQ(db.Execute("delete from om_podetails where mainid in (select mainid from om_pomain where id=13) "), 0);
}

}  // namespace
}  // namespace fabrikon::dialect::test
