// Production order workflow against the embedded database: approval,
// cancelling it, closing and reopening, each with the document as loaded and
// with a document that someone else changed since.
#include "ProductionOrderData.h"
#include "fabrikon/clsSCDDOrder.h"

#include <functional>

namespace fabrikon::testing_production {
namespace {

class SCDDOrderWorkflowTest : public ProductionOrderTest {
 protected:
  std::string Confirm(const DOMDocumentPtr& head) { return order.VoucherConfirm(head, conn, login); }
  std::string Cancel(const DOMDocumentPtr& head) { return order.VoucherCancelconfirm(head, conn); }
  std::string Close(const DOMDocumentPtr& head) { return order.VoucherClose(head, conn, login); }
  std::string Open(const DOMDocumentPtr& head) { return order.VoucherOpen(head, conn); }

  // Someone else edits the order head after our document was loaded.
  void ChangeHeadElsewhere() { Exec("update pp_productpo set cdepcode='D02' where id=9001"); }
  void Approve() { ASSERT_EQ(Confirm(LoadHead(kOrder)), "生产订单[9001]审核成功！"); }
  std::string Verifier() { return Scalar("select cverifier from pp_productpo where id=9001"); }
  std::string ClosedLines() { return Scalar("select count(*) from pp_pomain where id=9001 and cclose is not null"); }

