// The production order's material list after saving: one level of each
// line's bill of materials, with or without waste, free items matched with
// NULL and '' equal, rebuilt rather than appended on a re-save, and never
// rebuilt over material that has been issued.
#include <limits>

#include "ProductionOrderData.h"
#include "fabrikon/ComError.h"
#include "fabrikon/clsSCDDOrder.h"
#include "production/modProduction.h"
#include "support/NativeSql.h"

namespace fabrikon::testing_production {
namespace {

constexpr const char* kFailed = "保存生产订单子件失败";

class SCDDOrderMaterialsTest : public ProductionOrderTest {
 protected:
  // Saves as the engine does: inside a transaction, committed on "".
  std::string AfterSave(DOMDocumentPtr body = nullptr, DOMDocumentPtr head = nullptr) {
    conn->BeginTrans();
    const std::string result = order.VoucherAfterSave(head ? head : Rows({{{"id", "9001"}}}),
                                                      body ? body : Rows({}), conn);
    if (result.empty()) conn->CommitTrans(); else conn->RollbackTrans();
    return result;
  }
  std::string Materials(const std::string& column, const std::string& where) {
    return Scalar("select " + column + " from PP_PODetails where " + where);
  }
  std::string OfOrder() { return "mainid in (select mainid from pp_pomain where id=9001)"; }
  long MaxSubId() { return std::stol(Scalar("select isnull(max(SubID),0) from PP_PODetails")); }

