// The C interface from a C program (CApiScenarios.c) on a fresh demo
// database each: a production order's whole life, the refusal of values
// outside their range, and the paged list.
#include <gtest/gtest.h>

#include <filesystem>

#include "capi/CApiScenarios.h"
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

}  // namespace
