// What SQL Server refuses the dialect refuses, with the error class and the
// words a host would see there; and the functions it offers give SQL
// Server's results.
#include <gtest/gtest.h>

#include "DialectDb.h"

namespace fabrikon::dialect::test {
namespace {

struct Refusal {
  const char* sql;
  int32_t number;
  const char* description;  // "" when only the number matters
};

void ExpectRefusals(DialectDb& db, const std::vector<Refusal>& cases) {
  for (const Refusal& c : cases) {
    try {
      db.Query(c.sql);
      ADD_FAILURE() << "accepted: " << c.sql;
    } catch (const ComError& e) {
      EXPECT_EQ(e.Number(), c.number) << c.sql << ": " << e.Description();
      if (*c.description) {
        EXPECT_EQ(e.Description(), c.description) << c.sql;
      }
    }
  }
}

// Each statement's first value; a refusal is a failure of that row only.
void ExpectValues(DialectDb& db, const std::vector<std::pair<const char*, const char*>>& cases) {
  for (const auto& [sql, expected] : cases) {
    try {
      EXPECT_EQ(db.Value(sql), expected) << sql;
    } catch (const ComError& e) {
      ADD_FAILURE() << sql << ": " << e.Description();
    }
  }
}

class SqlServerRulesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db.Native("CREATE TABLE t (a int, c nvarchar(20) COLLATE TSQL); INSERT INTO t VALUES (2147483647, 'x');");
  }
  DialectDb db;
};

TEST_F(SqlServerRulesTest, ValueErrorsAreConversionErrors) {
  constexpr int32_t kConversion = ErrorNumber::CantConvertValue;
  ExpectRefusals(db, {
      {"select 'a' + 1", kConversion, "Conversion failed when converting the varchar value 'a' to data type int."},
      {"select c + 'a' + 1 from t", kConversion, "Conversion failed when converting the varchar value 'xa' to data type int."},
      {"select 1 + '1.5'", kConversion, ""},
      {"select 1/0", kConversion, "Divide by zero error encountered."},
      {"select 5 % (a - a) from t", kConversion, "Divide by zero error encountered."},
      {"select 1 where 1/0 is null", kConversion, "Divide by zero error encountered."},
      {"select a + a from t", kConversion, "Arithmetic overflow error converting expression to data type int."},
      {"select 2147483647 + 1", kConversion, "Arithmetic overflow error converting expression to data type int."},
      {"select (2147483647 + 1) - 1", kConversion, ""},
      {"select 2147483647 + 1 - 1", kConversion, ""},
      {"select 65536 * 65536", kConversion, ""},
      {"select -2147483647 - 2", kConversion, ""},
      {"select -(-2147483647 - 1)", kConversion, ""},
      {"select -1 + -(-2147483647 - 1)", kConversion, ""},
      {"select 0 - 2147483647 + 2 * 1073741824", kConversion, ""},
      {"select (-2147483647 - 1) / -1", kConversion, ""},
      {"select 1 where 2147483647 + 1 > 0", kConversion, ""},
      {"select x from (select 2 * 1073741824 as x) q", kConversion, ""},
      {"select convert(int, 3000000000)", kConversion,
       "Arithmetic overflow error converting expression to data type int."},
      {"select cast(-2147483649 as int)", kConversion, ""},
      {"select convert(int, 2147483647) + 1", kConversion, ""},
      {"select '2147483647' + 1", kConversion, ""},
      {"select 1 union select 'a'", kConversion,
       "Conversion failed when converting the varchar value 'a' to data type int."},
      {"select 'a' union all select 1", kConversion, ""},
      {"select 1, 'x' union select 2, 'y' except select 'b', 'z'", kConversion,
       "Conversion failed when converting the varchar value 'b' to data type int."},
      {"select 1 intersect select upper('a')", kConversion, ""},
      {"select 1.5 union select null union select 'a'", kConversion, ""},
      {"select count(*) from (select 1 as k union select 'a' as k) u", kConversion, ""},
      {"select dateadd(day, 2147483647, '2024-01-01')", kConversion,
       "Adding a value to a 'datetime' column caused an overflow."},
      {"select dateadd(day, 1e300, '2024-01-01')", kConversion,
       "Arithmetic overflow error converting expression to data type int."},
      {"select dateadd(year, -2147483648, '2024-01-01')", kConversion, ""},
      {"select datediff(second, '1753-01-01', '9999-12-31')", kConversion, ""},
      {"select convert(datetime, '1752-12-31')", kConversion,
       "The conversion of a varchar data type to a datetime data type resulted in an out-of-range value."},
      {"select convert(datetime, 1e300)", kConversion,
       "Arithmetic overflow error converting expression to data type datetime."},
      {"select datediff(day, -1e18, '2024-01-01')", kConversion, ""},
      // Text meeting a number in any operator, comparison, CASE or COALESCE
      // takes the number's type.
      {"select 10 * '2.5'", kConversion, "Conversion failed when converting the varchar value '2.5' to data type int."},
      {"select 10 - 'a'", kConversion, "Conversion failed when converting the varchar value 'a' to data type int."},
      {"select 1.5 * 'a'", kConversion, "Error converting data type varchar to numeric."},
      {"select 1 where 1 = '1.0'", kConversion,
       "Conversion failed when converting the varchar value '1.0' to data type int."},
      {"select case when 1=0 then 1 else 'a' end", kConversion,
       "Conversion failed when converting the varchar value 'a' to data type int."},
      {"select case when 1=1 then 'a' else 1.5 end", kConversion, "Error converting data type varchar to numeric."},
      {"select coalesce(null, 'x', 1)", kConversion,
       "Conversion failed when converting the varchar value 'x' to data type int."},
      {"select 'abc' union all select 1.5", kConversion, "Error converting data type varchar to numeric."},
      {"select cast('2008-01-14' as datetime) + 'x'", kConversion,
       "Conversion failed when converting date and/or time from character string."},
  });
}