  clsSCDDOrder order;
};

TEST_F(SCDDOrderMaterialsTest, TwoLinesExplodeIntoFiveNumberedRows) {
  AddBills();
  const long before = MaxSubId();
  EXPECT_EQ(AfterSave(), "");
  EXPECT_EQ(Materials("count(*)", OfOrder()), "5");
  EXPECT_EQ(Materials("count(*)", "mainid=90011"), "3");
  EXPECT_EQ(Materials("count(*)", "mainid=90012"), "2");
  EXPECT_EQ(Materials("min(SubId)", OfOrder()), std::to_string(before + 1));
  EXPECT_EQ(Materials("max(SubId)", OfOrder()), std::to_string(before + 5));
  EXPECT_EQ(Materials("count(distinct SubId)", OfOrder()), "5");
  EXPECT_EQ(Materials("sum(fOutQuantity)", OfOrder()), "0");
  EXPECT_EQ(Materials("max(cCode)", OfOrder()), "");
  EXPECT_EQ(Materials("cDepCode+'/'+cWhCode", "cInvCode='CB-1'"), "D01/W01");
}

TEST_F(SCDDOrderMaterialsTest, QuantitiesIncludeWasteUnlessTheOptionIsOff) {
  AddBills();
  const std::string ca1 = "cInvCode='CA-1'";  // 10 units x 2 with 5% waste

  SetWasteOption("");
  ASSERT_EQ(AfterSave(), "");
  EXPECT_EQ(Materials("fQuantity", ca1), "21");
  EXPECT_EQ(Materials("fQuantity", "cInvCode='CB-2'"), "4.8");  // 4 x 1 with 20%

  SetWasteOption("0");
  ASSERT_EQ(AfterSave(), "");
  EXPECT_EQ(Materials("fQuantity", ca1), "20");
  EXPECT_EQ(Materials("iWasteRate", ca1), "5");

  SetWasteOption("1");
  ASSERT_EQ(AfterSave(), "");
  EXPECT_EQ(Materials("fQuantity", ca1), "21");
  EXPECT_EQ(Materials("iPSQuantity", ca1), "2");
}

TEST_F(SCDDOrderMaterialsTest, FreeItemsMatchWithNullAndEmptyEqual) {
  Exec("update pp_pomain set cfree1='', cfree2='大' where mainid=90011");
  Exec("update pp_pomain set cfree2='小' where mainid=90012");
  // TP-A's bill: cFree1 NULL and cFree2 '大' match the first line.
  Exec("insert into ProductStructure(iAutoId,CPSPCode,cFree2) values (9101,'TP-A','大')");
  // TP-B's bill differs from the second line in cFree2 only.
  Exec("insert into ProductStructure(iAutoId,CPSPCode,cFree1,cFree2) values (9102,'TP-B','','中')");
  AddComponent(9101, "CA-1", 1, 0, ",cFree3,cFree4", ",'',NULL");
  AddComponent(9101, "CA-2", 1, 0, ",cFree3,cFree10", ",'v','w'");
  AddComponent(9102, "CB-1", 1, 0);

  ASSERT_EQ(AfterSave(), "");
  EXPECT_EQ(Materials("count(*)", OfOrder()), "2");
  EXPECT_EQ(Materials("count(*)", "mainid=90012"), "0");
  EXPECT_EQ(Materials("count(*)", "cInvCode='CA-1' and cFree3 is null and cFree4 is null"), "1");
  EXPECT_EQ(Materials("cFree3", "cInvCode='CA-2'"), "v");
  EXPECT_EQ(Materials("cFree10", "cInvCode='CA-2'"), "w");
}

TEST_F(SCDDOrderMaterialsTest, ReSavingRebuildsInsteadOfAppending) {
  AddBills();
  ASSERT_EQ(AfterSave(), "");
  const long first = MaxSubId();
  Exec("update pp_pomain set fquantity=20 where mainid=90011");
  ASSERT_EQ(AfterSave(), "");
  EXPECT_EQ(Materials("count(*)", OfOrder()), "5");
  EXPECT_EQ(Materials("count(*)", "cInvCode='CA-1'"), "1");
  EXPECT_EQ(Materials("fQuantity", "cInvCode='CA-1'"), "42");
  EXPECT_EQ(Materials("min(SubId)", OfOrder()), std::to_string(first + 1));
}

TEST_F(SCDDOrderMaterialsTest, OtherOrdersKeepTheirMaterials) {
  AddBills();
  AddLine(90021, "TP-B", 1, 9002);
  Exec("insert into PP_PODetails(MainID,SubId,cCode,cInvCode,fQuantity,fOutQuantity) "
       "values (90021,99999,'','CB-1',3,0)");
  ASSERT_EQ(AfterSave(), "");
  // Numbering continues from the highest number of the whole table.
  EXPECT_EQ(Materials("min(SubId)", OfOrder()), "100000");
  ASSERT_EQ(AfterSave(), "");
  EXPECT_EQ(Materials("count(*)", "mainid=90021"), "1");
}

TEST_F(SCDDOrderMaterialsTest, IssuedMaterialRefusesTheRebuildAndKeepsEveryRow) {
  AddBills();
  ASSERT_EQ(AfterSave(), "");
  Exec("update PP_PODetails set fOutQuantity=3 where cInvCode='CB-2' and " + OfOrder());
  const std::string before = Materials("sum(SubId)", OfOrder());

  EXPECT_EQ(AfterSave(), std::string("生产订单[90012]已经有材料出库，不能重新生成子件，") + kFailed);
  EXPECT_EQ(Materials("count(*)", OfOrder()), "5");
  EXPECT_EQ(Materials("sum(SubId)", OfOrder()), before);
  EXPECT_EQ(Materials("fOutQuantity", "cInvCode='CB-2'"), "3");
}

TEST_F(SCDDOrderMaterialsTest, MaterialsOfLinesDeletedInTheSameSaveGoAway) {
  AddBills();
  ASSERT_EQ(AfterSave(), "");
  // The engine has already deleted the line when the material list is rebuilt.
  Exec("delete from pp_pomain where mainid=90012");
  EXPECT_EQ(AfterSave(Rows({{{"mainid", "90011"}, {"editprop", ""}}, {{"mainid", "90012"}, {"editprop", "D"}}})), "");
  EXPECT_EQ(Materials("count(*)", "mainid=90012"), "0");
  EXPECT_EQ(Materials("count(*)", "mainid=90011"), "3");
}

TEST_F(SCDDOrderMaterialsTest, AnOrderWithoutComponentsCannotBeSaved) {
  const std::string result = AfterSave();
  ASSERT_GT(result.size(), std::string(kFailed).size());
  EXPECT_EQ(result.substr(result.size() - std::string(kFailed).size()), kFailed);
}

TEST_F(SCDDOrderMaterialsTest, ABillWithoutComponentRowsFailsTheSave) {
  Exec("insert into ProductStructure(iAutoId,CPSPCode) values (9101,'TP-A')");
  const std::string result = AfterSave();
  EXPECT_NE(result.find(kFailed), std::string::npos);
  EXPECT_EQ(Materials("count(*)", OfOrder()), "0");
}

TEST_F(SCDDOrderMaterialsTest, MaterialIssuedOnALineDeletedInTheSameSaveRefusesIt) {
  AddBills();
  ASSERT_EQ(AfterSave(), "");
  Exec("update PP_PODetails set fOutQuantity=1 where mainid=90012");
  const std::string before = Materials("sum(SubId)", "1=1");
  Exec("delete from pp_pomain where mainid=90012");
  EXPECT_EQ(AfterSave(Rows({{{"mainid", "90011"}, {"editprop", ""}}, {{"mainid", "90012"}, {"editprop", "D"}}})),
            std::string("生产订单[90012]已经有材料出库，不能重新生成子件，") + kFailed);
  EXPECT_EQ(Materials("sum(SubId)", "1=1"), before);
}

TEST_F(SCDDOrderMaterialsTest, AnOrderPastAMillionMaterialRowsIsRefusedBeforeAnyIsBuilt) {
  // A thousand lines of a product with 1,001 components: the thousandth line
  // carries the order past 1,000,000 rows.
  Exec("insert into ProductStructure(iAutoId,CPSPCode) values (9109,'BIG')");
  testsupport::RunNative(
      Path(),
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1001) "
      "INSERT INTO ProductStructures(IPID,CPSCode,iPSQuantity,iWasteRate) SELECT 9109, 'C' || i, 1, 0 FROM n;"
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000) "
      "INSERT INTO pp_pomain(mainid,id,cinvcode,fquantity) SELECT 95000 + i, 9001, 'BIG', 1 FROM n;");
  Exec("insert into PP_PODetails(MainID,SubId,cCode,cInvCode,fQuantity,fOutQuantity) values (90011,987654,'','X',1,0)");
  const std::string before = Materials("count(*)", "1=1");
  EXPECT_EQ(AfterSave(), std::string("生产订单[96000]的产品 BIG 子件超过1000000行，不能生成子件，") + kFailed);
  EXPECT_EQ(Materials("count(*)", "1=1"), before);
  EXPECT_EQ(Materials("cInvCode", "SubId=987654"), "X");
}

