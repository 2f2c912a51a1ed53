// Loading and navigation through the façade on the demo production orders
// (pp25: orders 1 to 4; order 1 has two lines, the others one each): the
// parameters, the highest-key load, the sticky filter and locate condition,
// BOF/EOF at the ends of filtered sets, and Refresh after another user
// deleted the voucher on screen; a load, move or refresh reads one state of
// the database even while another user commits.
#include <functional>

#include "EngineTestSupport.h"
#include "fabrikon/TraceConnection.h"

namespace fabrikon::enginetest {
namespace {

class Loading : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    co.Init(login, conn, "pp25");
  }
  // Another user's connection to the same database.
  long OtherUser(const std::string& sql) {
    if (!other) other = OpenConnection(testsupport::WithApplicationName(db.ConnectionString(), "other"));
    long affected = 0;
    other->Execute(sql, affected);
    return affected;
  }
  void ExpectAt(const std::string& id, bool bof, bool eof) {
    EXPECT_EQ(HeadValue("id"), id);
    EXPECT_EQ(co.Bof(), bof) << "BOF at " << id;
    EXPECT_EQ(co.Eof(), eof) << "EOF at " << id;
  }
  ConnectionPtr other;
};

TEST_F(Loading, ParametersAnswerFalseEvenWhenFound) {
  VoucherParameters p;
  EXPECT_FALSE(co.GetVoucherParameter(p));
  EXPECT_EQ(p.strTableNameMain, "pp_productpo");
  EXPECT_EQ(p.strTableNameSub, "pp_pomain");
  EXPECT_EQ(p.strViewNameMain, "pp_scdd_h");
  EXPECT_EQ(p.strViewNameSub, "pp_scdd_l");
  EXPECT_EQ(p.strFieldNameMainID, "id");
  EXPECT_EQ(p.strFieldNameSubID, "mainid");
  EXPECT_EQ(p.strFieldNameCode, "ccode");
}

TEST_F(Loading, AnUnknownCardLeavesTheParametersAsTheyWere) {
  co.Init(login, conn, "zz99");
  std::string main = "keep", sub = "keep", view = "keep", viewSub = "keep", list = "keep", key = "keep",
              subKey = "keep", code = "keep";
  EXPECT_FALSE(co.GetVoucherParameter(main, sub, view, viewSub, list, key, subKey, code));
  EXPECT_EQ(main + sub + view + viewSub + list + key + subKey + code, "keepkeepkeepkeepkeepkeepkeepkeep");
  EXPECT_EQ(co.GetDefaultVTID(), "");
  EXPECT_EQ(co.GetDefaultVTIDPRN(), "");
}

TEST_F(Loading, NullColumnsReadAsEmptyAndDefaultTemplatesAsText) {
  Exec("UPDATE Vouchers SET VchListQName=NULL, DEF_ID=NULL WHERE CardNumber='pp25'");
  VoucherParameters p;
  p.strViewNameList = "keep";
  co.GetVoucherParameter(p);
  EXPECT_EQ(p.strViewNameList, "");
  EXPECT_EQ(co.GetDefaultVTID(), "");
  EXPECT_EQ(co.GetDefaultVTIDPRN(), "125");
}

TEST_F(Loading, TemplatesComeFromTheHostsFormatService) {
  RecordsetPtr format = co.GetVoucherFormat(co.GetDefaultVTID());
  ASSERT_TRUE(format);
  EXPECT_GT(format->RecordCount(), 0);
  // The print template's fixed items, in their order: the production order's title first.
  RecordsetPtr fixed = co.GetVoucherFixed(co.GetDefaultVTIDPRN());
  ASSERT_TRUE(fixed);
  std::vector<std::string> items;
  for (fixed->MoveFirst(); !fixed->Eof(); fixed->MoveNext()) {
    items.push_back(fixed->Fields("VT_ID").Value().ToText() + ":" + fixed->Fields("cName").Value().ToText() + ":" +
                    fixed->Fields("cText").Value().ToText());
  }
  EXPECT_EQ(items, (std::vector<std::string>{"125:title:生产订单", "125:maker:制单人：", "125:auditor:审核人：",
                                             "125:page:第  页 共  页"}));
}

