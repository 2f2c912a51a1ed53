// The catalogue's statements run together as the library sends them: a save
// with its insert, update and delete batches, state changes guarded by the
// row version, the list totals, and the checks the catalogue closes with.
#include <gtest/gtest.h>

#include "CatalogueSchema.h"
#include "DialectDb.h"

namespace fabrikon::dialect::test {
namespace {

class CatalogueFlow : public ::testing::Test {
 protected:
  void SetUp() override {
    db.Native(kCatalogueSchema);
    db.Native(RowVersionTriggers("om_productpo") + RowVersionTriggers("om_pomain"));
  }
  std::string InsertLine(int mainid, const std::string& code, const std::string& quantity) {
    const std::string key = std::to_string(mainid);
    return " IF NOT EXISTS (SELECT mainid FROM om_pomain WHERE mainid='" + key +
           "') INSERT INTO om_pomain(mainid,id,cinvcode,fquantity,cSOsIDs) Values (" + key + ",12,'" + code + "'," +
           quantity + ",',17,')";
  }
  std::string UpdateLine(int mainid, const std::string& quantity) {
    const std::string qxts = db.Value("select qxts from v_om_l where mainid=" + std::to_string(mainid));
    return " Update om_pomain Set fquantity =" + quantity + " WHERE  mainid= " + std::to_string(mainid) +
           " AND CONVERT(CHAR,Convert(MONEY,qxts),2)=CONVERT(CHAR,Convert(MONEY,'" + qxts + "'),2)";
  }
  DialectDb db;
};

TEST_F(CatalogueFlow, SaveBatchesReportTheFirstCount) {
  const std::string head =
      " IF NOT EXISTS (SELECT id FROM om_productpo WHERE ccode='WW0001' or id='12')  INSERT INTO "
      "om_productpo(id,ccode,ddate,cmaker,istate) Values (12,'WW0001','2008-01-14','u1',1)";
  EXPECT_EQ(db.Execute(head), 1);
  EXPECT_EQ(db.Execute(InsertLine(101, "P1", "10") + InsertLine(102, "P2", ".50")), 1);
  // A skipped insert produces no count: the next one's count is reported,
  // and -1 only when every insert was skipped.
  EXPECT_EQ(db.Execute(InsertLine(101, "P1", "10") + InsertLine(103, "P3", "1E-05")), 1);
  EXPECT_EQ(db.Execute(InsertLine(101, "P1", "10") + InsertLine(103, "P3", "1E-05")), -1);
  EXPECT_EQ(db.Value("select count(*) from om_pomain"), "3");

  // The update batch: the first line's guard decides the count.
  const std::string fresh = UpdateLine(101, "11") + UpdateLine(102, "2");
  EXPECT_EQ(db.Execute(fresh), 1);
  EXPECT_EQ(db.Execute(fresh), 0);  // the same document again is stale

  EXPECT_EQ(db.Execute(" DELETE FROM om_pomain WHERE mainid= 102 DELETE FROM om_pomain WHERE mainid= 103"), 1);
  EXPECT_EQ(db.Execute("update om_productpo set ivtid=isnull(ivtid,3) where om_productpo.id='12' and "
                       "om_productpo.ivtid is null"),
            1);
  EXPECT_EQ(db.Execute("update om_pomain set fquantity=isnull(fquantity,0) where om_pomain.id='12'"), 1);
}

TEST_F(CatalogueFlow, StateChangesGuardedByTheRowVersion) {
  db.Native("INSERT INTO om_productpo(id, ccode, istate) VALUES (12, 'WW0001', 1);"
            "INSERT INTO om_pomain(mainid, id, fquantity, finquantity) VALUES (101, 12, 5, 0), (102, 12, 5, 5)");
  const std::string qxts = db.Value("select qxts from v_om_h where id=12");
  const std::string guard =
      "WHERE convert(char, convert(money, qxts), 2)=convert(char, convert(money,'" + qxts + "'), 2) AND ";
  EXPECT_EQ(db.Execute("select * from om_productpo " + guard + "om_productpo.ID='12'"), -1);
  EXPECT_EQ(db.Execute("UPDATE om_productpo SET istate=2, cverifier='u1', dcheckdate='2008-01-14' " + guard +
                       "om_productpo.id='12'"),
            1);
  EXPECT_EQ(db.Execute("update om_productpo set istate=3 " + guard + "om_productpo.id='12'"), 0);  // stale
  EXPECT_EQ(db.Value("select count(*) as mCount from OM_POMain where fQuantity> fInQuantity and "
                     "isnull(cClose,'')='' and ID=12"),
            "1");
  EXPECT_EQ(db.Execute("UPDATE om_pomain SET cclose='u1'WHERE om_pomain.ID='12'"), 2);
  EXPECT_EQ(db.Execute("update om_pomain set cclose=null where om_pomain.id='12'"), 2);
}

TEST_F(CatalogueFlow, ListTotalsRefuseTextColumns) {
  db.Native("INSERT INTO om_productpo(id, ccode) VALUES (1, 'a')");
  EXPECT_EQ(db.Value("SELECT sum(id) as id FROM v_om_h"), "1");
  try {
    db.Execute("SELECT sum(ccode) as ccode FROM v_om_h");
    ADD_FAILURE() << "sum over text accepted";
  } catch (const ComError& e) {
    EXPECT_EQ(e.Number(), ErrorNumber::CantConvertValue);
  }
}

TEST_F(CatalogueFlow, ClosingChecks) {
  EXPECT_EQ(db.Value("select ','+cast(17 as varchar)+','"), ",17,");
  EXPECT_EQ(db.Value("select case when 'A'='a ' then 'true' else 'false' end"), "true");
  EXPECT_EQ(db.Execute("SELECT * FROM om_productpo WHERE 1=0"), -1);
  EXPECT_EQ(db.Execute(" IF NOT EXISTS (SELECT id FROM om_productpo WHERE id='1') INSERT INTO om_productpo(id) "
                       "Values (1)"),
            1);
  EXPECT_EQ(db.Execute(" IF NOT EXISTS (SELECT id FROM om_productpo WHERE id='1') INSERT INTO om_productpo(id) "
                       "Values (1)"),
            -1);
  EXPECT_EQ(db.Counts("create index ix_t ON om_pomain(id)"), std::vector<long>{-2});
}

TEST_F(CatalogueFlow, MaterialListQueriesRun) {
  db.Native("CREATE TABLE ProductStructure(iAutoId int, CPSPCode text COLLATE TSQL, cFree1 text COLLATE TSQL);"
            "CREATE TABLE ProductStructures(autoid int, IPID int, CPSCode text COLLATE TSQL, iPSQuantity float, "
            "iWasteRate float, cDepCode text, cWhCode text, cFree1 text);"
            "CREATE TABLE pp_productpo(id int, qxts timestamp);"
            "INSERT INTO pp_productpo VALUES (9, 1); INSERT INTO ProductStructure VALUES (1, 'P1', NULL);"
            "INSERT INTO ProductStructures VALUES (5, 1, 'C1', 2, 5, 'D', 'W', NULL);"
            "INSERT INTO pp_pomain(mainid, id, fquantity) VALUES (201, 9, 10);"
            "ALTER TABLE pp_pomain ADD COLUMN cinvcode text COLLATE TSQL; ALTER TABLE pp_pomain ADD COLUMN cfree1 text;"
            "UPDATE pp_pomain SET cinvcode = 'p1', cfree1 = ''");
  const DialectDb::Rows rows = db.Query(
      " select pm.mainid, CPSCode,PS.cDepCode,PS.cWhCode,isnull(PS.iPSQuantity,0) as iPSQuantity,"
      "isnull(PS.iWasteRate,0) as iWasteRate,  (fquantity*iPSQuantity)*(1+isnull(iWasteRate,0)/100) as Quantity "
      " from pp_productpo PO left join pp_pomain PM on po.id=pm.id,  ProductStructure P left join ProductStructures "
      "PS on   P.iAutoId=PS.IPID  where   P.CPSPCode=pm.cinvcode and  isnull(P.cFree1,'')= isnull(pm.cfree1 ,'')  "
      "and po.id= 9");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].back(), "21.0");
}

}  // namespace
}  // namespace fabrikon::dialect::test
