// Shared fixture of the outsourcing order tests: a copy of the demo database
// per test, an order (9001, code WWT9001) whose product lines the tests add,
// bills of materials built row by row, documents loaded from the voucher
// views, and the login and reference checker of the production tests.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "fabrikon/ComError.h"
#include "fabrikon/clsWWSCDDOrder.h"
#include "fabrikon/host/MessageBox.h"
#include "fabrikon/modOutsourcing.h"
#include "production/ProductionTestSupport.h"
#include "support/DemoDatabase.h"

namespace fabrikon::testing_outsourcing {

using testing_production::Attributes;
using testing_production::Rows;

class OutsourcingTest : public testing_production::ProductionCheckTest {
 protected:
  static constexpr int kOrder = 9001;

  void SetUp() override {
    ProductionCheckTest::SetUp();
    conn = OpenConnection(db.ConnectionString());
    Exec("insert into om_productpo(id,ccode,ddate,dplandate,cvencode,cmaker,istate) "
         "values (9001,'WWT9001','2024-03-01','2024-03-20','V001','demo01',1)");
  }
  void TearDown() override {
    MessageBox::SetHandler(nullptr);
    conn.reset();
    ProductionCheckTest::TearDown();
  }

  void Exec(const std::string& sql) { conn->Execute(sql); }
  std::string Scalar(const std::string& sql) {
    RecordsetPtr rs = conn->Open(sql, adOpenStatic, adLockReadOnly);
    return rs->Eof() ? std::string("<no row>") : NullToEmpty(rs->Fields(size_t{0}).Value());
  }

  // A product line of the order; `extra` is more "column=value" pairs.
  void AddLine(int mainid, const std::string& product, double quantity, const std::string& columns = "",
               const std::string& values = "", int order = kOrder) {
    Exec("insert into om_pomain(mainid,id,cinvcode,fquantity,dstartdate,denddate" + columns + ") values (" +
         std::to_string(mainid) + "," + std::to_string(order) + ",'" + product + "'," + NumberText(quantity) +
         ",'2024-03-02','2024-03-18'" + values + ")");
  }
  void AddHead(int head, const std::string& product, const std::string& columns = "",
               const std::string& values = "") {
    Exec("insert into ProductStructure(iAutoId,cpspcode" + columns + ") values (" + std::to_string(head) + ",'" +
         product + "'" + values + ")");
  }
  // A BOM row; child 0 means the component has no BOM of its own.
  void AddRow(int autoid, int head, const std::string& component, double perUnit, double waste, int child = 0,
              const std::string& columns = "", const std::string& values = "") {
    Exec("insert into ProductStructures(autoid,iPId,cpscode,ipsquantity,iwasterate,cdepcode,cwhcode,childguid" +
         columns + ") values (" + std::to_string(autoid) + "," + std::to_string(head) + ",'" + component + "'," +
         NumberText(perUnit) + "," + NumberText(waste) + ",'D01','W01'," +
         (child ? std::to_string(child) : std::string("NULL")) + values + ")");
  }
  // The worked example: W100 -> W110 (2 per unit, 5 % waste, own BOM) -> W111 (3, 10 %).
  void AddTwoLevelBom() {
    AddHead(9101, "W100");
    AddHead(9102, "W110");
    AddRow(91011, 9101, "W110", 2, 5, 9102);
    AddRow(91021, 9102, "W111", 3, 10);
  }

  DOMDocumentPtr LoadHead(int id = kOrder) { return Load("select * from om_productpo_t where id=" + std::to_string(id)); }
  DOMDocumentPtr LoadBody(int id = kOrder) { return Load("select * from v_om01_l where id=" + std::to_string(id)); }
  DOMDocumentPtr Load(const std::string& query) {
    RecordsetPtr rs = conn->Open(query, adOpenStatic, adLockReadOnly);
    DOMDocumentPtr document = DOMDocument::Create();
    rs->Save(document, adPersistXML);
    return document;
  }

  // The result of an operation, or "error N" when it raised ComError N.
  static std::string Attempt(const std::function<std::string()>& operation) {
    try {
      return operation();
    } catch (const ComError& e) {
      return "error " + std::to_string(e.Number());
    }
  }

  testsupport::DemoDatabase db;
  clsWWSCDDOrder order;
};

// Answers every Yes/No question with `yes` and remembers the texts.
class AnsweringBoxes : public MessageBoxHandler {
 public:
  explicit AnsweringBoxes(bool yes) : yes_(yes) {}
  bool AskYesNo(const std::string& text, const std::string& title) override {
    asked.push_back(title + ":" + text);
    return yes_;
  }
  void ShowError(const std::string& text, const std::string&) override { asked.push_back(text); }
  std::vector<std::string> asked;

 private:
  bool yes_;
};

}  // namespace fabrikon::testing_outsourcing
