// Several processes on one database file: two writers saving orders (a head
// keyed MAX + 1 and its lines, in one transaction, as the engine saves) lose
// nothing, duplicate nothing and never show a busy error; a writer killed in
// the middle of its saves leaves a sound file in which every order is wholly
// present or wholly absent.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "TempDatabase.h"
#include "data/SqliteConnection.h"

namespace fabrikon {
namespace {

constexpr int kLinesPerOrder = 3;

void SaveOrder(Connection& conn, const std::string& who) {
  conn.BeginTrans();
  conn.Execute("insert into orders (id, who) select isnull(max(id), 0) + 1, '" + who + "' from orders");
  for (int n = 1; n <= kLinesPerOrder; ++n)
    conn.Execute("insert into lines (orderid, n) select max(id), " + std::to_string(n) + " from orders");
  conn.CommitTrans();
}

// Runs saves in a child process; after each commit it writes one byte to
// progress. Exit status 0 when every save succeeded.
pid_t StartWriter(const std::string& connectionString, const std::string& who, int saves, int progress) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  int status = 0;
  try {
    ConnectionPtr conn = SqliteConnection::Connect(connectionString);
    for (int i = 0; i < saves; ++i) {
      SaveOrder(*conn, who);
      if (progress >= 0 && write(progress, "+", 1) != 1) status = 3;
    }
  } catch (const ComError&) {
    status = 2;
  }
  _exit(status);
}

std::string Value(Connection& conn, const std::string& sql) { return conn.Open(sql)->Fields(0).Value().ToText(); }

std::string IntegrityCheck(const std::string& path) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &statement, nullptr);
  std::string result = sqlite3_step(statement) == SQLITE_ROW
                           ? reinterpret_cast<const char*>(sqlite3_column_text(statement, 0))
                           : sqlite3_errmsg(db);
  sqlite3_finalize(statement);
  sqlite3_close(db);
  return result;
}

class MultiProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SqliteConnection::Connect(db.ConnectionString())
        ->ExecuteNative("CREATE TABLE orders (id int PRIMARY KEY, who nvarchar(10));"
                        "CREATE TABLE lines (orderid int REFERENCES orders(id), n int, PRIMARY KEY (orderid, n));");
  }
  // Orders whose line count is not kLinesPerOrder (half-written saves).
  std::string PartialOrders(Connection& conn) {
    return Value(conn, "select count(*) from orders o where (select count(*) from lines l where l.orderid = o.id) <> " +
                           std::to_string(kLinesPerOrder));
  }
  testing::TempDatabase db;
};

TEST_F(MultiProcessTest, TwoWritersLoseAndDuplicateNothing) {
  constexpr int kSaves = 40;
  const std::string cs = db.ConnectionString();  // the default busy timeout
  const pid_t a = StartWriter(cs, "a", kSaves, -1);
  const pid_t b = StartWriter(cs, "b", kSaves, -1);
  for (pid_t pid : {a, b}) {
    int status = -1;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a writer saw an error, status " << status;
  }
  ConnectionPtr conn = SqliteConnection::Connect(db.ConnectionString());
  EXPECT_EQ(Value(*conn, "select count(*) from orders"), std::to_string(2 * kSaves));
  EXPECT_EQ(Value(*conn, "select count(distinct id) from orders"), std::to_string(2 * kSaves));
  EXPECT_EQ(Value(*conn, "select count(*) from orders where who = 'a'"), std::to_string(kSaves));
  EXPECT_EQ(PartialOrders(*conn), "0");
}

TEST_F(MultiProcessTest, WriterKilledMidSaveLeavesWholeOrdersOnly) {
  const std::string cs = db.ConnectionString();
  for (int round = 1; round <= 6; ++round) {
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const pid_t pid = StartWriter(cs, "k", 1000, pipeEnds[1]);
    close(pipeEnds[1]);
    // Let it commit a few orders (a different number each round), then kill
    // it wherever it is in the next one.
    char byte = 0;
    for (int committed = 0; committed < round * 3; ++committed) ASSERT_EQ(read(pipeEnds[0], &byte, 1), 1);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    close(pipeEnds[0]);
    EXPECT_EQ(IntegrityCheck(db.Path()), "ok") << "round " << round;
    ConnectionPtr conn = SqliteConnection::Connect(cs);
    EXPECT_EQ(PartialOrders(*conn), "0") << "round " << round;
    EXPECT_EQ(Value(*conn, "select count(*) from orders"), Value(*conn, "select max(id) from orders"));
  }
}

}  // namespace
}  // namespace fabrikon
