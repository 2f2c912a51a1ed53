// The statement shapes the library sends, with the demo plant's values, run
// the way `fabrikon sql` runs them: each must report the records-affected
// count SQL Server would and leave the plant in the state the flow expects.
#include <gtest/gtest.h>

#include <functional>

#include "SchemaTestSupport.h"
#include "data/SqlConsole.h"
#include "fabrikon/ComError.h"

using namespace fabrikon;
using namespace schema_test;

namespace {

class StatementShapesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HostDatabase::Create(dir_.File("demo.db"), true, false);
    conn_ = Connect(dir_.File("demo.db"));
  }
  long Run(const std::string& text) { return SqlConsole::Run(*conn_, text).recordsAffected; }
  std::string Value(const std::string& text) { return Scalar(*conn_, text); }
  std::string Guard(const std::string& qxts) {
    return "WHERE convert(char, convert(money, qxts), 2)=convert(char, convert(money,'" + qxts + "'), 2) ";
  }

  ScratchDir dir_;
  std::shared_ptr<SqliteConnection> conn_;
};

int32_t ErrorOf(const std::function<void()>& run) {
  try {
    run();
  } catch (const ComError& e) {
    return e.Number();
  }
  return 0;
}

}  // namespace

TEST_F(StatementShapesTest, LoadingAndNavigation) {
  EXPECT_EQ(Run("Select isnull(cValue,2) as cValue from AccInformation Where cSysID='AA' and cName='iStrsQuanDecDgt'"),
            -1);
  auto params = SqlConsole::Run(*conn_,
                                "SELECT BTTblName,BWTblName,BTQName,VchListQName,BWQName,SelfDef1,SelfDef2,SelfDef3 "
                                "FROM Vouchers WHERE CardNumber='PP13'");
  ASSERT_EQ(params.rowsets.size(), 1u);
  EXPECT_EQ(params.rowsets[0]->RecordCount(), 1);
  EXPECT_EQ(Value("SELECT MAX(id) AS id FROM pp_scdd_h WHERE (cdepcode='D01')"), "4");
  EXPECT_EQ(Value("SELECT MAX(id) AS MaxID,min(id) AS MinID FROM om_productpo_t"), "3");
  EXPECT_EQ(Value("SELECT Top 1 *,'' AS editprop FROM pp_scdd_h WHERE id < '3' ORDER BY id DESC"), "2");
  // After a move found nothing the current key is '': '' reads as 0 for a number.
  EXPECT_EQ(Value("SELECT Top 1 *,'' AS editprop FROM pp_scdd_h WHERE id > '' ORDER BY id"), "1");
  EXPECT_EQ(Value("SELECT Top 1 *,'' AS editprop FROM pp_scdd_h WHERE id>='2' AND (cdepcode='D01') ORDER BY id"), "2");
  EXPECT_EQ(Rows(*conn_, "SELECT *,'' AS editprop FROM pp_q_moorderde WHERE moid = '1' ORDER BY moid").size(), 2u);
  EXPECT_EQ(Value("SELECT Top 1 *,'' AS editprop FROM v_pp01_h ORDER BY cfcid DESC"), "0000000002");
}

