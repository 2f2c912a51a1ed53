// The client side of the concurrency tests: the test program runs itself
// again with this (disabled) test selected, and the environment says what
// the client does (see ClientProcesses.h): FABRIKON_PG_CLIENT_ROLE, its
// database's URI in FABRIKON_PG_CLIENT_URI, and FABRIKON_PG_CLIENT_ARG (the
// order, or the client's number). The client opens its own connection,
// prepares its documents, writes "ready" on fd 3, waits for the start on fd
// 4, and writes each answer as a line "answer TEXT" (a save: "save TEXT\tID\tCODE").
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "OutsourcingOrders.h"
#include "fabrikon/ComError.h"
#include "support/TestConnection.h"

namespace fabrikon::testsupport {
namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? "" : value;
}

void Say(const std::string& line) {
  const std::string text = line + "\n";
  for (size_t done = 0; done < text.size();) {
    const ssize_t n = ::write(3, text.data() + done, text.size() - done);
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}

// Blocks until the parent lets every client go (the pipe's end closes).
void AwaitStart() {
  char byte;
  while (::read(4, &byte, 1) > 0) {
  }
}

void Answer(const std::string& text) { Say("answer " + OneLine(text)); }

// 25 new orders under the taken code, one after the other.
void SaveOrders(clsVoucherCO& co) {
  Say("ready");
  AwaitStart();
  for (int i = 0; i < 25; ++i) {
    VoucherFormPtr form = NewOrderForm(kDemoProducts);
    Variant id;
    const std::string answer = co.VoucherSave2(form, 2, id);
    Say("save " + OneLine(answer) + "\t" + id.ToText() + "\t" + TryGetHeadValue(form->HeadDOM(), "ccode"));
  }
}

// One order of one line whose bill of materials has 3,200 rows.
void SaveBigOrder(clsVoucherCO& co, const std::string& product) {
  VoucherFormPtr form = NewOrderForm({product}, "KILL0001");
  Say("ready");
  AwaitStart();
  Variant id;
  Say("save " + OneLine(co.VoucherSave2(form, 2, id)) + "\t" + id.ToText());
}

// An operation on order `id` loaded before the start.
void OnLoadedOrder(clsVoucherCO& co, const std::string& role, int id) {
  VoucherFormPtr form = LoadedOrder(co, id);
  Say("ready");
  AwaitStart();
  if (role == "confirm") {
    Answer(co.VoucherConfirm(form));
  } else if (role == "cancel") {
    Answer(co.VoucherCancelconfirm(form));
  } else if (role == "close") {
    Answer(co.VoucherClose(form));
  } else if (role == "edit") {
    form->HeadDOM()->selectSingleNode("//z:row").setAttribute("cmemo", Variant("edited"));
    Answer(co.VoucherSave2(form, 1));
  } else if (role == "delete") {
    const std::string allowed = co.VoucherAllowDelete(form);
    Answer(allowed.empty() ? co.VoucherDelete(form) : allowed);
  } else {
    Say("error unknown role " + role);
  }
}

void RunRole(const std::string& role) {
  const std::string arg = Env("FABRIKON_PG_CLIENT_ARG");
  const std::string user = "client" + Env("FABRIKON_PG_CLIENT_USER");
  ConnectionPtr conn = OpenConnection(WithApplicationName(Env("FABRIKON_PG_CLIENT_URI"), user));
  MessageBox::SetHandler(std::make_shared<YesToEverything>());
  clsVoucherCO co;
  co.Init(OperatorLogin(user), conn, "om01");
  if (role == "save") {
    SaveOrders(co);
  } else if (role == "bigsave") {
    SaveBigOrder(co, arg);
  } else {
    OnLoadedOrder(co, role, std::stoi(arg));
  }
}

TEST(PgClientProcess, DISABLED_RunsTheRoleOfItsEnvironment) {
  const std::string role = Env("FABRIKON_PG_CLIENT_ROLE");
  if (role.empty()) GTEST_SKIP() << "run by the concurrency tests as a client process";
  try {
    RunRole(role);
  } catch (const ComError& e) {
    Say("error " + std::to_string(e.Number()) + " " + OneLine(e.Description()));
  } catch (const std::exception& e) {
    Say(std::string("error ") + OneLine(e.what()));
  }
  MessageBox::SetHandler(nullptr);
}

}  // namespace
}  // namespace fabrikon::testsupport
