// The demo plant and the schema under it: every view answers, every voucher
// kind's configuration names objects that exist, declared types give the ADO
// types that saving relies on, row versions move with every change, and the
// plant's numbers agree with each other (quantities, counters, write-backs).
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

#include "SchemaTestSupport.h"
#include "fabrikon/ComError.h"
#include "fabrikon/DOMDocument.h"

using namespace fabrikon;
using namespace schema_test;

namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

bool Contains(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

bool ContainsIgnoringCase(const std::vector<std::string>& names, const std::string& name) {
  for (const auto& n : names)
    if (Lower(n) == Lower(name)) return true;
  return false;
}

class DemoPlantTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new ScratchDir;
    HostDatabase::Create(dir_->File("demo.db"), true, false);
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  void SetUp() override { conn_ = Connect(dir_->File("demo.db")); }

  // Tests that change the plant work on a copy of their own.
  ConnectionPtr FreshCopy() {
    own_ = std::make_unique<ScratchDir>();
    HostDatabase::Create(own_->File("demo.db"), true, false);
    return Connect(own_->File("demo.db"));
  }

  int Type(const std::string& table, const std::string& column) {
    RecordsetPtr rs = conn_->Open("SELECT * FROM " + table + " WHERE 1=0");
    return rs->Fields(column).Type();
  }

  static ScratchDir* dir_;
  ConnectionPtr conn_;
  std::unique_ptr<ScratchDir> own_;
};
ScratchDir* DemoPlantTest::dir_ = nullptr;

struct CardRow {
  std::string card, headTable, bodyTable, headView, bodyView, listView, key, lineKey, code, screen, print;
};

std::vector<CardRow> CardRows(Connection& conn) {
  std::vector<CardRow> cards;
  for (const auto& r : Rows(conn,
                            "SELECT CardNumber,BTTblName,BWTblName,BTQName,BWQName,VchListQName,SelfDef1,SelfDef2,"
                            "SelfDef3,isnull(DEF_ID,'') AS DEF_ID,isnull(DEF_ID_PRN,'') AS DEF_ID_PRN FROM Vouchers")) {
    cards.push_back({r[0], r[1], r[2], r[3], r[4], r[5], r[6], r[7], r[8], r[9], r[10]});
  }
  return cards;
}

}  // namespace

TEST_F(DemoPlantTest, EveryViewAnswersWithRowsAndLowerCaseUniqueColumns) {
  auto views = Rows(*conn_, "SELECT name FROM sysobjects WHERE type='V' ORDER BY name");
  ASSERT_GE(views.size(), 30u);
  for (const auto& view : views) {
    const std::string& name = view[0];
    EXPECT_FALSE(Rows(*conn_, "SELECT *,'' AS editprop FROM " + name).empty()) << name << " has no demo rows";
    std::vector<std::string> columns = Columns(*conn_, name);
    std::set<std::string> seen;
    for (const std::string& column : columns) {
      EXPECT_EQ(column, Lower(column)) << name;
      EXPECT_TRUE(seen.insert(column).second) << name << " repeats " << column;
    }
  }
}

TEST_F(DemoPlantTest, EveryCardOfTheLibraryHasAVouchersRow) {
  std::set<std::string> cards;
  for (const CardRow& row : CardRows(*conn_)) cards.insert(row.card);
  for (const char* card : {"pp01", "pp02", "pp08", "pp09", "pp10", "pp11", "pp13", "pp14", "pp15", "pp16", "pp17",
                           "pp25"})
    EXPECT_TRUE(cards.count(card)) << card;
  EXPECT_TRUE(cards.count(Scalar(*conn_, "SELECT cValue FROM FabrikonSettings WHERE cName='WWOrderCardNumber'")));
  EXPECT_TRUE(cards.count(Scalar(*conn_, "SELECT cValue FROM FabrikonSettings WHERE cName='WWPODetailsCardNumber'")));
  // Card numbers compare as the server compares text.
  EXPECT_EQ(Scalar(*conn_, "SELECT BTTblName FROM Vouchers WHERE CardNumber='PP13'"), "PP_MoOrderMa");
  EXPECT_EQ(Scalar(*conn_, "SELECT isnull(DEF_ID,'') AS DEF_ID FROM vouchers WHERE cardnumber='pp25 '"), "25");
}