TEST_F(SqlServerRulesTest, TextMeetingNumbersAndDatesIsConverted) {
  ExpectValues(db, {
      {"select 1 where 1 = '1'", "1"},
      {"select case when 10 > '9' then 'y' else 'n' end", "y"},
      {"select case when 1.5 = '1.5' then 'y' else 'n' end", "y"},
      {"select case when 0 = ' ' then 'y' else 'n' end", "y"},
      {"select coalesce(null, 1, 'x')", "1"},
      {"select cast('2008-01-14' as datetime) + 1.5", "2008-01-15 12:00:00"},
      {"select cast('2008-01-14' as datetime) - 14", "2007-12-31 00:00:00"},
      {"select 2 + cast('2008-01-14' as datetime)", "2008-01-16 00:00:00"},
      {"select getdate() - getdate()", "1900-01-01 00:00:00"},
      {"select 1 where cast('2008-02-29' as datetime) = 'Feb 29 2008'", "1"},
      {"select isnull(cast(null as varchar(2)), 'abcdef')", "ab"},
  });
  ExpectRefusals(db, {{"select coalesce(null, null)", ErrorNumber::ErrorsInCommand,
                       "At least one of the arguments to COALESCE must be an expression that is not the NULL constant."}});
}

TEST_F(SqlServerRulesTest, TheEnginesOwnSyntaxIsASyntaxError) {
  constexpr int32_t kSyntax = ErrorNumber::ErrorsInCommand;
  ExpectRefusals(db, {
      {"select a from t limit 1", kSyntax, "Incorrect syntax near 'limit'."},
      {"select a from t where a == 1", kSyntax, "Incorrect syntax near '='."},
      {"select 'a' || 'b'", kSyntax, "Incorrect syntax near '||'."},
      {"select a from t where c glob 'x*'", kSyntax, ""},
      {"select a from t where a is 1", kSyntax, "Incorrect syntax near '1'."},
      {"select a from t where 1", kSyntax, ""},
      {"select a from t where 1 order by a", kSyntax, ""},
      {"select a from t where a in ()", kSyntax, "Incorrect syntax near ')'."},
      {"insert into t (a) values (1) returning a", kSyntax, ""},
      {"insert into t (a) values (1) on conflict do nothing", kSyntax, ""},
      {"insert or replace into t (a) values (1)", kSyntax, ""},
      {"create table if not exists u (a int)", kSyntax, ""},
      {"create temp table u (a int)", kSyntax, ""},
      {"create virtual table u using fts5(a)", kSyntax, ""},
      {"alter table t rename to u", kSyntax, ""},
      {"pragma user_version", kSyntax, ""},
      {"select typeof(1)", kSyntax, "'typeof' is not a recognized built-in function name."},
      {"select sqlite_version()", kSyntax, ""},
      {"select printf('%d', 1)", kSyntax, ""},
      {"select substr('abc', 1, 1)", kSyntax, ""},
      {"select name from sqlite_master", kSyntax, "Invalid object name 'sqlite_master'."},
      {"select name from [sqlite_temp_master]", kSyntax, ""},
      {"select * from pragma_table_info('t')", kSyntax, ""},
  });
  // What T-SQL writes the same way still runs.
  EXPECT_EQ(db.Value("select count(*) from t where a is not null and c in ('x') and 1 = 1"), "1");
  EXPECT_EQ(db.Value("select count(*) from t where c like 'x%' and a > 1"), "1");
}

