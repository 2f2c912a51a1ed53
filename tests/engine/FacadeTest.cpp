// The façade: Init's card-number table and module initialisation, and the
// forwarding rules (by-reference replacements, login passing, missing
// business objects and operations), against the demo database.
#include "EngineTestSupport.h"
#include "fabrikon/RowsetEditor.h"

namespace fabrikon::enginetest {
namespace {

// A business object that records what the façade hands it and replaces the
// by-reference arguments when told to. It offers no VoucherConfirm.
class ProbeObject : public BusinessObject {
 public:
  explicit ProbeObject(std::string name) : name_(std::move(name)) {}
  const char* ClassName() const override { return name_.c_str(); }

  std::string VoucherNew(VoucherFormPtr& VO, LoginInfoPtr& Login) override {
    loginSeen = Login;
    if (replacementForm) VO = replacementForm;
    if (replacementLogin) Login = replacementLogin;
    return "";
  }
  std::string HeadCheck(VoucherFormPtr VO, ConnectionPtr& Conn, const std::string& strItem,
                        DOMDocumentPtr& domReturn, bool bSaveMode, std::string& strCardNum) override {
    formSeen = VO;
    itemSeen = strItem;
    saveModeSeen = bSaveMode;
    cardSeen = strCardNum;
    if (replacementConn) Conn = replacementConn;
    domReturn = DOMDocument::Create();
    domReturn->loadXML("<z:row cdepname=\"总装车间\"/>");
    return "表头：[cdepcode]不能为空，请检查！\r";
  }
  std::string VoucherClose(DOMDocumentPtr domHead, ConnectionPtr&, LoginInfoPtr& Login) override {
    headSeen = domHead;
    loginSeen = Login;
    return "closed";
  }
  std::string VoucherOpen(DOMDocumentPtr domHead, ConnectionPtr&) override {
    headSeen = domHead;
    return "opened";
  }

  VoucherFormPtr formSeen;
  DOMDocumentPtr headSeen;
  LoginInfoPtr loginSeen;
  std::string itemSeen, cardSeen;
  bool saveModeSeen = false;
  ConnectionPtr replacementConn;
  VoucherFormPtr replacementForm;
  LoginInfoPtr replacementLogin;

