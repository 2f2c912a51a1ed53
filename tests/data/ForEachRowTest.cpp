// Reading a result row by row (Connection::ForEachRow): the embedded
// connection steps its statement without keeping the rows, a wrapped one
// reads them through Open. Both must hand on exactly what Open answers: the
// column names (computed ones SQL Server leaves unnamed as ""), every value
// in the form its declared type calls for, and the first result of a batch;
// a sink that raises ends the read and leaves nothing pending.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "TempDatabase.h"
#include "data/SqliteConnection.h"
#include "fabrikon/TraceConnection.h"

namespace fabrikon {
namespace {

// What a sink was given: the names once, then each row; raises at row
// `failAt` (1-based) when set.
struct CollectingSink : RowSink {
  void Columns(const std::vector<std::string>& given) override {
    ++columnCalls;
    names = given;
  }
  void Row(const std::vector<Variant>& values) override {
    if (static_cast<int>(rows.size()) + 1 == failAt) throw std::runtime_error("the sink gives up");
    rows.push_back(values);
  }
  int failAt = 0;
  int columnCalls = 0;
  std::vector<std::string> names;
  std::vector<std::vector<Variant>> rows;
};

// The same result as Open gives it.
CollectingSink ThroughOpen(Connection& conn, const std::string& text) {
  CollectingSink seen;
  RecordsetPtr rs = conn.Open(text);
  if (rs->State() != adStateOpen) return seen;
  seen.columnCalls = 1;
  for (size_t i = 0; i < rs->FieldCount(); ++i) seen.names.push_back(rs->Info(i).name);
  for (; !rs->Eof(); rs->MoveNext()) {
    std::vector<Variant> row;
    for (size_t i = 0; i < rs->FieldCount(); ++i) row.push_back(rs->Fields(i).Value());
    seen.rows.push_back(row);
  }
  return seen;
}

class ForEachRowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sqlite = SqliteConnection::Connect(db.ConnectionString());
    sqlite->ExecuteNative(
        "CREATE TABLE typed(id INTEGER PRIMARY KEY, bt bit, f float, m money, dt datetime, nvc nvarchar(20));"
        "INSERT INTO typed VALUES (1, 1, 5, 2, '2024-05-06 07:08:09', 'abc'),"
        " (2, 0, 2.5, NULL, 'not a date', NULL), (3, NULL, NULL, 7.25, NULL, 'x''y');");
    traced = std::make_shared<TraceConnection>(sqlite, [this](const std::string& sql, long, double) {
      traces.push_back(sql);
    });
  }

  testing::TempDatabase db;
  std::shared_ptr<SqliteConnection> sqlite;
  ConnectionPtr traced;
  std::vector<std::string> traces;
};

TEST_F(ForEachRowTest, HandsOnWhatOpenAnswers) {
  const char* const kBatches[] = {
      "SELECT * FROM typed ORDER BY id",
      "SELECT id, f * 2, isnull(m, 0) AS m, nvc + '!' FROM typed ORDER BY id DESC",  // computed, unnamed
      "SELECT * FROM typed WHERE 1 = 0",                                              // no row: names only
      "UPDATE typed SET f = 1 WHERE id = 3 SELECT id, f FROM typed ORDER BY id SELECT 1 AS later",
      "UPDATE typed SET f = 2 WHERE id = 3",  // no result: nothing
  };
  for (const char* batch : kBatches) {
    for (Connection* conn : {static_cast<Connection*>(sqlite.get()), traced.get()}) {
      const CollectingSink expected = ThroughOpen(*conn, batch);
      CollectingSink seen;
      conn->ForEachRow(batch, seen);
      EXPECT_EQ(seen.columnCalls, expected.columnCalls) << batch;
      EXPECT_EQ(seen.names, expected.names) << batch;
      EXPECT_EQ(seen.rows, expected.rows) << batch;
    }
  }
  EXPECT_EQ(ThroughOpen(*sqlite, kBatches[1]).names[1], "");
  EXPECT_EQ(ThroughOpen(*sqlite, kBatches[0]).rows.size(), 3u);
}

// The wrapped connection reads through its Open: the trace shows the batch as it would for Open.
TEST_F(ForEachRowTest, AWrappedConnectionTracesTheBatchOnce) {
  CollectingSink seen;
  traced->ForEachRow("SELECT id FROM typed", seen);
  ASSERT_EQ(traces.size(), 1u);
  EXPECT_EQ(traces[0], "SELECT id FROM typed");
  EXPECT_EQ(seen.rows.size(), 3u);
}

TEST_F(ForEachRowTest, ASinkThatRaisesEndsTheReadAndLeavesNothingPending) {
  for (Connection* conn : {static_cast<Connection*>(sqlite.get()), traced.get()}) {
    CollectingSink seen;
    seen.failAt = 2;
    EXPECT_THROW(conn->ForEachRow("SELECT id FROM typed ORDER BY id", seen), std::runtime_error);
    ASSERT_EQ(seen.rows.size(), 1u);
    EXPECT_EQ(seen.rows[0][0], Variant(1));
  }
  // Nothing pending on the table: writing and even dropping it works.
  long affected = 0;
  sqlite->Execute("UPDATE typed SET f = 0", affected);
  EXPECT_EQ(affected, 3);
  sqlite->Execute("DROP TABLE typed");
}

TEST_F(ForEachRowTest, ErrorsAreOpensErrors) {
  for (const char* batch : {"SELECT nothere FROM typed", "SELECT id FROM missing", ""}) {
    int expected = 0;
    try {
      static_cast<Connection&>(*sqlite).Open(batch);
    } catch (const ComError& e) {
      expected = e.Number();
    }
    ASSERT_NE(expected, 0) << batch;
    CollectingSink seen;
    try {
      sqlite->ForEachRow(batch, seen);
      ADD_FAILURE() << batch << " did not raise";
    } catch (const ComError& e) {
      EXPECT_EQ(e.Number(), expected) << batch;
    }
    EXPECT_TRUE(seen.rows.empty());
  }
}

}  // namespace
}  // namespace fabrikon