TEST_F(Loading, WithoutAnIdTheHighestKeyIsLoadedWithItsLines) {
  co.GetVoucherData(form);
  ExpectAt("4", false, true);
  EXPECT_EQ(HeadValue("editprop"), "");
  ASSERT_EQ(BodyRows(), 1);
  EXPECT_EQ(BodyValue(1, "mainid"), "5");
  EXPECT_EQ(BodyValue(1, "editprop"), "");
}

TEST_F(Loading, TheFirstOfSeveralSetsBofOnly) {
  co.GetVoucherData(form, "", Variant("1"));
  ExpectAt("1", true, false);
  EXPECT_EQ(BodyRows(), 2);
}

TEST_F(Loading, TheOnlyVoucherOfAFilteredSetSetsBofAndEof) {
  co.GetVoucherData(form, "id = 2");
  ExpectAt("2", true, true);
}

TEST_F(Loading, TheEmptyIdLoadsNothingAndKeepsBofEof) {
  co.GetVoucherData(form, "", Variant("1"));
  ExpectAt("1", true, false);
  co.GetVoucherData(form, "", Variant(""));
  EXPECT_EQ(HeadRows(), 0);
  EXPECT_EQ(BodyRows(), 0);
  EXPECT_TRUE(co.Bof());
  EXPECT_FALSE(co.Eof());
  // The current ID is "" now: Refresh starts from the lowest key.
  co.Refresh(form);
  ExpectAt("1", true, false);
}

TEST_F(Loading, AnEmptyKindLoadsNoRowWithBofAndEof) {
  Exec("DELETE FROM pp_pomain");
  Exec("DELETE FROM pp_productpo");
  co.GetVoucherData(form);
  EXPECT_EQ(HeadRows(), 0);
  EXPECT_EQ(BodyRows(), 0);
  ExpectAt("", true, true);
}

TEST_F(Loading, AFilterMatchingNothingReloadsThePreviousVoucher) {
  co.GetVoucherData(form, "", Variant("2"));
  // MAX over the filtered set is NULL, so the current ID stays 2 and that
  // voucher is read again; it lies outside the filtered set.
  co.GetVoucherData(form, "id > 100");
  ExpectAt("2", false, false);
  co.MoveFirst(form);
  EXPECT_EQ(HeadRows(), 0);
  ExpectAt("", true, true);
}

TEST_F(Loading, MovesWalkTheKindInKeyOrder) {
  co.GetVoucherData(form);
  co.MoveFirst(form);
  ExpectAt("1", true, false);
  EXPECT_EQ(BodyRows(), 2);
  co.MoveNext(form);
  ExpectAt("2", false, false);
  EXPECT_EQ(BodyValue(1, "mainid"), "3");
  co.MoveNext(form);
  co.MovePrevious(form);
  ExpectAt("2", false, false);
  co.MoveLast(form);
  ExpectAt("4", false, true);
  EXPECT_EQ(BodyValue(1, "mainid"), "5");
}

TEST_F(Loading, NumericKeysAreOrderedAndComparedAsNumbers) {
  Exec("INSERT INTO pp_productpo (id, ccode, ddate) VALUES (10, 'SC000010', '2024-03-20')");
  co.GetVoucherData(form, "", Variant("4"));
  ExpectAt("4", false, false);
  co.MoveNext(form);
  ExpectAt("10", false, true);
  co.MovePrevious(form);
  ExpectAt("4", false, false);
}

TEST_F(Loading, MovingPastTheEndEmptiesTheHeadAndKeepsTheLines) {
  co.GetVoucherData(form, "id >= 3");
  ExpectAt("4", false, true);
  co.MoveNext(form);
  EXPECT_EQ(HeadRows(), 0);
  EXPECT_EQ(BodyRows(), 1);  // the lines of order 4 stay on screen
  ExpectAt("", true, true);
}

TEST_F(Loading, MovingBeforeTheStartEmptiesTheHead) {
  co.GetVoucherData(form, "", Variant("1"));
  co.MovePrevious(form);
  EXPECT_EQ(HeadRows(), 0);
  ExpectAt("", true, true);
}

TEST_F(Loading, TheFilterIsStickyUntilANonEmptyOneReplacesIt) {
  co.GetVoucherData(form, "id IN (1, 3)");
  ExpectAt("3", false, true);
  co.GetVoucherData(form);  // no filter given: still the filtered set
  ExpectAt("3", false, true);
  co.MovePrevious(form);
  ExpectAt("1", true, false);
  co.MoveNext(form);
  ExpectAt("3", false, true);
  co.GetVoucherData(form, "id >= 1");
  ExpectAt("4", false, true);
}

