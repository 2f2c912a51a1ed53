// What saving and deleting guard against beyond the classic behaviour:
// document values that try to carry SQL, a second line or an added line lost
// to another user, a save whose transaction cannot be opened or committed, a
// number taken from the wrong counter, and lines of text-keyed vouchers that
// lose their head.
#include "SaveTestSupport.h"

namespace fabrikon::savetest {
namespace {

const std::string kSaveFailed = "保存失败！\r错误原因：";

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

// --- Values that carry SQL -------------------------------------------------------------------

TEST_F(SaveTest, QuotesAndSemicolonsAreStoredAsText) {
  const std::string memo = "x'; delete from om_pomain; --";
  NewVoucher("om01", R"(ccode="WW'01;" ddate="2024-03-10")", {R"(cinvcode="S210" fquantity="5")"});
  form->HeadDOM()->selectSingleNode("//z:row").setAttribute("cmemo", Variant(memo));
  ASSERT_EQ(Save2(2), "");
  EXPECT_EQ(Scalar("SELECT cmemo FROM om_productpo WHERE id=4"), memo);
  EXPECT_EQ(Scalar("SELECT count(*) FROM om_pomain"), "4");
  EXPECT_EQ(Scalar("SELECT count(*) FROM om_pomain WHERE id=4"), "1");  // found by the quoted code
}

TEST_F(SaveTest, UnquotedValuesMustBeNumbers) {
  Load("om01", "2");
  EditLine(1, "fquantity",
           "0 from SO_SODetails inner join OM_POMain on OM_POMain.mainid=2 where 1=1 "
           "update SO_SODetails set fTotolPut=99 --");
  const std::string answer = Save2(1);
  EXPECT_TRUE(StartsWith(answer, kSaveFailed)) << answer;
  EXPECT_EQ(Scalar("SELECT max(fTotolPut) FROM SO_SODetails"), "20");
  EXPECT_FALSE(conn->InTransaction());

  // Called by the host on its own, the write-back refuses the text too.
  try {
    co.DoWriteBackVoucherM(form->HeadDOM(), form->BodyDOM(), conn);
    ADD_FAILURE() << "the write-back ran";
  } catch (const ComError& e) {
    EXPECT_EQ(e.Number(), ErrorNumber::TypeMismatch);
  }
  EXPECT_EQ(Scalar("SELECT max(fTotolPut) FROM SO_SODetails"), "20");
}

TEST_F(SaveTest, SalesOrderKeyMustBeANumber) {
  Load("om01", "2");
  AddLine({{"cinvcode", "P200"}, {"fquantity", "4"}, {"bputfromso", "1"}, {"soid", "1 or 1=1"}, {"soqxts", "x"}});
  const std::string answer = Save2(1);
  EXPECT_TRUE(StartsWith(answer, "保存失败，可能因为单号或ID重复或单据已经被修改，请刷新后重试！\r错误原因：")) << answer;
  EXPECT_NE(answer.find("soid"), std::string::npos);
  EXPECT_EQ(Scalar("SELECT count(*) FROM om_pomain"), "3");
}

TEST_F(SaveTest, DeletingWithACraftedKeyDeletesNothing) {
  Load("om01", "3");
  form->HeadDOM()->selectSingleNode("//z:row").setAttribute("id", Variant("3 or 1=1"));
  EXPECT_EQ(co.VoucherDelete(form), "删除单据[WW000003]失败！");
  EXPECT_EQ(Scalar("SELECT count(*) FROM om_productpo"), "3");
  EXPECT_EQ(Scalar("SELECT count(*) FROM om_podetails"), "8");
  EXPECT_FALSE(conn->InTransaction());
}

// --- Lines lost to another user ---------------------------------------------------------------

TEST_F(SaveTest, StaleSecondLineFailsTheSave) {
  Exec("INSERT INTO om_pomain(mainid,id,cinvcode,fquantity) VALUES (4,2,'S210',5)");
  Load("om01", "2");
  ASSERT_EQ(form->BodyDOM()->selectNodes("//z:row").length(), 2);
  const std::string second = NullToEmpty(Line(2).getAttribute("mainid"));
  OpenConnection(testsupport::WithApplicationName(db.ConnectionString(), "other"))
      ->Execute("update om_pomain set cmemo='other user' where mainid=" + second);
  EditLine(1, "cmemo", "mine");
  EditLine(2, "cmemo", "mine too");

  EXPECT_EQ(Save2(1), kChanged);
  EXPECT_EQ(Scalar("SELECT cmemo FROM om_pomain WHERE mainid=" + second), "other user");
  EXPECT_EQ(Scalar("SELECT count(*) FROM om_pomain WHERE cmemo LIKE 'mine%'"), "0");
}

TEST_F(SaveTest, AddedLineWhoseKeyWasTakenFailsTheSave) {
  auto hooked = std::make_shared<HookedConnection>(conn);
  bool interfered = false;
  // Another saver takes the next line key right after this save computed it.
  hooked->onOpen = [&](const std::string& sql) {
    if (interfered || sql.rfind("SELECT ISNULL(MAX(mainid),0)", 0) != 0) return;
    interfered = true;
    conn->Execute("INSERT INTO om_pomain(mainid,id,cinvcode,fquantity) VALUES (4,1,'S220',1)");
  };
  co.Init(login, hooked, "om01");
  co.GetVoucherData(form, "", Variant("2"));
  AddLine({{"cinvcode", "S210"}, {"fquantity", "3"}});
  AddLine({{"cinvcode", "S220"}, {"fquantity", "4"}});

  EXPECT_EQ(Save2(1), kChanged);
  EXPECT_TRUE(interfered);
  EXPECT_EQ(Scalar("SELECT count(*) FROM om_pomain WHERE id=2"), "1");
}

// --- Transactions that cannot be opened or committed --------------------------------------------

TEST_F(SaveTest, FailingCommitFailsTheSave) {
  auto hooked = std::make_shared<HookedConnection>(conn);
  hooked->failCommit = true;
  NewVoucher("om01", R"(ccode="WW000010" ddate="2024-03-10")", {R"(cinvcode="S210" fquantity="5")"});
  co.Init(login, hooked, "om01");
  EXPECT_EQ(Save2(2), kSaveFailed + "the disk is full");
  EXPECT_FALSE(conn->InTransaction());
  EXPECT_EQ(Scalar("SELECT count(*) FROM om_productpo"), "3");
}

TEST_F(SaveTest, SaveDoesNotWriteIntoTheCallersTransaction) {
  NewVoucher("om01", R"(ccode="WW000010" ddate="2024-03-10")", {R"(cinvcode="S210" fquantity="5")"});
  conn->BeginTrans();
  const std::string answer = Save2(2);
  EXPECT_TRUE(StartsWith(answer, kSaveFailed)) << answer;
  ASSERT_TRUE(conn->InTransaction());  // the caller's transaction is left to the caller
  EXPECT_EQ(Scalar("SELECT count(*) FROM om_productpo"), "3");
  conn->RollbackTrans();
}

// --- Numbers and head references -------------------------------------------------------------

TEST_F(SaveTest, OtherCardsDoNotUseUpOutsourcingOrderNumbers) {
  NewVoucher("pp25", R"(ccode="SC000010" ddate="2024-03-10" dplandate="2024-03-12")",
             {R"(cinvcode="P100" fquantity="5" dstartdate="2024-03-12" denddate="2024-03-20")"});
  ASSERT_EQ(Save2(2), "");
  EXPECT_EQ(Scalar("SELECT iSerial FROM FabrikonNumberCounters WHERE CardNumber='om01'"), "3");
}

TEST_F(SaveTest, ForecastLinesReferToTheirCode) {
  NewVoucher("pp01", R"(cfcid="0000000003" dplandate="2024-03-10")",
             {R"(cinvcode="P100" imqty="10")", R"(cinvcode="P200" imqty="20")"});
  ASSERT_EQ(Save2(2), "");
  EXPECT_EQ(lastCurId, "0000000003");
  EXPECT_EQ(Scalar("SELECT count(*) FROM pp_forecastdetail WHERE cfcid='0000000003'"), "2");
  EXPECT_EQ(Scalar("SELECT cinvcode FROM pp_forecastdetail WHERE autoid=5"), "P200");
  // The line keeps the code itself, leading zeros included.
  EXPECT_EQ(Scalar("SELECT cfcid FROM pp_forecastdetail WHERE autoid=5"), "0000000003");
}

TEST_F(SaveTest, LinesOfATextKeyedVoucherKeepTheirCode) {
  // Native DDL past the library (the test's connection may be an ODBC one);
  // PostgreSQL spells the text type its own way.
  const std::string text = testsupport::TestsUsePg() ? "varchar" : "nvarchar";
  testsupport::RunNative(
      db.Path(),
      "CREATE TABLE zz_head (ccode " + text + "(30) NOT NULL PRIMARY KEY, cmemo " + text + "(60));"
      "CREATE TABLE zz_line (ccode " + text + "(30) NOT NULL, autoid int NOT NULL PRIMARY KEY, cinvcode " + text +
      "(60));"
      "INSERT INTO Vouchers (CardNumber, BTTblName, BWTblName, SelfDef1, SelfDef2, SelfDef3) "
      "VALUES ('zz01', 'zz_head', 'zz_line', 'ccode', 'autoid', 'ccode');");
  NewVoucher("zz01", R"(ccode="BX-7")", {R"(cinvcode="P100")", R"(cinvcode="P200")"});
  ASSERT_EQ(Save2(2), "");
  EXPECT_EQ(Scalar("SELECT count(*) FROM zz_line WHERE ccode='BX-7'"), "2");
}

}  // namespace
}  // namespace fabrikon::savetest
