// Forecast field and save checks: the messages of head and lines, what goes
// back to the screen through domReturn, and which line a field check reads.
#include "ForecastTestSupport.h"

namespace fabrikon::forecasttest {
namespace {

const Attributes kLine = {{"cinvcode", "P100"}, {"imqty", "10"}, {"drequiredate", "2008-02-01T00:00:00"},
                          {"drequireenddate", "2008-03-01T00:00:00"}};

Attributes With(Attributes row, const std::string& name, const std::string& value) {
  for (auto& [n, v] : row) {
    if (n == name) {
      v = value;
      return row;
    }
  }
  row.emplace_back(name, value);
  return row;
}

TEST_F(ForecastTest, HeadChecks) {
  form->HeadDOM(Rows({{{"cfcid", " "}, {"dplandate", ""}, {"cdepcode", "D05"}, {"wcname", "x"}}}));
  DOMDocumentPtr domReturn;
  EXPECT_EQ(co.HeadCheck(form, "", domReturn, true),
            "表头：[cfcid]不能为空，请检查！\r表头：[dplandate]不能为空，请检查！\r");

  AnswerReferenceChecks("部门[D05]不存在！");
  EXPECT_EQ(co.HeadCheck(form, "CDepCode", domReturn, false), "表头：部门[D05]不存在！\r");
  EXPECT_EQ(co.HeadCheck(form, "wcname", domReturn, false), "表头：部门[D05]不存在！\r");
  EXPECT_EQ(co.HeadCheck(form, "cmemo", domReturn, false), "");
  EXPECT_EQ(calls, (std::vector<std::string>{"CDepCode=D05@", "wcname=x@"}));
}

TEST_F(ForecastTest, FieldChecksOfALine) {
  struct Case {
    std::string item;
    Attributes line;
    std::string message;
    std::string returned;  // domReturn's xml ("" when none was made)
  };
  const std::vector<Case> cases = {
      {"imqty", With(kLine, "imqty", "abc"), "表体：第1行[imqty]必须大于零，请检查！\r", ""},
      {"imqty", With(kLine, "imqty", "0"), "表体：第1行[imqty]必须大于零，请检查！\r", ""},
      {"imqty", With(kLine, "imqty", "-5"), "表体：第1行[imqty]必须大于零，请检查！\r", ""},
      {"imqty", With(kLine, "imqty", ""), "", ""},
      {"imqty", With(kLine, "cinvcode", ""), "表体：第[1]行请先录入存货！", ""},
      {"drequiredate", With(kLine, "drequireenddate", "2008-01-20T00:00:00"), "",
       R"(<z:row xmlns:z="#RowsetSchema" drequireenddate="2008-02-01T00:00:00"/>)"},
      {"drequiredate", With(kLine, "drequireenddate", ""), "", R"(<z:row xmlns:z="#RowsetSchema" drequireenddate="2008-02-01T00:00:00"/>)"},
      {"drequiredate", kLine, "", ""},
      {"drequiredate", With(kLine, "drequiredate", ""), "", R"(<z:row xmlns:z="#RowsetSchema" drequireenddate=""/>)"},
      {"drequireenddate", With(kLine, "drequireenddate", "2008-01-31T00:00:00"),
       "表体：第1行[drequireenddate]不能小于[drequiredate]，请检查！\r", ""},
      {"drequireenddate", With(kLine, "drequireenddate", ""), "", R"(<z:row xmlns:z="#RowsetSchema" drequiredate=""/>)"},
      {"drequireenddate", kLine, "", ""},
      {"cmemo", kLine, "", ""},
  };
  for (const Case& c : cases) {
    form = std::make_shared<EmbeddedVoucherForm>(Rows({}), Rows({c.line}));
    DOMDocumentPtr domReturn;
    EXPECT_EQ(co.BodyCheck(form, 1, c.item, domReturn, false), c.message) << c.item;
    EXPECT_EQ(domReturn ? domReturn->xml() : "", c.returned) << c.item;
  }
}

TEST_F(ForecastTest, FieldChecksReadTheEditedLineOnce) {
  const Attributes first = kLine;
  const Attributes second = With(With(kLine, "imqty", "-5"), "cinvcode", "P200");
  const Attributes third = With(With(kLine, "drequireenddate", "2008-01-20T00:00:00"), "cinvcode", "S210");
  form = std::make_shared<EmbeddedVoucherForm>(Rows({}), Rows({first, second, third}));
  DOMDocumentPtr domReturn;
  EXPECT_EQ(co.BodyCheck(form, 2, "imqty", domReturn, false), "表体：第2行[imqty]必须大于零，请检查！\r");
  EXPECT_EQ(co.BodyCheck(form, 1, "imqty", domReturn, false), "");
  // One hand-back for the edited line, however many lines there are.
  EXPECT_EQ(co.BodyCheck(form, 3, "drequiredate", domReturn, false), "");
  ASSERT_TRUE(domReturn);
  EXPECT_EQ(domReturn->xml(), R"(<z:row xmlns:z="#RowsetSchema" drequireenddate="2008-02-01T00:00:00"/>)");
  // Free items are checked against the item of the edited line.
  AnswerReferenceChecks("");
  DOMDocumentPtr none;
  EXPECT_EQ(co.BodyCheck(form, 2, "cfree1", none, false), "");
  EXPECT_EQ(co.BodyCheck(form, 3, "cinvcode", none, false), "");
  // A line number beyond the body reads the first line.
  EXPECT_EQ(co.BodyCheck(form, 9, "cfree2", none, false), "");
  EXPECT_EQ(calls, (std::vector<std::string>{"cfree1=@P200", "cinvcode=S210@", "cfree2=@P100"}));
}

TEST_F(ForecastTest, SaveModeReportsEmptyCellsOfEveryLine) {
  form = std::make_shared<EmbeddedVoucherForm>(
      Rows({}), Rows({With(kLine, "imqty", "-5"), With(With(kLine, "imqty", ""), "cinvcode", "")}));
  DOMDocumentPtr domReturn;
  EXPECT_EQ(co.BodyCheck(form, 1, "", domReturn, true),
            "表体：第2行[cinvcode]不能为空，请检查！\r表体：第2行[imqty]不能为空，请检查！\r");
  form = std::make_shared<EmbeddedVoucherForm>(Rows({}), Rows({}));
  EXPECT_EQ(co.BodyCheck(form, 1, "", domReturn, true), "");
  EXPECT_EQ(co.BodyCheck(form, 1, "imqty", domReturn, false), "");
}

}  // namespace
}  // namespace fabrikon::forecasttest
