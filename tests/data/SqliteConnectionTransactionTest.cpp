// Transactions, two connections on one file, the open-connection registry
// and connection strings of the embedded backend.
#include <gtest/gtest.h>

#include "TempDatabase.h"
#include "data/SqliteConnection.h"

namespace fabrikon {
namespace {

using testing::ErrorNumberOf;

long CountRows(Connection& conn) {
  return static_cast<long>(conn.Open("SELECT count(*) AS n FROM log")->Fields(0).Value().ToInt());
}

class SqliteTransactionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    conn = SqliteConnection::Connect(db.ConnectionString());
    conn->ExecuteNative("CREATE TABLE log(id int, note nvarchar(20));");
  }
  testing::TempDatabase db;
  std::shared_ptr<SqliteConnection> conn;
};

TEST_F(SqliteTransactionTest, RollbackAndCommitWithoutTransactionRaise) {
  EXPECT_FALSE(conn->InTransaction());
  EXPECT_EQ(ErrorNumberOf([&] { conn->RollbackTrans(); }), ErrorNumber::NoTransaction);
  EXPECT_EQ(ErrorNumberOf([&] { conn->CommitTrans(); }), ErrorNumber::NoTransaction);
}

TEST_F(SqliteTransactionTest, RollbackUndoesAndCommitKeeps) {
  conn->BeginTrans();
  EXPECT_TRUE(conn->InTransaction());
  conn->Execute("INSERT INTO log(id,note) VALUES (1,'undone')");
  conn->RollbackTrans();
  EXPECT_FALSE(conn->InTransaction());
  EXPECT_EQ(CountRows(*conn), 0);

  conn->BeginTrans();
  conn->Execute("INSERT INTO log(id,note) VALUES (2,'kept')");
  conn->CommitTrans();
  auto other = SqliteConnection::Connect(db.ConnectionString(";Busy Timeout=50"));
  EXPECT_EQ(CountRows(*other), 1);
  // After the engine rolled back by itself, a second rollback raises.
  conn->BeginTrans();
  conn->RollbackTrans();
  EXPECT_EQ(ErrorNumberOf([&] { conn->RollbackTrans(); }), ErrorNumber::NoTransaction);
}

TEST_F(SqliteTransactionTest, SecondWriterTimesOutWhileFirstHoldsTransaction) {
  auto other = SqliteConnection::Connect(db.ConnectionString(";Busy Timeout=50"));
  conn->BeginTrans();
  conn->Execute("INSERT INTO log(id,note) VALUES (1,'pending')");
  EXPECT_EQ(ErrorNumberOf([&] { other->Execute("INSERT INTO log(id,note) VALUES (2,'late')"); }),
            ErrorNumber::Timeout);
  EXPECT_EQ(ErrorNumberOf([&] { other->BeginTrans(); }), ErrorNumber::Timeout);
  EXPECT_FALSE(other->InTransaction());
  // Readers go on under WAL and see the last committed state.
  EXPECT_EQ(CountRows(*other), 0);
  conn->CommitTrans();
  other->Execute("INSERT INTO log(id,note) VALUES (2,'now')");
  EXPECT_EQ(CountRows(*conn), 2);
}

TEST_F(SqliteTransactionTest, NestedBeginTransRaises) {
  conn->BeginTrans();
  EXPECT_NE(ErrorNumberOf([&] { conn->BeginTrans(); }), 0);
  EXPECT_TRUE(conn->InTransaction());
  conn->RollbackTrans();
}

TEST(OpenConnectionTest, RegistryFindsTheCallersConnection) {
  testing::TempDatabase db;
  const std::string text = db.ConnectionString();
  EXPECT_EQ(FindOpenConnection(text), nullptr);
  ConnectionPtr first = OpenConnection(text);
  EXPECT_EQ(FindOpenConnection(text), first);
  EXPECT_EQ(FindOpenConnection(text + ";"), nullptr);  // exactly the same text only
  ConnectionPtr second = OpenConnection(text);
  EXPECT_EQ(FindOpenConnection(text), first);
  // The one holding a transaction is the one whose work must be shared.
  second->BeginTrans();
  EXPECT_EQ(FindOpenConnection(text), second);
  second->RollbackTrans();
  second.reset();
  first.reset();
  EXPECT_EQ(FindOpenConnection(text), nullptr);
}

TEST(OpenConnectionTest, BareFileNameOpensTheEmbeddedDatabase) {
  testing::TempDatabase db;
  ConnectionPtr conn = OpenConnection(db.Path());
  EXPECT_EQ(conn->ConnectionString(), db.Path());
  EXPECT_EQ(conn->Open("SELECT 1 AS one")->Fields("one").Value().ToInt(), 1);
  EXPECT_EQ(ErrorNumberOf([] { OpenConnection("Driver={X};Server=db1;Database=plant"); }), ErrorNumber::E_FAIL_);
  EXPECT_EQ(ErrorNumberOf([&] { OpenConnection(db.ConnectionString(";Busy Timeout=soon")); }), ErrorNumber::E_FAIL_);
}

TEST(ConnectionStringValueTest, ReadsKeysWithoutRegardToCase) {
  const std::string text = "Data Source = plant.db ; busy timeout=50;Extra=\"a;b\"\"c\";Empty=";
  EXPECT_EQ(ConnectionStringValue(text, "Data Source"), "plant.db");
  EXPECT_EQ(ConnectionStringValue(text, "DATA SOURCE"), "plant.db");
  EXPECT_EQ(ConnectionStringValue(text, "Busy Timeout"), "50");
  EXPECT_EQ(ConnectionStringValue(text, "extra"), "a;b\"c");
  EXPECT_EQ(ConnectionStringValue(text, "Empty"), "");
  EXPECT_EQ(ConnectionStringValue(text, "Missing"), "");
  EXPECT_EQ(ConnectionStringValue("plant.db", "Data Source"), "");
}

}  // namespace
}  // namespace fabrikon