 private:
  std::string name_;
};

// Puts a probe behind a class name; answers the probe the factory will hand out.
std::shared_ptr<ProbeObject> Probe(const std::string& className) {
  auto probe = std::make_shared<ProbeObject>(className);
  BusinessObjectFactory::Override(className, [probe] { return probe; });
  return probe;
}

// A registry that records every question with the connection string it got.
class CountingRegistry : public CardNumberRegistry {
 public:
  std::string WWOrderCardNumber(const std::string& cs) override {
    asked.push_back("order " + cs);
    return "OM01";
  }
  std::string WWPODetailsCardNumber(const std::string& cs) override {
    asked.push_back("details " + cs);
    return "om02";
  }
  int16_t WWOrderDefaultVTID(const std::string&) override { return 30; }
  std::vector<std::string> asked;
};

using FacadeInit = EngineTest;

TEST_F(FacadeInit, AnswersFalseAlsoWhenItCreatedTheProductionOrder) {
  EXPECT_FALSE(co.Init(login, conn, "pp25"));
  EXPECT_EQ(co.BusinessClassName(), "clsSCDDOrder");
}

TEST_F(FacadeInit, ComparesTheCardInLowerCaseButKeepsItAsGiven) {
  Probe("clsMOOrder");
  EXPECT_FALSE(co.Init(login, conn, "PP13"));
  EXPECT_EQ(co.BusinessClassName(), "clsMOOrder");
  EXPECT_EQ(co.CardNumber(), "PP13");
  // The kept card number still finds the kind's Vouchers row.
  EXPECT_EQ(co.GetDefaultVTID(), "13");
}

TEST_F(FacadeInit, DispatchesEveryFixedCardToItsClass) {
  const std::vector<std::pair<std::string, std::string>> table = {
      {"pp01", "clsForecast"}, {"pp02", "clsROPOrder"},   {"pp08", "clsBaseFile"}, {"pp09", "clsBaseFile"},
      {"pp10", "clsBaseFile"}, {"pp11", "clsBaseFile"},   {"pp13", "clsMOOrder"},  {"pp14", "clsMOOrderRpt"},
      {"pp15", "clsPORpt"},    {"pp16", "clsPODetails"}, {"pp25", "clsSCDDOrder"}};
  for (const auto& [card, className] : table) {
    Probe(className);
    clsVoucherCO fresh;
    fresh.Init(login, conn, card);
    EXPECT_EQ(fresh.BusinessClassName(), className) << card;
  }
}

TEST_F(FacadeInit, Pp17CreatesNothingAndForwardsFailWhileEngineOperationsWork) {
  EXPECT_FALSE(co.Init(login, conn, "pp17"));
  EXPECT_EQ(co.BusinessClassName(), "");
  EXPECT_EQ(ErrorNumberOf([&] { co.HeadCheck(form, "cdepcode"); }), ErrorNumber::ObjectNotSet);
  EXPECT_EQ(ErrorNumberOf([&] { co.VoucherConfirm(form); }), ErrorNumber::ObjectNotSet);
  EXPECT_EQ(co.GetDefaultVTID(), "17");
}

// The production order's approval must not run on another kind's voucher.
TEST_F(FacadeInit, ACardWithoutClassReleasesThePreviousBusinessObject) {
  Probe("clsSCDDOrder");  // offers no approval: a call that reached it would fail with 438
  co.Init(login, conn, "pp25");
  for (const char* card : {"pp17", "zz99"}) {
    co.Init(login, conn, card);
    EXPECT_EQ(co.BusinessClassName(), "") << card;
    EXPECT_EQ(co.CardNumber(), card);
    EXPECT_EQ(ErrorNumberOf([&] { co.VoucherConfirm(form); }), ErrorNumber::ObjectNotSet) << card;
    EXPECT_EQ(ErrorNumberOf([&] { co.VoucherCancelconfirm(form); }), ErrorNumber::ObjectNotSet) << card;
  }
}

TEST_F(FacadeInit, EveryInitCreatesAFreshObject) {
  int made = 0;
  BusinessObjectFactory::Override("clsSCDDOrder", [&made] {
    ++made;
    return std::make_shared<ProbeObject>("clsSCDDOrder");
  });
  co.Init(login, conn, "pp25");
  co.Init(login, conn, "pp25");
  EXPECT_EQ(made, 2);
}

TEST_F(FacadeInit, OutsourcingOrderCardIsRecognisedWithoutAskingForTheDetailsCard) {
  auto registry = std::make_shared<CountingRegistry>();
  HostServices::SetCardNumberRegistry(registry);
  Probe("clsWWSCDDOrder");
  co.Init(login, conn, "om01");
  EXPECT_EQ(co.BusinessClassName(), "clsWWSCDDOrder");
  EXPECT_EQ(registry->asked, std::vector<std::string>{"order " + conn->ConnectionString()});
}

TEST_F(FacadeInit, DetailsCardIsAskedOnlyAfterTheOrderCardDidNotMatch) {
  auto registry = std::make_shared<CountingRegistry>();
  HostServices::SetCardNumberRegistry(registry);
  Probe("clsWWPODetails");
  co.Init(login, conn, "OM02");
  EXPECT_EQ(co.BusinessClassName(), "clsWWPODetails");
  EXPECT_EQ(registry->asked, (std::vector<std::string>{"order " + conn->ConnectionString(),
                                                       "details " + conn->ConnectionString()}));
}

TEST_F(FacadeInit, FixedCardsAndUnknownCards) {
  auto registry = std::make_shared<CountingRegistry>();
  HostServices::SetCardNumberRegistry(registry);
  co.Init(login, conn, "pp25");
  EXPECT_TRUE(registry->asked.empty());  // the fixed table decides first
  clsVoucherCO other;
  other.Init(login, conn, "zz99");
  EXPECT_EQ(other.BusinessClassName(), "");
  EXPECT_EQ(registry->asked.size(), 2u);
}

TEST_F(FacadeInit, EmbeddedRegistryNamesTheOutsourcingCards) {
  Probe("clsWWSCDDOrder");
  Probe("clsWWPODetails");
  co.Init(login, conn, "om01");
  EXPECT_EQ(co.BusinessClassName(), "clsWWSCDDOrder");
  co.Init(login, conn, "om02");
  EXPECT_EQ(co.BusinessClassName(), "clsWWPODetails");
}

// --- Quantity precision ------------------------------------------------------------

using FacadeQuantityPrecision = EngineTest;

TEST_F(FacadeQuantityPrecision, FollowsTheAccountSetting) {
  Exec("UPDATE AccInformation SET cValue='0' WHERE cSysID='AA' AND cName='iStrsQuanDecDgt'");
  co.Init(login, conn, "pp25");
  EXPECT_EQ(QuantityDecimals(), 0);
  EXPECT_EQ(QuantityFormat(), "#");
  Exec("UPDATE AccInformation SET cValue='3' WHERE cSysID='AA' AND cName='iStrsQuanDecDgt'");
  co.Init(login, conn, "pp25");
  EXPECT_EQ(QuantityDecimals(), 3);
  EXPECT_EQ(QuantityFormat(), "#.000");
}

TEST_F(FacadeQuantityPrecision, NoRowOrNullMeansTwoDecimals) {
  SetQuantityDecimals(5);
  Exec("UPDATE AccInformation SET cValue=NULL WHERE cSysID='AA' AND cName='iStrsQuanDecDgt'");
  co.Init(login, conn, "pp25");
  EXPECT_EQ(QuantityFormat(), "#.00");
  SetQuantityDecimals(5);
  Exec("DELETE FROM AccInformation WHERE cSysID='AA' AND cName='iStrsQuanDecDgt'");
  co.Init(login, conn, "pp17");
  EXPECT_EQ(QuantityDecimals(), 2);
  EXPECT_EQ(QuantityFormat(), "#.00");
}

TEST_F(FacadeQuantityPrecision, AnUnreadableSettingKeepsThePreviousPrecision) {
  SetQuantityDecimals(4);
  Exec("UPDATE AccInformation SET cValue='abc' WHERE cSysID='AA' AND cName='iStrsQuanDecDgt'");
  EXPECT_FALSE(co.Init(login, conn, "pp25"));
  EXPECT_EQ(QuantityDecimals(), 4);
  EXPECT_EQ(QuantityFormat(), "#.0000");

  Exec("DROP TABLE AccInformation");
  clsVoucherCO other;
  EXPECT_NO_THROW(other.Init(login, conn, "pp25"));
  EXPECT_EQ(QuantityFormat(), "#.0000");
  EXPECT_EQ(other.BusinessClassName(), "clsSCDDOrder");
}

// --- Forwarding to the business object ------------------------------------------------

using FacadeForwarding = EngineTest;

TEST_F(FacadeForwarding, CloseGetsTheLoginAndOpenDoesNot) {
  auto probe = Probe("clsSCDDOrder");
  co.Init(login, conn, "pp25");
  co.GetVoucherData(form);
  EXPECT_EQ(co.VoucherClose(form), "closed");
  EXPECT_EQ(probe->loginSeen, login);
  EXPECT_EQ(probe->headSeen, form->HeadDOM());  // the form's own document, not a copy
  probe->loginSeen.reset();
  EXPECT_EQ(co.VoucherOpen(form), "opened");
  EXPECT_EQ(probe->loginSeen, nullptr);
}

TEST_F(FacadeForwarding, AnOperationTheClassLacksFailsWith438) {
  Probe("clsSCDDOrder");
  co.Init(login, conn, "pp25");
  EXPECT_EQ(ErrorNumberOf([&] { co.VoucherConfirm(form); }), ErrorNumber::NotSupported);
  EXPECT_EQ(ErrorNumberOf([&] { co.VoucherAllowDelete(form); }), ErrorNumber::NotSupported);
}

TEST_F(FacadeForwarding, AReplacedConnectionIsUsedByEveryLaterOperation) {
  DemoDatabase second;
  ConnectionPtr secondConn = OpenConnection(second.ConnectionString());
  long affected = 0;
  secondConn->Execute("UPDATE Vouchers SET DEF_ID='99' WHERE CardNumber='pp25'", affected);
  auto probe = Probe("clsSCDDOrder");
  probe->replacementConn = secondConn;
  co.Init(login, conn, "pp25");
  EXPECT_EQ(co.GetDefaultVTID(), "25");
  co.HeadCheck(form, "cdepcode");
  EXPECT_EQ(co.GetDefaultVTID(), "99");
}

TEST_F(FacadeForwarding, HeadCheckPassesItemModeCardAndHandsDomReturnBack) {
  auto probe = Probe("clsSCDDOrder");
  co.Init(login, conn, "PP25");
  DOMDocumentPtr domReturn;
  EXPECT_EQ(co.HeadCheck(form, "cdepcode", domReturn, false), "表头：[cdepcode]不能为空，请检查！\r");
  EXPECT_EQ(probe->formSeen, form);
  EXPECT_EQ(probe->itemSeen, "cdepcode");
  EXPECT_FALSE(probe->saveModeSeen);
  EXPECT_EQ(probe->cardSeen, "PP25");
  ASSERT_TRUE(domReturn);
  EXPECT_EQ(GetHeadValue(domReturn, "cdepname"), "总装车间");

  co.HeadCheck(form, "", domReturn, true);
  EXPECT_TRUE(probe->saveModeSeen);
}

TEST_F(FacadeForwarding, VoucherNewReplacesTheCallersFormAndTheLogin) {
  auto probe = Probe("clsSCDDOrder");
  auto newForm = std::make_shared<EmbeddedVoucherForm>();
  auto newLogin = std::make_shared<EmbeddedLoginInfo>(DateTime{2024, 4, 1}, "新用户", "new");
  probe->replacementForm = newForm;
  probe->replacementLogin = newLogin;
  co.Init(login, conn, "pp25");
  VoucherFormPtr callerForm = form;
  EXPECT_EQ(co.VoucherNew(callerForm), "");
  EXPECT_EQ(callerForm, newForm);
  co.VoucherClose(callerForm);
  EXPECT_EQ(probe->loginSeen, newLogin);
}

// Temporaries, literals and derived pointers where the host does not want
// the out-value; the answers are those of the by-reference forms.
TEST_F(FacadeForwarding, OrdinaryValuesCanBePassed) {
  co.Init(login, conn, "pp25");
  auto vo = std::make_shared<EmbeddedVoucherForm>();
  EXPECT_EQ(co.VoucherNew(vo), "");
  EXPECT_EQ(GetHeadValue(vo->HeadDOM(), "cmaker"), "tester");
  RowsetEditor(vo->HeadDOM()).SetHead({{"dplandate", ""}});
  DOMDocumentPtr domReturn;
  const std::string missing = co.HeadCheck(vo, "", domReturn, true);
  EXPECT_NE(missing.find("[dplandate]不能为空"), std::string::npos) << missing;
  EXPECT_EQ(co.HeadCheck(vo, "", nullptr, true), missing);
  EXPECT_EQ(co.HeadCheck(vo, "", true), missing);
  EXPECT_EQ(co.BodyCheck(vo, 1, "", nullptr, true), co.BodyCheck(vo, 1, "", domReturn, true));
  std::string errMsg, noType;
  const std::string number = co.GetVoucherNO(vo, errMsg);
  EXPECT_EQ(co.GetVoucherNO(vo, ""), number);
  EXPECT_EQ(co.GetVoucherNOType(noType), "");
  EXPECT_EQ(noType, "自动编号允许手工修改");
  EXPECT_NE(co.VoucherSave2(vo, 2), "");  // nothing typed yet: refused, not thrown
  EXPECT_NE(co.VoucherSave2(vo, 2, Variant()), "");
}

TEST_F(FacadeForwarding, CallsBeforeInitRaiseInsteadOfCrashing) {
  clsVoucherCO fresh;
  EXPECT_EQ(ErrorNumberOf([&] { fresh.GetDefaultVTID(); }), ErrorNumber::ObjectNotSet);
  EXPECT_EQ(ErrorNumberOf([&] { fresh.MoveFirst(form); }), ErrorNumber::ObjectNotSet);
  EXPECT_EQ(ErrorNumberOf([&] { fresh.VoucherOpen(form); }), ErrorNumber::ObjectNotSet);
  EXPECT_FALSE(fresh.Bof());
  EXPECT_FALSE(fresh.Eof());
  co.Init(login, conn, "pp25");
  EXPECT_EQ(ErrorNumberOf([&] { co.MoveFirst(nullptr); }), ErrorNumber::ObjectNotSet);
}

}  // namespace
}  // namespace fabrikon::enginetest
