// Progress completion reports ("pp14") and order completion reports ("pp15"):
// the same rules told apart by small differences of their messages, so most
// cases run for both kinds from one table.
#include "ShopfloorTestSupport.h"
#include "fabrikon/clsMOOrderRpt.h"
#include "fabrikon/clsPORpt.h"

namespace fabrikon::testing_shopfloor {
namespace {

class CompletionReportTest : public ShopfloorTest {
 protected:
  std::string Field(BusinessObject& report, const std::vector<Attributes>& body, long R, const std::string& item) {
    domReturn.reset();
    return report.BodyCheck(Form(Rows({{{"rptid", "1"}}}), Rows(body)), conn, R, item, domReturn, false, card);
  }
  std::string Save(BusinessObject& report, const std::vector<Attributes>& body) {
    return report.BodyCheck(Form(Rows({{{"rptid", "1"}}}), Rows(body)), conn, 1, "", domReturn, true, card);
  }
  DOMDocumentPtr Progress(int rptid) { return Load("select * from v_pp14_h where rptid=" + std::to_string(rptid)); }
  DOMDocumentPtr OrderReport(int id) { return Load("select * from v_pp15_h where porptid=" + std::to_string(id)); }

  clsMOOrderRpt progress;
  clsPORpt orderReport;
  DOMDocumentPtr domReturn;
};

Attributes Line(const std::string& finnum, const std::string& finoknum, const std::string& finfailnum) {
  return {{"finnum", finnum}, {"finoknum", finoknum}, {"finfailnum", finfailnum}, {"manhrs", "1"}};
}

TEST_F(CompletionReportTest, CompletedEqualsPassedPlusFailedAtSixDecimals) {
  const std::string sum = "表体：第[1]行 [完成数量]必须等于[合格数量]与[不合格数量]之和！\r";
  for (BusinessObject* report : std::vector<BusinessObject*>{&progress, &orderReport}) {
    EXPECT_EQ(Save(*report, {Line("10", "7", "3")}), "");
    EXPECT_EQ(Save(*report, {Line("10", "7", "2")}), sum);
    EXPECT_EQ(Save(*report, {Line("10", "6.9999999", "3")}), "");
    EXPECT_EQ(Save(*report, {{{"finnum", "5"}, {"finoknum", "5"}}}), "");  // a missing quantity counts 0
  }
}

TEST_F(CompletionReportTest, SaveModeMessagesOfBothKinds) {
  const std::vector<Attributes> body = {{{"finnum", ""}, {"manhrs", ""}, {"realstartdate", ""}, {"realenddate", ""}}};
  EXPECT_EQ(Save(progress, body),
            "表体：第[1]行[完成数量]不能为空，请检查！\r表体：第[1]行[实际工时]不能为空，请检查！\r"
            "表体：第1行[实际开工日期]不能为空，请检查！\r表体：第1行[实际完工日期]不能为空，请检查！\r");
  EXPECT_EQ(Save(orderReport, body),
            "表体：第[1]行[完成数量]不能为空，请检查！\r表体：第[1]行[实际工时]不能为空，请检查！\r"
            "表体：第[1]行[实际开工日期]不能为空，请检查！\r表体：第[1]行[实际完工日期]不能为空，请检查！\r");
  DOMDocumentPtr none;
  EXPECT_EQ(progress.HeadCheck(Form(Rows({{{"rptcode", " "}, {"keyinman", "x"}, {"KeyInDate", ""}}})), conn, "",
                               none, true, card),
            "表头：[rptcode]不能为空，请检查！\r表头：[KeyInDate]不能为空，请检查！\r");
  EXPECT_EQ(orderReport.HeadCheck(Form(Rows({{{"rptcode", ""}, {"porptcode", ""}}})), conn, "", none, true, card),
            "表头：[porptcode]不能为空，请检查！\r");
}

TEST_F(CompletionReportTest, ProgressLineNeedsALiveDispatchCard) {
  // Card 1: approved, open order; 3: unapproved order; 4: closed order.
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"1", ""},
      {"3", "表体：第1行[派工单]已经被弃审，请检查！\r"},
      {"4", "表体：第1行[派工单]已经被关闭，请检查！\r"},
      {"99", "表体：第1行[派工单]已经被删除，请检查！\r"},
      {"1' OR '1'='1", "表体：第1行[派工单]已经被删除，请检查！\r"},
  };
  for (const auto& [card, expected] : cases) {
    Attributes line = Line("1", "1", "0");
    line.insert(line.begin(), {"mosubid", card});
    EXPECT_EQ(Save(progress, {line}), expected) << card;
    EXPECT_EQ(Save(orderReport, {line}), "") << card;
  }
}