TEST_F(SqlServerRulesTest, FunctionsFollowSqlServer) {
  const std::vector<std::pair<const char*, const char*>> cases = {
      {"select substring('abc', -1, 3)", "a"},
      {"select substring('abcdef', -2, 5)", "ab"},
      {"select substring('abcdef', 2, 3)", "bcd"},
      {"select substring('中文abc', 2, 100)", "文abc"},
      {"select '[' + substring('abc', 5, 1) + ']'", "[]"},
      {"select upper(N'äöüß') + lower(N'ÄÖÜ') + upper('abc')", "ÄÖÜßäöüABC"},
      {"select upper(N'ωж') + lower(N'ΩЖ')", "ΩЖωж"},
      {"select isnumeric('$') + isnumeric('.') + isnumeric('1d2') + isnumeric('+') + isnumeric(' 1,000.5 ')", "5"},
      {"select isnumeric('abc') + isnumeric('') + isnumeric('1e') + isnumeric('1.2.3') + isnumeric(null)", "0"},
      {"select '5' + 1", "6"},
      {"select 1 + '2' + 3", "6"},
      {"select '1.5' + 1.0", "2.5"},
      {"select 'a' + 'b'", "ab"},
      {"select 7 / 2 + 7 % 3", "4"},
      {"select 10 / 4.0", "2.5"},
      {"select a / (a - 1) from t", "1"},
      {"select dateadd(day, 1, '9999-12-30')", "9999-12-31 00:00:00"},
      {"select 2147483646 + 1", "2147483647"},
      {"select 2147483648 + 1", "2147483649"},
      {"select -2147483647 - 1", "-2147483648"},
      {"select 1073741824 * 2 - 2147483648", "0"},
      {"select (46340 * 46340) / 2 % 1000", "800"},
      {"select 1 - -1 + a - a from t", "2"},
      {"select a + 0 from t", "2147483647"},
      {"select 3000000000 * 3", "9000000000"},
      {"select sum(x) from (select 1 as x union select '5' union select 2) u", "8"},
      {"select count(*) from (select 'a' as x union select 'b') u", "2"},
      {"select sum(x) from (select 7 as x union all select '' union all select null) u", "7"},
      {"select count(*) from (select 1 as x union select 2 union all select 2) u", "3"},
      {"select max(x) from (select 1.5 as x union select '2.5') u", "2.5"},
      {"select count(*) from (select c from t union select 'a') u", "2"},
  };
  for (const auto& [sql, expected] : cases) EXPECT_EQ(db.Value(sql), expected) << sql;
  ExpectRefusals(db, {{"select substring('abc', 2, -1)", ErrorNumber::E_FAIL_,
                       "Invalid length parameter passed to the substring function."}});
}

