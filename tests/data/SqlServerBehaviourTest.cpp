// The embedded connection answers as SQL Server would: its errors in SQL
// Server's words, declared text lengths enforced, and a batch that creates
// an object and then uses it runs (while a batch that does not compile runs
// nothing).
#include <gtest/gtest.h>

#include "TempDatabase.h"
#include "data/SqliteConnection.h"

namespace fabrikon {
namespace {

class SqlServerBehaviourTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto setup = SqliteConnection::Connect(db.ConnectionString());
    setup->ExecuteNative(
        "CREATE TABLE parts(id int PRIMARY KEY, code nvarchar(5) COLLATE TSQL, name varchar(30), note ntext);"
        "INSERT INTO parts VALUES (1, 'a', 'first', 'n');");
    setup.reset();
    conn = SqliteConnection::Connect(db.ConnectionString());  // sees the table's declared lengths
  }
  // Number and description of the error a batch raises.
  std::pair<int32_t, std::string> ErrorOf(const std::string& sql) {
    try {
      conn->Execute(sql);
    } catch (const ComError& e) {
      return {e.Number(), e.Description()};
    }
    return {0, "<no error>"};
  }
  std::string Value(const std::string& sql) {
    return static_cast<Connection&>(*conn).Open(sql)->Fields(0).Value().ToText();
  }
  testing::TempDatabase db;
  std::shared_ptr<SqliteConnection> conn;
};

TEST_F(SqlServerBehaviourTest, ErrorsReadAsSqlServerWordsThem) {
  const std::vector<std::pair<std::string, std::pair<int32_t, std::string>>> cases = {
      {"select * from nosuch", {ErrorNumber::ErrorsInCommand, "Invalid object name 'nosuch'."}},
      {"select * from TempDB..nosuch", {ErrorNumber::ErrorsInCommand, "Invalid object name 'TempDB..nosuch'."}},
      {"select nosuchcol from parts", {ErrorNumber::ErrorsInCommand, "Invalid column name 'nosuchcol'."}},
      {"select \"nosuchcol\" from parts", {ErrorNumber::ErrorsInCommand, "Invalid column name 'nosuchcol'."}},
      {"select id, from parts", {ErrorNumber::ErrorsInCommand, "Incorrect syntax near the keyword 'from'."}},
      {"select id from parts order by id,", {ErrorNumber::ErrorsInCommand, "Incorrect syntax near the end of the batch."}},
      {"select id from parts p, parts q where id = 1", {ErrorNumber::ErrorsInCommand, "Ambiguous column name 'id'."}},
      {"select top 1 id from parts order by 2",
       {ErrorNumber::ErrorsInCommand,
        "The ORDER BY position number 2 is out of range of the number of items in the select list."}},
      {"select id, code from parts order by code, 0",
       {ErrorNumber::ErrorsInCommand,
        "The ORDER BY position number 0 is out of range of the number of items in the select list."}},
      {"insert into parts (id, code) values (40)",
       {ErrorNumber::ErrorsInCommand,
        "There are more columns in the INSERT statement than values specified in the VALUES clause. The number of "
        "values in the VALUES clause must match the number of columns specified in the INSERT statement."}},
      {"insert into parts (id) values (40, 'a')",
       {ErrorNumber::ErrorsInCommand,
        "There are fewer columns in the INSERT statement than values specified in the VALUES clause. The number of "
        "values in the VALUES clause must match the number of columns specified in the INSERT statement."}},
      {"insert into parts values (40)",
       {ErrorNumber::ErrorsInCommand, "Column name or number of supplied values does not match table definition."}},
      // INSERT ... SELECT * or UNION (read through a common table expression).
      {"insert into parts (id) select * from parts",
       {ErrorNumber::ErrorsInCommand,
        "There are fewer columns in the INSERT statement than values specified in the VALUES clause. The number of "
        "values in the VALUES clause must match the number of columns specified in the INSERT statement."}},
      {"insert into parts (id, code) select id from parts union select 2",
       {ErrorNumber::ErrorsInCommand,
        "There are more columns in the INSERT statement than values specified in the VALUES clause. The number of "
        "values in the VALUES clause must match the number of columns specified in the INSERT statement."}},
      {"insert into parts select id from parts union select 2",
       {ErrorNumber::ErrorsInCommand, "Column name or number of supplied values does not match table definition."}},
      {"select id from parts union select id, id from parts",
       {ErrorNumber::ErrorsInCommand,
        "All queries combined using a UNION, INTERSECT or EXCEPT operator must have an equal number of expressions "
        "in their target lists."}},
      {"declare @n int; select @m", {ErrorNumber::ErrorsInCommand, "Must declare the scalar variable \"@m\"."}},
      {"if 1 = 1 select 1 else", {ErrorNumber::ErrorsInCommand, "Incorrect syntax near the end of the command."}},
      {"select 1 else select 2", {ErrorNumber::ErrorsInCommand, "Incorrect syntax near the keyword 'else'."}},
      {"truncate tabel parts", {ErrorNumber::ErrorsInCommand, "Incorrect syntax near 'tabel'."}},
      {"select nosuchfn(1)", {ErrorNumber::ErrorsInCommand, "'nosuchfn' is not a recognized built-in function name."}},
      {"select id from parts where 2147483647 + 1 > id",
       {ErrorNumber::CantConvertValue, "Arithmetic overflow error converting expression to data type int."}},
      {"select 2147483647 + 1 from parts",
       {ErrorNumber::CantConvertValue, "Arithmetic overflow error converting expression to data type int."}},
      {"select id, 1 from parts union select 2, 'a'",
       {ErrorNumber::CantConvertValue, "Conversion failed when converting the varchar value 'a' to data type int."}},
      // A syntax error at a literal names the literal as written, never the
      // engine's placeholder for it.
      {"insert into parts values (2 3)", {ErrorNumber::ErrorsInCommand, "Incorrect syntax near '3'."}},
      {"update parts set name = 1.5 2.25", {ErrorNumber::ErrorsInCommand, "Incorrect syntax near '2.25'."}},
      {"select id from parts where code = 'a' 'it''s'", {ErrorNumber::ErrorsInCommand, "Incorrect syntax near ''it''s''."}},
      {"create table u (a int); insert into u values (1 'x')", {ErrorNumber::ErrorsInCommand, "Incorrect syntax near ''x''."}},
  };
  for (const auto& [sql, expected] : cases) EXPECT_EQ(ErrorOf(sql), expected) << sql;
}

