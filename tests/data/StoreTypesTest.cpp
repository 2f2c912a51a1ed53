// Values stored by INSERT and UPDATE take the column's declared type as SQL
// Server converts them (numbers truncated, rounded or refused, date texts
// read and stored in one form, char padded), on the embedded connection and
// through the SQLite ODBC driver with the T-SQL runtime loaded.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "TempDatabase.h"
#include "data/SqliteConnection.h"
#include "data/dialect/SchemaCatalog.h"
#include "data/dialect/TSqlDialect.h"
#include "fabrikon/ComError.h"
#include "fabrikon/Connection.h"
#include "support/TestConnection.h"

namespace fabrikon {
namespace {

constexpr const char* kColumns =
    "id int NOT NULL PRIMARY KEY, i int, s smallint, t tinyint, b bigint, d decimal(10,2), m money, f float,"
    " x bit, dt datetime, dd date, c char(5), nc nchar(4), v varchar(5)";

enum class Backend { Embedded, Odbc };

class StoreTypesTest : public ::testing::TestWithParam<Backend> {
 protected:
  void SetUp() override {
    conn = OpenConnection(GetParam() == Backend::Odbc ? testsupport::OdbcConnectionString(db.Path())
                                                      : db.ConnectionString());
    conn->Execute(std::string("create table st (") + kColumns + ")");
    conn->Execute("insert into st (id) values (1)");
  }
  void TearDown() override { conn.reset(); }

  std::string Value(const std::string& sql) { return conn->Open(sql)->Fields(0).Value().ToText(); }
  // What `column` holds after `update st set column = value`, or the error's
  // description (its number must be the conversion error's).
  std::string Stored(const std::string& column, const std::string& value) {
    try {
      conn->Execute("update st set " + column + " = " + value + " where id = 1");
    } catch (const ComError& e) {
      EXPECT_EQ(e.Number(), ErrorNumber::CantConvertValue) << e.Description();
      return e.Description();
    }
    return Value("select " + column + " from st where id = 1");
  }