TEST_F(StatementShapesTest, SavingAnOutsourcingOrderWithItsWriteBacksAndMaterials) {
  EXPECT_EQ(Value("SELECT ISNULL(MAX(id),0) AS id FROM om_productpo"), "3");
  const std::string head =
      " IF NOT EXISTS (SELECT id FROM om_productpo WHERE ccode='WW000004' or id='4')  INSERT INTO "
      "om_productpo(id,ccode,ddate,cmaker,ihlevel,bhexpandend,dplandate,cvencode) Values "
      "(4,'WW000004','2024-03-15','wangq',1,0,'2024-03-30','V001')";
  EXPECT_EQ(Run(head), 1);
  EXPECT_EQ(Run(head), -1) << "the guard must report that it found the key";
  EXPECT_EQ(Run("update om_productpo set ivtid=isnull(ivtid,30) where om_productpo.id='4' and om_productpo.ivtid is "
                "null"),
            1);
  EXPECT_EQ(Value("SELECT ISNULL(id,0) AS id FROM om_productpo WHERE ccode = 'ww000004 '"), "4");
  EXPECT_EQ(Run(" IF NOT EXISTS (SELECT mainid FROM om_pomain WHERE mainid='4') INSERT INTO "
                "om_pomain(id,mainid,cinvcode,fquantity,idatafrom,dstartdate,denddate) Values "
                "(4,4,'S210',5,6,'2024-03-15','2024-03-30') IF NOT EXISTS (SELECT mainid FROM om_pomain WHERE "
                "mainid='5') INSERT INTO om_pomain(id,mainid,cinvcode,fquantity,bputfromso,csosids,dstartdate,"
                "denddate) Values (4,5,'P200',2,1,',2,','2024-03-15','2024-03-30')"),
            1);
  EXPECT_EQ(Run(" update SO_SODetails set SO_SODetails.fTotolPut= isnull(SO_SODetails.fTotolPut,0)+2 from "
                "SO_SODetails inner join OM_POMain on OM_POMain.cSOsIDs=','+cast (iSOsID as varchar)+','  where "
                "OM_POMain.mainid=5\r"),
            1);
  EXPECT_EQ(Value("SELECT fTotolPut FROM SO_SODetails WHERE iSOsID=2"), "2");
  EXPECT_EQ(Run("update om_pomain set imakecharge=isnull(imakecharge,0) where om_pomain.id='4'"), 2);

  // Material list: next line number, the BOM of the product, the lines.
  EXPECT_EQ(Value("select isnull(max(SubID),0) as MaxID from  om_podetails "), "8");
  EXPECT_EQ(Rows(*conn_, "SELECT OM_POMain.MainId, OM_POMain.cInvCode, SO_SODetails.cbomsocode FROM OM_POMain RIGHT "
                         "OUTER JOIN      OM_ProductPO ON OM_POMain.ID = OM_ProductPO.ID LEFT OUTER JOIN      "
                         "SO_SODetails ON  OM_POMain.cSOsIDs=','+cast (iSOsID as varchar)+',' WHERE (OM_POMain.ID "
                         "=4 )")
                .size(),
            2u);
  EXPECT_EQ(Rows(*conn_, "select * from productstructures ps  where ps.autoid in (22,23)").size(), 2u);
  EXPECT_EQ(Run(" insert into om_podetails(MainID,SubId,cCode,cInvCode,fQuantity,fOutQuantity,cDepCode,cWhCode,"
                "iPSQuantity,iWasteRate, cFree1,cFree2,cFree3,cFree4,cFree5,cFree6,cFree7,cFree8,cFree9,cFree10) "
                "values (4,9,'','M211',16.8,0,'D02','W01',3.2,5,Null,Null,Null,Null,Null,Null,Null,Null,Null,Null) "
                " insert into om_podetails(MainID,SubId,cCode,cInvCode,fQuantity,fOutQuantity,cDepCode,cWhCode,"
                "iPSQuantity,iWasteRate, cFree1,cFree2,cFree3,cFree4,cFree5,cFree6,cFree7,cFree8,cFree9,cFree10) "
                "values (4,10,'','M212',2.75,0,'D02','W01',.5,10,Null,Null,Null,Null,Null,Null,Null,Null,Null,Null) "),
            1);
  EXPECT_EQ(Run(" update pp_rmrpdetails set iinput=ISNULL((select sum(isnull(fquantity,0)) from pp_pomain where "
                "idatafrom=pp_rmrpdetails.nid),0)+ISNULL((select sum(isnull(fquantity,0)) from om_pomain where "
                "idatafrom=pp_rmrpdetails.nid),0)  where pp_rmrpdetails.nid in (select idatafrom from om_pomain where "
                "om_pomain.id=4) "),
            1);
  EXPECT_EQ(Value(" select count(cmpid) as cmpid from  pp_rmrpdetails where isnull(CONVERT(DECIMAL(20,2),iinput),0)>"
                  "isnull(CONVERT(DECIMAL(20,2),icheck),0) and  (pp_rmrpdetails.nid=6) "),
            "0");
  EXPECT_EQ(Value("select isnull(sum(isnull(pp_rmrpdetails.icheck,0))-isnull((select sum(isnull(fquantity,0)) from "
                  "pp_pomain where idatafrom=6),0) ,0) as iCheckOM from pp_rmrpdetails where pp_rmrpdetails.nid=6"),
            "10");
}