TEST_F(CompletionReportTest, FieldModeMessagesOfBothKinds) {
  struct Case {
    Attributes row;
    std::string item, pp14, pp15;
  };
  const std::vector<Case> cases = {
      {{{"finnum", "-"}}, "finnum", "表体：第[2]行[完成数量]必须为大于0的数字，请检查！\r",
       "表体：第2行[完成数量]必须为大于0的数字，请检查！\r"},
      {{{"finnum", "0"}}, "finnum", "表体：第[2]行[完成数量]必须为大于0的数字，请检查！\r",
       "表体：第2行[完成数量]必须为大于0的数字，请检查！\r"},
      {{{"finnum", "abc"}}, "finnum", "表体：第[2]行[完成数量]必须为大于0的数字，请检查！\r",
       "表体：第2行[完成数量]必须为大于0的数字，请检查！\r"},
      {{{"finnum", "10"}, {"finoknum", "-1"}}, "finoknum", "表体：第[2]行[合格数量]必须为不小于0的数字，请检查！\r",
       "表体：第[2]行[合格数量]必须为不小于0的数量！"},
      {{{"finnum", "10"}, {"finoknum", "x"}}, "finoknum", "表体：第[2]行[合格数量]必须为不小于0的数字，请检查！\r",
       ""},
      {{{"finnum", "10"}, {"finoknum", "11"}}, "finoknum", "表体：第[2]行[合格数量]不能大于[完成数量]！",
       "表体：第[2]行[合格数量]不能大于[完成数量]！"},
      {{{"finnum", "10"}, {"finfailnum", "-"}}, "finfailnum",
       "表体：第[2]行[不合格数量]必须为不小于0的数字，请检查！\r", "表体：第[2]行[不合格数量]必须为不小于0的数量！"},
      {{{"finnum", "1"}, {"finfailnum", "2"}}, "finfailnum", "表体：第[2]行[不合格数量]不能大于[完成数量]！",
       "表体：第[2]行[不合格数量]不能大于[完成数量]！"},
      {{{"manhrs", ""}}, "manhrs", "表体：第[2]行[实际工时]必须为不小于0的数字，请检查！\r", ""},
      {{{"manhrs", "-2"}}, "MANHRS", "表体：第[2]行[实际工时]必须为不小于0的数字，请检查！\r",
       "表体：第[2]行[实际工时]必须为不小于0的数量！"},
      {{{"realstartdate", "2024-03-09"}, {"realenddate", "2024-03-08"}}, "realenddate",
       "表体：第2行[实际完工日期]不能小于[实际开工日期]\r", "表体：第[2]行[实际完工日期]不能小于[实际开工日期]\r"},
      {{{"realstartdate", "2024-03-09"}, {"realenddate", ""}}, "realstartdate", "", ""},
  };
  for (const Case& c : cases) {
    // Line 1 is valid throughout: the edited line 2 is the one checked.
    const std::vector<Attributes> body = {Line("10", "7", "3"), c.row};
    EXPECT_EQ(Field(progress, body, 2, c.item), c.pp14) << c.item << " " << c.row[0].second;
    EXPECT_EQ(Field(orderReport, body, 2, c.item), c.pp15) << c.item << " " << c.row[0].second;
  }
}

TEST_F(CompletionReportTest, QuantitiesOfTheEditedLineAreHandedBack) {
  const std::vector<Attributes> body = {Line("3", "3", "0"), Line("10", "4", "")};
  for (BusinessObject* report : std::vector<BusinessObject*>{&progress, &orderReport}) {
    EXPECT_EQ(Field(*report, body, 2, "finoknum"), "");
    EXPECT_EQ(Returned(domReturn, "finfailnum"), "6");
    EXPECT_EQ(Field(*report, {Line("10", "", "2.5")}, 1, "finfailnum"), "");
    EXPECT_EQ(Returned(domReturn, "finoknum"), "7.5");
    EXPECT_EQ(Field(*report, body, 2, "finnum"), "");
    EXPECT_EQ(Returned(domReturn, "finoknum") + "/" + Returned(domReturn, "finfailnum"), "10/0");
  }
}