TEST_F(Loading, AFilterWithOrKeepsItsMeaningBesideTheKeyCondition) {
  co.GetVoucherData(form, "id = 1 OR id = 4");
  ExpectAt("4", false, true);
  co.MovePrevious(form);  // "id < '4' AND id = 1 OR id = 4" would find order 4 again
  ExpectAt("1", true, false);
  co.MoveNext(form);
  ExpectAt("4", false, true);
  co.GetVoucherData(form, "id = 3 OR id = 1");
  ExpectAt("3", false, true);
  co.Refresh(form);  // "id>='3' AND id = 3 OR id = 1" would load order 1
  ExpectAt("3", false, true);
}

TEST_F(Loading, LocateNarrowsTheHighestKeyAndComesBackPrefixed) {
  clsVoucherCommon engine;
  auto head = DOMDocument::Create();
  auto body = DOMDocument::Create();
  std::string locate = "id < 3";
  engine.GetVoucherData(conn, head, body, "pp_scdd_h", "id", "pp_scdd_l", "id", "", std::nullopt, locate);
  EXPECT_EQ(locate, " WHERE id < 3");
  EXPECT_EQ(GetHeadValue(head, "id"), "2");
  EXPECT_EQ(body->selectNodes("//z:row").length(), 1);

  locate = "id < 3";
  engine.GetVoucherData(conn, head, body, "pp_scdd_h", "id", "pp_scdd_l", "id", "id = 4 OR id = 1", std::nullopt,
                        locate);
  EXPECT_EQ(locate, " AND id < 3");
  EXPECT_EQ(GetHeadValue(head, "id"), "1");  // the OR filter is kept apart from the locate condition
  EXPECT_TRUE(engine.Bof());
  EXPECT_FALSE(engine.Eof());
}

TEST_F(Loading, LocateThroughTheFacade) {
  co.GetVoucherData(form, "", std::nullopt, "ccode = 'SC000002'");
  ExpectAt("2", false, false);
  co.MoveNext(form);  // moves ignore the locate condition
  ExpectAt("3", false, false);
}

TEST_F(Loading, RefreshAfterTheVoucherWasDeletedLoadsTheNextOne) {
  co.GetVoucherData(form, "", Variant("2"));
  OtherUser("DELETE FROM pp_pomain WHERE id = 2");
  OtherUser("DELETE FROM pp_productpo WHERE id = 2");
  co.Refresh(form);
  ExpectAt("3", false, false);
  EXPECT_EQ(BodyValue(1, "mainid"), "4");
}

TEST_F(Loading, RefreshAfterTheLastVoucherWasDeletedLoadsTheNewLast) {
  co.GetVoucherData(form);
  OtherUser("DELETE FROM pp_productpo WHERE id = 4");
  co.Refresh(form);
  ExpectAt("3", false, true);
  EXPECT_EQ(BodyValue(1, "mainid"), "4");
}

TEST_F(Loading, RefreshSeesAnotherUsersChangeAndEmptiesWhenAllAreGone) {
  co.GetVoucherData(form, "", Variant("3"));
  OtherUser("UPDATE pp_productpo SET cmemo = 'changed' WHERE id = 3");
  co.Refresh(form);
  ExpectAt("3", false, false);
  EXPECT_EQ(HeadValue("cmemo"), "changed");
  OtherUser("DELETE FROM pp_productpo");
  co.Refresh(form);
  EXPECT_EQ(HeadRows(), 0);
  EXPECT_EQ(BodyRows(), 0);
  ExpectAt("", true, true);
}

