// Operands are typed as SQL Server types them, the declared types of the
// columns included: "+" joins texts and adds numbers, text meeting a number
// or a date is converted to it, dates count days, and a computed date
// reaches the host as a date.
#include <gtest/gtest.h>

#include "TempDatabase.h"
#include "data/SqliteConnection.h"

namespace fabrikon {
namespace {

class ExpressionTypeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    conn = SqliteConnection::Connect(db.ConnectionString());
    conn->Execute(
        "CREATE TABLE tq (id int NOT NULL PRIMARY KEY, code nvarchar(20), name varchar(20), price decimal(10,2), "
        "cnt int, flag bit, dt datetime, fixed char(5))");
    conn->Execute(
        "INSERT INTO tq (id, code, name, price, cnt, flag, dt, fixed) VALUES "
        "(1, 'A1', 'apple', 3.10, 5, 1, '2008-01-14T00:00:00', 'ab')");
    conn->Execute(
        "INSERT INTO tq (id, code, name, price, cnt, flag, dt, fixed) VALUES "
        "(2, 'a1 ', 'Apple', NULL, NULL, 0, '2008-02-29T10:30:00', NULL)");
    conn->Execute("INSERT INTO tq (id, code, name, cnt, flag) VALUES (3, 'B2', 'banana', 0, 1)");
  }
  std::string Value(const std::string& sql) {
    return static_cast<Connection&>(*conn).Open(sql)->Fields(0).Value().ToText();
  }
  void ExpectValues(const std::vector<std::pair<std::string, std::string>>& cases) {
    for (const auto& [sql, expected] : cases) {
      try {
        EXPECT_EQ(Value(sql), expected) << sql;
      } catch (const ComError& e) {
        ADD_FAILURE() << sql << ": " << e.Description();
      }
    }
  }
  void ExpectRefusals(const std::vector<std::pair<std::string, std::string>>& cases) {
    for (const auto& [sql, expected] : cases) {
      try {
        Value(sql);
        ADD_FAILURE() << "accepted: " << sql;
      } catch (const ComError& e) {
        EXPECT_EQ(e.Number(), ErrorNumber::CantConvertValue) << sql;
        EXPECT_EQ(e.Description(), expected) << sql;
      }
    }
  }
  testing::TempDatabase db;
  std::shared_ptr<SqliteConnection> conn;
};

TEST_F(ExpressionTypeTest, PlusJoinsTextsAndAddsNumbers) {
  ExpectValues({
      {"select isnull(code,'') + isnull(name,'') + ',' from tq where id = 1", "A1apple,"},
      {"select code + isnull(name,'') + ',' from tq where id = 1", "A1apple,"},
      {"select ',' + code + name + isnull(code, '') + name from tq where id = 1", ",A1appleA1apple"},
      {"select coalesce(code, name) + '-' + name from tq where id = 3", "B2-banana"},
      {"select case when id = 1 then code else name end + '!' from tq where id = 1", "A1!"},
      {"select cnt + '1' from tq where id = 1", "6"},
      {"select '1' + cnt + '2' from tq where id = 1", "8"},
      {"select isnull(cnt, 0) + '1' from tq where id = 2", "1"},
      {"select price + '1.5' from tq where id = 1", "4.6"},
      {"select cnt * '2' - '1' from tq where id = 1", "9"},
  });
  ExpectRefusals({
      {"select code + cnt from tq where id = 1",
       "Conversion failed when converting the nvarchar value 'A1' to data type int."},
      {"select 'x' + cnt from tq where id = 1", "Conversion failed when converting the varchar value 'x' to data type int."},
      {"select cnt * '1e1' from tq where id = 1",
       "Conversion failed when converting the varchar value '1e1' to data type int."},
      {"select price + 'x' from tq where id = 1", "Error converting data type varchar to numeric."},
      {"select 10 * '2.5'", "Conversion failed when converting the varchar value '2.5' to data type int."},
  });
}

TEST_F(ExpressionTypeTest, ComparisonsConvertTheTextToTheOtherSide) {
  ExpectValues({
      {"select count(*) from tq where cnt = '5'", "1"},
      {"select count(*) from tq where flag = 'true'", "2"},
      {"select count(*) from tq where isnull(cnt,'') = 0", "2"},
      {"select count(*) from tq where dt = '20080114'", "1"},
      {"select count(*) from tq where dt >= 'Feb 29 2008'", "1"},
      {"select count(*) from tq where dt < '2008-02-01'", "1"},
      {"select count(*) from tq where dt between '20080101' and 'Feb 29 2008 11:00'", "2"},
      {"select count(*) from tq where cnt between '1' and '9'", "1"},
      {"select case when 10 > '9' then 'y' else 'n' end", "y"},
      {"select case when 0 = ' ' then 'y' else 'n' end", "y"},
      {"select 1 where 1 = '1'", "1"},
      // A number column looked up by a text that is no number finds nothing
      // (the library's key lookups take the host's text as given).
      {"select count(*) from tq where cnt = 'abc'", "0"},
      {"select count(*) from tq where id = '1'' or ''1''=''1'", "0"},
      {"select count(*) from tq where tq.id = '1'", "1"},
  });
  ExpectRefusals({
      {"select count(*) from tq where cnt + 0 = 'abc'",
       "Conversion failed when converting the varchar value 'abc' to data type int."},
      {"select count(*) from tq where code = 1 and id = 1",
       "Conversion failed when converting the nvarchar value 'A1' to data type int."},
      {"select count(*) from tq where dt = 'soon'",
       "Conversion failed when converting date and/or time from character string."},
      {"select case when 1 = '1.0' then 'y' else 'n' end",
       "Conversion failed when converting the varchar value '1.0' to data type int."},
  });
}

