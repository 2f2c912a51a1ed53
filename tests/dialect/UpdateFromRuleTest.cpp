// UPDATE ... FROM target JOIN other: SQLite's UPDATE-FROM form.
#include <gtest/gtest.h>

#include "CatalogueSchema.h"
#include "DialectDb.h"

namespace fabrikon::dialect::test {
namespace {

std::string WriteBack(const std::string& mainid, const std::string& extra = "") {
  return " update SO_SODetails set SO_SODetails.fTotolPut=isnull(SO_SODetails.fTotolPut,0) - "
         "isnull(OM_POMain.fQuantity,0)" + extra +
         " from SO_SODetails inner join OM_POMain on  OM_POMain.cSOsIDs=','+cast (iSOsID as varchar)+','  where "
         "OM_POMain.mainid=" + mainid;
}

TEST(UpdateFromRule, TargetLeavesTheFromAndItsJoinMovesToWhere) {
  EXPECT_EQ(Sql(WriteBack("101", " + 12")),
            "update SO_SODetails set fTotolPut=tsql_store(ifnull(SO_SODetails.fTotolPut,0) - "
            "ifnull(OM_POMain.fQuantity,0) + 12, 'SO_SODetails', 'fTotolPut') from OM_POMain WHERE (OM_POMain.cSOsIDs=','||tsql_str(iSOsID, 30, 0, 0)||',') AND (OM_POMain.mainid=101)");
}

TEST(UpdateFromRule, OtherShapes) {
  EXPECT_EQ(Sql("update a set a.x = b.y from t a join u b on a.k = b.k"),
            "update t AS a set x = tsql_store(b.y, 't', 'x') from u b WHERE (a.k = b.k)");
  EXPECT_EQ(Sql("update t set x = u.y from u inner join t on t.k = u.k join v on v.k = u.k where u.z = 1"),
            "update t set x = tsql_store(u.y, 't', 'x') from u join v on v.k = u.k WHERE (t.k = u.k) AND (u.z = 1)");
  EXPECT_EQ(Sql("update t set x = u.y from t, u where t.k = u.k"), "update t set x = tsql_store(u.y, 't', 'x') from u where t.k = u.k");
  EXPECT_EQ(Sql("update t set x = u.y from u where t.k = u.k"), "update t set x = tsql_store(u.y, 't', 'x') from u where t.k = u.k");
  EXPECT_EQ(Sql("update om_pomain set om_pomain.iblevel =2, cclose=null where mainid=5"),
            "update om_pomain set iblevel =tsql_store(2, 'om_pomain', 'iblevel'), cclose=null where mainid=5");
  EXPECT_THROW(Sql("update t set x = 1 from t left join u on t.k = u.k"), ComError);
}

TEST(UpdateFromRule, WriteBackAddsAndSubtractsOnTheJoinedLine) {
  DialectDb db;
  db.Native(kCatalogueSchema);
  db.Native("INSERT INTO SO_SODetails(iSOsID, id, fTotolPut) VALUES (17, 3, 10), (18, 3, 4);"
            "INSERT INTO om_pomain(mainid, id, fquantity, cSOsIDs) VALUES (101, 12, 6, ',17,'), (102, 12, 1, ',99,')");
  EXPECT_EQ(db.Execute(WriteBack("101", " + 8") + "\r" + WriteBack("102") + "\r"), 1);
  EXPECT_EQ(db.Value("select fTotolPut from SO_SODetails where iSOsID=17"), "12.0");
  EXPECT_EQ(db.Value("select fTotolPut from SO_SODetails where iSOsID=18"), "4.0");
}

TEST(UpdateFromRule, CorrelatedRecountOfPlanningLines) {
  DialectDb db;
  db.Native(kCatalogueSchema);
  db.Native("INSERT INTO pp_rmrpdetails(nid, icheck) VALUES (1, 10), (2, 10);"
            "INSERT INTO pp_pomain VALUES (1, 1, 3, 1); INSERT INTO om_pomain(mainid, id, fquantity, idatafrom) "
            "VALUES (7, 12, 4, 1)");
  EXPECT_EQ(db.Execute(" update pp_rmrpdetails set iinput=ISNULL((select sum(isnull(fquantity,0)) from pp_pomain "
                       "where idatafrom=pp_rmrpdetails.nid),0)+ISNULL((select sum(isnull(fquantity,0)) from om_pomain "
                       "where idatafrom=pp_rmrpdetails.nid),0) "),
            2);
  EXPECT_EQ(db.Value("select iinput from pp_rmrpdetails where nid=1"), "7.0");
  EXPECT_EQ(db.Value("select iinput from pp_rmrpdetails where nid=2"), "0.0");
}

}  // namespace
}  // namespace fabrikon::dialect::test
