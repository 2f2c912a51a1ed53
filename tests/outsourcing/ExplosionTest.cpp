// The bill-of-materials explosion of one product line: quantities cumulated
// along the path, how many levels a line asks for, which BOM head matches,
// and the bills of materials that must not break it (cycles, heads without
// lines, zero usage).
#include "OutsourcingTestSupport.h"

namespace fabrikon::testing_outsourcing {
namespace {

class ExplosionTest : public OutsourcingTest {
 protected:
  std::string Explode(int mainid, const std::string& soCode = "") { return ExplodeProductLine(mainid, soCode, conn); }
  // "code fQuantity/fQuantityNoWaste/iPSQuantity/iWasteRate" per material.
  std::string Materials() {
    std::string text;
    for (const auto& line : SelectedBomLines()) {
      text += (text.empty() ? "" : "; ") + line->cPScode() + " " + NumberText(line->fQuantity()) + "/" +
              NumberText(line->fQuantityNoWaste()) + "/" + NumberText(line->iPSQuantity()) + "/" +
              NumberText(line->iWasteRate());
    }
    return text;
  }
};

TEST_F(ExplosionTest, WorkedExampleAtOneAndTwoLevels) {
  AddTwoLevelBom();
  AddLine(90011, "W100", 10, ",iblevel", ",2");
  EXPECT_EQ(Explode(90011), "91021");
  EXPECT_EQ(Materials(), "W111 69.3/60/6/15.5");
  EXPECT_EQ(SelectedBomLines()[0]->cDepCode(), "D01");
  Exec("update om_pomain set iblevel=1 where mainid=90011");
  EXPECT_EQ(Explode(90011), "91011");
  EXPECT_EQ(Materials(), "W110 21/20/2/5");
  EXPECT_EQ(Explode(99999), "");
}

TEST_F(ExplosionTest, LevelsOfTheLine) {
  AddTwoLevelBom();
  for (const char* level : {"0", "-3", "NULL"}) {
    Exec(std::string("delete from om_pomain; insert into om_pomain(mainid,id,cinvcode,fquantity,iblevel) values "
                     "(90011,9001,'W100',10,") + level + ")");
    EXPECT_EQ(Explode(90011), "91011") << level;
  }
  // Explode to the end: the line's level becomes the BOM's depth.
  Exec("update om_pomain set iblevel=1, bbexpandend=1 where mainid=90011");
  EXPECT_EQ(Explode(90011), "91021");
  EXPECT_EQ(Scalar("select iblevel from om_pomain where mainid=90011"), "2");
  AddLine(90012, "NOBOM", 1, ",iblevel,bbexpandend", ",5,1");
  EXPECT_EQ(Explode(90012), "");
  EXPECT_EQ(Scalar("select iblevel from om_pomain where mainid=90012"), "0");
}

TEST_F(ExplosionTest, HeadMustMatchFreeItemsAndSalesOrderCode) {
  AddHead(9101, "W100", ",cfree1,cfree3", ",'黑','L'");
  AddRow(91011, 9101, "W111", 1, 0);
  AddHead(9103, "W100", ",csocode,cfree1,cfree3", ",'SO9','黑','L'");
  AddRow(91031, 9103, "W112", 1, 0);
  AddLine(90011, "W100", 1, ",cfree1,cfree3", ",'黑','L'");
  AddLine(90012, "W100", 1, ",cfree1,cfree3", ",'黑','XL'");
  EXPECT_EQ(Explode(90011), "91011");
  EXPECT_EQ(Explode(90011, "SO9"), "91031");
  EXPECT_EQ(Explode(90011, "SO8"), "");
  EXPECT_EQ(Explode(90012), "");
  // Codes with quotes are values, not SQL.
  EXPECT_EQ(Explode(90011, "x' or '1'='1"), "");
}

TEST_F(ExplosionTest, SubAssemblyAtTheLastLevelIsOneMaterial) {
  AddTwoLevelBom();
  AddRow(91012, 9101, "W120", 4, 0);
  AddLine(90011, "W100", 10, ",iblevel", ",1");
  EXPECT_EQ(Explode(90011), "91011,91012");
  EXPECT_EQ(Materials(), "W110 21/20/2/5; W120 40/40/4/0");
}

TEST_F(ExplosionTest, BomLeadingBackIntoItselfIsRefusedNamingTheItem) {
  AddTwoLevelBom();
  AddRow(91022, 9102, "W100", 1, 0, 9101);  // W110 contains W100 again
  AddLine(90011, "W100", 10, ",iblevel,bbexpandend", ",1,1");
  AddLine(90012, "W100", 10, ",iblevel", ",32000");
  for (int mainid : {90011, 90012}) {
    try {
      Explode(mainid);
      ADD_FAILURE() << "cycle accepted for " << mainid;
    } catch (const ComError& e) {
      EXPECT_NE(e.Description().find("W100"), std::string::npos) << e.Description();
    }
  }
}

TEST_F(ExplosionTest, HeadWithoutLinesAddsNoMaterial) {
  AddHead(9101, "W100", ",cversion", ",'1'");
  AddRow(91011, 9101, "W111", 1, 0);
  AddRow(91012, 9101, "W112", 1, 0);
  AddHead(9104, "W100", ",cversion", ",'2'");  // a second head, still without lines
  AddLine(90011, "W100", 1);
  EXPECT_EQ(Explode(90011), "91011,91012");
  EXPECT_EQ(SelectedBomLines().size(), 2u);
  AddHead(9105, "W200");
  AddLine(90012, "W200", 1);
  EXPECT_EQ(Explode(90012), "");
  EXPECT_TRUE(SelectedBomLines().empty());
}

TEST_F(ExplosionTest, ZeroUsageOnThePathKeepsTheWasteRate) {
  AddTwoLevelBom();
  Exec("update ProductStructures set ipsquantity=0 where autoid=91011");
  AddLine(90011, "W100", 10, ",iblevel", ",2");
  EXPECT_EQ(Explode(90011), "91021");
  EXPECT_EQ(Materials(), "W111 0/0/0/15.5");
}

// Quantities and waste rates are read as their text reads (15 significant
// digits), whole or not, small or past 10^15.
TEST_F(ExplosionTest, QuantitiesReadAsTheirText) {
  AddHead(9101, "W100");
  AddRow(91011, 9101, "W111", 3, 0);
  AddRow(91012, 9101, "W112", 0.125, 2.5);
  AddRow(91013, 9101, "W113", 1e15, 0);
  AddRow(91014, 9101, "W114", 2, 7);
  Exec("update ProductStructures set ipsquantity=2.000000000000001, iwasterate=7.000000000000001 where autoid=91014");
  AddLine(90011, "W100", 10, ",iblevel", ",1");
  EXPECT_EQ(Explode(90011), "91011,91012,91013,91014");
  EXPECT_EQ(Materials(), "W111 30/30/3/0; W112 1.28125/1.25/0.125/2.5; W113 1E+16/1E+16/1E+15/0; W114 21.4/20/2/7");
  ASSERT_EQ(SelectedBomLines().size(), 4u);
  EXPECT_EQ(SelectedBomLines()[3]->iPSQuantity(), 2.0);  // "2", not the stored 2.000000000000001
  EXPECT_EQ(SelectedBomLines()[3]->iWasteRate(), 7.0);
}

TEST_F(ExplosionTest, SelectedBomLineIsAPlainValue) {
  clsWWSelectedBom line;
  EXPECT_EQ(line.cFree10(), "");
  EXPECT_EQ(line.fQuantity(), 0);
  EXPECT_EQ(line.AutoID(), 0);
  line.fQuantity(-1.25);
  line.cFree3("x");
  EXPECT_EQ(line.fQuantity(), -1.25);
  EXPECT_EQ(line.cFree(3), "x");
}

}  // namespace
}  // namespace fabrikon::testing_outsourcing