TEST_F(SqlServerRulesTest, StringFunctionsFollowSqlServer) {
  const std::vector<std::pair<const char*, const char*>> cases = {
      {"select datalength('ab  ')", "4"},
      {"select datalength(N'中文')", "4"},
      {"select datalength(N'ab')", "4"},
      {"select datalength(N'  ')", "4"},
      {"select datalength('  ')", "2"},
      {"select datalength(ltrim('   '))", "0"},
      {"select datalength(a) from t", "4"},
      {"select datalength(null)", "NULL"},
      {"select concat('a', null, 'b')", "ab"},
      {"select concat(1, 2, 'x')", "12x"},
      {"select concat(null, null)", ""},
      {"select replace('abc', 'B', 'x')", "axc"},
      {"select replace(N'ÄbÄ', N'ä', 'a')", "aba"},
      {"select replace('aaa', 'aa', 'b')", "ba"},
      {"select replace('abc', '', 'x')", "abc"},
      {"select replace('abc', null, 'x')", "NULL"},
      {"select stuff('abcdef', 2, 3, 'X')", "aXef"},
      {"select stuff('abc', 5, 1, 'x')", "NULL"},
      {"select stuff('abc', 0, 1, 'x')", "NULL"},
      {"select stuff('abc', 2, 10, 'x')", "ax"},
      {"select stuff('abc', 1, -1, 'x')", "NULL"},
      {"select stuff('中文字', 2, 1, null)", "中字"},
      {"select patindex('%b%', 'abc')", "2"},
      {"select patindex('b', 'abc')", "0"},
      {"select patindex('ab%', 'ABC')", "1"},
      {"select patindex('%[0-9]%', 'ab12')", "3"},
      {"select patindex('%文%', '中文')", "2"},
      {"select '[' + str(3.14159, 6, 2) + ']'", "[  3.14]"},
      {"select '[' + str(42) + ']'", "[        42]"},
      {"select str(2.5)", "         3"},
      {"select str(123456, 3)", "***"},
      {"select str(12.345, 4, 2)", "12.3"},
      {"select ascii('A'), char(65)", "65"},
      {"select char(65) + char(256)", "NULL"},
      {"select unicode(N'中') + 0", "20013"},
      {"select nchar(20013)", "中"},
      {"select ascii('')", "NULL"},
      {"select quotename('ab')", "[ab]"},
      {"select quotename('a]b')", "[a]]b]"},
      {"select quotename('ab', '\"')", "\"ab\""},
      {"select quotename('ab', ')')", "(ab)"},
      {"select quotename('ab', 'x')", "NULL"},
  };
  for (const auto& [sql, expected] : cases) EXPECT_EQ(db.Value(sql), expected) << sql;
  ExpectRefusals(db, {
      {"select left('abc', -1)", ErrorNumber::E_FAIL_, "Invalid length parameter passed to the left function."},
      {"select right('abc', -1)", ErrorNumber::E_FAIL_, "Invalid length parameter passed to the right function."},
      {"select substring(123, 1, 2)", ErrorNumber::E_FAIL_,
       "Argument data type int is invalid for argument 1 of substring function."},
      {"select concat('a')", ErrorNumber::E_FAIL_, "The concat function requires 2 to 254 arguments."},
  });
}

