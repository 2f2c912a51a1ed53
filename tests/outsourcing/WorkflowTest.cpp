// Outsourcing order workflow against the embedded database: approval and its
// cancelling, closing with the question about open receipts, reopening, the
// delete check, and the documents (stale or crafted) that must change nothing.
#include "OutsourcingTestSupport.h"

namespace fabrikon::testing_outsourcing {
namespace {

class WorkflowTest : public OutsourcingTest {
 protected:
  void SetUp() override {
    OutsourcingTest::SetUp();
    AddLine(90011, "W100", 10, ",finquantity", ",4");
    AddLine(90012, "W200", 5, ",finquantity", ",5");
  }
  std::string Confirm(const DOMDocumentPtr& head) { return order.VoucherConfirm(head, conn, login); }
  std::string Cancel(const DOMDocumentPtr& head) { return order.VoucherCancelconfirm(head, conn); }
  std::string Close(const DOMDocumentPtr& head) { return order.VoucherClose(head, conn, login); }
  std::string Open(const DOMDocumentPtr& head) { return order.VoucherOpen(head, conn); }
  std::string AllowDelete(const DOMDocumentPtr& head) { return order.VoucherAllowDelete(head, Rows({}), conn); }
  std::string State() { return Scalar("select convert(varchar(10), istate) + ':' + isnull(cverifier,'') from om_productpo where id=9001"); }
  std::string ClosedLines() { return Scalar("select count(*) from om_pomain where id=9001 and cclose is not null"); }
  std::shared_ptr<AnsweringBoxes> Answer(bool yes) {
    auto boxes = std::make_shared<AnsweringBoxes>(yes);
    MessageBox::SetHandler(boxes);
    return boxes;
  }
};

TEST_F(WorkflowTest, ApproveCloseWithTheQuestionReopenAndCancel) {
  DOMDocumentPtr loaded = LoadHead();
  EXPECT_EQ(Confirm(loaded), "委外订单[9001]审核成功！");
  EXPECT_EQ(State(), "2:demo01");  // the approver is the operator's id
  EXPECT_EQ(Confirm(loaded), "委外订单[9001]已经被改变或删除，审核失败！");
  EXPECT_EQ(Confirm(LoadHead()), "委外订单[9001]已经被审核，审核失败！");

  auto no = Answer(false);
  EXPECT_EQ(Close(LoadHead()), "委外订单[9001] 关闭失败！");
  EXPECT_EQ(no->asked, std::vector<std::string>{"委外管理:委外订单没有全部入库，是否继续？"});
  EXPECT_EQ(State(), "2:demo01");
  Answer(true);
  EXPECT_EQ(Close(LoadHead()), "委外订单[9001]关闭成功！");
  EXPECT_EQ(State(), "3:demo01");
  EXPECT_EQ(Scalar("select min(cclose) + max(cclose) from om_pomain where id=9001"), "demo01demo01");
  EXPECT_EQ(Close(LoadHead()), "委外订单[9001]已经被关闭，关闭失败！");
  EXPECT_EQ(Cancel(LoadHead()), "委外订单[9001]已经被关闭，弃审失败！");

  EXPECT_EQ(Open(LoadHead()), "委外订单[9001]打开成功！");
  EXPECT_EQ(ClosedLines(), "0");
  EXPECT_EQ(Open(LoadHead()), "委外订单[9001]尚未被关闭，打开失败！");
  EXPECT_EQ(Cancel(LoadHead()), "委外订单[9001]已经有产成品入库，弃审失败！");
  Exec("update om_pomain set finquantity=0");
  EXPECT_EQ(Cancel(LoadHead()), "委外订单[9001]弃审成功！");
  EXPECT_EQ(State(), "1:");
  EXPECT_EQ(Cancel(LoadHead()), "委外订单[9001]尚未被审核，弃审失败！");
}

// A line saved without its received quantity has received nothing: closing
// the order asks, as for any line not fully received.
TEST_F(WorkflowTest, ALineSavedWithoutReceivedQuantityCountsAsNotReceived) {
  Exec("update om_pomain set finquantity=fquantity where id=9001");
  AddLine(90013, "W100", 3);
  EXPECT_EQ(Scalar("select finquantity from om_pomain where mainid=90013"), "0");
  Exec("update om_productpo set istate=2, cverifier='x' where id=9001");
  auto no = Answer(false);
  EXPECT_EQ(Close(LoadHead()), "委外订单[9001] 关闭失败！");
  EXPECT_EQ(no->asked, std::vector<std::string>{"委外管理:委外订单没有全部入库，是否继续？"});
  EXPECT_EQ(ClosedLines(), "0");
}

TEST_F(WorkflowTest, CloseAndReopenChangeHeadAndLinesTogether) {
  Exec("update om_productpo set istate=2, cverifier='x' where id=9001");
  Exec("delete from om_pomain where id=9001");
  EXPECT_EQ(Close(LoadHead()), "委外订单[9001]已经被改变或删除，关闭失败！");
  EXPECT_EQ(State(), "2:x");
  Exec("update om_productpo set istate=3 where id=9001");
  EXPECT_EQ(Open(LoadHead()), "委外订单[9001]已经被改变或删除，打开失败！");
  EXPECT_EQ(State(), "3:x");
  // Inside a transaction of the caller's the same holds.
  conn->BeginTrans();
  EXPECT_EQ(Open(LoadHead()), "委外订单[9001]已经被改变或删除，打开失败！");
  EXPECT_EQ(State(), "3:x");
  conn->RollbackTrans();
  // An order deleted since it was loaded: no question, no broken statement.
  DOMDocumentPtr loaded = Rows({{{"id", "9001"}, {"cverifier", "x"}, {"istate", "2"}, {"qxts", "0.0001"}}});
  Exec("delete from om_productpo where id=9001");
  EXPECT_EQ(Close(loaded), "委外订单已经被改变或删除，关闭失败！");
}

TEST_F(WorkflowTest, DeleteCheckRefusesInOrder) {
  Exec("insert into om_purbillvouchs(autoid,ompoccode) values (9901,'WWT9001')");
  Exec("insert into om_podetails(MainID,SubID,cInvCode,fOutQuantity) values (90011,9901,'W111',1)");
  Exec("update om_productpo set istate=2 where id=9001");
  const std::vector<std::pair<std::string, std::string>> steps = {
      {"", "]已有入库,不能删除！"},
      {"update om_pomain set finquantity=0", "]有开过发票,不能删除！"},
      {"delete from om_purbillvouchs", "]已有出库,不能删除！"},
      {"update om_podetails set fOutQuantity=0", "]已审或关闭,不能删除！"},
      {"update om_productpo set istate=1", ""}};
  for (const auto& [change, tail] : steps) {
    if (!change.empty()) Exec(change);
    EXPECT_EQ(AllowDelete(LoadHead()), tail.empty() ? "" : "此张单据[9001" + tail) << change;
  }
  DOMDocumentPtr loaded = LoadHead();
  Exec("update om_productpo set cmemo='other user' where id=9001");
  EXPECT_EQ(AllowDelete(loaded), "此张单据[9001]已经被改变或删除，删除失败！");
  EXPECT_EQ(AllowDelete(Rows({{{"id", "9001 or 1=1"}, {"qxts", "0.0001"}}})),
            "此张单据[9001 or 1=1]已经被改变或删除，删除失败！");
  EXPECT_EQ(AllowDelete(Rows({})), "此张单据已经被删除或不存在任何单据，请刷新后重试！");
  EXPECT_EQ(order.VoucherAllowEdit(Rows({}), conn), "此张单据已经被删除或不存在任何单据，请刷新后重试！");
  EXPECT_EQ(order.VoucherAllowNew(Rows({}), conn), "");
}

// A row version crafted to close the guard's literal is no row version: the
// database refuses the text and nothing changes on any order.
TEST_F(WorkflowTest, CraftedRowVersionChangesNothing) {
  Exec("insert into om_productpo(id,ccode,istate) values (9002,'WWT9002',1)");
  AddLine(90021, "W100", 1, "", "", 9002);
  const std::string crafted = "0'), 2) OR 1=1 OR convert(char, convert(money,'0";
  auto head = [&](const std::string& verifier, const std::string& state) {
    return Rows({{{"id", "9001"}, {"qxts", crafted}, {"cverifier", verifier}, {"istate", state}}});
  };
  const std::string refused = "error " + std::to_string(ErrorNumber::CantConvertValue);
  Exec("update om_pomain set finquantity=0");
  Answer(true);
  EXPECT_EQ(Attempt([&] { return Confirm(head("", "1")); }), refused);
  EXPECT_EQ(Scalar("select count(*) from om_productpo where id>=9001 and cverifier is not null"), "0");
  Exec("update om_productpo set istate=2, cverifier='x' where id>=9001");
  EXPECT_EQ(Attempt([&] { return Cancel(head("x", "2")); }), refused);
  EXPECT_EQ(Attempt([&] { return Close(head("x", "2")); }), refused);
  EXPECT_EQ(Scalar("select convert(varchar(10), count(*)) + ':' + convert(varchar(10), min(istate)) + ':' + convert(varchar(10), max(istate)) from om_productpo where id>=9001"), "2:2:2");
  Exec("update om_productpo set istate=3 where id>=9001");
  EXPECT_EQ(Attempt([&] { return Open(head("x", "3")); }), refused);
  EXPECT_EQ(Scalar("select convert(varchar(10), count(*)) + ':' + convert(varchar(10), min(istate)) + ':' + convert(varchar(10), max(istate)) from om_productpo where id>=9001"), "2:3:3");
  EXPECT_EQ(Scalar("select count(*) from om_pomain where id>=9001 and cclose is not null"), "0");
  EXPECT_EQ(Attempt([&] { return AllowDelete(head("", "1")); }), refused);
}

}  // namespace
}  // namespace fabrikon::testing_outsourcing
