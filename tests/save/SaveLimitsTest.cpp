// The edges of saving a new voucher: how often a taken outsourcing-order
// code is renumbered, that a manually numbered kind is never renumbered,
// that a new line key beyond 32 bits fails the save, and that a save which
// fails after the engine wrote the head hands back no key.
#include "SaveTestSupport.h"

namespace fabrikon::savetest {
namespace {

class SaveLimits : public SaveTest {
 protected:
  // Outsourcing orders that hold the codes the counter hands out next
  // (WW000004, WW000005, ...), as another user's saves would.
  void TakeNextCodes(int count) {
    for (int i = 0; i < count; ++i) {
      const std::string n = std::to_string(4 + i);
      Exec("INSERT INTO om_productpo (id, ccode, ddate) VALUES (" + std::to_string(100 + i) + ", 'WW00000" + n +
           "', '2024-03-10')");
    }
  }
  void NewOutsourcingOrder() {
    NewVoucher("om01", R"(ccode="WW000002" ddate="2024-03-10")", {R"(cinvcode="S210" fquantity="5")"});
  }
};

// The counter stands at WW000003; a save of the taken WW000002 draws
// WW000004, WW000005, ... until one is free, five draws at most.
TEST_F(SaveLimits, ATakenCodeIsRenumberedUpToFiveTimes) {
  TakeNextCodes(4);
  NewOutsourcingOrder();
  EXPECT_EQ(Save2(2), "");
  EXPECT_EQ(HeadValue("ccode"), "WW000008");
}

TEST_F(SaveLimits, TheSixthRenumberingFailsTheSave) {
  TakeNextCodes(5);
  NewOutsourcingOrder();
  EXPECT_EQ(Save2(2), "保存失败，可能因为单号或ID重复，请重新保存或查看并修改当前流水号！\r");
  EXPECT_EQ(Scalar("SELECT count(*) FROM om_productpo WHERE ccode='WW000009'"), "0");
}

TEST_F(SaveLimits, AManuallyNumberedKindIsNotRenumbered) {
  Exec("UPDATE FabrikonNumberRules SET cRuleXml = REPLACE(REPLACE(cRuleXml, '重号自动重取=\"True\"', "
       "'重号自动重取=\"False\"'), '允许手工修改=\"False\"', '允许手工修改=\"True\"') WHERE CardNumber='om01'");
  std::string noType;
  co.Init(login, conn, "om01");
  ASSERT_EQ(co.GetVoucherNOType(noType), "");
  ASSERT_EQ(noType, "非自动编号");
  const std::string counter = Scalar("SELECT iSerial FROM FabrikonNumberCounters WHERE CardNumber='om01'");
  NewOutsourcingOrder();
  EXPECT_EQ(Save2(2), "保存失败，可能因为单号或ID重复，请重新保存或查看并修改当前流水号！\r");
  EXPECT_EQ(HeadValue("ccode"), "WW000002");
  EXPECT_EQ(Scalar("SELECT iSerial FROM FabrikonNumberCounters WHERE CardNumber='om01'"), counter);
}

TEST_F(SaveLimits, ANewLineKeyBeyond32BitsFailsTheSave) {
  Exec("UPDATE pp_pomain SET mainid = 2147483647 WHERE mainid = (SELECT MAX(mainid) FROM pp_pomain)");
  NewVoucher("pp25", R"(ccode="SC000099" ddate="2024-03-10" dplandate="2024-03-12")",
             {R"(cinvcode="P100" fquantity="5" dstartdate="2024-03-12" denddate="2024-03-20")"});
  EXPECT_EQ(Save2(2), "保存失败，可能因为单号或ID重复或引用的数据被修改，请重新保存！\r错误原因：Overflow");
  EXPECT_EQ(Scalar("SELECT count(*) FROM pp_pomain WHERE mainid < 0 OR mainid > 2147483647"), "0");
  EXPECT_EQ(Scalar("SELECT count(*) FROM pp_productpo WHERE ccode='SC000099'"), "0");
}

TEST_F(SaveLimits, AFailedSaveHandsBackNoKey) {
  business->afterSaveAnswer = "物料清单生成失败！\r";
  NewVoucher("pp25", R"(ccode="SC000099" ddate="2024-03-10" dplandate="2024-03-12")",
             {R"(cinvcode="P100" fquantity="5" dstartdate="2024-03-12" denddate="2024-03-20")"});
  Variant curId("stale");
  EXPECT_EQ(co.VoucherSave2(form, 2, curId), "物料清单生成失败！\r");
  EXPECT_TRUE(curId.IsEmpty()) << curId.ToText();
  EXPECT_EQ(Scalar("SELECT count(*) FROM pp_productpo WHERE ccode='SC000099'"), "0");
  business->afterSaveAnswer = "";
  EXPECT_EQ(co.VoucherSave2(form, 2, curId), "");
  EXPECT_EQ(curId.ToText(), Scalar("SELECT id FROM pp_productpo WHERE ccode='SC000099'"));
}

}  // namespace
}  // namespace fabrikon::savetest
