// Recordsets from the embedded connection: snapshots that survive writes on
// the same connection, ADO field types from declared SQL Server types, the
// identity flag, and values in the form their declared type calls for.
#include <gtest/gtest.h>

#include "TempDatabase.h"
#include "data/SqliteConnection.h"

namespace fabrikon {
namespace {

class SqliteRecordsetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    conn = SqliteConnection::Connect(db.ConnectionString());
    conn->ExecuteNative(
        "CREATE TABLE typed(autoid INTEGER PRIMARY KEY AUTOINCREMENT, i int, s smallint, ti tinyint, b bigint,"
        " bt bit, f float, r real, m money, d decimal(18,4), dt datetime, sdt smalldatetime, c char(10),"
        " nc nchar(5), vc varchar(30), nvc nvarchar(40), tx text, ntx ntext, qxts timestamp);"
        "CREATE TABLE keyed(rowkey INTEGER PRIMARY KEY, code int UNIQUE, name nvarchar(10));");
  }
  // Through the interface: on the class itself a one-argument Open also
  // names the static factory.
  RecordsetPtr Query(const std::string& text) { return static_cast<Connection&>(*conn).Open(text); }

  testing::TempDatabase db;
  std::shared_ptr<SqliteConnection> conn;
};

TEST_F(SqliteRecordsetTest, MetadataQueryReportsAdoTypes) {
  RecordsetPtr rs = Query("SELECT * FROM typed WHERE 1=0");
  EXPECT_TRUE(rs->Eof());
  EXPECT_EQ(rs->RecordCount(), 0);
  const std::vector<std::pair<std::string, int>> expected = {
      {"autoid", 3}, {"i", 3},    {"s", 2},    {"ti", 17},   {"b", 20},   {"bt", 11},  {"f", 5},
      {"r", 4},      {"m", 6},    {"d", 131},  {"dt", 135},  {"sdt", 135}, {"c", 129}, {"nc", 130},
      {"vc", 200},   {"nvc", 202}, {"tx", 201}, {"ntx", 203}, {"qxts", 128}};
  ASSERT_EQ(rs->FieldCount(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(rs->Info(i).name, expected[i].first);
    EXPECT_EQ(rs->Info(i).type, expected[i].second) << expected[i].first;
  }
  EXPECT_EQ(rs->Info(14).definedSize, 30);   // varchar(30)
  EXPECT_EQ(rs->Info(15).definedSize, 40);   // nvarchar(40)
  EXPECT_EQ(rs->Info(12).definedSize, 10);   // char(10)
  EXPECT_EQ(rs->Info(9).precision, 18);      // decimal(18,4)
  EXPECT_EQ(rs->Info(9).numericScale, 4);
}

TEST_F(SqliteRecordsetTest, OnlyAutoincrementColumnsAreIdentities) {
  RecordsetPtr rs = Query("SELECT * FROM typed WHERE 1=0");
  EXPECT_TRUE(rs->Fields("autoid").Properties("ISAUTOINCREMENT").ToBool());
  EXPECT_FALSE(rs->Fields("i").Properties("ISAUTOINCREMENT").ToBool());
  RecordsetPtr keyed = Query("SELECT * FROM keyed WHERE 1=0");
  for (size_t i = 0; i < keyed->FieldCount(); ++i) EXPECT_FALSE(keyed->Info(i).isAutoIncrement) << i;
  // Through a view and an alias the column is still the table's identity.
  conn->ExecuteNative("CREATE VIEW v_typed AS SELECT autoid AS lineid, i + 1 AS next FROM typed;");
  RecordsetPtr view = Query("SELECT * FROM v_typed WHERE 1=0");
  EXPECT_TRUE(view->Info(0).isAutoIncrement);
  EXPECT_FALSE(view->Info(1).isAutoIncrement);
}

TEST_F(SqliteRecordsetTest, ValuesFollowTheDeclaredType) {
  conn->ExecuteNative(
      "INSERT INTO typed(i, bt, f, m, dt, sdt, nvc, qxts) VALUES"
      " (3, 1, 5, 2, '2024-05-06 07:08:09', '2024-05-06 00:00:00', 'abc', 42),"
      " (NULL, 0, 2.5, NULL, 'not a date', NULL, NULL, NULL);");
  RecordsetPtr rs = Query("SELECT * FROM typed ORDER BY autoid");
  ASSERT_EQ(rs->RecordCount(), 2);
  EXPECT_EQ(rs->Fields("autoid").Value(), Variant(1));
  EXPECT_EQ(rs->Fields("i").Value(), Variant(3));
  EXPECT_EQ(rs->Fields("bt").Value(), Variant(true));
  EXPECT_EQ(rs->Fields("f").Value(), Variant(5.0));
  EXPECT_EQ(rs->Fields("m").Value(), Variant(2.0));
  EXPECT_EQ(rs->Fields("dt").Value(), Variant(DateTime{2024, 5, 6, 7, 8, 9}));
  EXPECT_EQ(rs->Fields("sdt").Value(), Variant(DateTime{2024, 5, 6, 0, 0, 0}));
  EXPECT_EQ(rs->Fields("nvc").Value(), Variant("abc"));
  EXPECT_EQ(rs->Fields("qxts").Value(), Variant(42));
  rs->MoveNext();
  EXPECT_TRUE(rs->Fields("i").Value().IsNull());
  EXPECT_TRUE(rs->Fields("m").Value().IsNull());
  EXPECT_EQ(rs->Fields("bt").Value(), Variant(false));
  EXPECT_EQ(rs->Fields("dt").Value(), Variant("not a date"));  // kept, not lost
}

TEST_F(SqliteRecordsetTest, ExpressionsTakeTheirTypeFromTheValues) {
  conn->ExecuteNative("INSERT INTO typed(i, f, nvc) VALUES (1, 1.5, 'x'), (2, 2, 'yy');");
  RecordsetPtr rs = Query(
      "SELECT count(*) AS n, max(f) AS mf, max(nvc) AS mx, NULL AS z, max(i) * 3000000000 AS big FROM typed");
  EXPECT_EQ(rs->Info(0).type, AdoType::Integer);
  EXPECT_EQ(rs->Info(1).type, AdoType::Double);
  EXPECT_EQ(rs->Info(2).type, AdoType::VarChar);
  EXPECT_EQ(rs->Info(3).type, AdoType::VarChar);
  EXPECT_EQ(rs->Info(4).type, AdoType::BigInt);
  EXPECT_EQ(rs->Fields("n").Value(), Variant(2));
  EXPECT_EQ(rs->Fields("mx").Value(), Variant("yy"));
}

// A statement run again (compiled once) still answers with the columns of
// each run: types taken from the values of that result, and the columns a
// table has after another connection altered it.
TEST_F(SqliteRecordsetTest, RepeatedStatementDescribesEachResult) {
  conn->ExecuteNative("CREATE TABLE loose(id INTEGER PRIMARY KEY, v); INSERT INTO loose VALUES (1, 5), (2, 'abc');");
  for (int pass = 0; pass < 2; ++pass) {
    RecordsetPtr number = Query("SELECT v AS x FROM loose WHERE id = 1");
    RecordsetPtr text = Query("SELECT v AS x FROM loose WHERE id = 2");
    EXPECT_EQ(number->Info(0).type, AdoType::Integer);
    EXPECT_EQ(text->Info(0).type, AdoType::VarChar);
    EXPECT_EQ(text->Fields("X").Value(), Variant("abc"));
  }
  EXPECT_EQ(Query("SELECT * FROM keyed WHERE rowkey = 1")->FieldCount(), 3u);
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(db.Path().c_str(), &other), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(other, "ALTER TABLE keyed ADD COLUMN note varchar(8)", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(other);
  RecordsetPtr altered = Query("SELECT * FROM keyed WHERE rowkey = 1");
  ASSERT_EQ(altered->FieldCount(), 4u);
  EXPECT_EQ(altered->Info(3).name, "note");
  EXPECT_EQ(altered->Info(3).type, AdoType::VarChar);
}

// Runs of one statement whose values type its column alike share their
// field list; a run typed otherwise gets its own, and a recordset already
// handed out keeps the types of its own rows.
TEST_F(SqliteRecordsetTest, ValueTypedColumnsFollowEachRunOfAStatement) {
  conn->ExecuteNative(
      "CREATE TABLE loose(id INTEGER PRIMARY KEY, v);"
      "INSERT INTO loose VALUES (1, 'ab'), (2, 'abcd'), (3, 5), (4, 3000000000), (5, 1.5), (6, NULL), (7, '名字');");
  struct Run {
    int id;
    int type;
    long definedSize;
    int precision;
  };
  const std::vector<Run> runs = {{1, AdoType::VarChar, 2, 0},  {1, AdoType::VarChar, 2, 0},
                                 {2, AdoType::VarChar, 4, 0},  {1, AdoType::VarChar, 2, 0},
                                 {3, AdoType::Integer, 4, 10}, {4, AdoType::BigInt, 8, 19},
                                 {3, AdoType::Integer, 4, 10}, {5, AdoType::Double, 8, 15},
                                 {6, AdoType::VarChar, 1, 0},  {7, AdoType::VarChar, 2, 0},
                                 {1, AdoType::VarChar, 2, 0}};
  std::vector<RecordsetPtr> kept;
  for (const Run& run : runs) {
    SCOPED_TRACE("id " + std::to_string(run.id));
    kept.push_back(Query("SELECT v AS x, v + 0 AS y, '' AS editprop FROM loose WHERE id = " + std::to_string(run.id)));
    const FieldInfo& x = kept.back()->Info(0);
    EXPECT_EQ(x.name, "x");
    EXPECT_EQ(x.type, run.type);
    EXPECT_EQ(x.definedSize, run.definedSize);
    EXPECT_EQ(x.precision, run.precision);
    EXPECT_EQ(kept.back()->Info(2).name, "editprop");
  }
  for (size_t i = 0; i < runs.size(); ++i) {
    EXPECT_EQ(kept[i]->Info(0).type, runs[i].type) << "run " << i;
    EXPECT_EQ(kept[i]->Info(0).definedSize, runs[i].definedSize) << "run " << i;
  }
}

TEST_F(SqliteRecordsetTest, SnapshotSurvivesWritesOnTheSameConnection) {
  conn->ExecuteNative("INSERT INTO typed(i) VALUES (1), (2), (3);");
  RecordsetPtr rs = Query("SELECT autoid, i FROM typed ORDER BY autoid");
  long affected = 0;
  conn->Execute("UPDATE typed SET i = i + 10", affected);
  EXPECT_EQ(affected, 3);
  conn->Execute("DELETE FROM typed WHERE i = 12", affected);
  EXPECT_EQ(affected, 1);
  // Nothing pending on the table: even dropping it works.
  conn->Execute("DROP TABLE typed");
  EXPECT_EQ(rs->RecordCount(), 3);
  long sum = 0;
  for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) sum += static_cast<long>(rs->Fields("i").Value().ToInt());
  EXPECT_EQ(sum, 6);
}

TEST_F(SqliteRecordsetTest, BatchOpenReturnsTheFirstResult) {
  conn->ExecuteNative("INSERT INTO typed(i) VALUES (1), (2);");
  RecordsetPtr rs = Query("UPDATE typed SET i = 5 WHERE i = 1 SELECT i FROM typed ORDER BY i DELETE FROM typed");
  ASSERT_EQ(rs->RecordCount(), 2);
  EXPECT_EQ(rs->Fields("i").Value(), Variant(2));
  // The statements after the result ran as well.
  EXPECT_EQ(Query("SELECT count(*) AS n FROM typed")->Fields("n").Value(), Variant(0));
  // A command without a result gives a closed recordset, as ADO does.
  RecordsetPtr closed = Query("UPDATE typed SET i = 1");
  EXPECT_EQ(closed->State(), adStateClosed);
}

// A batch that only reads runs in one read transaction, which it gives up
// when done or failed: another connection's later write is seen, and nothing
// stays pending. A batch that also writes commits as before.
TEST_F(SqliteRecordsetTest, ReadingBatchesSeeLaterWritesAndLeaveNothingPending) {
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(db.Path().c_str(), &other), SQLITE_OK);
  const struct {
    const char* batch;
    bool fails;
  } cases[] = {
      {"SELECT count(*) AS n FROM keyed", false},
      {"SELECT count(*) AS n FROM keyed SELECT name FROM keyed ORDER BY rowkey", false},
      {"IF EXISTS (SELECT 1 FROM keyed) SELECT count(*) AS n FROM keyed", false},
      {"SELECT count(*) AS n FROM keyed SELECT 1 / 0 AS bad", true},
      {"SELECT count(*) AS n FROM keyed SELECT * FROM nowhere", true},
  };
  long rows = 0;
  for (const auto& c : cases) {
    const int32_t error = testing::ErrorNumberOf([&] { Query(c.batch); });
    EXPECT_EQ(error != 0, c.fails) << c.batch;
    ++rows;
    const std::string insert = "INSERT INTO keyed VALUES (" + std::to_string(rows) + ", " + std::to_string(rows) + ", 'x')";
    ASSERT_EQ(sqlite3_exec(other, insert.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << c.batch;
    EXPECT_EQ(Query("SELECT count(*) AS n FROM keyed")->Fields("n").Value(), Variant(static_cast<long long>(rows))) << c.batch;
  }
  RecordsetPtr first = Query("SELECT count(*) AS n FROM keyed INSERT INTO keyed VALUES (99, 99, 'w')");
  EXPECT_EQ(first->Fields("n").Value(), Variant(static_cast<long long>(rows)));
  sqlite3_stmt* count = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(other, "SELECT count(*) FROM keyed", -1, &count, nullptr), SQLITE_OK);
  ASSERT_EQ(sqlite3_step(count), SQLITE_ROW);
  EXPECT_EQ(sqlite3_column_int64(count, 0), rows + 1);  // committed
  sqlite3_finalize(count);
  sqlite3_close(other);
  conn->Execute("DROP TABLE keyed");
}

}  // namespace
}  // namespace fabrikon