  clsSCDDOrder order;
};

TEST_F(SCDDOrderWorkflowTest, ApprovalRecordsApproverAndDateOnce) {
  DOMDocumentPtr loaded = LoadHead(kOrder);
  EXPECT_EQ(Confirm(loaded), "生产订单[9001]审核成功！");
  EXPECT_EQ(Verifier(), "张三");
  EXPECT_EQ(DateText(Scalar("select dcheckdate from pp_productpo where id=9001")), "2024-03-05");
  // The same document again: approval changed the row version.
  EXPECT_EQ(Confirm(loaded), "生产订单[9001]已经被改变或删除，审核失败！");
  EXPECT_EQ(Confirm(LoadHead(kOrder)), "生产订单[9001]已经被审核，审核失败！");
}

TEST_F(SCDDOrderWorkflowTest, StaleApprovalChangesNothing) {
  DOMDocumentPtr loaded = LoadHead(kOrder);
  ChangeHeadElsewhere();
  EXPECT_EQ(Confirm(loaded), "生产订单[9001]已经被改变或删除，审核失败！");
  EXPECT_EQ(Verifier(), "");
}

TEST_F(SCDDOrderWorkflowTest, UnknownOrderIsNamedWithoutBrackets) {
  DOMDocumentPtr head = Rows({{{"id", "9999"}, {"cverifier", "x"}, {"qxts", "0.0001"}}});
  EXPECT_EQ(Confirm(head), "生产订单已经被审核，审核失败！");
  EXPECT_EQ(Confirm(Rows({{{"id", "9999"}, {"qxts", "0.0001"}}})), "生产订单已经被改变或删除，审核失败！");
}

TEST_F(SCDDOrderWorkflowTest, CloseAndReopenEveryLineOfAFreshOrder) {
  Approve();
  EXPECT_EQ(Close(LoadHead(kOrder)), "生产订单[9001  9001  9001]关闭成功！");
  EXPECT_EQ(ClosedLines(), "3");
  EXPECT_EQ(Scalar("select min(cclose) from pp_pomain where id=9001"), "张三");

  DOMDocumentPtr closed = LoadHead(kOrder);
  EXPECT_EQ(Close(closed), "生产订单[9001  9001  9001]已经被关闭，关闭失败！");
  EXPECT_EQ(Cancel(closed), "生产订单[90011  90012  90013]已经被关闭，弃审失败！");
  EXPECT_EQ(Open(closed), "生产订单[9001  9001  9001]打开成功！");
  EXPECT_EQ(ClosedLines(), "0");
  EXPECT_EQ(Open(LoadHead(kOrder)), "生产订单[9001  9001  9001]尚未被关闭，打开失败！");
}

TEST_F(SCDDOrderWorkflowTest, StaleCloseAndReopenChangeNothing) {
  Approve();
  DOMDocumentPtr approved = LoadHead(kOrder);
  ChangeHeadElsewhere();
  EXPECT_EQ(Close(approved), "生产订单[9001  9001  9001]已经被改变或删除，关闭失败！");
  EXPECT_EQ(ClosedLines(), "0");

  ASSERT_EQ(Close(LoadHead(kOrder)), "生产订单[9001  9001  9001]关闭成功！");
  DOMDocumentPtr closed = LoadHead(kOrder);
  ChangeHeadElsewhere();
  EXPECT_EQ(Open(closed), "生产订单[9001  9001  9001]已经被改变或删除，打开失败！");
  EXPECT_EQ(ClosedLines(), "3");
}

TEST_F(SCDDOrderWorkflowTest, UnapprovedOrderCannotBeClosedNorCancelled) {
  DOMDocumentPtr loaded = LoadHead(kOrder);
  EXPECT_EQ(Close(loaded), "生产订单[9001  9001  9001]尚未被审核，关闭失败！");
  EXPECT_EQ(Cancel(loaded), "生产订单[90011  90012  90013]尚未被审核，弃审失败！");
  EXPECT_EQ(ClosedLines(), "0");
}

TEST_F(SCDDOrderWorkflowTest, CancelApprovalOfAnOrderWithoutReports) {
  // Reports on another order's lines do not count.
  AddLine(90021, "TP-A", 1, 9002);
  ReportOrderLine(90021);
  Approve();
  DOMDocumentPtr approved = LoadHead(kOrder);
  EXPECT_EQ(Cancel(approved), "生产订单[90011  90012  90013]弃审成功！");
  EXPECT_EQ(Verifier(), "");
  EXPECT_EQ(Scalar("select dcheckdate from pp_productpo where id=9001"), "");
  EXPECT_EQ(Cancel(approved), "生产订单[90011  90012  90013]已经被改变或删除，弃审失败！");
}

TEST_F(SCDDOrderWorkflowTest, OrderCompletionReportBlocksCancellingApproval) {
  Approve();
  ReportOrderLine(90012);
  EXPECT_EQ(Cancel(LoadHead(kOrder)), "生产订单[90012]已经做进度汇报，弃审失败！");
  EXPECT_EQ(Verifier(), "张三");
}

TEST_F(SCDDOrderWorkflowTest, ProgressReportOnADispatchCardBlocksCancellingApproval) {
  Approve();
  ReportDispatchCard(90013);
  EXPECT_EQ(Cancel(LoadHead(kOrder)), "生产订单[90013]已经做进度汇报，弃审失败！");
  ReportOrderLine(90011);
  EXPECT_EQ(Cancel(LoadHead(kOrder)), "生产订单[90011  90013]已经做进度汇报，弃审失败！");
  EXPECT_EQ(Verifier(), "张三");
}

TEST_F(SCDDOrderWorkflowTest, EditAndDeleteAreAllowedWhileTheDocumentHasARow) {
  const std::string gone = "此张单据已经被删除或不存在任何单据，请刷新后重试！";
  DOMDocumentPtr loaded = LoadHead(kOrder);
  ChangeHeadElsewhere();
  EXPECT_EQ(order.VoucherAllowNew(Rows({}), conn), "");
  EXPECT_EQ(order.VoucherAllowEdit(loaded, conn), "");
  // The order changed since it was loaded: deleting it would lose that change.
  EXPECT_EQ(order.VoucherAllowDelete(loaded, Rows({}), conn), "此张单据[9001]已经被改变或删除，删除失败！");
  EXPECT_EQ(order.VoucherAllowDelete(LoadHead(kOrder), Rows({}), conn), "");
  EXPECT_EQ(order.VoucherAllowEdit(Rows({}), conn), gone);
  EXPECT_EQ(order.VoucherAllowDelete(Rows({}), Rows({}), conn), gone);
}

// A document whose row version is crafted to close the guard's literal must
// match no row: the text is no row version (the database refuses it) and no
// state change reaches any order.
TEST_F(SCDDOrderWorkflowTest, CraftedRowVersionChangesNothing) {
  Exec("insert into pp_productpo(id,ccode,cmaker,iproperty,itype) values (9002,'T9002','demo01',1,1)");
  AddLine(90021, "TP-A", 1, 9002);
  const std::string crafted = "0'), 2) OR 1=1 OR convert(char, convert(money,'0";
  auto head = [&](const std::string& verifier, const std::string& closer) {
    return Rows({{{"id", "9001"}, {"moid", "9001"}, {"qxts", crafted}, {"cverifier", verifier}, {"cclose", closer}}});
  };
  auto attempt = [](const std::function<std::string()>& operation) {
    try {
      return operation();
    } catch (const ComError& e) {
      return std::string("error ") + std::to_string(e.Number());
    }
  };
  const std::string refused = "error " + std::to_string(ErrorNumber::CantConvertValue);
  EXPECT_EQ(attempt([&] { return Confirm(head("", "")); }), refused);
  EXPECT_EQ(Scalar("select count(*) from pp_productpo where id>=9001 and cverifier is not null"), "0");
  Exec("update pp_productpo set cverifier='x' where id in (9001,9002)");
  EXPECT_EQ(attempt([&] { return Cancel(head("x", "")); }), refused);
  EXPECT_EQ(Scalar("select count(*) from pp_productpo where id>=9001 and cverifier='x'"), "2");
  EXPECT_EQ(attempt([&] { return Close(head("x", "")); }), refused);
  EXPECT_EQ(Scalar("select count(*) from pp_pomain where id>=9001 and cclose is not null"), "0");
  Exec("update pp_pomain set cclose='x' where id in (9001,9002)");
  EXPECT_EQ(attempt([&] { return Open(head("x", "x")); }), refused);
  EXPECT_EQ(Scalar("select count(*) from pp_pomain where id>=9001 and cclose is null"), "0");
  EXPECT_EQ(attempt([&] { return order.VoucherAllowDelete(head("", ""), Rows({}), conn); }), refused);
}

}  // namespace
}  // namespace fabrikon::testing_production
