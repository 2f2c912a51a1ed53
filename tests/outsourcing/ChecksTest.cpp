// Checks of the outsourcing order and its material lines: the preset head,
// save-mode messages in attribute order, field mode on the edited line, the
// planning-line limit, and the card number the material-line checks name.
#include "OutsourcingTestSupport.h"
#include "fabrikon/clsWWPODetails.h"
#include "support/XmlAllocationCounter.h"

namespace fabrikon::testing_outsourcing {
namespace {

class ChecksTest : public OutsourcingTest {
 protected:
  std::string Head(const Attributes& head, const std::string& item, bool save) {
    return order.HeadCheck(Form(Rows({head}), Rows({})), conn, item, noReturn, save, cardNumber);
  }
  std::string Body(const std::vector<Attributes>& rows, long R, const std::string& item, bool save) {
    return order.BodyCheck(Form(Rows({{{"id", "9001"}}}), Rows(rows)), conn, R, item, noReturn, save, cardNumber);
  }
};

TEST_F(ChecksTest, NewHeadAndHeadChecks) {
  VoucherFormPtr form = Form(Rows({}), Rows({}));
  EXPECT_EQ(order.VoucherNew(form, login), "");
  EXPECT_EQ(form->HeadDOM()->xml(), R"(<z:row xmlns:z="#RowsetSchema" ddate="2024-03-05" cmaker="demo01" ihlevel="1" bhexpandend="否"/>)");

  EXPECT_EQ(Head({{"dplandate", ""}, {"cVenName", ""}, {"ccode", ""}, {"cdepcode", ""}}, "", true),
            "表头：[dplandate]不能为空，请检查！\r表头：[cVenName]不能为空,请检查！\r表头：[订单编号]不能为空，请检查！\r");
  for (const char* text : {"yes", "", "是 "}) {
    EXPECT_EQ(Head({{"bhexpandend", text}}, "bhexpandend", false),
              std::string(text) == "是 " ? "" : "表头：[bhexpandend]录入不合法，请检查！\r");
  }
  EXPECT_EQ(Head({{"bhexpandend", "x"}}, "bhexpandend", true), "");
  AnswerReferenceChecks("供应商不存在");
  EXPECT_EQ(Head({{"cvencode", "V9"}}, "cvencode", false), "表头：供应商不存在\r");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].value, "V9");
}

TEST_F(ChecksTest, SaveModeChecksEveryLineInAttributeOrder) {
  const std::vector<Attributes> rows = {
      {{"fquantity", "abc"}, {"imakecharge", "-1"}, {"cinvcode", ""}},
      {{"cinvcode", "P100"}, {"fquantity", "5x"}, {"totalmoney", "1e"}, {"dstartdate", ""}},
      {{"cinvcode", "P100"}, {"cfree1", "黑"}, {"fquantity", "2"}, {"editprop", "D"}}};
  EXPECT_EQ(Body(rows, 1, "", true),
            "表体：第1行[fquantity]不能为空或小于等于零，请检查！\r"
            "表体：第1行[imakecharge]不能小于零，请检查！\r"
            "表体：第1行[cinvcode]不能为空，请检查！\r"
            "表体：第2行[cinvcode] P100 启用了自由项，必须输入完整，请检查！\r"
            "表体：第2行[fquantity]必须录入数值，请检查！\r"
            "表体：第2行[totalmoney]必须录入数值，请检查！\r"
            "表体：第2行[dstartdate]不能为空，请检查！\r");
  const std::string noData = "表体：没有数据不能保存，请检查！\r";
  EXPECT_EQ(Body({{{"editprop", "D"}}}, 1, "fquantity", false), noData);
  EXPECT_EQ(Body({}, 1, "", true), noData);
}

// The save-mode check looks each line's free items up on the line itself:
// twice the lines cost twice the work, not four times (counted as the XML
// library's allocations, which grow with the rows a selection finds). The
// messages stay those of every line, in line order.
TEST_F(ChecksTest, SaveModeCheckStaysLinearInTheLines) {
  auto lines = [](long count) {
    std::vector<Attributes> rows;
    for (long i = 0; i < count; ++i) rows.push_back({{"cinvcode", "P100"}, {"fquantity", "1"}, {"dstartdate", "2024-03-01"},
                                                     {"denddate", "2024-03-09"}, {"cfree1", i % 500 == 7 ? "" : "黑"}});
    return rows;
  };
  testsupport::XmlAllocationCounter counter;
  std::vector<long long> work;
  for (long count : {1000L, 2000L}) {
    const std::vector<Attributes> rows = lines(count);
    VoucherFormPtr form = Form(Rows({{{"id", "9001"}}}), Rows(rows));
    counter.Take();
    const std::string answer = order.BodyCheck(form, conn, 1, "", noReturn, true, cardNumber);
    work.push_back(counter.Take());
    std::string expected;
    for (long line = 8; line <= count; line += 500) {
      expected += "表体：第" + std::to_string(line) + "行[cinvcode] P100 启用了自由项，必须输入完整，请检查！\r";
    }
    EXPECT_EQ(answer, expected) << count;
  }
  EXPECT_LT(work[1], 3 * work[0]) << work[0] << " then " << work[1];
}

// Lines of several items, each item met again further down: every line is
// held to its own item's free items, whichever line read them first, and a
// later check sees flags changed in between.
TEST_F(ChecksTest, SaveModeCheckHoldsEachLineToItsItemsFreeItems) {
  struct Line {
    const char* item;
    const char* cfree1;
    const char* cfree2;
    const char* editprop;
  };
  const std::vector<Line> lines = {
      {"P100", "黑", "", ""},   {"M231", "", "L", ""},    {"P100", "", "", ""},  {"NONE", "", "", ""},
      {"M231", "x", "", ""},    {"P100", "", "", "D"},   {"p100", "", "", ""},  {"M231", "", "L", ""},
      {"P100", "红", "", ""},   {"NONE", "", "", ""}};
  std::vector<Attributes> rows;
  for (const Line& line : lines) {
    Attributes row = {{"cinvcode", line.item}, {"cfree1", line.cfree1}, {"cfree2", line.cfree2}};
    if (*line.editprop != '\0') row.push_back({"editprop", line.editprop});
    rows.push_back(row);
  }
  auto missing = [](long line, const std::string& item) {
    return "表体：第" + std::to_string(line) + "行[cinvcode] " + item + " 启用了自由项，必须输入完整，请检查！\r";
  };
  // P100 enables free item 1, M231 free item 2; "p100" is the same record.
  EXPECT_EQ(Body(rows, 1, "", true), missing(3, "P100") + missing(5, "M231") + missing(7, "p100"));

  Exec("update inventory set bfree2=1 where cinvcode='P100'");
  EXPECT_EQ(Body(rows, 1, "", true), missing(1, "P100") + missing(3, "P100") + missing(5, "M231") +
                                         missing(7, "p100") + missing(9, "P100"));
}

TEST_F(ChecksTest, FieldModeChecksTheEditedLineOnce) {
  const std::vector<Attributes> rows = {
      {{"fquantity", "0"}, {"dstartdate", "2024-03-09T00:00:00"}, {"denddate", "2024-03-01T00:00:00"}},
      {{"fquantity", "3"}, {"dstartdate", "2024-03-01T00:00:00"}, {"denddate", "2024-03-09T00:00:00"}},
      {{"fquantity", "-2"}, {"imakecharge", "-1"}, {"dstartdate", ""}, {"denddate", "2024-03-09"}}};
  EXPECT_EQ(Body(rows, 2, "fquantity", false), "");
  EXPECT_EQ(Body(rows, 2, "dstartdate", false), "");
  EXPECT_EQ(Body(rows, 1, "fquantity", false), "表体：第1行[fquantity]不能为空或小于等于零，请检查！\r");
  EXPECT_EQ(Body(rows, 3, "fquantity", false), "表体：第3行[fquantity]不能为空或小于等于零，请检查！\r");
  EXPECT_EQ(Body(rows, 1, "dstartdate", false), "表体：第1行[dstartdate]不能大于[denddate]，请检查！\r");
  EXPECT_EQ(Body(rows, 1, "denddate", false), "表体：第1行[denddate]不能小于[dstartdate]，请检查！\r");
  EXPECT_EQ(Body(rows, 3, "denddate", false), "");
  EXPECT_EQ(Body(rows, 3, "imakecharge", false), "表体：第3行[imakecharge]不能小于0，请检查！\r");
  EXPECT_EQ(Body(rows, 9, "fquantity", false), "表体：第9行[fquantity]不能为空或小于等于零，请检查！\r");

  AnswerReferenceChecks("无此存货");
  const std::vector<Attributes> items = {{{"cinvcode", "P1"}}, {{"cinvcode", "P2"}, {"cfree2", "L"}}};
  EXPECT_EQ(Body(items, 2, "cfree2", false), "表体：第2行无此存货\r");
  EXPECT_EQ(Body(items, 2, "cinvcode", false), "表体：第2行无此存货\r");
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].value + "/" + calls[0].extra, "L/P2");
  EXPECT_EQ(calls[1].value + "/" + calls[1].extra, "P2/");
}