TEST_F(SqlServerRulesTest, DatesFollowSqlServer) {
  const std::vector<std::pair<const char*, const char*>> cases = {
      {"select cast('2008-1-9' as datetime)", "2008-01-09 00:00:00"},
      {"select cast('2008/01/14' as datetime)", "2008-01-14 00:00:00"},
      {"select cast('2008.01.14' as datetime)", "2008-01-14 00:00:00"},
      {"select cast('20080114 10:30' as datetime)", "2008-01-14 10:30:00"},
      {"select cast('2008-02-29T23:59:59.997' as datetime)", "2008-02-29 23:59:59.997"},
      {"select cast('10:30' as datetime)", "1900-01-01 10:30:00"},
      {"select cast('01/14/2008' as datetime)", "2008-01-14 00:00:00"},
      {"select convert(datetime, '14/01/2008', 103)", "2008-01-14 00:00:00"},
      {"select convert(datetime, '14.01.2008 08:05', 104)", "2008-01-14 08:05:00"},
      {"select convert(datetime, '2008.01.14', 102)", "2008-01-14 00:00:00"},
      {"select cast(39459 as datetime)", "2008-01-14 00:00:00"},
      {"select eomonth('2008-02-10')", "2008-02-29 00:00:00"},
      {"select eomonth('2008-12-31 10:00', 2)", "2009-02-28 00:00:00"},
      {"select eomonth('2008-03-15', -13)", "2007-02-28 00:00:00"},
      {"select eomonth(null)", "NULL"},
      {"select dateadd(year, 1, '2008-02-29')", "2009-02-28 00:00:00"},
      {"select dateadd(month, -1, '2008-03-31')", "2008-02-29 00:00:00"},
      {"select dateadd(week, 1, '2008-01-14')", "2008-01-21 00:00:00"},
      {"select dateadd(day, 1.9, '2008-01-14')", "2008-01-15 00:00:00"},
  };
  ExpectValues(db, cases);
  constexpr int32_t kConversion = ErrorNumber::CantConvertValue;
  constexpr const char* kOutOfRange =
      "The conversion of a varchar data type to a datetime data type resulted in an out-of-range value.";
  constexpr const char* kMalformed = "Conversion failed when converting date and/or time from character string.";
  ExpectRefusals(db, {
      {"select cast('2008-02-30' as datetime)", kConversion, kOutOfRange},
      {"select cast('2009-02-29' as datetime)", kConversion, kOutOfRange},
      {"select cast('2008-13-01' as datetime)", kConversion, kOutOfRange},
      {"select cast('14/01/2008' as datetime)", kConversion, kOutOfRange},
      {"select cast('1752-12-31' as datetime)", kConversion, kOutOfRange},
      {"select cast('2008-01-14x' as datetime)", kConversion, kMalformed},
      {"select cast('25:00' as datetime)", kConversion, kMalformed},
      {"select cast('2008-01/14' as datetime)", kConversion, kMalformed},
      {"select eomonth('abc')", kConversion, kMalformed},
      {"select convert(date, '2008-02-30')", kConversion, kMalformed},
  });
}

