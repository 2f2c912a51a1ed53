// The C interface from a C program (CApiScenarios.c) on a fresh demo
// database each: a production order's whole life, the refusal of values
// outside their range, and the paged list.
#include <gtest/gtest.h>

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

}  // namespace