TEST_F(ChecksTest, QuantityMayNotExceedWhatThePlanStillReleases) {
  // Planning line 2 releases 40, production orders already took some of it.
  const std::string open = Scalar("select 40 - isnull((select sum(fquantity) from pp_pomain where idatafrom=2),0)");
  const double limit = Val(open);
  const std::string over = "表体：第1行[fquantity]不能超委外计划下达的生产量，请检查！\r";
  EXPECT_EQ(Body({{{"fquantity", NumberText(limit)}, {"idatafrom", "2"}}}, 1, "fquantity", false), "");
  EXPECT_EQ(Body({{{"fquantity", NumberText(limit + 1)}, {"idatafrom", "2"}}}, 1, "fquantity", false), over);
  EXPECT_EQ(Body({{{"fquantity", "500"}, {"idatafrom", "0"}}}, 1, "fquantity", false), "");
  EXPECT_EQ(Body({{{"fquantity", "-1"}, {"idatafrom", "2 or 1=1"}}}, 1, "fquantity", false),
            "表体：第1行[fquantity]不能为空或小于等于零，请检查！\r");
}

TEST_F(ChecksTest, MaterialLinesNameTheRegistrysCard) {
  clsWWPODetails details;
  AnswerReferenceChecks("仓库不存在");
  DOMDocumentPtr domReturn = DOMDocument::Create();
  const auto rows = Rows({{{"cinvcode", "M1"}, {"cwhname", "W"}}, {{"cinvcode", "M2"}, {"ipsquantity", "2"}}});
  EXPECT_EQ(details.BodyCheck(Form(Rows({{{"fquantity", "10"}}}), rows), conn, 1, "cwhname", domReturn, false,
                              cardNumber),
            "表体：第1行仓库不存在\r");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].extra, "om02");
  EXPECT_EQ(details.BodyCheck(Form(Rows({{{"fquantity", "10"}}}), rows), conn, 2, "ipsquantity", domReturn, false,
                              cardNumber),
            "");
  EXPECT_EQ(domReturn->xml(), R"(<z:row xmlns:z="#RowsetSchema" fquantity="20.00"/>)");
  EXPECT_EQ(calls.size(), 1u);
  EXPECT_EQ(details.HeadCheck(Form(Rows({}), rows), conn, "x", domReturn, true, cardNumber), "");
}

}  // namespace
}  // namespace fabrikon::testing_outsourcing
