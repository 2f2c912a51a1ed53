// Dispatch orders: field and save checks of the cards (total time, need
// dates, operation sequence), the card list that names the order, and the
// four state changes against the demo plant's dispatch orders.
#include "ShopfloorTestSupport.h"
#include "fabrikon/clsMOOrder.h"

namespace fabrikon::testing_shopfloor {
namespace {

class MOOrderTest : public ShopfloorTest {
 protected:
  DOMDocumentPtr Head(int moid) { return Load("select * from v_pp13_h where moid=" + std::to_string(moid)); }

  std::string Field(const std::vector<Attributes>& body, long R, const std::string& item) {
    domReturn.reset();
    return order.BodyCheck(Form(Rows({{{"moid", "1"}}}), Rows(body)), conn, R, item, domReturn, false, card);
  }
  std::string Save(const std::vector<Attributes>& body) {
    return order.BodyCheck(Form(Rows({{{"moid", "1"}}}), Rows(body)), conn, 1, "", domReturn, true, card);
  }
  std::string Audman(int moid) { return Scalar("select audman from PP_MoOrderMa where moid=" + std::to_string(moid)); }

  clsMOOrder order;
  DOMDocumentPtr domReturn;
};

TEST_F(MOOrderTest, TotalTimeCountsWholeBatches) {
  struct Case {
    std::string num, batchnum, standtime, totaltime;
  };
  for (const Case& c : std::vector<Case>{{"10", "3", "1.5", "6.00"},
                                         {"1", "4", "2", "2.00"},
                                         {"10", "3", "0", "0"},
                                         {"", "3", "1.5", ""},
                                         {"4", "4", "0.5", ".50"},
                                         {"abc", "3", "1.5", ""}}) {
    for (const char* item : {"batchnum", "standtime"}) {
      EXPECT_EQ(Field({{{"num", c.num}, {"batchnum", c.batchnum}, {"standtime", c.standtime}}}, 1, item), "");
      EXPECT_EQ(Returned(domReturn, "totaltime"), c.totaltime) << c.num << "/" << c.batchnum << "/" << c.standtime;
    }
  }
  // A refused value hands nothing back.
  EXPECT_EQ(Field({{{"num", "10"}, {"batchnum", "-1"}, {"standtime", "1"}}}, 1, "batchnum"),
            "表体：第1行[batchnum]的值不能小于0，请检查！\r");
  EXPECT_EQ(Field({{{"num", "10"}, {"batchnum", "3"}, {"standtime", "x"}}}, 1, "standtime"),
            "表体：第1行[standtime]不是合法的数值，请检查！\r");
  EXPECT_EQ(domReturn, nullptr);
}

TEST_F(MOOrderTest, OperationSequenceIsFourDigits) {
  const std::string length = "表体：第3行[cindex]的长度必须等于4，请检查！\r";
  const std::string digit = "表体：第3行[cindex]的输入必须为数字，请检查！\r";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"0010", ""}, {"010", length}, {"01a0", digit}, {"", length}, {"1a4", length + digit}, {"ab12", digit + digit}};
  for (const auto& [value, expected] : cases) {
    EXPECT_EQ(Field({{{"cindex", value}}}, 3, "cindex"), expected) << value;
  }
}

TEST_F(MOOrderTest, FieldModeChecksTheEditedLineOnce) {
  // Line 2 is the edited one; line 1 holds values that would fail.
  const std::vector<Attributes> body = {{{"cindex", "x"}, {"imqty", "-1"}, {"num", "9"}, {"batchnum", "1"},
                                         {"standtime", "1"}},
                                        {{"cindex", "0020"}, {"imqty", "5"}, {"num", "10"}, {"batchnum", "3"},
                                         {"standtime", "1.5"}},
                                        {{"cindex", "0030"}}};
  EXPECT_EQ(Field(body, 2, "cindex"), "");
  EXPECT_EQ(Field(body, 2, "imqty"), "");
  EXPECT_EQ(Field(body, 2, "batchnum"), "");
  EXPECT_EQ(Returned(domReturn, "totaltime"), "6.00");  // one row, from line 2
  EXPECT_EQ(Field(body, 1, "imqty"), "表体：第1行[imqty]必须大于零，请检查！\r");
  // A line number beyond the body checks the first line.
  EXPECT_EQ(Field(body, 7, "cindex"),
            "表体：第7行[cindex]的长度必须等于4，请检查！\r表体：第7行[cindex]的输入必须为数字，请检查！\r");
}