TEST_F(StatementShapesTest, OutsourcingOrderWorkflow) {
  const std::string qxts = Value("SELECT qxts FROM om_productpo_t WHERE id=2");
  EXPECT_EQ(Run("select * from om_productpo " + Guard("0.0001") + "AND om_productpo.ID='2'"), -1);
  EXPECT_EQ(Run("select top 1 * from om_pomain where (isnull(finquantity,0)>0 or isnull(iTookQuantity,0)<>0 or "
                "isnull(iInvalidQuantity,0)<>0 )and om_pomain.id=2"),
            -1);
  EXPECT_EQ(Run("UPDATE om_productpo SET istate=2, cverifier='wangq', dcheckdate='2024-03-09' " + Guard(qxts) +
                "AND om_productpo.id='2'"),
            1);
  const std::string approved = Value("SELECT qxts FROM om_productpo_t WHERE id=2");
  EXPECT_EQ(Value("select count(*) as mCount from OM_POMain where fQuantity> fInQuantity and isnull(cClose,'')='' "
                  "and ID=2"),
            "1");
  EXPECT_EQ(Run("update om_productpo set istate=3 " + Guard(qxts) + "AND om_productpo.id='2'"), 0);
  EXPECT_EQ(Run("update om_productpo set istate=3 " + Guard(approved) + "AND om_productpo.id='2'"), 1);
  EXPECT_EQ(Run("UPDATE om_pomain SET cclose='wangq'WHERE om_pomain.ID='2'"), 1);
  EXPECT_EQ(Run("update om_pomain set cclose=null where om_pomain.id='2'"), 1);
  EXPECT_EQ(Value("select top 1 * from om_podetails where isnull(foutquantity,0)>0 and (mainid in (select mainid "
                  "from om_pomain where id=1 )) "),
            "1");
  EXPECT_EQ(Value("select top 1 * from om_purbillvouchs where isnull(ompoccode,'')='WW000003'"), "1");
}

TEST_F(StatementShapesTest, DeletingAnOutsourcingOrder) {
  EXPECT_EQ(Run(" update SO_SODetails set SO_SODetails.fTotolPut=isnull(SO_SODetails.fTotolPut,0) - "
                "isnull(OM_POMain.fQuantity,0) from SO_SODetails inner join OM_POMain on "
                "OM_POMain.cSOsIDs=','+cast (iSOsID as varchar)+','  where OM_POMain.mainid=2\r"),
            1);
  EXPECT_EQ(Value("SELECT fTotolPut FROM SO_SODetails WHERE iSOsID=1"), "0");
  EXPECT_EQ(Run("delete from om_podetails where mainid in (select mainid from om_pomain where id=3)"), 3);
  EXPECT_EQ(Run("delete from YK_MachineInBills where AutoIDs in (select autoid from YK_MachineInBill where ccode in "
                "(select ccode from om_productpo where id=3 )) "),
            1);
  EXPECT_EQ(Run("delete from YK_MachineInBill where ccode in (select ccode from om_productpo where id=3) "), 1);
  EXPECT_EQ(Run("delete from om_pomain where id = 3"), 1);
  EXPECT_EQ(Run("delete from om_productpo where id = 3"), 1);
  EXPECT_EQ(Run(" update pp_rmrpdetails set iinput=ISNULL((select sum(isnull(fquantity,0)) from pp_pomain where "
                "idatafrom=pp_rmrpdetails.nid),0)+ISNULL((select sum(isnull(fquantity,0)) from om_pomain where "
                "idatafrom=pp_rmrpdetails.nid),0) "),
            6);
  EXPECT_EQ(Value("SELECT iinput FROM pp_rmrpdetails WHERE nid=4"), "0");
}

TEST_F(StatementShapesTest, ShopFloorAndPlanStateChanges) {
  const std::string mo = Value("SELECT qxts FROM v_pp13_h WHERE moid=2");
  EXPECT_EQ(Run("UPDATE PP_MoOrderMa SET audman='李娜', audtime='2024-03-12' " + Guard(mo) +
                "AND PP_MoOrderMa.MOid='2'"),
            1);
  EXPECT_EQ(Run("select * from PP_MOOrderRptMa " + Guard("0.0001") + "AND PP_MOOrderRptMa.rptid = 2 "), -1);
  const std::string rpt = Value("SELECT qxts FROM v_pp14_h WHERE rptid=2");
  EXPECT_EQ(Run("UPDATE PP_MOOrderRptMa SET audman='李娜', audtime='2024-03-14' " + Guard(rpt) +
                "AND PP_MOOrderRptMa.rptcode='jd000002'"),
            1);
  // An approved plan with an ordered quota: the IF skips the update.
  const std::string plan = Value("SELECT qxts FROM v_pp02_h WHERE muid=1");
  EXPECT_EQ(Run("if not exists(select quid from pp_ropquota where duid In (Select duid From pp_ropdetails where muid "
                "='1') and isnull(fpoquantity,0)>0  ) Update pp_ropmain Set iState=0,cVerifier= NULL,dverifieddate="
                "NULL  where muid='1' and iState= 1 and convert(char, convert(money, qxts), 2)=convert(char, "
                "convert(money,'" + plan + "'), 2)"),
            -1);
  const std::string entered = Value("SELECT qxts FROM v_pp02_h WHERE muid=2");
  EXPECT_EQ(Run("Update PP_ROPMain Set iState=1,cCloser=NULL where muid='2' and isnull(iState,'') = 2 and "
                "convert(char, convert(money, qxts), 2)=convert(char, convert(money,'" + entered + "'), 2)"),
            0);
  EXPECT_EQ(Run(" Update PP_ROPMain Set iState=1,cVerifier='王强',dVerifiedDate='2024-03-07' where muid='2' and "
                "isnull(iState,0)= 0 and convert(char, convert(money, qxts), 2)=convert(char, convert(money,'" +
                entered + "'), 2)"),
            1);
  const std::string forecast = Value("SELECT qxts FROM v_pp01_h WHERE cfcid='0000000002'");
  EXPECT_EQ(Run("UPDATE PP_ForecastMain SET bMRP=1,cCheckPerson='lina', dCheckDate='2024-03-05' " + Guard(forecast) +
                "AND PP_ForecastMain.cFCID='0000000002'"),
            1);
  EXPECT_EQ(Value("select routcode from pp_routmain where cinvcode='P100' And cfree1='黑' And (cfree2='' or cfree2 is "
                  "null)"),
            "GY000001");
}

