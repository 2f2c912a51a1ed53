// The material list written after an outsourcing order is saved: the rows of
// om_podetails, their numbering, the waste mode, the refusals that keep data
// (issued material, missing or cyclic bills of materials), the planning-line
// recount, and a save through the façade that rolls everything back.
#include <thread>

#include "OutsourcingTestSupport.h"
#include "fabrikon/clsVoucherCO.h"

namespace fabrikon::testing_outsourcing {
namespace {

constexpr const char* kFailed = "保存委外订单子件失败";

class MaterialListTest : public OutsourcingTest {
 protected:
  std::string AfterSave(DOMDocumentPtr body = nullptr) {
    return order.VoucherAfterSave(LoadHead(), body ? body : LoadBody(), conn);
  }
  // "SubID:code:fQuantity:iPSQuantity:iWasteRate:cFree1" per material line, in SubID order.
  std::string Written() {
    RecordsetPtr rs = conn->Open(
        "select SubID,cInvCode,fQuantity,iPSQuantity,iWasteRate,cFree1 from om_podetails where MainID>=90011 "
        "and MainID<=90019 order by SubID",
        adOpenStatic, adLockReadOnly);
    std::string text;
    for (; !rs->Eof(); rs->MoveNext()) {
      text += (text.empty() ? "" : "; ");
      for (size_t i = 0; i < rs->FieldCount(); ++i) {
        const Variant& value = rs->Fields(i).Value();
        text += (i ? ":" : "") + (value.IsNull() ? std::string("NULL") : value.ToText());
      }
    }
    return text;
  }
  // The order as the host shows it, through a façade of its own.
  VoucherFormPtr Shown(clsVoucherCO& co) {
    auto form = Form(DOMDocument::Create(), DOMDocument::Create());
    co.GetVoucherData(form, "", Variant(kOrder));
    return form;
  }
  static XmlNode LineOf(const VoucherFormPtr& form, int mainid) {
    return form->BodyDOM()->selectSingleNode("//z:row[@mainid='" + std::to_string(mainid) + "']");
  }
  void SetWasteMode(const std::string& value) {
    Exec("update AccInformation set cValue='" + value + "' where cSysID='PP' and cName='bWasteRate'");
  }
};

TEST_F(MaterialListTest, LinesAreNumberedAcrossTheTableAndFollowTheWasteMode) {
  AddTwoLevelBom();
  AddHead(9105, "W200");
  AddRow(91051, 9105, "W211", 2, 50, 0, ",cfree1", ",'蓝'");
  AddLine(90011, "W100", 10, ",iblevel", ",2");
  AddLine(90012, "W200", 3);
  Exec("insert into om_podetails(MainID,SubID,cInvCode,fQuantity) values (1,700,'X',1)");
  ASSERT_EQ(AfterSave(), "");
  EXPECT_EQ(Written(), "701:W111:69.3:6:15.5:NULL; 702:W211:9:2:50:蓝");
  EXPECT_EQ(Scalar("select cCode from om_podetails where SubID=701"), "");
  EXPECT_EQ(Scalar("select fOutQuantity from om_podetails where SubID=702"), "0");
  // Saving again replaces the lines; without waste the quantity drops it but keeps the rate.
  SetWasteMode("0");
  ASSERT_EQ(AfterSave(), "");
  EXPECT_EQ(Written(), "703:W111:60:6:15.5:NULL; 704:W211:6:2:50:蓝");
}

TEST_F(MaterialListTest, QuantityThatFormatsToNothingIsWrittenAsZero) {
  AddHead(9101, "W100");
  AddRow(91011, 9101, "W''11", 0, 0);  // the code W'11 (a quote) and zero usage
  AddLine(90011, "W100", 10);
  SetQuantityDecimals(0);
  ASSERT_EQ(AfterSave(), "");
  EXPECT_EQ(Scalar("select fQuantity from om_podetails where MainID=90011"), "0");
  EXPECT_EQ(Scalar("select cInvCode from om_podetails where MainID=90011"), "W'11");
}

TEST_F(MaterialListTest, RefusalsNameTheProduct) {
  AddLine(90011, "W100", 10);
  const std::string none = std::string("委外订单中的产品 W100 没有子项,不能保存,") + kFailed;
  EXPECT_EQ(AfterSave(), none);  // no BOM at all
  AddHead(9101, "W100");
  EXPECT_EQ(AfterSave(), none);  // a BOM head without lines
  AddRow(91011, 9101, "P100", 1, 0);  // P100 uses free item 1, the row leaves it empty
  EXPECT_EQ(AfterSave(), "委外订单中的产品 W100 所对应BOM的子项启用了自由项,请于物料清单中输入完整!");
  Exec("update ProductStructures set cfree1='黑' where autoid=91011");
  EXPECT_EQ(AfterSave(), "");
  // A BOM that leads back into itself fails the save, naming the product.
  Exec("update ProductStructures set childguid=9101 where autoid=91011");
  Exec("update om_pomain set bbexpandend=1 where mainid=90011");
  const std::string cyclic = AfterSave();
  EXPECT_NE(cyclic.find("W100"), std::string::npos);
  EXPECT_EQ(cyclic.substr(cyclic.size() - std::string(kFailed).size()), kFailed);
  // An order without product lines.
  Exec("delete from om_pomain");
  EXPECT_EQ(AfterSave(), kFailed);
}

TEST_F(MaterialListTest, IssuedMaterialIsNeverRebuilt) {
  AddTwoLevelBom();
  AddLine(90011, "W100", 10);
  ASSERT_EQ(AfterSave(), "");
  Exec("update om_podetails set fOutQuantity=5 where MainID=90011");
  const std::string before = Written();
  EXPECT_EQ(AfterSave(), std::string("委外订单[9001]已经有材料出库，不能重新生成子件，") + kFailed);
  EXPECT_EQ(Written(), before);
}

TEST_F(MaterialListTest, PlanningLinesAreRecountedAndGuardedAgainstOverRelease) {
  AddTwoLevelBom();
  Exec("insert into pp_rmrpdetails(nid,cmpid,cinvcode,icheck,iinput) values (901,'T','W100',10,0)");
  Exec("insert into pp_rmrpdetails(nid,cmpid,cinvcode,icheck,iinput) values (902,'T','W100',5,3)");
  AddLine(90011, "W100", 10.004, ",idatafrom", ",901");
  const DOMDocumentPtr saved = Rows({{{"editprop", "M"}, {"idatafrom", "901"}}});
  ASSERT_EQ(AfterSave(saved), "");  // 10.004 is 10.00 with two decimals
  EXPECT_EQ(Scalar("select iinput from pp_rmrpdetails where nid=901"), "10.004");
  // Only rows marked as saved (not "D") are tested, as the saved body marks them.
  Exec("update om_pomain set fquantity=10.02 where mainid=90011");
  EXPECT_EQ(AfterSave(saved), "委外订单的下达数量超过委外计划数量，请修改!");
  // A line deleted by this save has its planning line recounted, and a
  // deleted row is never the reason for a refusal (902 is over-released by
  // another order).
  Exec("update om_pomain set fquantity=4 where mainid=90011");
  AddLine(90021, "W100", 9, ",idatafrom", ",902", 9002);
  DOMDocumentPtr body =
      Rows({{{"editprop", "M"}, {"idatafrom", "901"}}, {{"editprop", "D"}, {"idatafrom", "902"}}});
  EXPECT_EQ(AfterSave(body), "");
  EXPECT_EQ(Scalar("select iinput from pp_rmrpdetails where nid=902"), "9");
}

TEST_F(MaterialListTest, SaveThroughTheFacadeRollsBackOnRefusal) {
  AddTwoLevelBom();
  AddLine(90011, "W100", 10, ",iblevel", ",2");
  clsVoucherCO co;
  co.Init(login, conn, "om01");
  auto form = Form(DOMDocument::Create(), DOMDocument::Create());
  co.GetVoucherData(form, "", Variant(kOrder));
  Variant curId;
  ASSERT_EQ(co.VoucherSave2(form, 1, curId), "");
  EXPECT_EQ(Scalar("select count(*) from om_podetails where MainID=90011"), "1");

  Exec("update ProductStructures set childguid=9101 where autoid=91021");  // W111 now holds W100
  Exec("update om_pomain set bbexpandend=1 where mainid=90011");
  co.GetVoucherData(form, "", Variant(kOrder));
  form->HeadDOM()->selectSingleNode("//z:row").setAttribute("cmemo", Variant("changed"));
  EXPECT_NE(co.VoucherSave2(form, 1, curId).find(kFailed), std::string::npos);
  EXPECT_EQ(Scalar("select isnull(cmemo,'') from om_productpo where id=9001"), "");
  EXPECT_EQ(Scalar("select count(*) from om_podetails where MainID=90011"), "1");
}

TEST_F(MaterialListTest, AQuantityThatOverflowsFailsTheSaveWithTheFloatOverflow) {
  AddTwoLevelBom();  // 2 per unit with 5 % waste: 1e308 becomes infinite
  AddLine(90011, "W100", 10, ",iblevel", ",2");
  clsVoucherCO co;
  co.Init(login, conn, "om01");
  VoucherFormPtr form = Shown(co);
  XmlNode line = LineOf(form, 90011);
  line.setAttribute("fquantity", Variant("1e308"));
  line.setAttribute("editprop", Variant("M"));
  const std::string materials = Scalar("select count(*) from om_podetails");
  Variant curId;
  EXPECT_EQ(co.VoucherSave2(form, 1, curId),
            std::string("Arithmetic overflow error converting expression to data type float.") + kFailed);
  EXPECT_EQ(Scalar("select fquantity from om_pomain where mainid=90011"), "10");
  EXPECT_EQ(Scalar("select count(*) from om_podetails"), materials);
}

TEST_F(MaterialListTest, DeletedLinesTakeTheirMaterialAlongUnlessItWasIssued) {
  AddTwoLevelBom();
  AddHead(9105, "W200");
  AddRow(91051, 9105, "W211", 2, 0);
  AddLine(90011, "W100", 10);
  AddLine(90012, "W200", 3);
  clsVoucherCO co;
  co.Init(login, conn, "om01");
  Variant curId;
  ASSERT_EQ(co.VoucherSave2(Shown(co), 1, curId), "");
  ASSERT_EQ(Scalar("select count(*) from om_podetails where MainID=90012"), "1");

  // Material of the line to be deleted has gone out to the vendor: the save is refused, nothing changes.
  Exec("update om_podetails set fOutQuantity=2 where MainID=90012");
  const std::string before = Written();
  VoucherFormPtr form = Shown(co);
  LineOf(form, 90012).setAttribute("editprop", Variant("D"));
  EXPECT_EQ(co.VoucherSave2(form, 1, curId),
            std::string("委外订单[9001]已经有材料出库，不能重新生成子件，") + kFailed);
  EXPECT_EQ(Scalar("select count(*) from om_pomain where mainid=90012"), "1");
  EXPECT_EQ(Written(), before);

  // Nothing issued: the line and its material rows go in the same save.
  Exec("update om_podetails set fOutQuantity=0 where MainID=90012");
  form = Shown(co);
  LineOf(form, 90012).setAttribute("editprop", Variant("D"));
  EXPECT_EQ(co.VoucherSave2(form, 1, curId), "");
  EXPECT_EQ(Scalar("select count(*) from om_pomain where mainid=90012"), "0");
  EXPECT_EQ(Scalar("select count(*) from om_podetails where MainID=90012"), "0");
  EXPECT_EQ(Scalar("select count(*) from om_podetails where MainID=90011"), "1");
}

TEST_F(MaterialListTest, WithoutAFacadeOnTheThreadQuantitiesAreNotRounded) {
  // The planning line still releases 10.4; the line's material needs 2.5.
  Exec("insert into pp_rmrpdetails(nid,cmpid,cinvcode,icheck,iinput) values (903,'T','W100',10.4,0)");
  AddHead(9101, "W100");
  AddRow(91011, 9101, "W111", 1, 0);
  AddLine(90011, "W100", 2.5);
  const DOMDocumentPtr head = LoadHead(), body = LoadBody();
  std::string format = "not run", check, saved;
  std::thread host([&] {  // a host thread on which no façade ever ran Init
    clsWWSCDDOrder direct;
    format = QuantityFormat();
    DOMDocumentPtr domReturn;
    check = Attempt([&] {
      return direct.BodyCheck(Form(head, Rows({{{"fquantity", "10.2"}, {"idatafrom", "903"}}})), conn, 1,
                              "fquantity", domReturn, false, cardNumber);
    });
    saved = direct.VoucherAfterSave(head, body, conn);
  });
  host.join();
  EXPECT_EQ(format, "");
  EXPECT_EQ(check, "");
  EXPECT_EQ(saved, "");
  EXPECT_EQ(Scalar("select fQuantity from om_podetails where MainID=90011"), "2.5");
}

}  // namespace
}  // namespace fabrikon::testing_outsourcing