TEST_F(SqlServerBehaviourTest, DeclaredTextLengthsAreEnforced) {
  const std::pair<int32_t, std::string> truncated{ErrorNumber::CantConvertValue,
                                                  "String or binary data would be truncated."};
  EXPECT_EQ(ErrorOf("insert into parts (id, code) values (2, 'abcdef')"), truncated);
  EXPECT_EQ(ErrorOf("insert into parts (id, name) values (2, '" + std::string(300, 'x') + "')"), truncated);
  EXPECT_EQ(ErrorOf("update parts set name = name + '" + std::string(100000, 'y') + "'"), truncated);
  EXPECT_EQ(Value("select count(*) from parts"), "1");
  EXPECT_EQ(Value("select name from parts"), "first");
  // Up to the length, counted in characters, and trailing blanks, still fit.
  conn->Execute("insert into parts (id, code, note) values (2, '中文中文中', '" + std::string(5000, 'z') + "')");
  conn->Execute("update parts set code = 'abcde   ' where id = 1");
  EXPECT_EQ(Value("select count(*) from parts"), "2");
}

// Every form of write is held to the declared lengths, and what fits (up to
// the length, trailing blanks beyond it) is stored: the forms whose values
// are wrapped one by one, those read through a common table expression
// (SELECT *, DISTINCT, UNION, a WITH before the INSERT), tables made in the
// same batch (given a column list), temporary tables and a table without a
// column list.
TEST_F(SqlServerBehaviourTest, DeclaredTextLengthsHoldForEveryFormOfWrite) {
  conn->Execute(
      "create table src (k int, c nvarchar(20)); insert into src values (1, 'abcdefgh'), (2, 'ab');"
      "create table fits (k int, c nvarchar(20)); insert into fits values (3, 'xyz   '), (4, 'zz');"
      "create table made1 (k int, c varchar(3)); create table #t1 (k int, c char(3)); create table made (k int, c char(4))");
  const std::vector<std::string> refused = {
      "insert into parts (id, code) select k + 10, c from src",
      "insert into parts (id, code) select * from src",
      "insert into parts (id, code) select distinct k + 10, c from src",
      "insert into parts (id, code) select 10, 'ok' union all select k + 10, c from src",
      "insert into parts select 10, 'abcdefg', 'x', 'y'",
      "insert into parts select k + 10, c, c, c from src",
      "insert into made1 select * from src",
      "insert into #t1 select * from src",
      "create table made2 (k int, c varchar(3)); insert into made2 (k, c) values (1, 'abcd')",
      "create table made3 (k int, c varchar(3)); insert into made3 (k, c) select * from src",
      "create table #t2 (k int, c char(3)); insert into #t2 values (1, 'ab'); update #t2 set c = 'abcd'",
  };
  const std::pair<int32_t, std::string> truncated{ErrorNumber::CantConvertValue,
                                                  "String or binary data would be truncated."};
  for (const std::string& sql : refused) EXPECT_EQ(ErrorOf(sql), truncated) << sql;
  EXPECT_EQ(Value("select count(*) from parts"), "1");
  conn->Execute("insert into parts (id, code) select * from fits");
  conn->Execute("insert into parts (id, code) select distinct k + 10, c from fits");
  conn->Execute("insert into parts (id, code) select k + 20, c from fits union select 30, 'q'");
  conn->Execute("insert into made select * from fits");
  EXPECT_EQ(Value("select count(*) from parts where code in ('xyz', 'zz', 'q')"), "7");
  EXPECT_EQ(Value("select max(datalength(c)) from made"), "4");
}