TEST_F(MOOrderTest, FieldRulesOfQuantitiesAndDates) {
  const std::vector<std::tuple<Attributes, std::string, std::string>> cases = {
      {{{"imqty", "abc"}}, "imqty", "表体：第1行[imqty]不是合法的数值，请检查！\r"},
      {{{"imqty", "0"}}, "imqty", "表体：第1行[imqty]必须大于零，请检查！\r"},
      {{{"pretime", "-0.5"}}, "pretime", "表体：第1行[pretime]的值不能小于0，请检查！\r"},
      {{{"shifthr", "8h"}}, "shifthr", "表体：第1行[shifthr]不是合法的数值，请检查！\r"},
      {{{"startdate", "2024-03-09"}, {"enddate", "2024-03-08"}}, "startdate",
       "表体：第1行[startdate]不能大于[enddate]，请检查！\r"},
      {{{"startdate", "2024-03-09"}, {"enddate", "2024-03-08"}}, "enddate",
       "表体：第1行[enddate]不能小于[startdate]，请检查！\r"},
      {{{"startdate", "2024-03-09"}, {"enddate", ""}}, "startdate", ""},
      {{{"drequiredate", "2024-03-09T00:00:00"}, {"drequireenddate", "2024-03-08T00:00:00"}}, "drequireenddate",
       "表体：第1行[drequireenddate]不能小于[drequiredate]，请检查！\r"},
  };
  for (const auto& [row, item, expected] : cases) EXPECT_EQ(Field({row}, 1, item), expected) << item;
}

TEST_F(MOOrderTest, NeedDatesAreHandedBack) {
  EXPECT_EQ(Field({{{"drequiredate", "2024-03-09T00:00:00"}, {"drequireenddate", "2024-03-08T00:00:00"}}}, 1,
                  "drequiredate"),
            "");
  EXPECT_EQ(Returned(domReturn, "drequireenddate"), "2024-03-09T00:00:00");
  Field({{{"drequiredate", "2024-03-09"}, {"drequireenddate", "2024-03-12"}}}, 1, "drequiredate");
  EXPECT_EQ(domReturn, nullptr);
  Field({{{"drequiredate", ""}}}, 1, "drequiredate");
  ASSERT_NE(domReturn, nullptr);
  EXPECT_EQ(Returned(domReturn, "drequireenddate"), "");
  Field({{{"drequiredate", "2024-03-09"}, {"drequireenddate", ""}}}, 1, "drequireenddate");
  ASSERT_NE(domReturn, nullptr);
  EXPECT_TRUE(HasAttribute(domReturn->selectSingleNode("//z:row"), "drequiredate"));
  EXPECT_EQ(Returned(domReturn, "drequiredate"), "");
}

TEST_F(MOOrderTest, ReferenceChecksNameTheLineAndPassTheCard) {
  AnswerReferenceChecks("[opcode]不存在！");
  card = "pp13";
  EXPECT_EQ(Field({{{"opcode", "GX99"}}, {{"opcode", "GX98"}, {"cinvcode", "P100"}, {"cfree1", "紫"}}}, 2, "opcode"),
            "表体：第2行[opcode]不存在！\r");
  Field({{{"cfree1", "x"}}, {{"cinvcode", "P100"}, {"cfree1", "紫"}}}, 2, "cfree1");
  Field({{{"cinvcode", "P100"}}}, 1, "cinvcode");
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].value + "|" + calls[0].extra, "GX98|pp13");
  EXPECT_EQ(calls[1].kind + "|" + calls[1].value + "|" + calls[1].extra, "body|紫|P100");
  EXPECT_EQ(calls[2].extra, "");
}

TEST_F(MOOrderTest, SaveModeNeedsCardsWithTheirRequiredCells) {
  EXPECT_EQ(Save({}), "表体：没有数据不能保存，请检查！\r");
  EXPECT_EQ(Save({{{"editprop", "D"}}, {{"editprop", "D"}}}), "表体：没有数据不能保存，请检查！\r");
  EXPECT_EQ(Save({{{"cinvcode", "P100"}, {"imqty", "5"}, {"num", "x"}},
                  {{"editprop", "D"}, {"cinvcode", ""}, {"batchnum", "1,5"}, {"timeunit", ""}}}),
            "表体：第1行[num]必须录入数值，请检查！\r表体：第2行[cinvcode]不能为空，请检查！\r"
            "表体：第2行[batchnum]必须录入数值，请检查！\r表体：第2行[timeunit]不能为空，请检查！\r");
  DOMDocumentPtr none;
  EXPECT_EQ(order.HeadCheck(Form(Rows({{{"dplandate", ""}, {"moid", "1"}}})), conn, "", none, true, card),
            "表头：[dplandate]不能为空，请检查！\r");
}

TEST_F(MOOrderTest, NewOrderIsPlannedByTheUserToday) {
  VoucherFormPtr form = Form(Rows({}));
  EXPECT_EQ(order.VoucherNew(form, login), "");
  EXPECT_EQ(form->HeadDOM()->xml(),
            "<z:row xmlns:z=\"#RowsetSchema\" dplandate=\"2024-03-10\" cplanperson=\"demo01\" cppname=\"张三\"/>");
}