TEST_F(ExpressionTypeTest, IsNullCoalesceAndCaseTakeTheirResultType) {
  ExpectValues({
      {"select isnull(dt, '') from tq where id = 3", "1900-01-01"},
      {"select isnull(cast(null as varchar(2)), 'abcdef')", "ab"},
      {"select coalesce(null, 1, 'x')", "1"},
  });
  ExpectRefusals({
      {"select case when 1=0 then 1 else 'a' end",
       "Conversion failed when converting the varchar value 'a' to data type int."},
      {"select case when 1=1 then 'a' else 1.5 end", "Error converting data type varchar to numeric."},
      {"select coalesce(null, 'x', 1)", "Conversion failed when converting the varchar value 'x' to data type int."},
      {"select isnull(price, '') from tq where id = 2", "Error converting data type varchar to numeric."},
      {"select 'abc' union all select 1.5", "Error converting data type varchar to numeric."},
  });
  try {
    Value("select coalesce(null, null)");
    ADD_FAILURE() << "coalesce of NULLs accepted";
  } catch (const ComError& e) {
    EXPECT_EQ(e.Description(), "At least one of the arguments to COALESCE must be an expression that is not the NULL constant.");
  }
}

TEST_F(ExpressionTypeTest, DatesCountDaysAndReachTheHostAsDates) {
  ExpectValues({
      {"select dt + 1 from tq where id = 1", "2008-01-15"},
      {"select 1 + dt from tq where id = 1", "2008-01-15"},
      {"select dt - 1.5 from tq where id = 2", "2008-02-27 22:30:00"},
      {"select cast('2008-01-14' as datetime) + 1.5", "2008-01-15 12:00:00"},
      {"select getdate() - getdate()", "1900-01-01"},
      {"select count(*) from tq where dt < getdate() - 1", "2"},
      {"select cast('2008-1-9' as datetime)", "2008-01-09"},
      {"select dateadd(day, 1, dt) from tq where id = 1", "2008-01-15"},
      {"select eomonth('2008-02-10')", "2008-02-29"},
      {"select max(dt), min(dt) from tq", "2008-02-29 10:30:00"},
  });
  const RecordsetPtr rows = static_cast<Connection&>(*conn).Open("select id, dt + 1 as next from tq where id = 1");
  EXPECT_EQ(rows->Fields(1).Value().kind(), Variant::Kind::Date);
}

// A computed bit reaches the host as a Boolean, and the length of Unicode
// text counts two bytes a character, as the column's type says.
TEST_F(ExpressionTypeTest, BitsAndUnicodeLengthsFollowTheType) {
  ExpectValues({
      {"select cast(2 as bit)", "True"},
      {"select convert(bit, 0)", "False"},
      {"select isnull(flag, 0) from tq where id = 2", "False"},
      {"select coalesce(flag, cast(0 as bit)) from tq where id = 1", "True"},
      {"select datalength(code) from tq where id = 1", "4"},
      {"select datalength(name) from tq where id = 1", "5"},
      {"select datalength(isnull(code, '')) from tq where id = 2", "6"},
  });
  const RecordsetPtr rows = static_cast<Connection&>(*conn).Open("select cast(1 as bit)");
  EXPECT_EQ(rows->Fields(0).Value().kind(), Variant::Kind::Bool);
}

// Arithmetic is not defined on bit: two bits are refused, a bit beside a
// number takes the number's type.
TEST_F(ExpressionTypeTest, BitsDoNoArithmeticWithEachOther) {
  ExpectValues({
      {"select cast(1 as bit) + 1", "2"},
      {"select flag * 3 from tq where id = 1", "3"},
  });
  const std::vector<std::pair<std::string, std::string>> refused = {
      {"select cast(1 as bit) + cast(1 as bit)", "Operand data type bit is invalid for add operator."},
      {"select flag - flag from tq", "Operand data type bit is invalid for subtract operator."},
      {"select flag * isnull(flag, 0) from tq", "Operand data type bit is invalid for multiply operator."},
  };
  for (const auto& [sql, message] : refused) {
    try {
      Value(sql);
      ADD_FAILURE() << "accepted: " << sql;
    } catch (const ComError& e) {
      EXPECT_EQ(e.Number(), ErrorNumber::ErrorsInCommand) << sql;
      EXPECT_EQ(e.Description(), message) << sql;
    }
  }
}