// Another user commits a new last order and a new line of order 4 right
// after the head of order 4 was read: the lines and the key range still come
// from the state the head was read in (on the embedded backend), and the
// next load sees the commit.
TEST_F(Loading, ALoadReadsOneStateWhileAnotherUserCommits) {
  struct Case {
    const char* name;
    std::function<void(clsVoucherCO&)> start;  // where the voucher stands before
    std::function<void(clsVoucherCO&)> loadFour;
  };
  const std::vector<Case> cases = {
      {"load by id", [](clsVoucherCO&) {}, [&](clsVoucherCO& c) { c.GetVoucherData(form, "", Variant("4")); }},
      {"load of the highest", [](clsVoucherCO&) {}, [&](clsVoucherCO& c) { c.GetVoucherData(form); }},
      {"move next", [&](clsVoucherCO& c) { c.GetVoucherData(form, "", Variant("3")); },
       [&](clsVoucherCO& c) { c.MoveNext(form); }},
      {"refresh", [&](clsVoucherCO& c) { c.GetVoucherData(form, "", Variant("4")); },
       [&](clsVoucherCO& c) { c.Refresh(form); }},
  };
  // Through ODBC and on PostgreSQL each statement reads the latest commit.
  const bool oneState = !testsupport::TestsUseOdbc() && !testsupport::TestsUsePg();
  int next = 5;
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    bool armed = false;
    const int added = next++;
    const ConnectionPtr traced =
        std::make_shared<TraceConnection>(conn, [&](const std::string& sql, long, double) {
          if (!armed || sql.find("editprop FROM pp_scdd_h") == std::string::npos) return;
          armed = false;
          const std::string id = std::to_string(added);
          OtherUser("INSERT INTO pp_productpo (id, ccode, ddate) VALUES (" + id + ", 'SC00000" + id +
                    "', '2024-03-20')");
          OtherUser("INSERT INTO pp_pomain (mainid, id, cinvcode, fquantity) VALUES (" + std::to_string(100 + added) +
                    ", 4, 'X', 1)");
        });
    clsVoucherCO co4;
    co4.Init(login, traced, "pp25");
    test.start(co4);
    const long lines = std::stol(Scalar("SELECT count(*) FROM pp_pomain WHERE id = 4"));
    armed = true;
    test.loadFour(co4);
    EXPECT_FALSE(armed);
    EXPECT_EQ(HeadValue("id"), "4");
    if (oneState) {
      EXPECT_EQ(BodyRows(), lines);  // not the line committed meanwhile
      EXPECT_TRUE(co4.Eof());        // nor the new last order
    }
    EXPECT_FALSE(conn->InTransaction());
    // Nothing left pending: both write, the own write not refused for an old snapshot.
    OtherUser("UPDATE pp_productpo SET cmemo = 'other' WHERE id = 4");
    EXPECT_EQ(Exec("UPDATE pp_productpo SET cpersoncode = 'own' WHERE id = 4"), 1);
    co4.GetVoucherData(form, "", Variant("4"));
    EXPECT_EQ(BodyRows(), lines + 1);
    EXPECT_FALSE(co4.Eof());
    EXPECT_EQ(HeadValue("cmemo") + HeadValue("cpersoncode"), "otherown");
    OtherUser("DELETE FROM pp_pomain WHERE mainid = " + std::to_string(100 + added));  // as it was, for the next case
    OtherUser("DELETE FROM pp_productpo WHERE id = " + std::to_string(added));
  }
}

TEST_F(Loading, DocumentsAreRefilledInPlace) {
  DOMDocumentPtr head = form->HeadDOM();
  DOMDocumentPtr body = form->BodyDOM();
  co.GetVoucherData(form);
  co.MoveFirst(form);
  co.Refresh(form);
  EXPECT_EQ(form->HeadDOM(), head);
  EXPECT_EQ(form->BodyDOM(), body);
  EXPECT_EQ(GetHeadValue(head, "id"), "1");
}

TEST_F(Loading, AFailedLoadIsSilentButMovesReportDatabaseErrors) {
  co.GetVoucherData(form, "", Variant("1"));
  EXPECT_NO_THROW(co.GetVoucherData(form, "no_such_column = 1"));
  EXPECT_EQ(HeadValue("id"), "1");  // what was loaded before stays
  ExpectAt("1", true, false);
  // The broken filter is sticky now, and the moves let its error through.
  EXPECT_NE(ErrorNumberOf([&] { co.MoveNext(form); }), 0);
  EXPECT_NE(ErrorNumberOf([&] { co.Refresh(form); }), 0);
}

TEST_F(Loading, AKindWithoutBodyLeavesTheBodyDocumentAlone) {
  co.GetVoucherData(form, "", Variant("1"));
  ASSERT_EQ(BodyRows(), 2);
  co.Init(login, conn, "pp08");
  co.GetVoucherData(form);
  EXPECT_EQ(HeadRows(), 1);
  EXPECT_EQ(BodyRows(), 2);
  co.MoveFirst(form);
  EXPECT_EQ(BodyRows(), 2);
}

}  // namespace
}  // namespace fabrikon::enginetest