TEST_F(DemoPlantTest, EveryVouchersRowNamesExistingTablesViewsAndColumns) {
  for (const CardRow& c : CardRows(*conn_)) {
    SCOPED_TRACE(c.card);
    auto headTable = Columns(*conn_, c.headTable);
    auto headView = Columns(*conn_, c.headView);
    Columns(*conn_, c.listView);
    // Views are read by the exact lower-case names; tables by any case.
    EXPECT_TRUE(Contains(headView, c.key)) << c.key;
    EXPECT_TRUE(Contains(headView, c.code)) << c.code;
    EXPECT_TRUE(Contains(headView, "qxts") == ContainsIgnoringCase(headTable, "qxts"));
    EXPECT_TRUE(ContainsIgnoringCase(headTable, c.key)) << c.key;
    EXPECT_TRUE(ContainsIgnoringCase(headTable, c.code)) << c.code;
    EXPECT_EQ(c.key, Lower(c.key));
    EXPECT_EQ(c.lineKey, Lower(c.lineKey));
    EXPECT_EQ(c.code, Lower(c.code));
    EXPECT_EQ(c.bodyTable.empty(), c.bodyView.empty());
    if (c.bodyTable.empty()) continue;
    auto bodyTable = Columns(*conn_, c.bodyTable);
    auto bodyView = Columns(*conn_, c.bodyView);
    EXPECT_TRUE(Contains(bodyView, c.key)) << c.key;
    EXPECT_TRUE(Contains(bodyView, c.lineKey)) << c.lineKey;
    EXPECT_TRUE(ContainsIgnoringCase(bodyTable, c.key)) << c.key;
    EXPECT_TRUE(ContainsIgnoringCase(bodyTable, c.lineKey)) << c.lineKey;
    EXPECT_EQ(Contains(bodyView, "qxts"), ContainsIgnoringCase(bodyTable, "qxts"));
  }
}

TEST_F(DemoPlantTest, TemplatesBelongToTheirCardsAndNameTheirViewsColumns) {
  for (const CardRow& c : CardRows(*conn_)) {
    SCOPED_TRACE(c.card);
    EXPECT_EQ(Scalar(*conn_, "SELECT CardNumber FROM FabrikonTemplates WHERE VT_ID='" + c.screen + "' AND iKind=0"),
              c.card);
    EXPECT_EQ(Scalar(*conn_, "SELECT CardNumber FROM FabrikonTemplates WHERE VT_ID='" + c.print + "' AND iKind=1"),
              c.card);
    auto headView = Columns(*conn_, c.headView);
    auto bodyView = c.bodyView.empty() ? std::vector<std::string>{} : Columns(*conn_, c.bodyView);
    auto fields = Rows(*conn_, "SELECT iPart, cFieldName FROM FabrikonTemplateFields WHERE VT_ID='" + c.screen + "'");
    EXPECT_FALSE(fields.empty());
    for (const auto& f : fields) EXPECT_TRUE(Contains(f[0] == "0" ? headView : bodyView, f[1])) << f[1];
    EXPECT_FALSE(Rows(*conn_, "SELECT cText FROM FabrikonTemplateFixed WHERE VT_ID='" + c.print + "'").empty());
  }
  EXPECT_EQ(Scalar(*conn_, "SELECT CardNumber FROM FabrikonTemplates WHERE VT_ID=" +
                               Scalar(*conn_, "SELECT cValue FROM FabrikonSettings WHERE cName='WWOrderDefaultVTID'")),
            "om01");
}