// convert(varchar, datetime, style) in every style a host may ask for; the
// 2-digit-year styles are the 1xx ones with the year cut.
TEST_F(SqlServerRulesTest, DatesConvertToTextInSqlServersStyles) {
  const std::string morning = "cast('2008-02-29 09:05:07.123' as datetime)";
  const std::vector<std::pair<int, const char*>> styles = {
      {0, "Feb 29 2008  9:05AM"},        {100, "Feb 29 2008  9:05AM"},
      {1, "02/29/08"},                   {101, "02/29/2008"},
      {2, "08.02.29"},                   {102, "2008.02.29"},
      {3, "29/02/08"},                   {103, "29/02/2008"},
      {4, "29.02.08"},                   {104, "29.02.2008"},
      {5, "29-02-08"},                   {105, "29-02-2008"},
      {6, "29 Feb 08"},                  {106, "29 Feb 2008"},
      {7, "Feb 29, 08"},                 {107, "Feb 29, 2008"},
      {8, "09:05:07"},                   {108, "09:05:07"},
      {9, "Feb 29 2008  9:05:07:123AM"}, {109, "Feb 29 2008  9:05:07:123AM"},
      {10, "02-29-08"},                  {110, "02-29-2008"},
      {11, "08/02/29"},                  {111, "2008/02/29"},
      {12, "080229"},                    {112, "20080229"},
      {13, "29 Feb 2008 09:05:07:123"},  {113, "29 Feb 2008 09:05:07:123"},
      {14, "09:05:07:123"},              {114, "09:05:07:123"},
      {20, "2008-02-29 09:05:07"},       {120, "2008-02-29 09:05:07"},
      {21, "2008-02-29 09:05:07.123"},   {121, "2008-02-29 09:05:07.123"},
      {22, "02/29/08  9:05:07 AM"},      {23, "2008-02-29"},
      {126, "2008-02-29T09:05:07.123"},
  };
  for (const auto& [style, expected] : styles) {
    const std::string sql = "select convert(varchar(40), " + morning + ", " + std::to_string(style) + ")";
    EXPECT_EQ(db.Value(sql), expected) << sql;
  }
  db.Native("CREATE TABLE d (id int, dt datetime); INSERT INTO d VALUES (1, '2008-01-04 13:00:00'), "
            "(2, '2008-02-29 10:30:00'), (3, '2008-01-14 00:00:00');");
  const std::vector<std::pair<const char*, const char*>> cases = {
      {"select cast(dt as varchar) from d where id = 1", "Jan  4 2008  1:00PM"},
      {"select convert(varchar, dt) from d where id = 3", "Jan 14 2008 12:00AM"},
      {"select convert(varchar, dt, 12) from d where id = 3", "080114"},
      {"select convert(char(11), dt, 126) from d where id = 1", "2008-01-04T"},
      {"select convert(varchar(30), dt, 126) from d where id = 1", "2008-01-04T13:00:00"},
      {"select convert(varchar(10), dt, 120) from d where id = 2", "2008-02-29"},
      // A character source keeps its text: the style is for dates and numbers.
      {"select convert(varchar(10), '2008-01-14', 102)", "2008-01-14"},
      {"select cast('2008-01-14 00:00:00' as varchar(30))", "2008-01-14 00:00:00"},
      {"select cast(convert(varchar(19), dt, 120) as varchar(30)) from d where id = 3", "2008-01-14 00:00:00"},
      // datetime keeps milliseconds in steps of 1/300 second.
      {"select convert(varchar(23), cast('2008-01-14 10:30:00.002' as datetime), 121)", "2008-01-14 10:30:00.003"},
      {"select convert(varchar(23), cast('2008-01-14 10:30:00.995' as datetime), 121)", "2008-01-14 10:30:00.997"},
      {"select convert(varchar(23), cast('2008-12-31 23:59:59.999' as datetime), 121)", "2009-01-01 00:00:00.000"},
      {"select convert(varchar(23), cast('2008-01-14 10:30:00.5' as datetime), 114)", "10:30:00:500"},
      // As numbers a datetime counts days since 1900-01-01, rounded to the day by int.
      {"select cast(dt as int) from d where id = 2", "39505"},
      {"select cast(dt as int) from d where id = 1", "39450"},
      {"select cast(dt as float) from d where id = 3", "39459.0"},
      {"select cast(dt as float) from d where id = 2", "39505.4375"},
      {"select datalength(getdate())", "8"},
      {"select datalength(sysdatetime())", "8"},
      {"select datalength(cast('2008-01-14' as datetime))", "8"},
      {"select datalength(cast('2008-01-14' as date))", "3"},
      {"select datalength(cast(null as datetime))", "NULL"},
      {"select datalength(convert(varchar(10), getdate(), 120))", "10"},
  };
  ExpectValues(db, cases);
}

