// Several client processes on one PostgreSQL database at once: renumbering
// saves of outsourcing orders under a taken code, two state changes of one
// loaded order, an edit against a delete, and a client killed in the middle
// of a large save. Clients start together (ClientProcesses); every wait has
// a deadline, and a client still running at the end is killed.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

#include "ClientProcesses.h"
#include "OutsourcingOrders.h"
#include "support/DemoDatabase.h"
#include "support/NativeSql.h"
#include "support/PgServer.h"

namespace fabrikon::testsupport {
namespace {

using Clock = ClientProcesses::Clock;
using std::chrono::seconds;

constexpr const char* kChangedSave = "保存失败，可能该单据已被其它用户修改或删除！\\r";

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::stringstream stream(text);
  for (std::string part; std::getline(stream, part, separator);) parts.push_back(part);
  if (!text.empty() && text.back() == separator) parts.push_back("");
  return parts;
}

class PgConcurrency : public ::testing::Test {
 protected:
  // A client of `role` on the test's database, operator client<user>.
  void StartClient(ClientProcesses& set, const std::string& role, const std::string& arg, const std::string& user) {
    set.Start({{"FABRIKON_PG_CLIENT_ROLE", role},
               {"FABRIKON_PG_CLIENT_URI", db.Path()},
               {"FABRIKON_PG_CLIENT_ARG", arg},
               {"FABRIKON_PG_CLIENT_USER", user}});
  }
  // Starts the clients together and waits for all of them to end.
  static void RunClients(ClientProcesses& set, seconds limit) {
    const Clock::time_point deadline = Clock::now() + limit;
    ASSERT_TRUE(set.AwaitReady(deadline)) << Report(set);
    set.Release();
    EXPECT_TRUE(set.Collect(deadline)) << "clients still running at the deadline";
    EXPECT_TRUE(set.Wait(deadline));
    for (size_t i = 0; i < set.Size(); ++i) {
      EXPECT_TRUE(WIFEXITED(set.Status(i)) && WEXITSTATUS(set.Status(i)) == 0) << "client " << i;
    }
  }
  // Client i's answers of `kind` (the lines after "ready"); any other line fails the test.
  static std::vector<std::string> Answers(const ClientProcesses& set, size_t i, const std::string& kind) {
    std::vector<std::string> answers;
    for (const std::string& line : set.Lines(i)) {
      if (line == "ready") continue;
      if (line.rfind(kind + " ", 0) == 0) answers.push_back(line.substr(kind.size() + 1));
      else ADD_FAILURE() << "client " << i << ": " << line;
    }
    return answers;
  }
  static std::string Report(const ClientProcesses& set) {
    std::string text;
    for (size_t i = 0; i < set.Size(); ++i) {
      for (const std::string& line : set.Lines(i)) text += "client " + std::to_string(i) + ": " + line + "\n";
    }
    return text;
  }
  std::string Value(const std::string& sql) { return PgValue(db.Path(), sql); }

