// Saving through the façade on the demo database: keys of new vouchers and
// lines, the row-version guard, the literals values are stored as, the
// after-save hook by card number, the sales-order write-backs and the
// renumbering of a taken outsourcing order code.
#include "SaveTestSupport.h"

namespace fabrikon::savetest {
namespace {

const char* const kOrderHead = R"(ccode="WW000010" ddate="2024-03-10T00:00:00" cvencode="V001" cdepcode="D03")";

TEST_F(SaveTest, NewVoucherTakesTheNextKeysAndItsLinesFollowInOrder) {
  NewVoucher("om01", kOrderHead,
             {R"(cinvcode="S210" fquantity="5")", R"(cinvcode="S220" fquantity="6")", R"(cinvcode="P100" fquantity="7")"});
  ASSERT_EQ(Save2(2), "");

  EXPECT_EQ(lastCurId, "4");  // demo heads go up to 3, lines up to 3
  EXPECT_EQ(Scalar("SELECT ccode FROM om_productpo WHERE id=4"), "WW000010");
  EXPECT_EQ(Scalar("SELECT cinvcode FROM om_pomain WHERE mainid=4 AND id=4"), "S210");
  EXPECT_EQ(Scalar("SELECT cinvcode FROM om_pomain WHERE mainid=5 AND id=4"), "S220");
  EXPECT_EQ(Scalar("SELECT cinvcode FROM om_pomain WHERE mainid=6 AND id=4"), "P100");
  EXPECT_EQ(NullToEmpty(Line(3).getAttribute("mainid")), "6");
  // The new order gets the default template and its lines a making charge.
  EXPECT_EQ(Scalar("SELECT ivtid FROM om_productpo WHERE id=4"), "30");
  EXPECT_EQ(Scalar("SELECT imakecharge FROM om_pomain WHERE mainid=5"), "0");
  EXPECT_EQ(business->afterSaves, 1);
  // The code the user saw was a preview: the save takes it for good.
  EXPECT_EQ(Scalar("SELECT iSerial FROM FabrikonNumberCounters WHERE CardNumber='om01'"), "4");
}

TEST_F(SaveTest, StaleHeadVersionFailsAndWritesNoLine) {
  Load("om01", "2");
  OpenConnection(testsupport::WithApplicationName(db.ConnectionString(), "other"))
      ->Execute("update om_productpo set cmemo='other user' where id=2");
  EditLine(1, "fquantity", "25");
  AddLine({{"cinvcode", "S210"}, {"fquantity", "3"}});

  EXPECT_EQ(Save2(1), kChanged);
  EXPECT_EQ(Scalar("SELECT fquantity FROM om_pomain WHERE mainid=2"), "20");
  EXPECT_EQ(Scalar("SELECT count(*) FROM om_pomain WHERE id=2"), "1");
  EXPECT_EQ(Scalar("SELECT fTotolPut FROM SO_SODetails WHERE iSOsID=1"), "20");  // write-back rolled back
  EXPECT_FALSE(conn->InTransaction());
}

TEST_F(SaveTest, ValuesAreStoredByTheirColumnsRules) {
  NewVoucher("om01",
             R"(ccode="WW000010" ddate="2024-03-10T08:30:00" dplandate="2024-13-45" cmemo="   " ihlevel="" istate="" bhexpandend="否")",
             {R"(cinvcode="S210" fquantity="" idatafrom="" bbexpandend="是" cmemo=" x ")"});
  ASSERT_EQ(Save2(2), "");
  EXPECT_EQ(Scalar("SELECT cmemo FROM om_productpo WHERE id=4"), "NULL");      // blank text
  EXPECT_EQ(Scalar("SELECT ihlevel FROM om_productpo WHERE id=4"), "0");       // empty number
  EXPECT_EQ(Scalar("SELECT istate FROM om_productpo WHERE id=4"), "NULL");     // empty integer
  EXPECT_EQ(Scalar("SELECT count(*) FROM om_productpo WHERE id=4 AND bhexpandend=0"), "1");  // 否
  EXPECT_EQ(Scalar("SELECT ddate FROM om_productpo WHERE id=4"), "2024-03-10");
  EXPECT_EQ(Scalar("SELECT dplandate FROM om_productpo WHERE id=4"), "NULL");  // not a date
  EXPECT_EQ(Scalar("SELECT fquantity FROM om_pomain WHERE mainid=4"), "0");
  EXPECT_EQ(Scalar("SELECT idatafrom FROM om_pomain WHERE mainid=4"), "NULL");
  EXPECT_EQ(Scalar("SELECT count(*) FROM om_pomain WHERE mainid=4 AND bbexpandend=1"), "1");
  EXPECT_EQ(Scalar("SELECT cmemo FROM om_pomain WHERE mainid=4"), " x ");  // text is not trimmed
}

TEST_F(SaveTest, AfterSaveHookRunsForLowerCasePp25Only) {
  const char* head = R"(ccode="SC000010" ddate="2024-03-10" dplandate="2024-03-12" cdepcode="D01")";
  const char* line = R"(cinvcode="P100" fquantity="5" dstartdate="2024-03-12" denddate="2024-03-20")";
  NewVoucher("PP25", head, {line});
  ASSERT_EQ(Save2(2), "");
  EXPECT_EQ(business->afterSaves, 0);
  EXPECT_EQ(Scalar("SELECT count(*) FROM pp_pomain WHERE id=5"), "1");

  NewVoucher("pp25", R"(ccode="SC000011" ddate="2024-03-10" dplandate="2024-03-12")", {line});
  ASSERT_EQ(Save2(2), "");
  EXPECT_EQ(business->afterSaves, 1);
}

TEST_F(SaveTest, CheckMessagesStopTheSave) {
  business->headAnswer = "表头：[dplandate]不能为空，请检查！\r";
  NewVoucher("om01", kOrderHead, {R"(cinvcode="S210" fquantity="5")"});
  EXPECT_EQ(Save2(2), business->headAnswer);
  EXPECT_EQ(Scalar("SELECT count(*) FROM om_productpo"), "3");
  EXPECT_FALSE(conn->InTransaction());
}

TEST_F(SaveTest, DeletedAndModifiedLinesAreWritten) {
  Exec("INSERT INTO om_pomain(mainid,id,cinvcode,fquantity) VALUES (4,1,'S220',8)");
  Load("om01", "1");
  ASSERT_EQ(form->BodyDOM()->selectNodes("//z:row").length(), 2);
  LineOf("4").setAttribute("editprop", Variant("D"));
  LineOf("1").setAttribute("fquantity", Variant("21"));
  LineOf("1").setAttribute("editprop", Variant("M"));
  ASSERT_EQ(Save2(1), "");
  EXPECT_EQ(lastCurId, "1");
  EXPECT_EQ(Scalar("SELECT count(*) FROM om_pomain WHERE id=1"), "1");
  EXPECT_EQ(Scalar("SELECT fquantity FROM om_pomain WHERE mainid=1"), "21");
}

// --- Deleting ---------------------------------------------------------------------------------

TEST_F(SaveTest, DeletingAnOrderRemovesWhatHangsOnIt) {
  Load("om01", "3");
  EXPECT_EQ(co.VoucherDelete(form), "删除单据[WW000003]成功！");
  EXPECT_EQ(Scalar("SELECT count(*) FROM om_productpo WHERE id=3"), "0");
  EXPECT_EQ(Scalar("SELECT count(*) FROM om_pomain WHERE id=3"), "0");
  EXPECT_EQ(Scalar("SELECT count(*) FROM om_podetails WHERE MainID=3"), "0");
  EXPECT_EQ(Scalar("SELECT count(*) FROM YK_MachineInBill"), "0");
  EXPECT_EQ(Scalar("SELECT count(*) FROM YK_MachineInBills"), "0");
  EXPECT_EQ(Scalar("SELECT count(*) FROM om_podetails"), "5");  // other orders keep theirs
  // Planning lines count only the order lines that remain.
  EXPECT_EQ(Scalar("SELECT iinput FROM pp_rmrpdetails WHERE nid=4"), "0");
  EXPECT_EQ(Scalar("SELECT iinput FROM pp_rmrpdetails WHERE nid=2"), "20");
  EXPECT_FALSE(conn->InTransaction());
}

TEST_F(SaveTest, DeletingAProductionOrderRemovesItsMaterialLines) {
  Load("pp25", "2");
  EXPECT_EQ(co.VoucherDelete(form), "删除单据[SC000002]成功！");
  EXPECT_EQ(Scalar("SELECT count(*) FROM pp_pomain WHERE id=2"), "0");
  EXPECT_EQ(Scalar("SELECT count(*) FROM PP_PODetails WHERE MainID=3"), "0");
  EXPECT_EQ(Scalar("SELECT count(*) FROM PP_PODetails WHERE MainID=1"), "3");  // other orders keep theirs
}

TEST_F(SaveTest, KindWithoutLinesDeletesItsHeadByCode) {
  Load("pp08", "WC03");
  EXPECT_EQ(co.VoucherDelete(form), "删除单据[WC03]成功！");
  EXPECT_EQ(Scalar("SELECT count(*) FROM pp_workcenter WHERE wccode='WC03'"), "0");
  EXPECT_EQ(Scalar("SELECT count(*) FROM pp_workcenter"), "2");
}

// --- Sales-order write-back -------------------------------------------------------------

class SalesOrderWriteBack : public SaveTest {
 protected:
  void SetUp() override {
    SaveTest::SetUp();
    // Line 2 of order WW000002 was pushed down from sales-order line 1.
    Exec("update om_pomain set fquantity=10 where mainid=2");
    Exec("update SO_SODetails set fTotolPut=10 where iSOsID=1");
    Load("om01", "2");
  }
  std::string TotalPut(int line) {
    return Scalar("SELECT fTotolPut FROM SO_SODetails WHERE iSOsID=" + std::to_string(line));
  }
};

TEST_F(SalesOrderWriteBack, ChangedQuantityReplacesTheOldOne) {
  EditLine(1, "fquantity", "12");
  ASSERT_EQ(Save2(1), "");
  EXPECT_EQ(TotalPut(1), "12");
}

TEST_F(SalesOrderWriteBack, AddedPushedDownLineAddsItsQuantity) {
  const std::string soqxts = NullToEmpty(Line(1).getAttribute("soqxts"));
  AddLine({{"cinvcode", "P200"}, {"fquantity", "4"}, {"csosids", ",2,"}, {"bputfromso", "True"},
           {"soid", "1"}, {"soqxts", soqxts}});
  ASSERT_EQ(Save2(1), "");
  EXPECT_EQ(TotalPut(2), "4");
  EXPECT_EQ(TotalPut(1), "10");
}

TEST_F(SalesOrderWriteBack, ChangedSalesOrderRefusesTheAddedLine) {
  const std::string soqxts = NullToEmpty(Line(1).getAttribute("soqxts"));
  Exec("update SO_SOMain set ccusname='changed' where id=1");
  AddLine({{"cinvcode", "P200"}, {"fquantity", "4"}, {"csosids", ",2,"}, {"bputfromso", "1"},
           {"soid", "1"}, {"soqxts", soqxts}});
  EXPECT_EQ(Save2(1), "保存失败，关联的销售订单已被修改！\r");
  EXPECT_EQ(TotalPut(2), "0");
}

TEST_F(SalesOrderWriteBack, DeletingTheOrderTakesItsQuantityBack) {
  EXPECT_EQ(co.VoucherDelete(form), "删除单据[WW000002]成功！");
  EXPECT_EQ(TotalPut(1), "0");
}

// --- Renumbering a taken code ------------------------------------------------------------

TEST_F(SaveTest, TakenOutsourcingOrderCodeIsRenumbered) {
  NewVoucher("om01", R"(ccode="WW000002" ddate="2024-03-10")", {R"(cinvcode="S210" fquantity="5")"});
  ASSERT_EQ(Save2(2), "");
  EXPECT_EQ(HeadValue("ccode"), "WW000004");
  EXPECT_EQ(Scalar("SELECT id FROM om_productpo WHERE ccode='WW000004'"), "4");
  EXPECT_EQ(Scalar("SELECT id FROM om_pomain WHERE mainid=4"), "4");
  // The renumbering took the number; the final request only previews.
  EXPECT_FALSE(GetRealNo());
  EXPECT_EQ(Scalar("SELECT iSerial FROM FabrikonNumberCounters WHERE CardNumber='om01'"), "4");
}

TEST_F(SaveTest, TakenCodeOfOtherKindsFailsTheSave) {
  NewVoucher("pp25", R"(ccode="SC000002" ddate="2024-03-10" dplandate="2024-03-12")",
             {R"(cinvcode="P100" fquantity="5" dstartdate="2024-03-12" denddate="2024-03-20")"});
  EXPECT_EQ(Save2(2), "保存失败，可能因为单号或ID重复，请重新保存或查看并修改当前流水号！\r");
  EXPECT_EQ(Scalar("SELECT count(*) FROM pp_productpo"), "4");
  EXPECT_EQ(Scalar("SELECT count(*) FROM pp_pomain"), "5");
}

// --- Head only ------------------------------------------------------------------------------

TEST_F(SaveTest, HeadOnlySaveUpdatesInsertsAndGuards) {
  Load("om01", "2");
  form->HeadDOM()->selectSingleNode("//z:row").setAttribute("cmemo", Variant("edited"));
  EXPECT_EQ(co.VoucherSave1(form, 1), "");
  EXPECT_EQ(Scalar("SELECT cmemo FROM om_productpo WHERE id=2"), "edited");
  // The document still holds the version before that save.
  EXPECT_EQ(co.VoucherSave1(form, 1), "保存失败！可能因为本条记录已被别的操作员修改或删除。");
  EXPECT_EQ(co.VoucherSave1(form, 2), "保存失败！可能因为作为关键字的编码重复或引用的数据被修改。");

  form->HeadDOM()->loadXML("<xml/>");
  EXPECT_EQ(co.VoucherSave1(form, 2), "保存之前必须先录入数据，请检查！");
}

TEST_F(SaveTest, HeadOnlySaveReportsAFailedStatement) {
  Load("om01", "2");
  form->HeadDOM()->selectSingleNode("//z:row").setAttribute("id", Variant("9"));
  form->HeadDOM()->selectSingleNode("//z:row").setAttribute("ccode", Variant("WW000001"));  // unique
  const std::string answer = co.VoucherSave1(form, 2);
  EXPECT_EQ(answer.rfind("保存失败！\r错误原因：", 0), 0u) << answer;
  EXPECT_EQ(Scalar("SELECT count(*) FROM om_productpo"), "3");
}

}  // namespace
}  // namespace fabrikon::savetest