TEST_F(CompletionReportTest, ReferenceChecksPassTheCardAndTheLine) {
  AnswerReferenceChecks("[x]不存在！");
  DOMDocumentPtr none;
  EXPECT_EQ(progress.HeadCheck(Form(Rows({{{"cdepcode", "D99"}}})), conn, "cdepcode", none, false, card),
            "表头：[x]不存在！\r");
  orderReport.HeadCheck(Form(Rows({{{"audman", "z"}}})), conn, "audman", none, false, card);
  EXPECT_EQ(Field(progress, {{{"operator", "CZ01"}}, {{"operator", "CZ09"}}}, 2, "operator"),
            "表体：第2行[x]不存在！\r");
  EXPECT_EQ(Field(orderReport, {{{"cinvcode", "P100"}, {"cfree1", "紫"}}}, 1, "cfree1"), "表体：第[1]行[x]不存在！\r");
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[0].extra + calls[1].extra, "pp14pp15");
  EXPECT_EQ(calls[2].value + "|" + calls[2].extra, "CZ09|");
  EXPECT_EQ(calls[3].extra, "P100");
}

TEST_F(CompletionReportTest, ApprovalAndItsCancellation) {
  DOMDocumentPtr entered = Progress(2);
  EXPECT_EQ(progress.VoucherConfirm(entered, conn, login), "进度完工汇报单[JD000002]审核成功！");
  EXPECT_EQ(progress.VoucherConfirm(entered, conn, login), "进度完工汇报单[JD000002]已经被修改或删除，审核失败！");
  EXPECT_EQ(progress.VoucherConfirm(Progress(2), conn, login), "进度完工汇报单[JD000002]已经被审核，审核失败！");
  EXPECT_EQ(progress.VoucherCancelconfirm(entered, conn), "进度完工汇报单[JD000002]已经被修改或删除，弃审失败！");
  EXPECT_EQ(progress.VoucherCancelconfirm(Progress(2), conn), "进度完工汇报单[JD000002]弃审成功！");
  EXPECT_EQ(Scalar("select isnull(audman,'null') from PP_MOOrderRptMa where rptid=2"), "");
  // Never approved: cancelling still succeeds while the version matches.
  EXPECT_EQ(progress.VoucherCancelconfirm(Progress(2), conn), "进度完工汇报单[JD000002]弃审成功！");

  DOMDocumentPtr approved = OrderReport(1);
  EXPECT_EQ(orderReport.VoucherConfirm(approved, conn, login), "订单完工汇报单[DW000001]已经被审核，审核失败！");
  EXPECT_EQ(orderReport.VoucherCancelconfirm(approved, conn), "订单完工汇报单[DW000001]弃审成功！");
  EXPECT_EQ(orderReport.VoucherCancelconfirm(approved, conn), "订单完工汇报单[DW000001]已经被改变或删除，弃审失败！");
  DOMDocumentPtr reopened = OrderReport(1);
  Exec("update PP_PORptMa set cmemo='elsewhere' where porptid=1");
  EXPECT_EQ(orderReport.VoucherConfirm(reopened, conn, login), "订单完工汇报单[DW000001]已经被改变或删除，审核失败！");
}

TEST_F(CompletionReportTest, DeleteIsRefusedForAChangedDeletedOrUnnumberedReport) {
  DOMDocumentPtr loaded = Progress(2);
  EXPECT_EQ(progress.VoucherAllowDelete(loaded, nullptr, conn), "");
  Exec("update PP_MOOrderRptMa set cmemo='elsewhere' where rptid=2");
  EXPECT_EQ(progress.VoucherAllowDelete(loaded, nullptr, conn), "此张单据[JD000002]已经被改变或删除，删除失败！");
  EXPECT_EQ(progress.VoucherAllowDelete(With(Progress(2), "rptid", "2 OR 1=1"), nullptr, conn),
            "此张单据[JD000002]已经被改变或删除，删除失败！");

  DOMDocumentPtr report = OrderReport(1);
  EXPECT_EQ(orderReport.VoucherAllowDelete(report, nullptr, conn), "");
  Exec("delete from PP_PORptMa where porptid=1");
  EXPECT_EQ(orderReport.VoucherAllowDelete(report, nullptr, conn), "此张单据[DW000001]已经被改变或删除，删除失败！");
  EXPECT_EQ(orderReport.VoucherAllowEdit(Rows({}), conn), "此张单据已经被删除或不存在任何单据，请刷新后重试！");
}

TEST_F(CompletionReportTest, NewReportIsKeyedInByTheUserToday) {
  VoucherFormPtr form = Form(Rows({}));
  EXPECT_EQ(orderReport.VoucherNew(form, login), "");
  EXPECT_EQ(form->HeadDOM()->xml(), "<z:row xmlns:z=\"#RowsetSchema\" keyinman=\"张三\" keyindate=\"2024-03-10\"/>");
}

}  // namespace
}  // namespace fabrikon::testing_shopfloor
