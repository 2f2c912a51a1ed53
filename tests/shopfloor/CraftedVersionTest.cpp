// A row version crafted to close the guard's literal must never widen a state
// change to other rows: every state change and delete check of the shop-floor
// kinds either fails or raises an error, and no row changes.
#include "ShopfloorTestSupport.h"
#include "fabrikon/clsMOOrder.h"
#include "fabrikon/clsMOOrderRpt.h"
#include "fabrikon/clsPORpt.h"
#include "fabrikon/clsROPOrder.h"

namespace fabrikon::testing_shopfloor {
namespace {

class CraftedVersionTest : public ShopfloorTest {
 protected:
  std::string Tables() {
    return Snapshot("select moid, audman, closeman from PP_MoOrderMa") +
           Snapshot("select rptid, audman from PP_MOOrderRptMa") + Snapshot("select porptid, audman from PP_PORptMa") +
           Snapshot("select muid, iState, cVerifier, cCloser from PP_ROPMain");
  }
  // The view's row with the crafted version and the given fields.
  DOMDocumentPtr Crafted(const std::string& sql, const Attributes& fields) {
    DOMDocumentPtr head = With(Load(sql), "qxts", kCraftedQxts);
    for (const auto& [name, value] : fields) With(head, name, value);
    return head;
  }
};

TEST_F(CraftedVersionTest, NoStateChangeReachesAnyRow) {
  clsMOOrder dispatch;
  clsMOOrderRpt progress;
  clsPORpt orderReport;
  clsROPOrder plan;
  Exec("delete from pp_moorderrptde");  // nothing blocks cancelling a dispatch order
  Exec("update pp_ropquota set fpoquantity=0");
  const std::string pp13 = "select * from v_pp13_h where moid=2";
  const std::string pp14 = "select * from v_pp14_h where rptid=2";
  const std::string pp15 = "select * from v_pp15_h where porptid=1";
  const std::string pp02 = "select * from v_pp02_h where muid=1";
  const Attributes approved = {{"audman", "x"}, {"closeman", ""}};
  const Attributes entered = {{"audman", ""}, {"closeman", ""}};
  const Attributes closed = {{"audman", "x"}, {"closeman", "x"}};

  const std::vector<std::pair<std::string, std::function<std::string()>>> changes = {
      {"pp13 confirm", [&] { return dispatch.VoucherConfirm(Crafted(pp13, entered), conn, login); }},
      {"pp13 cancel", [&] { return dispatch.VoucherCancelconfirm(Crafted(pp13, approved), conn); }},
      {"pp13 close", [&] { return dispatch.VoucherClose(Crafted(pp13, approved), conn, login); }},
      {"pp13 open", [&] { return dispatch.VoucherOpen(Crafted(pp13, closed), conn); }},
      {"pp13 delete", [&] { return dispatch.VoucherAllowDelete(Crafted(pp13, {}), nullptr, conn); }},
      {"pp14 confirm", [&] { return progress.VoucherConfirm(Crafted(pp14, entered), conn, login); }},
      {"pp14 cancel", [&] { return progress.VoucherCancelconfirm(Crafted(pp14, approved), conn); }},
      {"pp14 delete", [&] { return progress.VoucherAllowDelete(Crafted(pp14, {}), nullptr, conn); }},
      {"pp15 confirm", [&] { return orderReport.VoucherConfirm(Crafted(pp15, entered), conn, login); }},
      {"pp15 cancel", [&] { return orderReport.VoucherCancelconfirm(Crafted(pp15, approved), conn); }},
      {"pp15 delete", [&] { return orderReport.VoucherAllowDelete(Crafted(pp15, {}), nullptr, conn); }},
      {"pp02 confirm", [&] { return plan.VoucherConfirm(Crafted(pp02, {}), conn, login); }},
      {"pp02 cancel", [&] { return plan.VoucherCancelconfirm(Crafted(pp02, {}), conn); }},
      {"pp02 close", [&] { return plan.VoucherClose(Crafted(pp02, {}), conn, login); }},
      {"pp02 open", [&] { return plan.VoucherOpen(Crafted(pp02, {}), conn); }},
  };
  const std::string before = Tables();
  for (const auto& [name, change] : changes) {
    std::string answer;
    try {
      answer = change();
    } catch (const ComError& e) {
      answer = "error: " + e.Description();
    }
    EXPECT_EQ(answer.find("成功"), std::string::npos) << name << ": " << answer;
    EXPECT_FALSE(answer.empty()) << name;
    EXPECT_EQ(Tables(), before) << name;
  }
}

}  // namespace
}  // namespace fabrikon::testing_shopfloor
