// CONVERT and CAST with T-SQL's conversions.
#include <gtest/gtest.h>

#include "CatalogueSchema.h"
#include "DialectDb.h"

namespace fabrikon::dialect::test {
namespace {

TEST(ConvertRule, GoldenForms) {
  EXPECT_EQ(Sql("select convert(money, x), convert(money, t.qxts), CAST(a AS int), convert(smallint, b)"),
            "select tsql_money(x), tsql_money_rv(t.qxts), tsql_int(a, 32), tsql_int(b, 16)");
  EXPECT_EQ(Sql("select isnull(CONVERT(DECIMAL(20,2),iinput),0), convert(numeric, x), cast(x as float)"),
            "select ifnull(tsql_decimal(iinput, 20, 2),0), tsql_decimal(x, 18, 0), tsql_float(x)");
  EXPECT_EQ(Sql("select cast (iSOsID as varchar), convert(varchar(10), d, 120), convert(nchar(4), c)"),
            "select tsql_str(iSOsID, 30, 0, 0), tsql_str(d, 10, 120, 0), tsql_str(c, 4, 0, 3)");
  EXPECT_THROW(Sql("select convert(varchar(99999999999999999999), x)"), ComError);
  EXPECT_EQ(Sql("select convert(varchar, convert(money, m), 1), convert(datetime, '2008-1-9'), cast(x as uniqueidentifier)"),
            "select tsql_money_str(tsql_money(m), 30, 1, 0), tsql_datetime('2008-1-9', 0), CAST(x AS uniqueidentifier)");
}

TEST(ConvertRule, DecimalRoundsHalfAwayFromZero) {
  DialectDb db;
  db.Native(kCatalogueSchema);
  db.Native("INSERT INTO pp_rmrpdetails(icheck, iinput) VALUES (10, 10.004), (10, 10.005), (10, 2.675)");
  EXPECT_EQ(db.Value(" select count(cmpid) as cmpid from  pp_rmrpdetails where isnull(CONVERT(DECIMAL(20,2),iinput),0)"
                     ">isnull(CONVERT(DECIMAL(20,2),icheck),0) and  (pp_rmrpdetails.nid=1) "),
            "0");
  EXPECT_EQ(db.Value("select convert(decimal(20,2), iinput) from pp_rmrpdetails where nid=2"), "10.01");
  EXPECT_EQ(db.Value("select convert(decimal(20,2), iinput) from pp_rmrpdetails where nid=3"), "2.68");
  EXPECT_EQ(db.Value("select convert(decimal(5,0), -2.5)"), "-3");
  EXPECT_THROW(db.Value("select convert(decimal(3,1), 123.4)"), ComError);  // overflow
}

TEST(ConvertRule, TextConversionsAsTSql) {
  DialectDb db;
  EXPECT_EQ(db.Value("select cast(17 as varchar)"), "17");
  EXPECT_EQ(db.Value("select cast(17.0e0 as varchar)"), "17");
  EXPECT_EQ(db.Value("select '[' + convert(char(5), 'ab') + ']'"), "[ab   ]");
  EXPECT_EQ(db.Value("select convert(varchar(2), 'abc')"), "ab");
  EXPECT_EQ(db.Value("select convert(varchar(2), 123)"), "*");
  EXPECT_EQ(db.Value("select convert(varchar(10), '2008-01-14 10:30:00', 120)"), "2008-01-14");
  // A character source keeps its text whatever the style; a datetime takes the style.
  EXPECT_EQ(db.Value("select convert(varchar, '2008-01-14 10:30:00', 112)"), "2008-01-14 10:30:00");
  EXPECT_EQ(db.Value("select convert(varchar, cast('2008-01-14 10:30:00' as datetime), 112)"), "20080114");
  EXPECT_EQ(db.Value("select convert(char, convert(money, '1234.5'), 2)"), "1234.5000" + std::string(21, ' '));
  EXPECT_EQ(db.Value("select convert(varchar, convert(money, '1,234.567'), 1)"), "1,234.57");
}

TEST(ConvertRule, NumberConversionsAsTSql) {
  DialectDb db;
  EXPECT_EQ(db.Value("select convert(int, ' 12 ')"), "12");
  EXPECT_EQ(db.Value("select convert(int, '')"), "0");
  EXPECT_EQ(db.Value("select convert(int, 5.9)"), "5");
  EXPECT_EQ(db.Value("select 0 + convert(bit, 'true') + convert(bit, 7)"), "2");  // bit + bit is refused
  EXPECT_EQ(db.Value("select convert(datetime, '20080114')"), "2008-01-14 00:00:00");
  EXPECT_EQ(db.Value("select convert(datetime, 1)"), "1900-01-02 00:00:00");
  for (const char* bad : {"select convert(int, '12.5')", "select convert(money, 'abc')", "select cast('x' as float)",
                          "select convert(datetime, '2008-02-30')", "select convert(decimal(10,2), '')"}) {
    try {
      db.Value(bad);
      ADD_FAILURE() << bad;
    } catch (const ComError& e) {
      EXPECT_EQ(e.Number(), ErrorNumber::CantConvertValue) << bad;
    }
  }
  EXPECT_THROW(db.Value("select convert(tinyint, 300)"), ComError);
}

}  // namespace
}  // namespace fabrikon::dialect::test
