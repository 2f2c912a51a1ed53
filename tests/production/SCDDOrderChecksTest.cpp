// Production order defaults and checks: what a new head carries, which
// fields save mode requires, the field-mode checks and their messages.
#include "ProductionTestSupport.h"
#include "fabrikon/clsSCDDOrder.h"

namespace fabrikon::testing_production {
namespace {

class SCDDOrderCheckTest : public ProductionCheckTest {
 protected:
  std::string Head(const Attributes& head, const std::string& item, bool save) {
    return order.HeadCheck(Form(Rows({head}), Rows({})), conn, item, noReturn, save, cardNumber);
  }
  std::string Body(const std::vector<Attributes>& rows, long R, const std::string& item, bool save) {
    return order.BodyCheck(Form(Rows({{{"id", "1"}}}), Rows(rows)), conn, R, item, noReturn, save, cardNumber);
  }
  clsSCDDOrder order;
};

TEST_F(SCDDOrderCheckTest, NewHeadCarriesLoginDateAndMakerOnly) {
  VoucherFormPtr form = Form(nullptr, nullptr);
  EXPECT_EQ(order.VoucherNew(form, login), "");
  const XmlNodeList rows = form->HeadDOM()->selectNodes("//z:row");
  ASSERT_EQ(rows.length(), 1);
  XmlAttributes attributes = rows.item(0).attributes();
  ASSERT_EQ(attributes.length(), 2);
  EXPECT_EQ(attributes.item(0).nodeName(), "ddate");
  EXPECT_EQ(DateText(attributes.item(0).nodeValue()), "2024-03-05");
  EXPECT_EQ(attributes.item(1).nodeName(), "cmaker");
  EXPECT_EQ(attributes.item(1).nodeValue(), "demo01");
}

TEST_F(SCDDOrderCheckTest, SaveModeRequiresOnlyThePlanDate) {
  EXPECT_EQ(Head({{"ccode", "1"}, {"dplandate", ""}, {"cdepcode", ""}}, "", true),
            "表头：[dplandate]不能为空，请检查！\r");
  EXPECT_EQ(Head({{"dplandate", "2024-03-10T00:00:00"}, {"cdepcode", ""}}, "", true), "");
}

TEST_F(SCDDOrderCheckTest, HeadFieldModeAsksTheReferenceCheckForCodesAndNames) {
  AnswerReferenceChecks("部门编码不存在");
  EXPECT_EQ(Head({{"cdepcode", "D9"}}, "CDepCode", false), "表头：部门编码不存在\r");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].kind, "head");
  EXPECT_EQ(calls[0].item, "CDepCode");
  EXPECT_EQ(calls[0].value, "D9");
  EXPECT_EQ(calls[0].extra, "");

  EXPECT_EQ(Head({{"cpersonname", "x"}}, "dplandate", false), "");
  EXPECT_EQ(calls.size(), 1u);
}

TEST_F(SCDDOrderCheckTest, HeadWithoutRowFailsInBothModes) {
  VoucherFormPtr form = Form(Rows({}), Rows({}));
  EXPECT_THROW(order.HeadCheck(form, conn, "", noReturn, true, cardNumber), ComError);
  EXPECT_THROW(order.HeadCheck(form, conn, "cdepcode", noReturn, false, cardNumber), ComError);
}

TEST_F(SCDDOrderCheckTest, BodyWithoutLiveRowsCannotBeSaved) {
  const std::string noData = "表体：没有数据不能保存，请检查！\r";
  for (bool save : {true, false}) {
    EXPECT_EQ(Body({}, 1, "cinvcode", save), noData);
    EXPECT_EQ(Body({{{"editprop", "D"}, {"cinvcode", ""}}, {{"editprop", "D"}}}, 1, "cinvcode", save), noData);
  }
}