// A translation is made for the schema it met: the same text over a table
// made again with other types follows the new types.
TEST_F(ExpressionTypeTest, TranslationsFollowTheSchema) {
  conn->Execute("create table u (c int)");
  conn->Execute("insert into u (c) values (1)");
  EXPECT_EQ(Value("select c + '1' from u"), "2");
  conn->Execute("drop table u");
  conn->Execute("create table u (c varchar(5))");
  conn->Execute("insert into u (c) values ('1')");
  EXPECT_EQ(Value("select c + '1' from u"), "11");
  // Another connection changes the schema.
  auto other = SqliteConnection::Connect(db.ConnectionString());
  other->Execute("drop table u");
  other->Execute("create table u (c int)");
  other->Execute("insert into u (c) values (1)");
  other.reset();
  EXPECT_EQ(Value("select c + '1' from u"), "2");
}

// datalength of a column counts the bytes its declared type keeps: two a
// character of nvarchar, the full size of char(n) and of the fixed-size types.
TEST_F(ExpressionTypeTest, DataLengthOfAColumnFollowsItsDeclaredType) {
  ExpectValues({
      {"select datalength(code) from tq where id = 1", "4"},
      {"select datalength(code) from tq where id = 2", "6"},
      {"select datalength(name) from tq where id = 1", "5"},
      {"select datalength(fixed) from tq where id = 1", "5"},
      {"select datalength(price) from tq where id = 1", "9"},
      {"select datalength(flag) from tq where id = 1", "1"},
      {"select datalength(dt) from tq where id = 1", "8"},
      {"select datalength(t.cnt) from tq t where id = 1", "4"},
      {"select datalength(isnull(code, 'x')) from tq where id = 1", "4"},
  });
}

// Numbers of columns compute in their declared types: a decimal's text keeps
// its scale, money shows two decimals, the int family overflows in its own
// type and an average of ints is an int.
class ColumnNumberTest : public ExpressionTypeTest {
 protected:
  void SetUp() override {
    ExpressionTypeTest::SetUp();
    conn->Execute(
        "CREATE TABLE tn (id int NOT NULL PRIMARY KEY, amt money, price decimal(10,2), cnt int, small smallint, "
        "tiny tinyint, big bigint, qty float)");
    conn->Execute(
        "INSERT INTO tn (id, amt, price, cnt, small, tiny, big, qty) VALUES "
        "(1, 10.25, 3.10, 5, 100, 10, 10000000000, 1.5)");
    conn->Execute(
        "INSERT INTO tn (id, amt, price, cnt, small, tiny, big, qty) VALUES "
        "(2, 1.005, 0.00, -8, 32767, 255, -1, 0.1)");
  }
  void ExpectErrors(const std::vector<std::pair<std::string, std::string>>& cases) {
    for (const auto& [sql, expected] : cases) {
      try {
        Value(sql);
        ADD_FAILURE() << "accepted: " << sql;
      } catch (const ComError& e) {
        EXPECT_EQ(e.Description(), expected) << sql;
      }
    }
  }
};

TEST_F(ColumnNumberTest, TextsOfNumberColumnsFollowTheirTypes) {
  ExpectValues({
      {"select cast(price as varchar) from tn where id = 1", "3.10"},
      {"select cast(price as varchar(10)) + '|' from tn where id = 2", "0.00|"},
      {"select convert(varchar(12), t.price) from tn t where id = 1", "3.10"},
      {"select cast(amt as varchar) from tn where id = 2", "1.01"},
      {"select cast(amt as varchar) from tn where id = 1", "10.25"},
      {"select concat(price, '/', amt) from tn where id = 1", "3.10/10.25"},
      {"select cast(sum(price) as varchar) from tn", "3.10"},
      {"select cast(isnull(price, 0) as varchar) from tn where id = 1", "3.10"},
      {"select cast(price * 2 as varchar) from tn where id = 1", "6.20"},
      {"select cast(cnt as varchar) from tn where id = 2", "-8"},
  });
}

TEST_F(ColumnNumberTest, ArithmeticOfColumnsKeepsTheirTypes) {
  ExpectValues({
      {"select avg(cnt) from tn", "-1"},
      {"select avg(tiny) from tn", "132"},
      {"select tiny + tiny from tn where id = 1", "20"},
      {"select small + 1 from tn where id = 2", "32768"},
      {"select big * 1000 from tn where id = 1", "10000000000000"},
      {"select cnt * 2 from tn where id = 2", "-16"},
      {"select cast(price / 3 as varchar(20)) from tn where id = 1", "1.0333333333333"},
      {"select cast(amt / 3 as varchar(20)) from tn where id = 1", "3.42"},
  });
  ExpectErrors({
      {"select tiny + tiny from tn where id = 2", "Arithmetic overflow error for data type tinyint, value = 510."},
      {"select small + small from tn where id = 2", "Arithmetic overflow error for data type smallint, value = 65534."},
      {"select big * 1000000000 from tn where id = 1",
       "Arithmetic overflow error converting expression to data type bigint."},
      {"select cnt * 1000000000 from tn where id = 2",
       "Arithmetic overflow error converting expression to data type int."},
      {"select qty % 2 from tn where id = 1", "The data types float and int are incompatible in the modulo operator."},
  });
}

}  // namespace
}  // namespace fabrikon
