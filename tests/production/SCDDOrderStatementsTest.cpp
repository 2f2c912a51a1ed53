// The statement texts of the production order as the database receives
// them: the connection is the real embedded one, wrapped so the test can
// read every text sent through it.
#include <algorithm>

#include "ProductionOrderData.h"
#include "fabrikon/clsSCDDOrder.h"
#include "support/RecordingConnection.h"

namespace fabrikon::testing_production {
namespace {

using TextLog = testsupport::RecordingConnection;

const std::string kFirstWaste = " select pm.mainid, CPSCode,PS.cDepCode,PS.cWhCode,isnull(PS.iPSQuantity,0) as iPSQuantity,isnull(PS.iWasteRate,0) as iWasteRate, ";
const std::string kFirstNoWaste = " select pm.mainid,  CPSCode,PS.cDepCode,PS.cWhCode,isnull(PS.iPSQuantity,0) as iPSQuantity,isnull(PS.iWasteRate,0) as iWasteRate, ";
const std::string kQuantityWaste = " (fquantity*iPSQuantity)*(1+isnull(iWasteRate,0)/100) as Quantity ";
const std::string kQuantityNoWaste = " (fquantity*iPSQuantity)  as Quantity ";
const std::string kRest =
    std::string(" PS.cFree1 as cFree1,PS.cFree2 as cFree2,PS.cFree3 as cFree3,PS.cFree4 as cFree4,PS.cFree5 as cFree5,PS.cFree6 as cFree6,PS.cFree7 as cFree7,PS.cFree8 as cFree8,PS.cFree9 as cFree9,PS.cFree10 as cFree10, ")
    + "@"
    + " from pp_productpo PO left join pp_pomain PM on po.id=pm.id, "
    + " ProductStructure P left join ProductStructures PS on   P.iAutoId=PS.IPID "
    + " where   P.CPSPCode=pm.cinvcode and  isnull(P.cFree1,'')= isnull(pm.cfree1,'')  and  isnull(P.cFree2,'')=isnull(pm.cfree2,'')  and  isnull(P.cFree3,'')=isnull(pm.cfree3,'')  and   isnull(P.cFree4,'')= isnull(pm.cfree4,'') "
    + " and isnull(P.cFree5,'')=isnull(pm.cfree5,'')  and  isnull(P.cFree6,'')=isnull(pm.cfree6,'')  and   isnull(P.cFree7,'')= isnull(pm.cfree7,'')  and  isnull(P.cFree8,'')=isnull(pm.cfree8,'')  and  isnull(P.cFree9,'')=isnull(pm.cfree9,'')"
    + " and  isnull(P.cFree10,'')= isnull(pm.cfree10 ,'')  and po.id= "
    + "9001";

std::string ComponentQuery(const std::string& first, const std::string& quantity) {
  std::string rest = kRest;
  return first + rest.replace(rest.find('@'), 1, quantity);
}

class SCDDOrderStatementsTest : public ProductionOrderTest {
 protected:
  void SetUp() override {
    ProductionOrderTest::SetUp();
    log = std::make_shared<TextLog>(conn);
    logged = log;
  }
  bool Sent(const std::string& text) const {
    return std::find(log->texts.begin(), log->texts.end(), text) != log->texts.end();
  }
  std::shared_ptr<TextLog> log;
  ConnectionPtr logged;
  clsSCDDOrder order;
};

TEST_F(SCDDOrderStatementsTest, MaterialListStatements) {
  Exec("insert into ProductStructure(iAutoId,CPSPCode) values (9101,'TP-A')");
  AddComponent(9101, "CA-1", 2, 5);
  const std::string next = std::to_string(std::stol(Scalar("select max(SubID) from PP_PODetails")) + 1);

  ASSERT_EQ(order.VoucherAfterSave(Rows({{{"id", "9001"}}}), Rows({}), logged), "");
  EXPECT_TRUE(Sent("SELECT cValue FROM AccInformation WHERE csysid = 'PP' AND cName = 'bWasteRate'"));
  EXPECT_TRUE(Sent("select isnull(max(SubID),0) as MaxID from  PP_PODetails "));
  EXPECT_TRUE(Sent(ComponentQuery(kFirstWaste, kQuantityWaste)));
  EXPECT_TRUE(Sent(" insert into PP_PODetails(MainID,SubId,cCode,cInvCode,fQuantity,fOutQuantity,cDepCode,cWhCode,"
                   "iPSQuantity,iWasteRate, cFree1,cFree2,cFree3,cFree4,cFree5,cFree6,cFree7,cFree8,cFree9,cFree10) "
                   "values (90011," + next + ",'','CA-1',21,0,'D01','W01',2,5,Null,Null,Null,Null,Null,Null,Null,Null,"
                   "Null,Null)"));

  SetWasteOption("0");
  ASSERT_EQ(order.VoucherAfterSave(Rows({{{"id", "9001"}}}), Rows({}), logged), "");
  EXPECT_TRUE(Sent(ComponentQuery(kFirstNoWaste, kQuantityNoWaste)));
}

TEST_F(SCDDOrderStatementsTest, QuotesInValuesAreDoubled) {
  login = std::make_shared<EmbeddedLoginInfo>(DateTime{2024, 3, 5}, "O'Brien", "ob");
  DOMDocumentPtr head = LoadHead(kOrder);
  ASSERT_EQ(order.VoucherConfirm(head, logged, login), "生产订单[9001]审核成功！");
  EXPECT_EQ(Scalar("select cverifier from pp_productpo where id=9001"), "O'Brien");
  EXPECT_EQ(order.VoucherConfirm(Rows({{{"id", "x' or '1'='1"}, {"qxts", "0"}}}), logged, login),
            "生产订单已经被改变或删除，审核失败！");
}

}  // namespace
}  // namespace fabrikon::testing_production