// A table made through T-SQL compares text as the host schema's tables do
// (case and trailing blanks ignored) unless a column names its collation.
TEST_F(SqlServerBehaviourTest, TablesCreatedThroughTSqlCompareTextAsTheHostSchema) {
  conn->Execute(
      "create table made (id int not null primary key, c char(5), vc varchar(10), nc nchar(5), "
      "nvc nvarchar(10), t text, nt ntext, bin varchar(10) collate BINARY)");
  conn->Execute("insert into made values (1, 'Ab', 'Ab', 'Ab', 'Ab', 'Ab', 'Ab', 'Ab')");
  conn->Execute("insert into made values (2, 'aB ', 'aB ', 'aB ', 'aB ', 'aB ', 'aB ', 'aB ')");
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"select count(*) from made where c = 'AB'", "2"},
      {"select count(*) from made where vc = 'ab'", "2"},
      {"select count(*) from made where nc in ('ab')", "2"},
      {"select count(*) from made where nvc = N'AB'", "2"},
      {"select count(*) from made where t = 'ab'", "2"},
      {"select count(*) from made where nt = 'ab'", "2"},
      {"select count(distinct vc) from made", "1"},
      {"select count(*) from made where bin = 'Ab'", "1"},
  };
  for (const auto& [sql, expected] : cases) EXPECT_EQ(Value(sql), expected) << sql;
}

// N'...' is Unicode text, '...' is not: statements that differ only in that
// are translated each for itself (two bytes a character, trailing blanks
// that count in LIKE), however their shapes are cached.
TEST_F(SqlServerBehaviourTest, UnicodeLiteralsAreTranslatedForThemselves) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"select datalength(N'ab')", "4"},
      {"select datalength('ab')", "2"},
      {"select datalength(N'xy')", "4"},
      {"select case when 'a ' like 'a' then 'y' else 'n' end", "y"},
      {"select case when N'a ' like 'a' then 'y' else 'n' end", "n"},
      {"select case when 'b ' like 'b' then 'y' else 'n' end", "y"},
      {"select count(*) from parts where code like 'a' and datalength(N'a ') = 4", "1"},
      {"select count(*) from parts where code like 'a' and datalength('a ') = 4", "0"},
  };
  for (const auto& [sql, expected] : cases) EXPECT_EQ(Value(sql), expected) << sql;
}

