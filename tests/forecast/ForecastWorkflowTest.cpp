// Forecast approval and closing through the façade against the demo plant:
// the whole life of a forecast with bMRP at every step, the plan-date rule,
// stale and crafted row versions, and the messages with an empty code.
#include "ForecastTestSupport.h"

namespace fabrikon::forecasttest {
namespace {

enum class Op { Confirm, Cancel, Close, Open };

std::string Apply(clsVoucherCO& co, const VoucherFormPtr& form, Op op) {
  switch (op) {
    case Op::Confirm: return co.VoucherConfirm(form);
    case Op::Cancel: return co.VoucherCancelconfirm(form);
    case Op::Close: return co.VoucherClose(form);
    case Op::Open: return co.VoucherOpen(form);
  }
  return "";
}

TEST_F(ForecastTest, LifeOfAForecastMovesBmrpWithItsState) {
  struct Step {
    Op op;
    std::string message;
    std::string state;  // bMRP|cCheckPerson|dCheckDate|cCloser after the step
  };
  const std::string before = "0|||";
  const std::string approved = "1|lina|2024-03-10|";
  const std::string closed = "0|lina|2024-03-10|lina";
  const std::vector<Step> steps = {
      {Op::Close, "预测单[0000000002]尚未被审核，关闭失败！", before},
      {Op::Cancel, "预测单[0000000002]尚未被审核，弃审失败！", before},
      {Op::Open, "预测单[0000000002]尚未被关闭，打开失败！", before},
      {Op::Confirm, "预测单[0000000002]审核成功！", approved},
      {Op::Confirm, "预测单[0000000002]已经被审核，审核失败！", approved},
      {Op::Close, "预测单[0000000002]关闭成功！", closed},
      {Op::Close, "预测单[0000000002]已经被关闭，关闭失败！", closed},
      {Op::Cancel, "预测单[0000000002]已经被关闭，弃审失败！", closed},
      {Op::Open, "预测单[0000000002]打开成功！", approved},  // reopening keeps the approval
      {Op::Cancel, "预测单[0000000002]弃审成功！", before},
  };
  for (const Step& step : steps) {
    Load("0000000002");  // the host reloads after every change
    EXPECT_EQ(Apply(co, form, step.op), step.message);
    EXPECT_EQ(State("0000000002"), step.state) << step.message;
  }
  EXPECT_EQ(State("0000000001"), "1|lina|2024-02-29|");  // the other forecast is untouched
}

TEST_F(ForecastTest, StaleAndCraftedRowVersionsChangeNothing) {
  struct Case {
    Op op;
    std::string setup;  // brings forecast 2 into the state the operation needs
    std::string changed;
  };
  const std::vector<Case> cases = {
      {Op::Confirm, "", "预测单[0000000002]已经被改变或删除，审核失败！"},
      {Op::Cancel, "UPDATE PP_ForecastMain SET bMRP=1, cCheckPerson='x' WHERE cFCID='0000000002'",
       "预测单[0000000002]已经被改变或删除，弃审失败！"},
      {Op::Close, "UPDATE PP_ForecastMain SET bMRP=1, cCheckPerson='x' WHERE cFCID='0000000002'",
       "预测单[0000000002]已经被改变或删除，关闭失败！"},
      {Op::Open, "UPDATE PP_ForecastMain SET cCheckPerson='x', cCloser='y' WHERE cFCID='0000000002'",
       "预测单[0000000002]已经被改变，打开失败！"},
  };
  const std::string crafted = "0'), 2) OR 1=1 OR convert(char, convert(money,'0";
  for (const Case& c : cases) {
    if (!c.setup.empty()) conn->Execute(c.setup);
    Load("0000000002");
    const std::string state1 = State("0000000001");
    const std::string state2 = State("0000000002");

    // Another user saved the forecast after it was loaded.
    ConnectionPtr other = OpenConnection(db.ConnectionString());
    other->Execute("UPDATE PP_ForecastMain SET cmemo='changed' WHERE cFCID='0000000002'");
    EXPECT_EQ(Apply(co, form, c.op), c.changed);
    EXPECT_EQ(State("0000000002"), state2) << c.changed;

    // A version text that tries to close the literal and widen the WHERE.
    Load("0000000002");
    form->HeadDOM()->selectSingleNode("//z:row").setAttribute("qxts", Variant(crafted));
    std::string answer;
    try {
      answer = Apply(co, form, c.op);
    } catch (const ComError& e) {
      answer = "error " + e.Description();  // the server refuses the text as a money value
    }
    EXPECT_EQ(answer.find("成功"), std::string::npos) << answer;
    EXPECT_EQ(State("0000000001"), state1) << c.changed;
    EXPECT_EQ(State("0000000002"), state2) << c.changed;
  }
}

TEST_F(ForecastTest, ApprovalComparesTheLoginDateWithThePlanDate) {
  Load("0000000002");  // planned for 2024-03-04
  LoginInfoPtr early = std::make_shared<EmbeddedLoginInfo>(DateTime{2024, 3, 3}, "李娜", "lina");
  co.Init(early, conn, "pp01");
  EXPECT_EQ(co.VoucherConfirm(form), "当前登陆日期小于预测单[0000000002]的计划日期，审核失败！");
  EXPECT_EQ(State("0000000002"), "0|||");

  LoginInfoPtr sameDay = std::make_shared<EmbeddedLoginInfo>(DateTime{2024, 3, 4}, "李娜", "lina");
  co.Init(sameDay, conn, "pp01");
  EXPECT_EQ(co.VoucherConfirm(form), "预测单[0000000002]审核成功！");
  EXPECT_EQ(State("0000000002"), "1|lina|2024-03-04|");
}

TEST_F(ForecastTest, MessagesKeepTheirBracketsWithAnEmptyCode) {
  form->HeadDOM(Rows({{{"cfcid", ""}, {"ccheckperson", "lina"}, {"ccloser", ""}, {"qxts", "0.0001"}}}));
  EXPECT_EQ(co.VoucherConfirm(form), "预测单[]已经被审核，审核失败！");
  EXPECT_EQ(co.VoucherClose(form), "预测单[]已经被改变或删除，关闭失败！");
  EXPECT_EQ(co.VoucherOpen(form), "预测单[]尚未被关闭，打开失败！");
}

TEST_F(ForecastTest, NewHeadAndPermissions) {
  EXPECT_EQ(co.VoucherNew(form), "");
  EXPECT_EQ(form->HeadDOM()->xml(),
            R"(<z:row xmlns:z="#RowsetSchema" dplandate="2024-03-10" cplanperson="lina" cppname="李娜"/>)");
  EXPECT_EQ(co.VoucherAllowNew(form), "");
  EXPECT_EQ(co.VoucherAllowEdit(form), "");
  form->HeadDOM(Rows({}));
  const std::string gone = "此张单据已经被删除或不存在任何单据，请刷新后重试！";
  EXPECT_EQ(co.VoucherAllowEdit(form), gone);
  EXPECT_EQ(co.VoucherAllowDelete(form), gone);
}

}  // namespace
}  // namespace fabrikon::forecasttest