TEST_F(SqlServerRulesTest, NumericFunctionsFollowSqlServer) {
  const std::vector<std::pair<const char*, const char*>> cases = {
      {"select round(123.456, -1)", "120.0"},
      {"select round(123.456, -2)", "100.0"},
      {"select round(-125, -1)", "-130"},
      {"select round(1234, -2)", "1200"},
      {"select round(-155, -1, 1)", "-150"},
      {"select round(9007199254740993, -1)", "9007199254740990"},
      {"select round(9007199254740993, 2)", "9007199254740993"},
      {"select round(150.75, 0)", "151.0"},
      {"select round(150.75, 0, 1)", "150.0"},
      {"select round(-150.75, 1, 1)", "-150.7"},
      {"select round(2.675, 2)", "2.68"},
      {"select round(null, 1)", "NULL"},
      {"select power(2, 10)", "1024"},
      {"select power(2, -1)", "0"},
      {"select power(2.0, -1)", "0.5"},
      {"select power(-2, 31)", "-2147483648"},
      {"select sqrt(16)", "4.0"},
      {"select cast(99.994 as decimal(4,2))", "99.99"},
      {"select cast(255 as tinyint) + cast(-32768 as smallint)", "-32513"},
  };
  ExpectValues(db, cases);
  constexpr int32_t kConversion = ErrorNumber::CantConvertValue;
  ExpectRefusals(db, {
      {"select power(2, 31)", kConversion, "Arithmetic overflow error converting expression to data type int."},
      {"select power(a, 2) from t", kConversion, "Arithmetic overflow error converting expression to data type int."},
      {"select round(9223372036854775807, -1)", kConversion,
       "Arithmetic overflow error converting expression to data type bigint."},
      {"select sqrt(-1)", kConversion, "An invalid floating point operation occurred."},
      {"select power(-8, 0.5)", kConversion, "An invalid floating point operation occurred."},
      {"select cast(123.456 as decimal(4,2))", kConversion,
       "Arithmetic overflow error converting numeric to data type numeric."},
      {"select cast(99.999 as decimal(4,2))", kConversion,
       "Arithmetic overflow error converting numeric to data type numeric."},
      {"select cast('123.456' as decimal(4,2))", kConversion,
       "Arithmetic overflow error converting varchar to data type numeric."},
      {"select cast(123456 as decimal(4,2))", kConversion,
       "Arithmetic overflow error converting int to data type numeric."},
      {"select cast(1e20 as decimal(10,0))", kConversion,
       "Arithmetic overflow error converting float to data type numeric."},
      {"select convert(numeric(5,1), -1E10)", kConversion,
       "Arithmetic overflow error converting float to data type numeric."},
      {"select cast(256 as tinyint)", kConversion, "Arithmetic overflow error for data type tinyint, value = 256."},
      {"select cast(-1 as tinyint)", kConversion, "Arithmetic overflow error for data type tinyint, value = -1."},
      {"select cast(40000 as smallint)", kConversion,
       "Arithmetic overflow error for data type smallint, value = 40000."},
      {"select cast(a as smallint) from t", kConversion,
       "Arithmetic overflow error for data type smallint, value = 2147483647."},
  });
}

// Decimals keep the precision and scale T-SQL gives them: a quotient is cut
// to its scale, % keeps the fraction, money divides to four decimals; the int
// family overflows at its own type's limits.
TEST_F(SqlServerRulesTest, DecimalArithmeticFollowsSqlServer) {
  const std::vector<std::pair<const char*, const char*>> cases = {
      {"select 1 / 3.0", "0.333333"},
      {"select 2 / 3.0", "0.666666"},
      {"select -2 / 3.0", "-0.666666"},
      {"select 10 / 3.0 * 3", "9.999999"},
      {"select (1 / 3.0) * 3", "0.999999"},
      {"select cast(1 as decimal(10,2)) / 3", "0.3333333333333"},
      {"select cast(10 as decimal(10,0)) / 4", "2.5"},
      {"select 0.3 / 0.1", "3.0"},
      {"select 1.5 / null", "NULL"},
      {"select count(*) * 1.0 / 3 from t", "0.333333333333"},
      {"select cast(10 as money) / 3", "3.3333"},
      {"select 5.5 % 2", "1.5"},
      {"select -5.5 % 2", "-1.5"},
      {"select 7 % 3", "1"},
      {"select '7' % 2", "1"},
      {"select 5.3 % 1", "0.3"},
      {"select a % 10 from t", "7"},
      {"select round(748.58, -2)", "700.0"},
      {"select avg(cast(a as int) - 2147483640) from (select a from t union all select a - 2 from t) u", "6"},
      {"select avg(cast(x as int)) from (select -7 as x union all select 0) u", "-3"},
      {"select avg(cast(2.5 as decimal(4,1)))", "2.5"},
      {"select cast(32767 as smallint) + cast(-1 as smallint)", "32766"},
      {"select cast(200 as tinyint) + 100", "300"},
      {"select cast(9223372036854775806 as bigint) + 1", "9223372036854775807"},
  };
  ExpectValues(db, cases);
  constexpr int32_t kConversion = ErrorNumber::CantConvertValue;
  ExpectRefusals(db, {
      {"select cast(5.5e0 as float) % 2", ErrorNumber::ErrorsInCommand,
       "The data types float and int are incompatible in the modulo operator."},
      {"select round(748.58, -3)", kConversion, "Arithmetic overflow error converting expression to data type numeric."},
      {"select 1.5 / 0", kConversion, "Divide by zero error encountered."},
      {"select 5.5 % (a - a) from t", kConversion, "Divide by zero error encountered."},
      {"select cast(32767 as smallint) + cast(1 as smallint)", kConversion,
       "Arithmetic overflow error for data type smallint, value = 32768."},
      {"select cast(255 as tinyint) + cast(1 as tinyint)", kConversion,
       "Arithmetic overflow error for data type tinyint, value = 256."},
      {"select cast(9223372036854775807 as bigint) + 1", kConversion,
       "Arithmetic overflow error converting expression to data type bigint."},
      {"select cast(4611686018427387904 as bigint) * 2", kConversion,
       "Arithmetic overflow error converting expression to data type bigint."},
  });
}