// IDENTITY columns number their rows from the seed by the increment, tell
// the last number through SCOPE_IDENTITY() and @@IDENTITY, and refuse an
// explicit value.
TEST_F(SqlServerBehaviourTest, IdentityColumnsNumberThemselves) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"create table ids (id int identity(1,1) primary key, name nvarchar(20))", "1,2,3"},
      {"create table ids (id int identity(10, 5) not null, name nvarchar(20))", "10,15,20"},
      {"create table ids (name nvarchar(20), id bigint identity(-1,-1))", "-1,-2,-3"},
      {"create table ids (id int identity, name nvarchar(20))", "1,2,3"},
  };
  for (const auto& [create, numbers] : cases) {
    conn->Execute(create);
    conn->Execute("insert into ids (name) values ('a'); insert into ids (name) values ('b')");
    conn->Execute("insert into ids (name) values ('c')");
    const std::string last = numbers.substr(numbers.rfind(',') + 1);
    EXPECT_EQ(Value("select scope_identity()"), last) << create;
    EXPECT_EQ(Value("select @@IDENTITY"), last) << create;
    std::string got;
    auto rs = static_cast<Connection&>(*conn).Open("select id from ids order by name");
    for (; !rs->Eof(); rs->MoveNext()) got += (got.empty() ? "" : ",") + rs->Fields(0).Value().ToText();
    EXPECT_EQ(got, numbers) << create;
    EXPECT_EQ(ErrorOf("insert into ids (id, name) values (5, 'x')"),
              std::make_pair(int32_t{ErrorNumber::IntegrityViolation},
                             std::string("Cannot insert explicit value for identity column in table 'ids' when "
                                         "IDENTITY_INSERT is set to OFF.")))
        << create;
    conn->Execute("drop table ids");
  }
}

// A decimal literal's scale is part of its type even where the connection
// binds its value: statements that differ only in a literal's scale are
// translated each for its own, and their texts and quotients differ.
TEST_F(SqlServerBehaviourTest, DecimalLiteralsKeepTheirScaleWhenBound) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"select 'a' + cast(1.50 as varchar) from parts", "a1.50"},
      {"select 'a' + cast(1.5 as varchar) from parts", "a1.5"},
      {"select 'a' + cast(2.125 as varchar) from parts", "a2.125"},
      {"select 'a' + cast(3.75 as varchar) from parts", "a3.75"},
      {"select count(*) * 1.0 / 3 from parts", "0.333333333333"},
      {"select count(*) * 1.00 / 3 from parts", "0.3333333333333"},
  };
  for (int run = 0; run < 2; ++run)
    for (const auto& [sql, expected] : cases) EXPECT_EQ(Value(sql), expected) << sql;
}

TEST_F(SqlServerBehaviourTest, BatchCreatingATableThenUsingItRuns) {
  const std::string batch =
      "IF EXISTS (select * from tempdb..sysobjects where name = 'TMPQX_test') DROP TABLE TempDB..TMPQX_test "
      "SELECT id, code INTO TempDB..TMPQX_test FROM parts "
      "create index ix_tmpqx_test on TempDB..TMPQX_test (id) "
      "SELECT count(*) AS n FROM TempDB..TMPQX_test";
  for (int run = 0; run < 2; ++run) EXPECT_EQ(static_cast<Connection&>(*conn).Open(batch)->Fields(0).Value().ToInt(), 1);
  // A table nothing in the batch creates is missed when its statement's turn
  // comes (what ran before stays done); a syntax error runs nothing.
  EXPECT_EQ(ErrorOf("insert into parts (id) values (3) select * from nosuch"),
            std::make_pair(int32_t{ErrorNumber::ErrorsInCommand}, std::string("Invalid object name 'nosuch'.")));
  EXPECT_EQ(ErrorOf("insert into parts (id) values (4) select id from parts where").first, ErrorNumber::ErrorsInCommand);
  EXPECT_EQ(Value("select count(*) from parts"), "2");
}

}  // namespace
}  // namespace fabrikon
