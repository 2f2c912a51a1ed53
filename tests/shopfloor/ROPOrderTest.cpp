// Reorder-point plans: every state test is made by the database inside the
// guarded statement; the quota test blocks cancelling an ordered plan.
#include "ShopfloorTestSupport.h"
#include "fabrikon/clsROPOrder.h"

namespace fabrikon::testing_shopfloor {
namespace {

class ROPOrderTest : public ShopfloorTest {
 protected:
  DOMDocumentPtr Head(int muid) { return Load("select * from v_pp02_h where muid=" + std::to_string(muid)); }
  std::string State(int muid) {
    return Scalar("select isnull(iState,-1) from PP_ROPMain where muid=" + std::to_string(muid));
  }

  clsROPOrder plan;
};

TEST_F(ROPOrderTest, WalksThroughItsStates) {
  // Plan 2 is entered; its one quota has not been ordered.
  EXPECT_EQ(plan.VoucherClose(Head(2), conn, login), "单据[ROP000002]已经被删除或者已经被关闭或者尚未审核，关闭失败！");
  EXPECT_EQ(plan.VoucherOpen(Head(2), conn), "单据[ROP000002]已经被删除或者尚未关闭，不能打开！");
  EXPECT_EQ(plan.VoucherConfirm(Head(2), conn, login), "单据[ROP000002]审核成功！");
  EXPECT_EQ(Scalar("select cVerifier from PP_ROPMain where muid=2"), "张三");
  EXPECT_EQ(plan.VoucherConfirm(Head(2), conn, login), "单据[ROP000002]已经被删除或已经被审核,审核失败！");
  EXPECT_EQ(plan.VoucherOpen(Head(2), conn), "单据[ROP000002]已经被删除或者尚未关闭，不能打开！");
  EXPECT_EQ(plan.VoucherClose(Head(2), conn, login), "单据[ROP000002]关闭成功！");
  EXPECT_EQ(State(2), "2");
  EXPECT_EQ(plan.VoucherCancelconfirm(Head(2), conn),
            "单据[ROP000002]已经被删除或者已经被关闭或者尚未审核或已被参照，弃审失败！");
  EXPECT_EQ(plan.VoucherOpen(Head(2), conn), "单据[ROP000002]打开成功！");
  EXPECT_EQ(plan.VoucherCancelconfirm(Head(2), conn), "单据[ROP000002]弃审成功！");
  EXPECT_EQ(State(2), "0");
  EXPECT_EQ(Scalar("select isnull(cVerifier,'null') from PP_ROPMain where muid=2"), "null");
}

TEST_F(ROPOrderTest, AnOrderedQuotaKeepsTheApproval) {
  const std::string refused = "单据[ROP000001]已经被删除或者已经被关闭或者尚未审核或已被参照，弃审失败！";
  EXPECT_EQ(plan.VoucherCancelconfirm(Head(1), conn), refused);
  EXPECT_EQ(State(1), "1");
  Exec("update pp_ropquota set fpoquantity=NULL where quid=1");
  EXPECT_EQ(plan.VoucherCancelconfirm(Head(1), conn), "单据[ROP000001]弃审成功！");
}

TEST_F(ROPOrderTest, NullStateCountsAsEntered) {
  Exec("update PP_ROPMain set iState=NULL where muid=2");
  EXPECT_EQ(plan.VoucherClose(Head(2), conn, login), "单据[ROP000002]已经被删除或者已经被关闭或者尚未审核，关闭失败！");
  EXPECT_EQ(plan.VoucherOpen(Head(2), conn), "单据[ROP000002]已经被删除或者尚未关闭，不能打开！");
  EXPECT_EQ(plan.VoucherConfirm(Head(2), conn, login), "单据[ROP000002]审核成功！");
}

TEST_F(ROPOrderTest, StaleOrMissingDocumentsChangeNothing) {
  DOMDocumentPtr loaded = Head(2);
  Exec("update PP_ROPMain set cmemo='elsewhere' where muid=2");
  EXPECT_EQ(plan.VoucherConfirm(loaded, conn, login), "单据[ROP000002]已经被删除或已经被审核,审核失败！");
  EXPECT_EQ(State(2), "0");
  const std::string none = "此张单据已经被删除或不存在任何单据，请刷新后重试！";
  EXPECT_EQ(plan.VoucherConfirm(Rows({}), conn, login), none);
  EXPECT_EQ(plan.VoucherCancelconfirm(Rows({}), conn), none);
  EXPECT_EQ(plan.VoucherClose(Rows({}), conn, login), none);
  EXPECT_EQ(plan.VoucherOpen(Rows({}), conn), none);
}

TEST_F(ROPOrderTest, CloseReportsEveryFailure) {
  // A quoted key never reaches another plan, and an error of the statement
  // is reported as a failure with its description, never as "".
  const std::string before = Snapshot("select muid, iState from PP_ROPMain");
  EXPECT_EQ(plan.VoucherClose(With(Head(1), "muid", "1' OR '1'='1"), conn, login),
            "单据[ROP000001]已经被删除或者已经被关闭或者尚未审核，关闭失败！");
  const std::string answer = plan.VoucherClose(With(Head(1), "qxts", kCraftedQxts), conn, login);
  EXPECT_EQ(answer.rfind("单据[ROP000001]关闭失败！", 0), 0u) << answer;
  EXPECT_GT(answer.size(), std::string("单据[ROP000001]关闭失败！").size());
  EXPECT_EQ(Snapshot("select muid, iState from PP_ROPMain"), before);
}

TEST_F(ROPOrderTest, OffersOnlyTheStateChanges) {
  VoucherFormPtr form = Form(Rows({}));
  DOMDocumentPtr none;
  EXPECT_THROW(plan.VoucherNew(form, login), ComError);
  EXPECT_THROW(plan.HeadCheck(form, conn, "", none, true, card), ComError);
  EXPECT_THROW(plan.VoucherAllowEdit(Head(1), conn), ComError);
}

}  // namespace
}  // namespace fabrikon::testing_shopfloor
