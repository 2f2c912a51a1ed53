// Test data of the production order tests: one order (9001) of three lines
// for products TP-A, TP-B and TP-C, bills of materials for TP-A (three
// components) and TP-B (two), and helpers for the reports that block
// cancelling approval.
#pragma once
#include "ProductionTestSupport.h"

namespace fabrikon::testing_production {

class ProductionOrderTest : public ProductionDbTest {
 protected:
  static constexpr int kOrder = 9001;

  void SetUp() override {
    ProductionDbTest::SetUp();
    Exec("insert into pp_productpo(id,ccode,ddate,dplandate,cdepcode,cmaker,iproperty,itype) "
         "values (9001,'T9001','2024-03-01','2024-03-20','D01','demo01',1,1)");
    AddLine(90011, "TP-A", 10);
    AddLine(90012, "TP-B", 4);
    AddLine(90013, "TP-C", 1);
  }

  void AddLine(int mainid, const std::string& product, double quantity, int order = kOrder) {
    Exec("insert into pp_pomain(mainid,id,cinvcode,fquantity,dstartdate,denddate) values (" +
         std::to_string(mainid) + "," + std::to_string(order) + ",'" + product + "'," + NumberText(quantity) +
         ",'2024-03-02','2024-03-18')");
  }

  // The standard bills: TP-A of three components, TP-B of two.
  void AddBills() {
    Exec("insert into ProductStructure(iAutoId,CPSPCode) values (9101,'TP-A')");
    Exec("insert into ProductStructure(iAutoId,CPSPCode) values (9102,'TP-B')");
    AddComponent(9101, "CA-1", 2, 5);
    AddComponent(9101, "CA-2", 1, 0);
    AddComponent(9101, "CA-3", 0.5, 10);
    AddComponent(9102, "CB-1", 3, 0);
    AddComponent(9102, "CB-2", 1, 20);
  }

  void AddComponent(int bill, const std::string& code, double perUnit, double waste,
                    const std::string& freeColumns = "", const std::string& freeValues = "") {
    Exec("insert into ProductStructures(IPID,CPSCode,cDepCode,cWhCode,iPSQuantity,iWasteRate" + freeColumns +
         ") values (" + std::to_string(bill) + ",'" + code + "','D01','W01'," + NumberText(perUnit) + "," +
         NumberText(waste) + freeValues + ")");
  }

  void SetWasteOption(const std::string& value) {
    Exec("delete from AccInformation where cSysID='PP' and cName='bWasteRate'");
    if (!value.empty()) {
      Exec("insert into AccInformation(cSysID,cName,cValue) values ('PP','bWasteRate','" + value + "')");
    }
  }

  // An order completion report line on a production order line.
  void ReportOrderLine(int mainid) {
    Exec("insert into PP_PORptMa(porptid,porptcode,keyinman,keyindate) values (9301,'R9301','demo','2024-03-06')");
    Exec("insert into pp_porptde(porptid,autoid,mainid,finnum) values (9301,9302," + std::to_string(mainid) +
         ",1)");
  }

  // A progress completion report line on a dispatch card made from an order line.
  void ReportDispatchCard(int mainid) {
    Exec("insert into PP_MoOrderMa(moid,mainid,dplandate) values (9401," + std::to_string(mainid) +
         ",'2024-03-06')");
    Exec("insert into pp_moorderde(moid,mosubid,cinvcode,imqty) values (9401,9402,'TP-A',1)");
    Exec("insert into PP_MOOrderRptMa(rptid,rptcode,keyinman,keyindate) values (9403,'P9403','demo','2024-03-07')");
    Exec("insert into pp_moorderrptde(rptid,autoid,mosubid,finnum) values (9403,9404,9402,1)");
  }
};

}  // namespace fabrikon::testing_production