TEST_F(SCDDOrderCheckTest, SaveModeNamesEveryEmptyRequiredCellByDocumentPosition) {
  const std::vector<Attributes> rows = {
      {{"editprop", "D"}, {"cinvcode", "P1"}, {"dstartdate", "2024-01-01"}, {"denddate", "2024-01-02"}},
      {{"editprop", "A"}, {"cinvcode", "P1"}, {"dstartdate", "2024-01-01"}, {"denddate", "2024-01-02"}},
      {{"editprop", "A"}, {"DEndDate", ""}, {"cinvcode", "P2"}, {"dstartdate", ""}, {"cmemo", ""}},
  };
  EXPECT_EQ(Body(rows, 1, "", true),
            "表体：第3行[DEndDate]不能为空，请检查！\r表体：第3行[dstartdate]不能为空，请检查！\r");
}

TEST_F(SCDDOrderCheckTest, DatesAreComparedAsText) {
  // "2008-1-9" sorts after "2008-01-14".
  EXPECT_EQ(Body({{{"dstartdate", "2008-01-14"}, {"denddate", "2008-1-9"}}}, 7, "DEndDate", false), "");
  EXPECT_EQ(Body({{{"dstartdate", "2008-01-20"}, {"denddate", "2008-01-14"}}}, 7, "DEndDate", false),
            "表体：第7行[DEndDate]不能小于[dstartdate]，请检查！\r");
  EXPECT_EQ(Body({{{"dstartdate", "2008-01-20"}, {"denddate", "2008-01-14"}}}, 2, "dStartDate", false),
            "表体：第2行[dStartDate]不能大于[denddate]，请检查！\r");
  EXPECT_EQ(Body({{{"dstartdate", "2008-01-20"}, {"denddate", ""}}}, 2, "dstartdate", false), "");
  EXPECT_EQ(Body({{{"dstartdate", ""}, {"denddate", "2008-01-14"}}}, 2, "denddate", false), "");
  // A line that starts and ends on the same day is allowed from both sides.
  EXPECT_EQ(Body({{{"dstartdate", "2008-01-14"}, {"denddate", "2008-01-14"}}}, 2, "dstartdate", false), "");
  EXPECT_EQ(Body({{{"dstartdate", "2008-01-14"}, {"denddate", "2008-01-14"}}}, 2, "denddate", false), "");
}

TEST_F(SCDDOrderCheckTest, BodyFieldModeReferenceChecks) {
  AnswerReferenceChecks("不存在");
  EXPECT_EQ(Body({{{"cinvcode", "P1"}, {"cfree3", "红"}}}, 4, "cFree3", false), "表体：第4行不存在\r");
  EXPECT_EQ(Body({{{"cinvcode", "P9"}}}, 5, "cinvcode", false), "表体：第5行不存在\r");
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].kind, "body");
  EXPECT_EQ(calls[0].item, "cFree3");
  EXPECT_EQ(calls[0].value, "红");
  EXPECT_EQ(calls[0].extra, "P1");
  EXPECT_EQ(calls[1].kind, "head");
  EXPECT_EQ(calls[1].value, "P9");
  EXPECT_EQ(calls[1].extra, "");
}

TEST_F(SCDDOrderCheckTest, FieldModeChecksTheEditedLineOnce) {
  AnswerReferenceChecks("不存在");
  const std::vector<Attributes> rows = {{{"cinvcode", "P1"}}, {{"cinvcode", "P2"}}, {{"cinvcode", "P3"}}};
  EXPECT_EQ(Body(rows, 2, "cinvcode", false), "表体：第2行不存在\r");
  // A line number beyond the body reads the first line.
  EXPECT_EQ(Body(rows, 7, "cinvcode", false), "表体：第7行不存在\r");
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].value, "P2");
  EXPECT_EQ(calls[1].value, "P1");
  const std::vector<Attributes> dates = {{{"dstartdate", "2024-03-01"}, {"denddate", "2024-03-09"}},
                                         {{"dstartdate", "2024-03-10"}, {"denddate", "2024-03-09"}}};
  EXPECT_EQ(Body(dates, 1, "dstartdate", false), "");
  EXPECT_EQ(Body(dates, 2, "dstartdate", false), "表体：第2行[dstartdate]不能大于[denddate]，请检查！\r");
}

}  // namespace
}  // namespace fabrikon::testing_production
