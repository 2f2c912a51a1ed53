// The read transaction a run of reads holds (ReadSnapshot): the connection
// stays outside any transaction, the reads see one state of the file until
// the scope ends or releases it, a write after Release is not refused for an
// old snapshot, and inside a transaction or on a wrapped connection it
// behaves the same.
#include <gtest/gtest.h>

#include "TempDatabase.h"
#include "data/ReadSnapshot.h"
#include "data/SqliteConnection.h"
#include "fabrikon/ComError.h"
#include "fabrikon/TraceConnection.h"

namespace fabrikon {
namespace {

long CountRows(Connection& conn) {
  return static_cast<long>(conn.Open("SELECT count(*) AS n FROM log")->Fields(0).Value().ToInt());
}

class ReadSnapshotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    conn = SqliteConnection::Connect(db.ConnectionString());
    conn->ExecuteNative("CREATE TABLE log(id int, note nvarchar(20));");
    other = SqliteConnection::Connect(db.ConnectionString(";Busy Timeout=50"));
  }
  void OtherWrites(int id) { other->Execute("INSERT INTO log(id,note) VALUES (" + std::to_string(id) + ",'x')"); }

  testing::TempDatabase db;
  std::shared_ptr<SqliteConnection> conn;
  std::shared_ptr<SqliteConnection> other;
};

TEST_F(ReadSnapshotTest, ReadsSeeOneStateUntilTheScopeEnds) {
  // Bare and behind a trace: the same connection underneath.
  std::vector<std::string> traced;
  const ConnectionPtr wrapped = std::make_shared<TraceConnection>(
      conn, [&](const std::string& sql, long, double) { traced.push_back(sql); });
  for (const ConnectionPtr& through : {ConnectionPtr(conn), wrapped}) {
    const long before = CountRows(*conn);
    {
      ReadSnapshot snapshot(through);
      EXPECT_FALSE(conn->InTransaction());
      EXPECT_EQ(CountRows(*through), before);
      OtherWrites(1);
      EXPECT_EQ(CountRows(*through), before);  // the other writer's row comes later
      EXPECT_EQ(CountRows(*other), before + 1);
    }
    EXPECT_FALSE(conn->InTransaction());
    EXPECT_EQ(CountRows(*through), before + 1);
  }
  EXPECT_EQ(traced.size(), 3u);  // the snapshot itself sends nothing
}

TEST_F(ReadSnapshotTest, WriteAfterReleaseSeesTheOtherWritersRows) {
  ReadSnapshot snapshot(conn);
  EXPECT_EQ(CountRows(*conn), 0);
  OtherWrites(1);
  snapshot.Release();
  conn->Execute("INSERT INTO log(id,note) VALUES (2,'own')");  // not refused for the old snapshot
  snapshot.Hold();
  EXPECT_EQ(CountRows(*conn), 2);
  OtherWrites(3);
  EXPECT_EQ(CountRows(*conn), 2);
  snapshot.Release();
  EXPECT_EQ(CountRows(*conn), 3);
}

TEST_F(ReadSnapshotTest, OwnWritesAndTransactionsAreUnchanged) {
  {
    ReadSnapshot snapshot(conn);
    EXPECT_EQ(CountRows(*conn), 0);
    conn->Execute("INSERT INTO log(id,note) VALUES (1,'own')");  // nobody wrote in between
    EXPECT_EQ(CountRows(*conn), 1);
  }
  EXPECT_EQ(CountRows(*other), 1);

  conn->BeginTrans();
  {
    ReadSnapshot snapshot(conn);  // the transaction holds its locks already
    conn->Execute("INSERT INTO log(id,note) VALUES (2,'own')");
    EXPECT_EQ(CountRows(*conn), 2);
  }
  EXPECT_TRUE(conn->InTransaction());
  conn->RollbackTrans();
  EXPECT_EQ(CountRows(*conn), 1);
}

// Under a held snapshot the schema is read once; whatever this connection
// changes meanwhile (a new table, a transaction rolled back or committed)
// must still be seen. An int column compared with '1.5' fails to convert it;
// a text column compares it as text. (A pending read refuses DROP TABLE, so
// the old table is renamed away, natively.)
TEST_F(ReadSnapshotTest, OwnSchemaChangesInsideTheSnapshotAreSeen) {
  const auto matches = [](const ConnectionPtr& through) {
    return through->Open("SELECT count(*) AS n FROM kinds WHERE v = '1.5'")->Fields(0).Value().ToInt();
  };
  const ConnectionPtr wrapped = std::make_shared<TraceConnection>(conn, [](const std::string&, long, double) {});
  for (const ConnectionPtr& through : {ConnectionPtr(conn), wrapped}) {
    conn->ExecuteNative("DROP TABLE IF EXISTS kinds; DROP TABLE IF EXISTS gone1; DROP TABLE IF EXISTS gone2;"
                        "CREATE TABLE kinds(v int); INSERT INTO kinds VALUES (1);");
    ReadSnapshot snapshot(through);
    EXPECT_THROW(matches(through), ComError);  // an int column
    conn->ExecuteNative("ALTER TABLE kinds RENAME TO gone1;");
    through->Execute("CREATE TABLE kinds(v nvarchar(10)) INSERT INTO kinds VALUES ('1.5')");
    EXPECT_EQ(matches(through), 1);
    through->BeginTrans();
    conn->ExecuteNative("ALTER TABLE kinds RENAME TO gone2;");
    through->Execute("CREATE TABLE kinds(v int) INSERT INTO kinds VALUES (2)");
    EXPECT_THROW(matches(through), ComError);
    through->RollbackTrans();  // the text column again
    EXPECT_EQ(matches(through), 1);
    through->BeginTrans();
    conn->ExecuteNative("ALTER TABLE kinds RENAME TO gone2;");
    through->Execute("CREATE TABLE kinds(v int) INSERT INTO kinds VALUES (3)");
    through->CommitTrans();
    EXPECT_THROW(matches(through), ComError);
    EXPECT_FALSE(conn->InTransaction());
  }
}

TEST_F(ReadSnapshotTest, NothingToHoldOnAnEmptyOrReadOnlyConnection) {
  ReadSnapshot none(nullptr);
  none.Release();
  none.Hold();
  auto reader = SqliteConnection::Connect(db.ConnectionString(";Mode=Read"));
  ReadSnapshot snapshot(reader);
  OtherWrites(1);
  EXPECT_EQ(CountRows(*reader), 1);  // a read-only connection locks for itself
}

}  // namespace
}  // namespace fabrikon
