// The C interface from a C program (CApiScenarios.c) on a fresh demo
// database each: a production order's whole life, the refusal of values
// outside their range, and the paged list.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>
#include <utility>

#include "capi/CApiScenarios.h"
#include "fabrikon/fabrikon_c.h"
#include "fabrikon/host/MessageBox.h"
#include "support/DemoDatabase.h"

namespace {

using fabrikon::testsupport::DemoDatabase;

std::string Outcome(const char* failure) { return failure ? failure : ""; }

TEST(CApi, DrivesAProductionOrderThroughItsLife) {
  DemoDatabase db;
  EXPECT_EQ(Outcome(capi_order_life(db.ConnectionString().c_str())), "");
}

TEST(CApi, RefusesValuesOutsideTheirRange) {
  DemoDatabase db;
  EXPECT_EQ(Outcome(capi_refusals(db.ConnectionString().c_str())), "");
}

TEST(CApi, ListsOrdersPageByPage) {
  DemoDatabase db;
  EXPECT_EQ(Outcome(capi_paged_list(db.ConnectionString().c_str())), "");
}

TEST(CApi, AnswersTheLibrarysVersion) { EXPECT_EQ(Outcome(capi_version()), ""); }

TEST(CApi, ClosesAnOutsourcingOrderAsTheQuestionHandlerAnswers) {
  for (int yes : {1, 0}) {
    DemoDatabase db;
    EXPECT_EQ(Outcome(capi_close_outsourcing_order(db.ConnectionString().c_str(), yes)), "") << "yes=" << yes;
  }
}

TEST(CApi, RefusesACallBackIntoTheHandleFromItsCallback) {
  DemoDatabase db;
  EXPECT_EQ(Outcome(capi_reentrance(db.ConnectionString().c_str())), "");
}

TEST(CApi, TracesEveryBatchWithItsCount) {
  DemoDatabase db;
  EXPECT_EQ(Outcome(capi_trace(db.ConnectionString().c_str())), "");
}

TEST(CApi, PreviewsTheExplosionOfAProductLine) {
  DemoDatabase db;
  EXPECT_EQ(Outcome(capi_explode(db.ConnectionString().c_str())), "");
}

TEST(CApi, ListsWithTheCardsDefaultColumns) {
  DemoDatabase db;
  EXPECT_EQ(Outcome(capi_default_list(db.ConnectionString().c_str())), "");
}

TEST(CApi, MergesWhatACheckHandsBack) {
  DemoDatabase db;
  EXPECT_EQ(Outcome(capi_apply_return(db.ConnectionString().c_str())), "");
}

TEST(CApi, ShowsErrorBoxesThroughTheErrorHandler) {
  DemoDatabase db;
  EXPECT_EQ(Outcome(capi_error_handler(db.ConnectionString().c_str())), "");
}

TEST(CApi, CreatesDatabases) {
  const std::filesystem::path folder = fabrikon::testsupport::TempPath("capi_create");
  std::filesystem::create_directories(folder);
  EXPECT_EQ(Outcome(capi_create_database(folder.string().c_str())), "");
  std::filesystem::remove_all(folder);
}

// The thread's own handler: answers Yes and counts.
class ThreadHandler : public fabrikon::MessageBoxHandler {
 public:
  bool AskYesNo(const std::string&, const std::string&) override { return ++asked > 0; }
  void ShowError(const std::string&, const std::string&) override {}
  int asked = 0;
};

// An approved demo outsourcing order whose close asks the question.
fabrikon_voucher_co* ApprovedOrder(const std::string& connection) {
  fabrikon_voucher_co* co = fabrikon_co_create();
  int32_t answer = 0;
  const char* result = nullptr;
  EXPECT_EQ(fabrikon_co_init(co, connection.c_str(), "om01", "tester", "测试员", "2024-03-10", &answer), 0);
  EXPECT_EQ(fabrikon_co_get_voucher_data(co, nullptr, "2", nullptr), 0);
  EXPECT_EQ(fabrikon_co_call(co, "VoucherConfirm", &result), 0);
  EXPECT_EQ(fabrikon_co_move(co, FABRIKON_MOVE_REFRESH), 0);
  return co;
}

int32_t Throwing(const char*, const char*, void*) { throw std::runtime_error("the host's callback failed"); }

// The handle's handler lives for one call; a box it has no callback for goes
// to the thread's own handler, and a callback that raises answers No.
TEST(CApi, InstallsItsHandlersForOneCallOnly) {
  auto own = std::make_shared<ThreadHandler>();
  fabrikon::MessageBox::SetHandler(own);
  struct Case {
    fabrikon_question_handler question;
    int asked;
    const char* answer;
  };
  for (const Case& c : {Case{nullptr, 1, "委外订单[2]关闭成功！"}, Case{Throwing, 0, "委外订单[2] 关闭失败！"}}) {
    own->asked = 0;
    DemoDatabase db;
    fabrikon_voucher_co* co = ApprovedOrder(db.ConnectionString());
    const char* result = nullptr;
    EXPECT_EQ(fabrikon_co_set_error_handler(co, [](const char*, const char*, void*) {}, nullptr), 0);
    EXPECT_EQ(fabrikon_co_set_question_handler(co, c.question, nullptr), 0);
    EXPECT_EQ(fabrikon_co_call(co, "VoucherClose", &result), 0) << fabrikon_co_last_error(co);
    EXPECT_EQ(std::string(result), c.answer);
    EXPECT_EQ(own->asked, c.asked);
    EXPECT_EQ(fabrikon::MessageBox::Handler(), own);
    fabrikon_co_destroy(co);
  }
  fabrikon::MessageBox::SetHandler(nullptr);
}

// A handle initialised on one thread works on another, as a host's worker
// pool or Python's threads use it: the number preview finds the handle's
// connection there, and quantities keep the account's precision.
TEST(CApi, AHandleMovesBetweenThreads) {
  DemoDatabase db;
  fabrikon_voucher_co* orders = fabrikon_co_create();
  fabrikon_voucher_co* materials = fabrikon_co_create();
  int32_t answer = 0;
  for (auto [co, card] : {std::pair{orders, "pp25"}, std::pair{materials, "om02"}}) {
    ASSERT_EQ(fabrikon_co_init(co, db.ConnectionString().c_str(), card, "tester", "测试员", "2024-03-10", &answer), 0);
  }
  std::string number, error, quantity;
  std::thread worker([&] {
    const char* text = nullptr;
    const char* message = nullptr;
    EXPECT_EQ(fabrikon_co_call(orders, "VoucherNew", &text), 0) << fabrikon_co_last_error(orders);
    EXPECT_EQ(fabrikon_co_get_voucher_no(orders, 0, &text, &message), 0) << fabrikon_co_last_error(orders);
    number = text ? text : "";
    error = message ? message : "";
    EXPECT_EQ(fabrikon_co_get_voucher_data(materials, nullptr, "2", nullptr), 0);
    EXPECT_EQ(fabrikon_co_set_line_field(materials, 1, "ipsquantity", "2"), 0);
    EXPECT_EQ(fabrikon_co_body_check(materials, 1, "ipsquantity", 0, &text), 0);
    EXPECT_EQ(fabrikon_co_apply_return(materials, 1), 0);
    int32_t isNull = 0;
    EXPECT_EQ(fabrikon_co_get_line_field(materials, 1, "fquantity", &text, &isNull), 0);
    quantity = text ? text : "";
  });
  worker.join();
  EXPECT_NE(number, "");
  EXPECT_EQ(error, "");
  EXPECT_EQ(quantity, "40.00");
  fabrikon_co_destroy(orders);
  fabrikon_co_destroy(materials);
}

}  // namespace
