// The row-version guard: a document read now passes, a stale one fails, in
// both the state-change form and the statement builder's form.
#include <gtest/gtest.h>

#include "CatalogueSchema.h"
#include "DialectDb.h"

namespace fabrikon::dialect::test {
namespace {

class RowVersionGuard : public ::testing::Test {
 protected:
  void SetUp() override {
    db.Native(kCatalogueSchema);
    db.Native(RowVersionTriggers("om_productpo") + RowVersionTriggers("om_pomain") + RowVersionTriggers("so_somain"));
    db.Native("INSERT INTO om_productpo(id, ccode, istate) VALUES (12, 'WW0001', 1)");
  }
  std::string Qxts() { return db.Value("select qxts from v_om_h where id = 12"); }
  DialectDb db;
};

std::string Approve(const std::string& qxts) {
  return "UPDATE om_productpo SET istate=2, cverifier='u1', dcheckdate='2008-01-14' WHERE convert(char, "
         "convert(money, qxts), 2)=convert(char, convert(money,'" +
         qxts + "'), 2) AND om_productpo.id='12'";
}

TEST_F(RowVersionGuard, TranslatesToTheMoneyTextComparison) {
  EXPECT_EQ(Sql(Approve("0.0001")),
            "UPDATE om_productpo SET istate=tsql_store(2, 'om_productpo', 'istate'), cverifier=tsql_store('u1', "
            "'om_productpo', 'cverifier'), dcheckdate=tsql_store('2008-01-14 00:00:00', 'om_productpo', 'dcheckdate') "
            "WHERE "
            "tsql_char_money2(tsql_money_rv(qxts))=tsql_char_money2(tsql_money('0.0001')) AND om_productpo.id='12'");
  EXPECT_EQ(Sql("select top 1 convert(char,convert(money,qxts),2) as qxts from so_somain where id=3"),
            "select tsql_char_money2(tsql_money_rv(qxts)) as qxts from so_somain where id=3 LIMIT 1");
}

TEST_F(RowVersionGuard, ViewDeliversTheMoneyTextOfTheCounter) {
  EXPECT_EQ(Qxts(), "0.0001");
  db.Native("UPDATE om_productpo SET cmaker = 'x' WHERE id = 12");
  EXPECT_EQ(Qxts(), "0.0002");
}

TEST_F(RowVersionGuard, FreshDocumentPassesOnceThenIsStale) {
  const std::string loaded = Qxts();
  EXPECT_EQ(db.Execute(Approve(loaded)), 1);
  EXPECT_EQ(db.Execute(Approve(loaded)), 0);  // the approval itself made it stale
  EXPECT_EQ(db.Execute(Approve(Qxts())), 1);
}

TEST_F(RowVersionGuard, BuilderFormWithTrimmedText) {
  const std::string update =
      " Update om_productpo Set ccode ='WW0002' WHERE  id= 12 AND "
      "CONVERT(CHAR,Convert(MONEY,qxts),2)=CONVERT(CHAR,Convert(MONEY,'" +
      Qxts() + "'),2)";
  EXPECT_EQ(db.Execute(update), 1);
  EXPECT_EQ(db.Execute(update), 0);
}

TEST_F(RowVersionGuard, MissingOrForeignRowVersionNeverMatches) {
  EXPECT_EQ(db.Execute(Approve("")), 0);
  EXPECT_EQ(db.Execute(Approve("2001")), 0);  // the raw counter is not the money text
  try {
    db.Execute(Approve("abc"));
    ADD_FAILURE() << "non-numeric row version accepted";
  } catch (const ComError& e) {
    EXPECT_EQ(e.Number(), ErrorNumber::CantConvertValue);
  }
}

TEST_F(RowVersionGuard, GuardAlsoWorksOnAViewThatDeliversTheMoneyText) {
  const std::string check = "select * from v_om_h WHERE convert(char, convert(money, qxts), 2)=convert(char, "
                            "convert(money,'" + Qxts() + "'), 2) AND id='12'";
  EXPECT_EQ(db.Query(check).size(), 1u);
}

TEST_F(RowVersionGuard, GuardedSelectThroughExecuteAlwaysCountsMinusOne) {
  const std::string check = "select * from om_productpo WHERE convert(char, convert(money, qxts), 2)=convert(char, "
                            "convert(money,'" + Qxts() + "'), 2) AND om_productpo.ID='12'";
  EXPECT_EQ(db.Execute(check), -1);
  EXPECT_EQ(db.Query(check).size(), 1u);
}

TEST_F(RowVersionGuard, SalesOrderVersionMatchesTheLineViewsText) {
  db.Native("INSERT INTO so_somain(id) VALUES (3); INSERT INTO SO_SODetails(id) VALUES (3);"
            "INSERT INTO om_pomain(mainid, id, cSOsIDs) VALUES (101, 12, ',1,')");
  const std::string current =
      db.Value("select top 1 convert(char,convert(money,qxts),2) as qxts from so_somain where id=3");
  EXPECT_EQ(current.size(), 30u);
  EXPECT_EQ(current, db.Value("select soqxts from v_om_l where mainid = 101"));
}

}  // namespace
}  // namespace fabrikon::dialect::test