TEST_F(StatementShapesTest, PagedListThroughTheTemporaryTable) {
  EXPECT_EQ(Run("IF EXISTS (SELECT * FROM tempdb..sysobjects WHERE name = 'TMPQX_pp25' AND type='U') DROP TABLE "
                "TempDB..TMPQX_pp25"),
            -1);
  Run("SELECT IDENTITY(int,1,1) AS IDOrder,ccode,ddate,fquantity INTO TempDB..TMPQX_pp25 FROM v_pp25_list WHERE "
      "ddate>='2024-03-01' ORDER BY ccode");
  EXPECT_EQ(Run("create index IX_IDOrder ON TempDB..TMPQX_pp25(idorder)"), -1);
  EXPECT_EQ(Rows(*conn_, "SELECT IDOrder FROM TempDB..TMPQX_pp25 ORDER BY IDOrder").size(), 5u);
  EXPECT_EQ(Value(" SELECT ccode,ddate,fquantity FROM TempDB..TMPQX_pp25 WHERE IdOrder  >= 2 AND IDOrder <= 3 ORDER "
                  "BY IdOrder"),
            "SC000001");
  EXPECT_EQ(Value("SELECT sum(fquantity) as fquantity FROM TempDB..TMPQX_pp25"), "80");
  EXPECT_EQ(Run("IF EXISTS (SELECT * FROM tempdb..sysobjects WHERE name = 'TMPQX_pp25' AND type='U') DROP TABLE "
                "TempDB..TMPQX_pp25"),
            -1);
}

TEST_F(StatementShapesTest, BrokenBatchesFailAndRunNothing) {
  // A NULL quantity leaves ",," in the material batch: nothing of it may run.
  const std::string batch =
      " insert into PP_PODetails(MainID,SubId,cCode,cInvCode,fQuantity,fOutQuantity,cDepCode,cWhCode,iPSQuantity,"
      "iWasteRate, cFree1,cFree2,cFree3,cFree4,cFree5,cFree6,cFree7,cFree8,cFree9,cFree10) values "
      "(5,18,'','M232',10,0,'D01','W01',1,0,Null,Null,Null,Null,Null,Null,Null,Null,Null,Null) insert into "
      "PP_PODetails(MainID,SubId,cCode,cInvCode,fQuantity,fOutQuantity,cDepCode,cWhCode,iPSQuantity,iWasteRate, "
      "cFree1,cFree2,cFree3,cFree4,cFree5,cFree6,cFree7,cFree8,cFree9,cFree10) values "
      "(5,19,'','M231',,0,'D01','W01',1,0,Null,Null,Null,Null,Null,Null,Null,Null,Null,Null)";
  EXPECT_EQ(ErrorOf([&] { Run(batch); }), ErrorNumber::ErrorsInCommand);
  EXPECT_EQ(Value("SELECT count(*) AS n FROM PP_PODetails WHERE SubID=18"), "0");
  EXPECT_EQ(ErrorOf([&] { Run(""); }), ErrorNumber::CommandTextNotSet);
  EXPECT_EQ(ErrorOf([&] { Run("select sum(cinvcode) as s from inventory"); }), ErrorNumber::CantConvertValue);
}
