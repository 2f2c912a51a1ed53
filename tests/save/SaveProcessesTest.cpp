// Several programs saving through the façade into one database file: two
// writers numbering new outsourcing orders at once get distinct codes and
// keys, lose no save and never see a busy error; a writer killed at any
// moment of its saves leaves a sound file in which every order it saved is
// whole (head and every line) or absent.
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include "SaveTestSupport.h"

namespace fabrikon::savetest {
namespace {

constexpr int kLines = 3;

// Saves `saves` new orders of kLines lines in a child process, each through a
// façade of its own on a connection of its own; one byte goes to `progress`
// after each save. Exit status 0 when every save answered "".
pid_t StartSaver(const std::string& connectionString, const std::string& memo, int saves, int progress) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  int status = 0;
  try {
    ConnectionPtr conn = OpenConnection(connectionString);
    LoginInfoPtr login = std::make_shared<EmbeddedLoginInfo>(DateTime{2024, 3, 10}, "测试员", memo);
    for (int i = 0; i < saves && status == 0; ++i) {
      auto form = std::make_shared<EmbeddedVoucherForm>();
      form->HeadDOM()->loadXML(R"(<xml><rs:data><z:row ccode="WW000010" ddate="2024-03-10" cmemo=")" + memo +
                               R"("/></rs:data></xml>)");
      std::string lines;
      for (int n = 1; n <= kLines; ++n) lines += R"(<z:row cinvcode="S210" fquantity=")" + std::to_string(n) + R"(" editprop="A"/>)";
      form->BodyDOM()->loadXML("<xml><rs:data>" + lines + "</rs:data></xml>");
      clsVoucherCO co;
      co.Init(login, conn, "om01");
      Variant curId;
      if (!co.VoucherSave2(form, 2, curId).empty()) status = 2;
      if (progress >= 0 && write(progress, "+", 1) != 1) status = 3;
    }
  } catch (const ComError&) {
    status = 4;
  }
  _exit(status);
}

// Progress bytes still in the pipe after its writer died.
int DrainCount(int fd) {
  int count = 0;
  char bytes[256];
  for (ssize_t n; (n = read(fd, bytes, sizeof bytes)) > 0;) count += static_cast<int>(n);
  return count;
}

// Through an embedded connection of its own, which knows the collation the
// indexes are sorted by. A PostgreSQL server keeps its files sound itself.
std::string IntegrityCheck(const std::string& path) {
  if (testsupport::IsPgUri(path)) return "ok";
  std::shared_ptr<SqliteConnection> conn = SqliteConnection::Connect("Data Source=" + path + ";Mode=Read");
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(conn->Handle(), "PRAGMA integrity_check", -1, &statement, nullptr);
  std::string result = sqlite3_step(statement) == SQLITE_ROW
                           ? reinterpret_cast<const char*>(sqlite3_column_text(statement, 0))
                           : sqlite3_errmsg(conn->Handle());
  sqlite3_finalize(statement);
  return result;
}

class SaveProcessesTest : public SaveTest {
 protected:
  // Orders of a writer whose line count is not kLines (half-written saves).
  std::string PartialOrders(const std::string& memo) {
    return Scalar("SELECT count(*) FROM om_productpo p WHERE cmemo='" + memo +
                  "' AND (SELECT count(*) FROM om_pomain l WHERE l.id=p.id) <> " + std::to_string(kLines));
  }
};

TEST_F(SaveProcessesTest, TwoWritersGetDistinctCodesAndLoseNothing) {
  constexpr int kSaves = 15;
  const pid_t a = StartSaver(db.ConnectionString(), "a", kSaves, -1);
  const pid_t b = StartSaver(db.ConnectionString(), "b", kSaves, -1);
  for (pid_t pid : {a, b}) {
    int status = -1;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a writer saw a failure, status " << status;
  }
  EXPECT_EQ(Scalar("SELECT count(*) FROM om_productpo WHERE cmemo IN ('a','b')"), std::to_string(2 * kSaves));
  EXPECT_EQ(Scalar("SELECT count(DISTINCT ccode) FROM om_productpo"), Scalar("SELECT count(*) FROM om_productpo"));
  EXPECT_EQ(Scalar("SELECT count(*) FROM om_productpo WHERE cmemo='a'"), std::to_string(kSaves));
  EXPECT_EQ(PartialOrders("a") + PartialOrders("b"), "00");
}

TEST_F(SaveProcessesTest, WriterKilledMidSaveLeavesWholeOrdersOnly) {
  int saved = 0;
  for (int round = 1; round <= 4; ++round) {
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const pid_t pid = StartSaver(db.ConnectionString(), "k", 1000, pipeEnds[1]);
    close(pipeEnds[1]);
    // Let it save a few orders (a different number each round), then kill it
    // wherever it is in the next one.
    char byte = 0;
    for (int done = 0; done < round * 2; ++done) ASSERT_EQ(read(pipeEnds[0], &byte, 1), 1);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    // The writer may have finished more saves between the last read and the
    // kill: count every one it reported (the pipe ends once it is dead).
    saved += round * 2 + DrainCount(pipeEnds[0]);
    close(pipeEnds[0]);
    EXPECT_EQ(IntegrityCheck(db.Path()), "ok") << "round " << round;
    EXPECT_EQ(PartialOrders("k"), "0") << "round " << round;
    const int present = std::stoi(Scalar("SELECT count(*) FROM om_productpo WHERE cmemo='k'"));
    EXPECT_TRUE(present == saved || present == saved + 1) << "round " << round << ": " << present;
    saved = present;
  }
}

}  // namespace
}  // namespace fabrikon::savetest