TEST_F(DemoPlantTest, NumberRulesParseAndCountersAreAheadOfEveryCode) {
  std::map<std::string, CardRow> byCard;
  for (const CardRow& c : CardRows(*conn_)) byCard[c.card] = c;
  for (const auto& rule : Rows(*conn_, "SELECT CardNumber, cRuleXml FROM FabrikonNumberRules")) {
    SCOPED_TRACE(rule[0]);
    DOMDocumentPtr doc = DOMDocument::Create();
    ASSERT_TRUE(doc->loadXML(rule[1]));
    XmlNode numbering = doc->selectSingleNode("//单据编号");
    ASSERT_FALSE(numbering.IsNothing());
    if (numbering.getAttribute("允许手工修改").ToText() == "True") continue;  // numbered by hand
    std::string prefix;
    for (const XmlNode& part : numbering.selectNodes("前缀")) prefix += part.getAttribute("种子").ToText();
    const CardRow& c = byCard.at(rule[0]);
    std::string last = Scalar(*conn_, "SELECT isnull(max(" + c.code + "),'') AS m FROM " + c.headTable);
    std::string counter = Scalar(*conn_, "SELECT isnull(max(iSerial),0) AS s FROM FabrikonNumberCounters WHERE "
                                         "CardNumber='" + c.card + "' AND cPrefix='" + prefix + "'");
    ASSERT_EQ(last.compare(0, prefix.size(), prefix), 0) << last;
    EXPECT_EQ(std::stol(last.substr(prefix.size())), std::stol(counter)) << last;
  }
}

TEST_F(DemoPlantTest, DeclaredTypesGiveTheAdoTypesSavingReliesOn) {
  EXPECT_EQ(Type("om_pomain", "mainid"), AdoType::Integer);
  EXPECT_EQ(Type("om_pomain", "idatafrom"), AdoType::Integer);
  EXPECT_EQ(Type("om_pomain", "fquantity"), AdoType::Double);
  EXPECT_EQ(Type("om_pomain", "imakecharge"), AdoType::Double);
  EXPECT_EQ(Type("om_pomain", "dstartdate"), AdoType::DBTimeStamp);
  EXPECT_EQ(Type("om_pomain", "bputfromso"), AdoType::Boolean);
  EXPECT_EQ(Type("om_pomain", "iblevel"), AdoType::SmallInt);
  EXPECT_EQ(Type("om_pomain", "cinvcode"), AdoType::VarWChar);
  EXPECT_EQ(Type("om_pomain", "qxts"), AdoType::Binary);
  EXPECT_EQ(Type("om_productpo", "istate"), AdoType::Integer);
  EXPECT_EQ(Type("om_productpo", "ihlevel"), AdoType::SmallInt);
  EXPECT_EQ(Type("om_podetails", "iWasteRate"), AdoType::Double);
  EXPECT_EQ(Type("pp_productpo", "iproperty"), AdoType::UnsignedTinyInt);
  EXPECT_EQ(Type("pp_moorderde", "cindex"), AdoType::WChar);
  EXPECT_EQ(Type("PP_ForecastMain", "bMRP"), AdoType::Boolean);
  EXPECT_EQ(Type("ProductStructures", "iwasterate"), AdoType::Double);
  EXPECT_EQ(Type("ProductStructures", "childguid"), AdoType::Integer);
  EXPECT_EQ(Type("Vouchers", "DEF_ID"), AdoType::VarWChar);
  EXPECT_EQ(Type("AccInformation", "cValue"), AdoType::VarWChar);
}

TEST_F(DemoPlantTest, OnlyTablesTheEngineNeverKeysHaveIdentityColumns) {
  std::set<std::string> saved;
  for (const CardRow& c : CardRows(*conn_)) {
    saved.insert(c.headTable);
    if (!c.bodyTable.empty()) saved.insert(c.bodyTable);
  }
  saved.insert("PP_PODetails");
  saved.insert("om_podetails");
  for (const std::string& table : saved) {
    RecordsetPtr rs = conn_->Open("SELECT * FROM " + table + " WHERE 1=0");
    for (size_t i = 0; i < rs->FieldCount(); ++i)
      EXPECT_FALSE(rs->Fields(i).Properties("ISAUTOINCREMENT").ToBool()) << table << "." << rs->Info(i).name;
  }
  RecordsetPtr lines = conn_->Open("SELECT * FROM SO_SODetails WHERE 1=0");
  EXPECT_TRUE(lines->Fields("iSOsID").Properties("ISAUTOINCREMENT").ToBool());
}

