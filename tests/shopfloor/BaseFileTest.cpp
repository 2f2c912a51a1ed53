// Base files: the required and numeric fields of each card, one routing per
// item and free items, and the checks of routing lines.
#include "ShopfloorTestSupport.h"
#include "fabrikon/clsBaseFile.h"

namespace fabrikon::testing_shopfloor {
namespace {

class BaseFileTest : public ShopfloorTest {
 protected:
  std::string SaveHead(const std::string& cardNumber, const Attributes& head) {
    card = cardNumber;
    return file.HeadCheck(Form(Rows({head})), conn, "", domReturn, true, card);
  }
  std::string Body(const std::string& cardNumber, const std::vector<Attributes>& body, long R = 1,
                   const std::string& item = "") {
    card = cardNumber;
    domReturn.reset();
    return file.BodyCheck(Form(Rows({{}}), Rows(body)), conn, R, item, domReturn, item.empty(), card);
  }
  Attributes Routing(const std::string& routcode, const std::string& cinvcode, const std::string& cfree1) {
    return {{"routcode", routcode}, {"routname", "r"}, {"cinvcode", cinvcode}, {"cfree1", cfree1}};
  }

  clsBaseFile file;
  DOMDocumentPtr domReturn;
};

Attributes Resource(const std::string& item, const std::string& value) {
  Attributes head = {{"rescode", "R09"}, {"resname", "n"}, {"restype", "t"}, {"unit", "u"},
                     {"wccode", "WC01"}, {"bkeyres", "0"}, {"num", "1"}};
  for (auto& [name, old] : head) {
    if (name == item) old = value;
  }
  if (item != "num" && item != "rescode") head.push_back({item, value});
  return head;
}

TEST_F(BaseFileTest, ResourceNumbersAndRanges) {
  const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
      {"workeff", "100", ""},
      {"workeff", "100.5", "表头：[workeff]不能大于100，请检查！\r"},
      {"workeff", "-1", "表头：[workeff]不能小于零，请检查！\r"},
      {"useeff", "x", "表头：[useeff]不是合法的数值，请检查！\r"},
      {"num", "", "表头：[num]不能为空，请检查！\r"},
      {"num", "-2", "表头：[num]不能小于零，请检查！\r"},
      {"workhours", "", ""},
      {"workhours", "8h", "表头：[workhours]不是合法的数值，请检查！\r"},
      {"dayshinum", "abc", "表头：[每日班次]不是合法的数值，请检查！\r"},
      {"dayshinum", "-1", "表头：[每日班次]不能小于零，请检查！\r"},
      {"rescode", " ", "表头：[rescode]不能为空，请检查！\r"},
  };
  for (const auto& [item, value, expected] : cases) {
    EXPECT_EQ(SaveHead("pp09", Resource(item, value)), expected) << item << "=" << value;
  }
}

TEST_F(BaseFileTest, EachCardRequiresItsOwnFields) {
  const Attributes head = {{"cdepcode", ""}, {"wccode", ""}, {"opcode", ""}, {"routcode", ""}};
  EXPECT_EQ(SaveHead("pp08", head), "表头：[cdepcode]不能为空，请检查！\r表头：[wccode]不能为空，请检查！\r");
  EXPECT_EQ(SaveHead("PP10", head), "表头：[wccode]不能为空，请检查！\r表头：[opcode]不能为空，请检查！\r");
  EXPECT_EQ(SaveHead("pp11", head), "表头：[routcode]不能为空，请检查！\r");
  EXPECT_EQ(SaveHead("pp99", head), "");
}

TEST_F(BaseFileTest, OneRoutingPerItemAndFreeItems) {
  const std::string taken = "表头：此存货已建立工艺路线，请检查！\r";
  // The demo has GY000001 for the black chair.
  EXPECT_EQ(SaveHead("pp11", Routing("GY000009", "P100", "黑")), taken);
  EXPECT_EQ(SaveHead("pp11", Routing("GY000001", "P100", "黑")), "");
  EXPECT_EQ(SaveHead("pp11", Routing("GY000009", "P100", "红")), "");
  EXPECT_EQ(SaveHead("pp11", Routing("GY000009", "S210", "")), taken);  // no free item matches NULL
  // With two routings already matching, a third code must be refused whatever
  // order the database returns them in.
  Exec("insert into pp_routmain (routid, routcode, routname, cinvcode, cfree1) values (8, 'GY000000', 'x', 'P100', '黑')");
  EXPECT_EQ(SaveHead("pp11", Routing("GY000001", "P100", "黑")), taken);
  EXPECT_EQ(SaveHead("pp11", Routing("GY000000", "P100", "黑")), taken);
  EXPECT_EQ(SaveHead("pp11", Routing("GY000009", "P100", "黑")), taken);
  // Quotes in the values stay inside their literals.
  EXPECT_EQ(SaveHead("pp11", Routing("GY000009", "P100' OR '1'='1", "")), "");
  EXPECT_EQ(SaveHead("pp11", Routing("GY000009", "P100", "黑' OR cfree1 is null OR '1'='")), "");
}

TEST_F(BaseFileTest, RoutingDatesInOrder) {
  Attributes head = Routing("GY000009", "M101", "");
  head.push_back({"effdate", "2024-05-01"});
  head.push_back({"deffdate", "2024-04-30"});
  EXPECT_EQ(SaveHead("pp11", head), "表头：[effdate]不能大于[失效日期]，请检查！\r");
  head.back().second = "";
  EXPECT_EQ(SaveHead("pp11", head), "");
}

TEST_F(BaseFileTest, OnlyARoutingNeedsLines) {
  const std::string empty = "表体：没有数据不能保存，请检查！\r";
  EXPECT_EQ(Body("pp11", {}), empty);
  EXPECT_EQ(Body("pp11", {{{"editprop", "D"}}}), empty);
  for (const char* other : {"pp08", "pp09", "pp10"}) EXPECT_EQ(Body(other, {}), "") << other;
  EXPECT_EQ(Body("pp11", {{{"cinvcode", ""}, {"imqty", "x"}, {"timeunit", ""}}, {{"batchnum", "1,5"}}}),
            "表体：第1行[cinvcode]不能为空，请检查！\r表体：第1行[imqty]必须录入数值，请检查！\r"
            "表体：第2行[batchnum]必须录入数值，请检查！\r");
}

TEST_F(BaseFileTest, RoutingLineFieldRules) {
  const std::vector<std::tuple<Attributes, std::string, std::string>> cases = {
      {{{"cindex", "1a4"}}, "cindex", "表体：第2行[cindex]的长度必须等于4，请检查！\r"},
      {{{"cindex", "0a1b"}}, "cindex", "表体：第2行[cindex]的输入必须为数字，请检查！\r"},
      {{{"cindex", "0020"}}, "cindex", ""},
      {{{"batchnum", "-1"}}, "batchnum", "表体：第2行[batchnum]的值不能小于0，请检查！\r"},
      {{{"manhrs", "x"}}, "manhrs", "表体：第2行[manhrs]不是合法的数值，请检查！\r"},
      {{{"imqty", "0"}}, "imqty", "表体：第2行[imqty]必须大于零，请检查！\r"},
      {{{"drequiredate", "2024-03-09"}, {"drequireenddate", "2024-03-01"}}, "drequireenddate",
       "表体：第2行[drequireenddate]不能小于[drequiredate]，请检查！\r"},
      {{{"startdate", "2024-03-09"}, {"enddate", "2024-03-01"}}, "enddate", ""},
  };
  for (const auto& [row, item, expected] : cases) {
    EXPECT_EQ(Body("pp11", {{{"cindex", "x"}, {"batchnum", "-9"}}, row}, 2, item), expected) << item;
  }
  EXPECT_EQ(Body("pp11", {{}, {{"drequiredate", "2024-03-09"}}}, 2, "drequiredate"), "");
  EXPECT_EQ(Returned(domReturn, "drequireenddate"), "2024-03-09");
}

TEST_F(BaseFileTest, ReferenceChecksOfHeadAndLines) {
  AnswerReferenceChecks("[x]不存在！");
  card = "pp10";
  EXPECT_EQ(file.HeadCheck(Form(Rows({{{"wccode", "WC9"}}})), conn, "wccode", domReturn, false, card),
            "表头：[x]不存在！\r");
  file.HeadCheck(Form(Rows({{{"cinvcode", "P100"}, {"cfree1", "紫"}}})), conn, "cfree1", domReturn, false, card);
  EXPECT_EQ(file.HeadCheck(Form(Rows({{{"routname", "x"}}})), conn, "routname", domReturn, false, card), "");
  EXPECT_EQ(Body("pp11", {{{"opcode", "GX1"}}, {{"opcode", "GX2"}}}, 2, "opcode"), "表体：第2行[x]不存在！\r");
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].extra, "pp10");
  EXPECT_EQ(calls[1].kind + "|" + calls[1].extra, "body|P100");
  EXPECT_EQ(calls[2].value + "|" + calls[2].extra, "GX2|");
}

TEST_F(BaseFileTest, NewRecordDefaults) {
  VoucherFormPtr form = Form(Rows({}));
  EXPECT_EQ(file.VoucherNew(form, login), "");
  EXPECT_EQ(form->HeadDOM()->xml(), "<z:row xmlns:z=\"#RowsetSchema\" bkeyres_name=\"否\" bkeyres=\"0\" num=\"1\" effdate=\"2024-03-10\"/>");
  EXPECT_THROW(file.VoucherConfirm(form->HeadDOM(), conn, login), ComError);
}

}  // namespace
}  // namespace fabrikon::testing_shopfloor