// The text of a number follows its type: a decimal keeps the digits of its
// scale, money two decimals, a float at most six significant digits (or a
// style's scientific notation); an int too long for a char shows '*', for a
// national char, or any other number too long, is refused.
TEST_F(SqlServerRulesTest, NumberTextsFollowSqlServer) {
  const std::vector<std::pair<const char*, const char*>> cases = {
      {"select replace(12.50, '.', ',')", "12,50"},
      {"select right(1.50, 2)", "50"},
      {"select concat('a', 1.50, 2)", "a1.502"},
      {"select 'a' + cast(1.50 as varchar)", "a1.50"},
      {"select len(1.50)", "4"},
      {"select cast(.5 as varchar)", "0.5"},
      {"select cast(-0.50 as varchar)", "-0.50"},
      {"select cast(1 / 3.0 as varchar)", "0.333333"},
      {"select convert(varchar, cast(1234.5 as decimal(10,2)), 1)", "1234.50"},
      {"select cast(cast(10 as money) / 3 as varchar)", "3.33"},
      {"select cast(1.0e0 / 3 as varchar)", "0.333333"},
      {"select cast(1e-5 as varchar)", "1e-005"},
      {"select cast(12345.678e0 as varchar)", "12345.7"},
      {"select cast(1234567.0e0 as varchar)", "1.23457e+006"},
      {"select convert(varchar(30), 1.0e0 / 3, 1)", "3.3333333e-001"},
      {"select convert(varchar(30), 1.0e0 / 3, 2)", "3.333333333333333e-001"},
      {"select cast(123 as varchar(2))", "*"},
      {"select cast(17 as varchar)", "17"},
  };
  ExpectValues(db, cases);
  constexpr int32_t kConversion = ErrorNumber::CantConvertValue;
  ExpectRefusals(db, {
      {"select cast(123 as nvarchar(2))", kConversion,
       "Arithmetic overflow error converting expression to data type nvarchar."},
      {"select cast('' as decimal(10,2))", kConversion, "Error converting data type varchar to numeric."},
      {"select convert(numeric(5,1), 'abc')", kConversion, "Error converting data type varchar to numeric."},
      {"select cast(12.50 as varchar(4))", kConversion,
       "Arithmetic overflow error converting numeric to data type varchar."},
      {"select cast(1.0e0 / 3 as varchar(5))", kConversion,
       "Arithmetic overflow error converting float to data type varchar."},
  });
}

}  // namespace
}  // namespace fabrikon::dialect::test