TEST_F(DemoPlantTest, RowVersionsMoveOnEveryInsertAndUpdate) {
  auto conn = FreshCopy();
  const std::string before = Scalar(*conn, "SELECT qxts FROM pp_scdd_h WHERE id=1");
  const std::string line = Scalar(*conn, "SELECT qxts FROM pp_scdd_l WHERE mainid=1");
  conn->Execute("UPDATE pp_productpo SET cmemo='加急' WHERE id=1");
  const std::string after = Scalar(*conn, "SELECT qxts FROM pp_scdd_h WHERE id=1");
  EXPECT_GT(std::stod(after), std::stod(before));
  EXPECT_GT(std::stod(after), std::stod(line));
  EXPECT_EQ(Scalar(*conn, "SELECT qxts FROM pp_scdd_l WHERE mainid=1"), line) << "a line moved with its head";
  conn->Execute("INSERT INTO pp_productpo (id, ccode) VALUES (9, 'SC000009')");
  EXPECT_GT(std::stod(Scalar(*conn, "SELECT qxts FROM pp_scdd_h WHERE id=9")), std::stod(after));
  // Four decimals, the money text of the counter.
  EXPECT_EQ(after.size() - after.find('.'), 5u) << after;
}

TEST_F(DemoPlantTest, TheLoadedRowVersionPassesTheGuardAndAStaleOneFails) {
  auto conn = FreshCopy();
  const std::string qxts = Scalar(*conn, "SELECT qxts FROM om_productpo_t WHERE id=2");
  const std::string guarded = "UPDATE om_productpo SET istate=2, cverifier='wangq', dcheckdate='2024-03-09' "
                              "WHERE convert(char, convert(money, qxts), 2)=convert(char, convert(money,'" +
                              qxts + "'), 2) AND om_productpo.id='2'";
  long affected = -5;
  conn->Execute(guarded, affected);
  EXPECT_EQ(affected, 1);
  conn->Execute(guarded, affected);
  EXPECT_EQ(affected, 0);
  // The body views deliver each line's own version, which guards the line.
  const std::string lineQxts = Scalar(*conn, "SELECT qxts FROM v_om01_l WHERE mainid=2");
  conn->Execute(" Update om_pomain Set fquantity =25 WHERE  mainid= 2 AND CONVERT(CHAR,Convert(MONEY,qxts),2)="
                "CONVERT(CHAR,Convert(MONEY,'" + lineQxts + "'),2)",
                affected);
  EXPECT_EQ(affected, 1);
}

TEST_F(DemoPlantTest, SalesOrderVersionOfALineEqualsWhatTheSaveCheckReads) {
  auto line = Rows(*conn_, "SELECT soid, soqxts FROM v_om01_l WHERE bputfromso=1");
  ASSERT_EQ(line.size(), 1u);
  EXPECT_EQ(Scalar(*conn_, "select top 1 convert(char,convert(money,qxts),2) as qxts from so_somain where id=" +
                               line[0][0]),
            line[0][1]);
}

TEST_F(DemoPlantTest, PushedDownLineFindsItsSalesOrderLine) {
  EXPECT_EQ(Scalar(*conn_, "select count(*) as n from SO_SODetails inner join OM_POMain on "
                           "OM_POMain.cSOsIDs=','+cast (iSOsID as varchar)+','  where OM_POMain.mainid=2"),
            "1");
  EXPECT_EQ(Scalar(*conn_, "SELECT fTotolPut FROM SO_SODetails WHERE iSOsID=1"),
            Scalar(*conn_, "SELECT fquantity FROM om_pomain WHERE mainid=2"));
}

TEST_F(DemoPlantTest, PlanningLinesAgreeWithTheOrdersReleasedFromThem) {
  auto conn = FreshCopy();
  auto before = Rows(*conn, "SELECT nid, iinput FROM pp_rmrpdetails ORDER BY nid");
  conn->Execute(" update pp_rmrpdetails set iinput=ISNULL((select sum(isnull(fquantity,0)) from pp_pomain where "
                "idatafrom=pp_rmrpdetails.nid),0)+ISNULL((select sum(isnull(fquantity,0)) from om_pomain where "
                "idatafrom=pp_rmrpdetails.nid),0) ");
  EXPECT_EQ(Rows(*conn, "SELECT nid, iinput FROM pp_rmrpdetails ORDER BY nid"), before);
}

