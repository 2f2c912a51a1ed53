// The trace decorator of a connection: every batch reported once, after it
// ran, with the count the caller gets (-1 for rows and for failures, which
// are raised again unchanged); everything else reaches the inner connection.
#include <gtest/gtest.h>

#include <memory>

#include "TempDatabase.h"
#include "data/SqliteConnection.h"
#include "fabrikon/TraceConnection.h"
#include "support/RecordingConnection.h"

namespace fabrikon {
namespace {

using testing::ErrorNumberOf;

struct Batch {
  std::string sql;
  long count;
  double milliseconds;
};

class TraceConnectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto sqlite = SqliteConnection::Connect(db.ConnectionString());
    sqlite->ExecuteNative("CREATE TABLE parts(id int PRIMARY KEY, code nvarchar(20), qty float);");
    inner = std::make_shared<testsupport::RecordingConnection>(sqlite);
    traced = std::make_shared<TraceConnection>(inner, [this](const std::string& sql, long count, double ms) {
      batches.push_back({sql, count, ms});
    });
  }

  testing::TempDatabase db;
  std::shared_ptr<testsupport::RecordingConnection> inner;
  ConnectionPtr traced;
  std::vector<Batch> batches;
};

TEST_F(TraceConnectionTest, ReportsEveryBatchWithTheCountTheCallerGets) {
  struct Case {
    std::function<void(Connection&)> run;
    std::string sql;
    long count;
  };
  const std::vector<Case> cases = {
      {[](Connection& c) { c.Execute("INSERT INTO parts VALUES (1,'A',1)"); }, "INSERT INTO parts VALUES (1,'A',1)", 1},
      {[](Connection& c) { c.Execute("INSERT INTO parts VALUES (2,'B',2)"); }, "INSERT INTO parts VALUES (2,'B',2)", 1},
      {[](Connection& c) { c.Execute("UPDATE parts SET qty=qty+1"); }, "UPDATE parts SET qty=qty+1", 2},
      {[](Connection& c) { c.Open("SELECT code FROM parts"); }, "SELECT code FROM parts", -1},
      {[](Connection& c) { c.ExecuteEach("IF 1=0 SELECT 1; DELETE FROM parts WHERE id=2"); },
       "IF 1=0 SELECT 1; DELETE FROM parts WHERE id=2", 1},
      {[](Connection& c) { c.ExecuteEach("CREATE TABLE t(x int)"); }, "CREATE TABLE t(x int)", -1},
  };
  for (const Case& c : cases) {
    batches.clear();
    c.run(*traced);
    ASSERT_EQ(batches.size(), 1u) << c.sql;
    EXPECT_EQ(batches[0].sql, c.sql);
    EXPECT_EQ(batches[0].count, c.count) << c.sql;
    EXPECT_GE(batches[0].milliseconds, 0.0) << c.sql;
  }
  EXPECT_EQ(inner->texts.size(), cases.size());
}

TEST_F(TraceConnectionTest, ReportsAFailureWithoutCountAndRaisesItUnchanged) {
  const int32_t direct = ErrorNumberOf([&] { static_cast<Connection&>(*inner).Open("SELECT nothing FROM nowhere"); });
  ASSERT_NE(direct, 0);
  for (const std::function<void()>& failing : std::vector<std::function<void()>>{
           [&] { traced->Open("SELECT nothing FROM nowhere"); },
           [&] { traced->Execute("SELECT nothing FROM nowhere"); },
           [&] { traced->ExecuteEach("SELECT nothing FROM nowhere"); }}) {
    batches.clear();
    EXPECT_EQ(ErrorNumberOf(failing), direct);
    ASSERT_EQ(batches.size(), 1u);
    EXPECT_EQ(batches[0].sql, "SELECT nothing FROM nowhere");
    EXPECT_EQ(batches[0].count, -1);
  }
}

TEST_F(TraceConnectionTest, ForwardsTransactionsAndTheSessionSuffix) {
  inner->sessionSuffix = "_42";
  EXPECT_EQ(traced->SessionTableSuffix(), "_42");
  EXPECT_EQ(traced->ConnectionString(), inner->ConnectionString());
  traced->BeginTrans();
  EXPECT_TRUE(inner->InTransaction());
  traced->Execute("INSERT INTO parts VALUES (3,'C',3)");
  traced->RollbackTrans();
  EXPECT_FALSE(traced->InTransaction());
  EXPECT_TRUE(traced->Open("SELECT id FROM parts WHERE id=3")->Eof());
}

TEST_F(TraceConnectionTest, WithoutCallbackReportsNothingAndNeedsAConnection) {
  TraceConnection quiet(inner, nullptr);
  quiet.Execute("INSERT INTO parts VALUES (4,'D',4)");
  EXPECT_EQ(inner->texts.size(), 1u);
  EXPECT_EQ(ErrorNumberOf([] { TraceConnection(nullptr, nullptr); }), ErrorNumber::ObjectNotSet);
}

}  // namespace
}  // namespace fabrikon