TEST_F(MOOrderTest, StateChangesNameTheOrderByItsCards) {
  DOMDocumentPtr entered = Head(2);
  EXPECT_EQ(order.VoucherClose(entered, conn, login), "派工单[3]尚未被审核，关闭失败！");
  EXPECT_EQ(order.VoucherCancelconfirm(entered, conn), "派工单[3]尚未被审核，弃审失败！");
  EXPECT_EQ(order.VoucherConfirm(entered, conn, login), "派工单[3]审核成功！");
  EXPECT_EQ(Audman(2), "张三");
  EXPECT_EQ(DateText(Scalar("select audtime from PP_MoOrderMa where moid=2")), "2024-03-10");
  EXPECT_EQ(order.VoucherConfirm(entered, conn, login), "派工单[3]已经被改变或删除，审核失败！");

  DOMDocumentPtr approved = Head(2);
  EXPECT_EQ(order.VoucherConfirm(approved, conn, login), "派工单[3]已经被审核，审核失败！");
  EXPECT_EQ(order.VoucherOpen(approved, conn), "派工单[3]尚未被关闭，打开失败！");
  EXPECT_EQ(order.VoucherClose(approved, conn, login), "派工单[3]关闭成功！");
  EXPECT_EQ(Scalar("select closeman from PP_MoOrderMa where moid=2"), "张三");

  DOMDocumentPtr closed = Head(2);
  EXPECT_EQ(order.VoucherClose(closed, conn, login), "派工单[3]已经被关闭，关闭失败！");
  EXPECT_EQ(order.VoucherCancelconfirm(closed, conn), "派工单[3]已经被关闭，弃审失败！");
  EXPECT_EQ(order.VoucherOpen(closed, conn), "派工单[3]打开成功！");
  EXPECT_EQ(order.VoucherCancelconfirm(Head(2), conn), "派工单[3]弃审成功！");
  EXPECT_EQ(Audman(2), "");
}

TEST_F(MOOrderTest, StaleDocumentChangesNothing) {
  DOMDocumentPtr loaded = Head(2);
  Exec("update PP_MoOrderMa set cmemo='elsewhere' where moid=2");
  EXPECT_EQ(order.VoucherConfirm(loaded, conn, login), "派工单[3]已经被改变或删除，审核失败！");
  EXPECT_EQ(Audman(2), "");
}

TEST_F(MOOrderTest, OrderWithoutCardsLosesItsBrackets) {
  Exec("insert into PP_MoOrderMa (MoID, mocode, dplandate) values (9, 'PG000009', '2024-03-10')");
  EXPECT_EQ(order.VoucherConfirm(Head(9), conn, login), "派工单审核成功！");
  EXPECT_EQ(order.VoucherConfirm(Head(9), conn, login), "派工单已经被审核，审核失败！");
}

TEST_F(MOOrderTest, ReportedCardsKeepTheApproval) {
  // Both cards of order 1 are reported on (one report approved, one not).
  EXPECT_EQ(order.VoucherCancelconfirm(Head(1), conn), "派工单[1  2]已经做进度汇报，弃审失败！");
  Exec("delete from pp_moorderrptde where mosubid=2");
  EXPECT_EQ(order.VoucherCancelconfirm(Head(1), conn), "派工单[1]已经做进度汇报，弃审失败！");
  EXPECT_EQ(Audman(1), "李娜");
  Exec("delete from pp_moorderrptde where mosubid=1");
  EXPECT_EQ(order.VoucherCancelconfirm(Head(1), conn), "派工单[1  2]弃审成功！");
}

TEST_F(MOOrderTest, DeleteIsRefusedForAChangedOrDeletedOrder) {
  DOMDocumentPtr loaded = Head(2);
  EXPECT_EQ(order.VoucherAllowDelete(loaded, nullptr, conn), "");
  Exec("update PP_MoOrderMa set cmemo='elsewhere' where moid=2");
  EXPECT_EQ(order.VoucherAllowDelete(loaded, nullptr, conn), "此张单据[2]已经被改变或删除，删除失败！");
  DOMDocumentPtr current = Head(2);
  Exec("delete from PP_MoOrderMa where moid=2");
  EXPECT_EQ(order.VoucherAllowDelete(current, nullptr, conn), "此张单据[2]已经被改变或删除，删除失败！");
  EXPECT_EQ(order.VoucherAllowDelete(Rows({}), nullptr, conn), "此张单据已经被删除或不存在任何单据，请刷新后重试！");
  EXPECT_EQ(order.VoucherAllowEdit(Rows({}), conn), "此张单据已经被删除或不存在任何单据，请刷新后重试！");
}

TEST_F(MOOrderTest, KeyWithQuotesNamesNoOtherOrder) {
  const std::string before = Snapshot("select moid, audman, closeman from PP_MoOrderMa");
  DOMDocumentPtr crafted = With(Head(2), "moid", "2' OR '1'='1");
  EXPECT_EQ(order.VoucherConfirm(crafted, conn, login), "派工单已经被改变或删除，审核失败！");
  EXPECT_EQ(order.VoucherAllowDelete(With(Head(1), "moid", "0' OR '1'='1"), nullptr, conn),
            "此张单据[0' OR '1'='1]已经被改变或删除，删除失败！");
  EXPECT_EQ(Snapshot("select moid, audman, closeman from PP_MoOrderMa"), before);
}

}  // namespace
}  // namespace fabrikon::testing_shopfloor