TEST_F(DemoPlantTest, MaterialQuantitiesIncludeTheWasteRate) {
  // The production order's explosion query, as the material list builds it.
  auto exploded = Rows(*conn_,
                       " select pm.mainid, CPSCode, (fquantity*iPSQuantity)*(1+isnull(iWasteRate,0)/100) as Quantity "
                       " from pp_productpo PO left join pp_pomain PM on po.id=pm.id, "
                       " ProductStructure P left join ProductStructures PS on   P.iAutoId=PS.IPID "
                       " where   P.CPSPCode=pm.cinvcode and  isnull(P.cFree1,'')= isnull(pm.cfree1,'') and "
                       " isnull(P.csocode,'')='' and po.id= 1 order by pm.mainid, CPSCode");
  auto stored = Rows(*conn_, "SELECT MainID, cInvCode, fQuantity FROM PP_PODetails WHERE MainID IN (1,2) "
                             "ORDER BY MainID, cInvCode");
  EXPECT_EQ(exploded, stored);
  // 20 frames of 3.2 m tube with 5% waste: 67.2, not 64 (integer division).
  EXPECT_EQ(Scalar(*conn_, "select (20*iPSQuantity)*(1+isnull(iWasteRate,0)/100) as q from ProductStructures "
                           "where iPId=7 and cpscode='M211'"),
            "67.2");
  EXPECT_EQ(Scalar(*conn_, "SELECT fQuantity FROM om_podetails WHERE SubID=1"), "67.2");
}

TEST_F(DemoPlantTest, ReferenceListsHaveSomethingToOffer) {
  // Approved, open production orders neither reported nor dispatched.
  auto awaiting = Rows(*conn_,
                       "select distinct pp_productpo.ccode, pp_productpo.ddate, "
                       "case dbo.pp_productpo.iproperty when 1 then '生产订单' else '委外订单' end as ipropertyname, "
                       "case dbo.pp_productpo.itype when 1 then '普通订单' else '返工订单' end as itypename "
                       "from pp_productpo inner join pp_pomain on pp_productpo.id = pp_pomain.id "
                       "where isnull(pp_productpo.cverifier,'') <> '' and isnull(pp_pomain.cclose,'') = '' "
                       "and (not (pp_pomain.mainid in (select distinct mainid from pp_porptde))) "
                       "and (not (pp_pomain.mainid in (select distinct mainid from pp_moorderma))) "
                       "and pp_productpo.iproperty = 1 and pp_productpo.itype =1 ");
  ASSERT_EQ(awaiting.size(), 1u);
  EXPECT_EQ(awaiting[0][0], "SC000004");
  EXPECT_FALSE(Rows(*conn_, "select distinct mosubid,ccode,startdate,enddate from pp_q_moshortlist order by mosubid")
                   .empty());
  // A dispatch order with a card list, a card that was reported on.
  EXPECT_EQ(Scalar(*conn_, "Select cdepcode1,mosubid from pp_q_mocard where moid='1'"), "D01");
  EXPECT_FALSE(Rows(*conn_, "select distinct mosubid as ids, mosubid from pp_moorderrptde as d "
                            "left join pp_moorderrptma as m on d.rptid=m.rptid "
                            "where mosubid in (select mosubid from pp_q_moorderde where moid='1') ")
                   .empty());
}

TEST_F(DemoPlantTest, ForecastLinesReachTheirHeadThroughTheNumberInItsCode) {
  EXPECT_EQ(Rows(*conn_, "SELECT *,'' AS editprop FROM v_pp01_l WHERE cfcid = '0000000001' ORDER BY cfcid").size(), 2u);
  EXPECT_EQ(Scalar(*conn_, "SELECT ISNULL(cfcid,0) AS cfcid FROM PP_ForecastMain WHERE cfcid = '0000000002'"),
            "0000000002");
}