  // The engine's own type of the stored value and its text, read past the library.
  std::string StoredType(const std::string& column, int id) {
    sqlite3* native = nullptr;
    std::string stored = "unread";
    if (sqlite3_open_v2(db.Path().c_str(), &native, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
      const std::string sql = "SELECT typeof(" + column + ") || ' ' || quote(" + column + ") FROM st WHERE id = " +
                              std::to_string(id);
      sqlite3_stmt* statement = nullptr;
      if (sqlite3_prepare_v2(native, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
          sqlite3_step(statement) == SQLITE_ROW)
        stored = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
      sqlite3_finalize(statement);
    }
    sqlite3_close(native);
    return stored;
  }

  testing::TempDatabase db;
  ConnectionPtr conn;
};

struct StoreCase {
  const char* column;
  const char* value;
  const char* stored;  // or the error's description
};

const std::vector<StoreCase> kCases = {
    {"i", "12.7", "12"},
    {"i", "-12.7", "-12"},
    {"i", "'12'", "12"},
    {"i", "' 7 '", "7"},
    {"i", "''", "0"},
    {"i", "'abc'", "Conversion failed when converting the varchar value 'abc' to data type int."},
    {"i", "'12.7'", "Conversion failed when converting the varchar value '12.7' to data type int."},
    {"i", "3000000000", "Arithmetic overflow error converting expression to data type int."},
    {"i", "-2147483648", "-2147483648"},
    {"s", "40000", "Arithmetic overflow error for data type smallint, value = 40000."},
    {"s", "-32768", "-32768"},
    {"t", "-1", "Arithmetic overflow error for data type tinyint, value = -1."},
    {"t", "1.5", "1"},
    {"t", "255", "255"},
    {"b", "10000000000", "10000000000"},
    {"d", "1.005", "1.01"},
    {"d", "'2.5'", "2.5"},
    {"d", "99999999.99", "99999999.99"},
    {"d", "123456789.12", "Arithmetic overflow error converting numeric to data type numeric."},
    {"d", "123456789", "Arithmetic overflow error converting int to data type numeric."},
    {"d", "'x'", "Error converting data type varchar to numeric."},
    {"m", "'1,234.5'", "1234.5"},
    {"m", "''", "0"},
    {"m", "2.00004", "2"},
    {"m", "'abc'", "Cannot convert a char value to money. The char value has incorrect syntax."},
    {"f", "'2.5'", "2.5"},
    {"f", "''", "0"},
    {"f", "'abc'", "Error converting data type varchar to float."},
    {"x", "5", "True"},
    {"x", "0", "False"},
    {"x", "'true'", "True"},
    {"x", "'False'", "False"},
    {"x", "'yes'", "Conversion failed when converting the varchar value 'yes' to data type bit."},
    {"dt", "'20080301'", "2008-03-01"},
    {"dt", "'2008-01-05 8:05'", "2008-01-05 08:05:00"},
    {"dt", "'2008-01-14T10:30:00.000'", "2008-01-14 10:30:00"},
    {"dt", "'2008/3/1'", "2008-03-01"},
    {"dt", "''", "1900-01-01"},
    {"dt", "'2008-02-30'",
     "The conversion of a varchar data type to a datetime data type resulted in an out-of-range value."},
    {"dt", "'abc'", "Conversion failed when converting date and/or time from character string."},
    {"dd", "'2008-03-01 10:30'", "2008-03-01"},
    {"c", "'ab'", "ab   "},
    {"c", "''", "     "},
    {"c", "7", "7    "},
    {"nc", "'中文'", "中文  "},
    {"v", "'abcde   '", "abcde"},
    {"v", "'ab  '", "ab  "},
    {"v", "1.5e0", "1.5"},
    // Past the length (trailing blanks aside) nothing is stored.
    {"v", "'abcdef'", "String or binary data would be truncated."},
    {"v", "123456", "String or binary data would be truncated."},
    {"c", "'abc   x'", "String or binary data would be truncated."},
    {"nc", "'中文中文中'", "String or binary data would be truncated."},
    {"nc", "'中文中文   '", "中文中文"},
};

TEST_P(StoreTypesTest, UpdateConvertsToTheDeclaredType) {
  for (const StoreCase& c : kCases) EXPECT_EQ(Stored(c.column, c.value), c.stored) << c.column << " = " << c.value;
}

// The same values stored by INSERT ... VALUES, where a number the column's
// conversion keeps goes in without it, and by INSERT ... SELECT, where every
// value is converted: the same stored values, types and errors.
TEST_P(StoreTypesTest, InsertValuesStoresAsUpdateDoes) {
  std::vector<StoreCase> cases = kCases;
  for (const char* column : {"i", "s", "t", "b", "d", "m", "f", "x", "v"})
    for (const char* value : {"0", "7", "12.5", "2147483647", "2147483648", "123456789012345678", "1.", ".5",
                              "0001", "99999999.99"})
      cases.push_back(StoreCase{column, value, ""});
  int id = 100;
  for (const StoreCase& c : cases) {
    const std::string into = std::string(" into st (id, ") + c.column + ") ";
    const auto stored = [&](const std::string& insert) {
      try {
        conn->Execute(insert);
      } catch (const ComError& e) {
        EXPECT_EQ(e.Number(), ErrorNumber::CantConvertValue) << e.Description();
        return e.Description();
      }
      return Value(std::string("select ") + c.column + " from st where id = " + std::to_string(id)) + " " +
             StoredType(c.column, id);
    };
    const std::string values = stored("insert" + into + "values (" + std::to_string(++id) + ", " + c.value + ")");
    const std::string select = stored("insert" + into + "select " + std::to_string(++id) + ", " + c.value);
    EXPECT_EQ(values, select) << c.column << " = " << c.value;
    const std::string expected = c.stored;  // a value is followed by its type
    if (!expected.empty()) {
      EXPECT_TRUE(values == expected || values.rfind(expected + " ", 0) == 0) << values;
    }
  }
}

// A run of rows is read straight from the batch; a number past the column's
// range in the middle of it is still refused, and stops the batch there.
TEST_P(StoreTypesTest, NumbersPastTheRangeInARunOfRowsAreRefused) {
  std::string batch;
  for (int id = 10; id < 16; ++id)
    batch += "insert into st (id, i, f) values (" + std::to_string(id) + ", " + (id == 13 ? "3000000000" : "7") +
             ", 2.5) ";
  try {
    conn->Execute(batch);
    ADD_FAILURE() << "no error";
  } catch (const ComError& e) {
    EXPECT_EQ(e.Description(), "Arithmetic overflow error converting expression to data type int.");
  }
  EXPECT_EQ(Value("select count(*) from st where id between 10 and 12 and i = 7 and f = 2.5"), "3");
  EXPECT_EQ(Value("select count(*) from st where id >= 13"), "0");
}

TEST_P(StoreTypesTest, FailedConversionChangesNothing) {
  conn->Execute("update st set i = 5, dt = '2008-01-14' where id = 1");
  EXPECT_NE(Stored("dt", "'2008-02-30'"), "");
  EXPECT_NE(Stored("i", "'x'"), "");
  EXPECT_EQ(Value("select i from st"), "5");
  EXPECT_EQ(Value("select dt from st"), "2008-01-14");
  EXPECT_NE(Stored("i", "1, dt = 'abc'"), "");  // the whole row or nothing
  EXPECT_EQ(Value("select i from st"), "5");
}

TEST_P(StoreTypesTest, InsertConvertsEveryForm) {
  conn->Execute("insert into st (id, i, dt, c) values (2, 12.7, '20080301', 'a'), (3, '4', '', 'b')");
  conn->Execute("insert into st values (4, 1.9, 1, 2, 3, 1.005, 1, '1.5', 'true', '2008/1/9', '', 'x', 'y', 'z')");
  conn->Execute("insert into st (id, i, dt) select id + 10, d, '20090101' from st where id = 4");
  conn->Execute("insert into st (id, i) select 20 as id, '21' n");
  conn->Execute("update st set i = d * 10 where id = 4");  // from another column
  EXPECT_EQ(Value("select count(*) from st where dt = '2008-03-01' and i = 12 and c = 'a'"), "1");
  EXPECT_EQ(Value("select dt from st where id = 3"), "1900-01-01");
  EXPECT_EQ(Value("select i from st where id = 3"), "4");
  EXPECT_EQ(Value("select d from st where id = 4"), "1.01");
  EXPECT_EQ(Value("select i from st where id = 4"), "10");
  EXPECT_EQ(Value("select dt from st where id = 4"), "2008-01-09");
  EXPECT_EQ(Value("select x from st where id = 4"), "True");
  EXPECT_EQ(Value("select c from st where id = 4"), "x    ");
  EXPECT_EQ(Value("select i from st where id = 14"), "1");
  EXPECT_EQ(Value("select dt from st where id = 14"), "2009-01-01");
  EXPECT_EQ(Value("select i from st where id = 20"), "21");
  // Values the text cannot tell apart are converted too.
  conn->Execute("insert into st (id, c) select * from (select 30, 'q' union select 31, 'r')");
  conn->Execute("insert into st (id, i, c) select distinct 32, 12.7, 's' from st");
  EXPECT_EQ(Value("select count(*) from st where c = 'q    ' or c = 'r    ' or (i = 12 and c = 's    ')"), "3");
}

TEST_P(StoreTypesTest, TemporaryTablesConvertToo) {
  conn->Execute("create table TempDB..TMPQX_st (id int, dt datetime, n int)");
  conn->Execute("insert into TempDB..TMPQX_st (id, dt, n) values (1, '20080301', 2.5)");
  EXPECT_EQ(Value("select dt from TempDB..TMPQX_st"), "2008-03-01");
  EXPECT_EQ(Value("select n from TempDB..TMPQX_st"), "2");
  conn->Execute("update TempDB..TMPQX_st set dt = '2008/12/31 23:59' where id = 1");
  EXPECT_EQ(Value("select dt from tempdb..TMPQX_st"), "2008-12-31 23:59:00");
}

TEST_P(StoreTypesTest, ATableRecreatedWithOtherTypesIsSeen) {
  const std::string insert = "insert into again (id, v) values (1, '20080301')";
  conn->Execute("create table again (id int, v int)");
  conn->Execute(insert);
  EXPECT_EQ(Value("select v from again"), "20080301");
  conn->Execute("drop table again");
  conn->Execute("create table again (id int, v datetime)");
  conn->Execute(insert);
  EXPECT_EQ(Value("select v from again"), "2008-03-01");
}

TEST_P(StoreTypesTest, ATableRecreatedInsideATransactionIsSeen) {
  const std::string insert = "insert into again (id, v) values (1, '20080301')";
  conn->Execute("create table again (id int, v int)");
  conn->BeginTrans();
  conn->Execute(insert);
  conn->Execute("drop table again");
  conn->Execute("create table again (id int, v datetime)");
  conn->Execute(insert);
  conn->CommitTrans();
  EXPECT_EQ(Value("select v from again"), "2008-03-01");
}

// The kept declared types outlive commits; a table another connection made
// again with other types between two batches is still seen.
TEST_P(StoreTypesTest, ATableRecreatedByAnotherConnectionIsSeen) {
  const std::string insert = "insert into again (id, v) values (1, '20080301')";
  conn->Execute("create table again (id int, v int)");
  conn->Execute(insert);
  conn->Execute("delete from again");
  conn->Execute(insert);  // after a commit the kept type serves
  EXPECT_EQ(Value("select v from again"), "20080301");
  {
    ConnectionPtr other = OpenConnection(db.ConnectionString());
    other->Execute("drop table again");
    other->Execute("create table again (id int, v datetime)");
  }
  conn->Execute(insert);
  EXPECT_EQ(Value("select v from again"), "2008-03-01");
}

INSTANTIATE_TEST_SUITE_P(Backends, StoreTypesTest, ::testing::Values(Backend::Embedded, Backend::Odbc),
                         [](const auto& info) { return info.param == Backend::Odbc ? "Odbc" : "Embedded"; });

// A column the connection's catalog knows carries its type in the
// translation (no lookup by name for every stored value); without a catalog
// the type is found when the statement runs.
TEST(StoreTypesTranslation, KnownColumnsCarryTheirTypeInTheText) {
  testing::TempDatabase db;
  const auto conn = SqliteConnection::Connect(db.ConnectionString());
  conn->Execute("create table kt (id int, d decimal(10,2), c nvarchar(5), t datetime)");
  const dialect::SchemaCatalog catalog(conn->Handle());
  const std::string insert = "insert into kt (id, d, c, t) values (1.5, 2.5, 'x', '20080301')";
  const std::string typed = dialect::TranslateBatch(insert, &catalog).at(0).sql.at(0);
  EXPECT_NE(typed.find("tsql_store_as(1.5, 1, 32, 0)"), std::string::npos) << typed;
  EXPECT_NE(typed.find("tsql_store_as(2.5, 2, 10, 2)"), std::string::npos) << typed;
  EXPECT_NE(typed.find("tsql_store_as('x', 9, 5, 0)"), std::string::npos) << typed;
  EXPECT_EQ(typed.find("tsql_store("), std::string::npos) << typed;
  const std::string untyped = dialect::TranslateBatch(insert).at(0).sql.at(0);
  EXPECT_NE(untyped.find("tsql_store(1.5, 'kt', 'id')"), std::string::npos) << untyped;
  // Unknown tables and columns given by position keep the lookup.
  const std::string later = dialect::TranslateBatch("insert into nosuch (a) values (1)", &catalog).at(0).sql.at(0);
  EXPECT_NE(later.find("tsql_store(1, 'nosuch', 'a')"), std::string::npos) << later;
  // A number the conversion would hand on as it is goes in bare.
  const std::string bare =
      dialect::TranslateBatch("insert into kt (id, d) values (12, 2.5)", &catalog).at(0).sql.at(0);
  EXPECT_NE(bare.find("values (12, tsql_store_as(2.5, 2, 10, 2))"), std::string::npos) << bare;
}

}  // namespace
}  // namespace fabrikon
