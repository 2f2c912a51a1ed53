// The PostgreSQL server stopped at once (as a crash would, pg_ctl -m
// immediate) and started again between two operations: the next call on a
// connection opened before fails with a ComError that says the connection
// was lost, a new connection works, and nothing of an open transaction
// stays. The test restarts a cluster of its own (tests/pg/cluster.sh), so the
// tests on the shared cluster go on undisturbed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "OutsourcingOrders.h"
#include "fabrikon/ComError.h"
#include "support/DemoDatabase.h"
#include "support/PgServer.h"

namespace fabrikon::testsupport {
namespace {

// A cluster of the test's own, stopped and removed at the end.
class OwnCluster {
 public:
  OwnCluster() : state_(TempPath("cluster")) {
    std::filesystem::create_directories(state_);
    ok_ = Script("start");
    std::ifstream file(state_ + "/pg/socket-dir");
    std::getline(file, socketDir_);
  }
  ~OwnCluster() {
    Script("stop");
    std::error_code ignored;
    std::filesystem::remove_all(state_, ignored);
  }
  OwnCluster(const OwnCluster&) = delete;
  OwnCluster& operator=(const OwnCluster&) = delete;

  bool Started() const { return ok_ && !socketDir_.empty(); }
  std::string Uri(const std::string& database) const {
    return "postgresql:///" + database + "?host=" + socketDir_ + "&user=postgres";
  }
  // Stops the server at once and starts it again on the same data and socket.
  bool Restart() { return Script("restart"); }

 private:
  bool Script(const std::string& action) {
    const std::string command =
        std::string("'" FABRIKON_SOURCE_DIR "/tests/pg/cluster.sh' ") + action + " '" + state_ + "' >/dev/null";
    return std::system(command.c_str()) == 0;
  }

  std::string state_;
  std::string socketDir_;
  bool ok_ = false;
};

std::string Count(const ConnectionPtr& conn, const std::string& sql) {
  RecordsetPtr rs = conn->Open(sql, adOpenStatic, adLockReadOnly);
  return rs->Fields(size_t{0}).Value().ToText();
}

TEST(PgServerRestart, TheNextCallOnAnOldConnectionFailsClearlyAndANewOneWorks) {
  OwnCluster cluster;
  ASSERT_TRUE(cluster.Started());
  ASSERT_EQ(PgRun(cluster.Uri("postgres"), "CREATE DATABASE restarted"), "");
  const std::string uri = CreateHostDatabase(cluster.Uri("restarted"), true, true);

  // The first operation: a saved order.
  ConnectionPtr old = OpenConnection(uri);
  clsVoucherCO co;
  co.Init(OperatorLogin("first"), old, "om01");
  Variant saved;
  ASSERT_EQ(co.VoucherSave2(NewOrderForm(kDemoProducts), 2, saved), "");
  // A second connection is inside a transaction when the server goes.
  ConnectionPtr writing = OpenConnection(WithApplicationName(uri, "writing"));
  writing->BeginTrans();
  writing->Execute("insert into om_productpo(id,ccode,ddate) values (9990,'RESTART1','2024-03-10')");

  ASSERT_TRUE(cluster.Restart());

  // The next calls on the old connections fail with the reason, without a crash.
  try {
    Count(old, "select count(*) from om_productpo");
    ADD_FAILURE() << "a query on a connection the server dropped answered";
  } catch (const ComError& e) {
    EXPECT_EQ(e.Number(), ErrorNumber::E_FAIL_);
    EXPECT_EQ(e.Description().rfind("The connection to the PostgreSQL server was lost: ", 0), 0u) << e.Description();
  }
  EXPECT_THROW(writing->CommitTrans(), ComError);
  EXPECT_FALSE(writing->InTransaction());
  const std::string answer = co.VoucherSave2(NewOrderForm(kDemoProducts), 2);
  EXPECT_EQ(answer.rfind("保存失败！\r错误原因：", 0), 0u) << answer;
  EXPECT_NE(answer.find("connection"), std::string::npos) << answer;

  // A new connection works and finds the first order whole and nothing of the open transaction.
  ConnectionPtr fresh = OpenConnection(uri);
  EXPECT_EQ(Count(fresh, "select count(*) from om_productpo where id=9990"), "0");
  EXPECT_EQ(Count(fresh, "select count(*) from om_pomain where id=" + saved.ToText()),
            std::to_string(kDemoProducts.size()));
  EXPECT_EQ(Count(fresh, "select count(*) from om_podetails d join om_pomain l on l.mainid=d.mainid where l.id=" +
                             saved.ToText()),
            std::to_string(kDemoMaterials));
  const std::string orders = Count(fresh, "select count(*) from om_productpo");
  clsVoucherCO again;
  again.Init(OperatorLogin("second"), fresh, "om01");
  Variant next;
  EXPECT_EQ(again.VoucherSave2(NewOrderForm(kDemoProducts), 2, next), "");
  EXPECT_EQ(Count(fresh, "select count(*) from om_productpo"), std::to_string(std::stoi(orders) + 1));
  EXPECT_EQ(Count(fresh, "select count(*) from om_podetails d join om_pomain l on l.mainid=d.mainid where l.id=" +
                             next.ToText()),
            std::to_string(kDemoMaterials));
  old.reset();
  writing.reset();
  fresh.reset();
}

}  // namespace
}  // namespace fabrikon::testsupport