TEST_F(SCDDOrderMaterialsTest, AQuantityThatOverflowsFailsWithTheFloatOverflow) {
  AddBills();  // TP-A's CA-1 needs 2 per unit
  Exec("update pp_pomain set fquantity=1e308 where mainid=90011");
  EXPECT_EQ(AfterSave(), std::string("Arithmetic overflow error converting expression to data type float.") + kFailed);
  EXPECT_EQ(Materials("count(*)", OfOrder()), "0");
}

TEST(ProductionQuantityLiteral, OnlyFiniteNumbersBecomeSqlText) {
  const double inf = std::numeric_limits<double>::infinity();
  for (double value : {inf, -inf, std::numeric_limits<double>::quiet_NaN()}) {
    for (const char* pattern : {"", "#", "#.00", "0.00"}) {
      SCOPED_TRACE(std::to_string(value) + " " + pattern);
      try {
        const std::string text = production::QuantityLiteral(FormatNumber(value, pattern));
        ADD_FAILURE() << "written as " << text;
      } catch (const ComError& e) {
        EXPECT_EQ(e.Number(), static_cast<int32_t>(0x80040E07));
        EXPECT_EQ(e.Description(), "Arithmetic overflow error converting expression to data type float.");
      }
    }
  }
  EXPECT_EQ(production::QuantityLiteral(FormatNumber(0, "#")), "0");
  EXPECT_EQ(production::QuantityLiteral(FormatNumber(0.5, "#.00")), ".50");
  EXPECT_EQ(production::QuantityLiteral(FormatNumber(-2.5, "")), "-2.5");
  EXPECT_EQ(production::QuantityLiteral("1E+308"), "1E+308");
}

}  // namespace
}  // namespace fabrikon::testing_production