  DemoDatabase db;
};

// --- Renumbering saves -------------------------------------------------------------------

TEST_F(PgConcurrency, EightClientsSavingUnderATakenCodeStoreEveryOrderWhole) {
  constexpr int kClients = 8, kSaves = 25;
  const int ordersBefore = std::stoi(Value("SELECT count(*) FROM om_productpo"));
  ClientProcesses clients;
  for (int i = 0; i < kClients; ++i) StartClient(clients, "save", "", std::to_string(i));
  RunClients(clients, seconds(240));

  std::set<std::string> ids, codes;
  int failed = 0;
  for (size_t i = 0; i < clients.Size(); ++i) {
    const std::vector<std::string> saves = Answers(clients, i, "save");
    EXPECT_EQ(saves.size(), size_t{kSaves}) << "client " << i;
    for (const std::string& save : saves) {
      const std::vector<std::string> parts = Split(save, '\t');
      ASSERT_EQ(parts.size(), 3u) << save;
      if (!parts[0].empty()) {
        ++failed;
        ADD_FAILURE() << "client " << i << ": " << parts[0];
        continue;
      }
      EXPECT_TRUE(ids.insert(parts[1]).second) << "key " << parts[1] << " reported twice";
      EXPECT_TRUE(codes.insert(parts[2]).second) << "code " << parts[2] << " reported twice";
      EXPECT_NE(parts[2], kTakenCode);
      // Stored under the code the client was told, with its lines and their materials.
      EXPECT_EQ(Value("SELECT ccode FROM om_productpo WHERE id=" + parts[1]), parts[2]);
      EXPECT_EQ(Value("SELECT count(*) FROM om_pomain WHERE id=" + parts[1]), std::to_string(kDemoProducts.size()));
      EXPECT_EQ(Value("SELECT count(*) FROM om_podetails d JOIN om_pomain l ON l.mainid=d.mainid WHERE l.id=" +
                      parts[1]),
                std::to_string(kDemoMaterials));
    }
  }
  // Nothing besides the reported saves, and nothing doubled or left without its rows.
  EXPECT_EQ(std::stoi(Value("SELECT count(*) FROM om_productpo")), ordersBefore + static_cast<int>(ids.size()));
  EXPECT_EQ(Value("SELECT count(*) FROM (SELECT ccode FROM om_productpo GROUP BY ccode HAVING count(*) > 1) d"), "0");
  EXPECT_EQ(Value("SELECT count(*) FROM (SELECT mainid FROM om_pomain GROUP BY mainid HAVING count(*) > 1) d"), "0");
  EXPECT_EQ(Value("SELECT count(*) FROM (SELECT subid FROM om_podetails GROUP BY subid HAVING count(*) > 1) d"), "0");
  EXPECT_EQ(Value("SELECT count(*) FROM om_productpo p WHERE NOT EXISTS (SELECT 1 FROM om_pomain l WHERE l.id=p.id)"),
            "0");
  EXPECT_EQ(Value("SELECT count(*) FROM om_pomain l WHERE NOT EXISTS "
                  "(SELECT 1 FROM om_podetails d WHERE d.mainid=l.mainid)"),
            "0");
  EXPECT_EQ(failed, 0);
  EXPECT_EQ(ids.size(), size_t{kClients * kSaves});
}

// --- Two state changes of one loaded order ---------------------------------------------

struct Race {
  const char* name;
  const char* prepare;  // SQL that puts order 2 into the state both clients load
  const char* roleA;
  const char* roleB;
  const char* winsA;  // the answer of A when it wins
  const char* winsB;
  const char* losesA;  // the answer of A when B won
  const char* losesB;
  const char* stateA;  // the order (istate:cverifier:closed lines) after A won
  const char* stateB;
};

const Race kRaces[] = {
    {"approve against approve", "UPDATE om_productpo SET istate=1, cverifier=NULL, dcheckdate=NULL WHERE id=2",
     "confirm", "confirm", "委外订单[2]审核成功！", "委外订单[2]审核成功！", "委外订单[2]已经被改变或删除，审核失败！",
     "委外订单[2]已经被改变或删除，审核失败！", "2:clientA:0", "2:clientB:0"},
    // Approval and close never meet on one row version (approving needs an
    // order without approver, closing one with); the approval's own step on an
    // approved order is its cancelling.
    {"cancelled approval against close",
     "UPDATE om_productpo SET istate=2, cverifier='wangq' WHERE id=2; UPDATE om_pomain SET cclose=NULL WHERE id=2",
     "cancel", "close", "委外订单[2]弃审成功！", "委外订单[2]关闭成功！", "委外订单[2]已经被改变或删除，弃审失败！",
     "委外订单[2]已经被改变或删除，关闭失败！", "1::0", "3:wangq:1"},
};

std::string OrderState(const std::string& uri) {
  return PgValue(uri, "SELECT p.istate || ':' || coalesce(p.cverifier, '') || ':' || "
                      "(SELECT count(*) FROM om_pomain l WHERE l.id=p.id AND l.cclose IS NOT NULL) "
                      "FROM om_productpo p WHERE p.id=2");
}

TEST_F(PgConcurrency, OfTwoStateChangesOfOneLoadedOrderExactlyOneWins) {
  for (const Race& race : kRaces) {
    for (int round = 0; round < 3; ++round) {
      SCOPED_TRACE(std::string(race.name) + ", round " + std::to_string(round));
      RunNative(db.Path(), race.prepare);
      ClientProcesses pair;
      StartClient(pair, race.roleA, "2", "A");
      StartClient(pair, race.roleB, "2", "B");
      RunClients(pair, seconds(60));
      const std::vector<std::string> a = Answers(pair, 0, "answer"), b = Answers(pair, 1, "answer");
      ASSERT_EQ(a.size(), 1u);
      ASSERT_EQ(b.size(), 1u);
      const bool aWon = a[0] == race.winsA;
      if (aWon) {
        EXPECT_EQ(b[0], race.losesB);
        EXPECT_EQ(OrderState(db.Path()), race.stateA);
      } else {
        EXPECT_EQ(a[0], race.losesA);
        EXPECT_EQ(b[0], race.winsB);
        EXPECT_EQ(OrderState(db.Path()), race.stateB);
      }
    }
  }
}

// The delete is not guarded by the row version: an edit that came first is
// deleted with the order; one that came second finds it gone and writes nothing.
TEST_F(PgConcurrency, AnEditAgainstADeleteOfOneOrderLeavesItGoneWhole) {
  ClientProcesses pair;
  StartClient(pair, "edit", "2", "A");
  StartClient(pair, "delete", "2", "B");
  RunClients(pair, seconds(60));
  const std::vector<std::string> edit = Answers(pair, 0, "answer"), removal = Answers(pair, 1, "answer");
  ASSERT_EQ(edit.size(), 1u);
  ASSERT_EQ(removal.size(), 1u);
  EXPECT_EQ(removal[0], "删除单据[WW000002]成功！");
  EXPECT_TRUE(edit[0].empty() || edit[0] == kChangedSave) << edit[0];
  EXPECT_EQ(Value("SELECT count(*) FROM om_productpo WHERE id=2"), "0");
  EXPECT_EQ(Value("SELECT count(*) FROM om_pomain WHERE id=2"), "0");
  EXPECT_EQ(Value("SELECT count(*) FROM om_podetails WHERE mainid=2"), "0");
}

// The edit loaded before the delete and sent after it: the order is gone,
// the edit answers the changed-or-deleted message and brings nothing back.
TEST_F(PgConcurrency, AnEditSentAfterTheDeleteFindsTheOrderGone) {
  const Clock::time_point deadline = Clock::now() + seconds(60);
  ClientProcesses editor, remover;
  StartClient(editor, "edit", "2", "A");
  ASSERT_TRUE(editor.AwaitReady(deadline)) << Report(editor);
  StartClient(remover, "delete", "2", "B");
  RunClients(remover, seconds(60));
  ASSERT_EQ(Answers(remover, 0, "answer"), std::vector<std::string>{"删除单据[WW000002]成功！"});
  RunClients(editor, seconds(60));
  EXPECT_EQ(Answers(editor, 0, "answer"), std::vector<std::string>{kChangedSave});
  EXPECT_EQ(Value("SELECT count(*) FROM om_productpo WHERE id=2"), "0");
  EXPECT_EQ(Value("SELECT count(*) FROM om_pomain WHERE id=2"), "0");
  EXPECT_EQ(Value("SELECT count(*) FROM om_podetails WHERE mainid=2"), "0");
}

// --- A client killed during a save --------------------------------------------------------

// Product K100: one bill of materials of 3,200 rows.
constexpr int kBigMaterials = 3200;

void AddBigBom(const std::string& uri) {
  RunNative(uri,
            "INSERT INTO inventory (cinvcode, cinvname, cunit, cwhcode) VALUES ('K100', 'big', 'pc', 'W01');"
            "INSERT INTO ProductStructure (iAutoId, cpspcode, cversion) VALUES (9100, 'K100', '1.0');"
            "INSERT INTO ProductStructures (autoid, iPId, cpscode, ipsquantity, iwasterate, cdepcode, cwhcode) "
            "SELECT 910000 + i, 9100, 'K' || i, 1, 0, 'D01', 'W01' FROM generate_series(1, " +
                std::to_string(kBigMaterials) + ") i");
}

TEST_F(PgConcurrency, AClientKilledInTheMiddleOfALargeSaveLeavesNothing) {
  AddBigBom(db.Path());
  const std::string ordersBefore = Value("SELECT count(*) FROM om_productpo");
  const Clock::time_point deadline = Clock::now() + seconds(120);
  ClientProcesses client;
  StartClient(client, "bigsave", "K100", "K");
  ASSERT_TRUE(client.AwaitReady(deadline)) << Report(client);
  client.Release();
  // Its transaction is writing the material rows: the server is running
  // one of those inserts for it, or waits for the next one in the transaction.
  const std::string writing =
      "SELECT count(*) FROM pg_stat_activity WHERE application_name = 'clientK' AND xact_start IS NOT NULL "
      "AND query ILIKE '%insert into om_podetails%'";
  while (Value(writing) == "0") {
    client.Poll(Clock::now() + std::chrono::milliseconds(1));  // an answer would come here
    ASSERT_EQ(client.Lines(0).size(), 1u) << "the save ended before it could be interrupted: " << Report(client);
    ASSERT_LT(Clock::now(), deadline) << "the save never wrote its material list";
  }
  ASSERT_EQ(::kill(client.Pid(0), SIGKILL), 0);
  EXPECT_TRUE(client.Wait(deadline));
  EXPECT_TRUE(WIFSIGNALED(client.Status(0)) && WTERMSIG(client.Status(0)) == SIGKILL);
  EXPECT_TRUE(client.Collect(deadline));
  EXPECT_EQ(client.Lines(0), std::vector<std::string>{"ready"});
  // The server ends the dead client's session and rolls its transaction back.
  while (Value("SELECT count(*) FROM pg_stat_activity WHERE application_name = 'clientK'") != "0") {
    ASSERT_LT(Clock::now(), deadline) << "the killed client's session stays";
  }
  EXPECT_EQ(Value("SELECT count(*) FROM om_productpo"), ordersBefore);
  EXPECT_EQ(Value("SELECT count(*) FROM om_pomain WHERE cinvcode = 'K100'"), "0");
  EXPECT_EQ(Value("SELECT count(*) FROM om_podetails WHERE left(cinvcode, 1) = 'K'"), "0");

  // The writers' lock went with it: the same save from here is stored whole.
  clsVoucherCO co;
  co.Init(OperatorLogin("after"), OpenConnection(db.Path()), "om01");
  Variant id;
  ASSERT_EQ(co.VoucherSave2(NewOrderForm({"K100"}, "KILL0001"), 2, id), "");
  EXPECT_EQ(Value("SELECT count(*) FROM om_podetails d JOIN om_pomain l ON l.mainid = d.mainid WHERE l.id = " +
                  id.ToText()),
            std::to_string(kBigMaterials));
}

}  // namespace
}  // namespace fabrikon::testsupport
