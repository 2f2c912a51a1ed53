// Numbering through the façade with the embedded number service and rules
// kept in the demo database: the numbering type texts, every message of
// GetVoucherNOType and GetVoucherNO, how prefixes are seeded from the head,
// and when the service is asked to synchronise.
#include "EngineTestSupport.h"

namespace fabrikon::enginetest {
namespace {

std::string Rule(const std::string& refetch, const std::string& editable, const std::string& prefixes = "") {
  return "<单据编号 重号自动重取=\"" + refetch + "\" 允许手工修改=\"" + editable + "\" 流水号长度=\"6\" 起始值=\"1\">" +
         prefixes + "</单据编号>";
}

std::string Prefix(const std::string& type, const std::string& name, const std::string& field,
                   const std::string& seed) {
  return "<前缀 对象类型=\"" + type + "\" 对象名称=\"" + name + "\" 源表字段名=\"" + field + "\" 种子=\"" + seed + "\"/>";
}

// The seeds of a rule the engine handed to the service, in document order.
// A code of the demo rule of pp25: "SC" and a six-digit serial.
::testing::AssertionResult IsProductionOrderCode(const std::string& code) {
  if (code.size() == 8 && code.rfind("SC", 0) == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "not a production order code: \"" << code << "\"";
}

std::vector<std::string> Seeds(const std::string& ruleXml) {
  DOMDocumentPtr rule = DOMDocument::Create();
  EXPECT_TRUE(rule->loadXML(ruleXml));
  std::vector<std::string> seeds;
  for (const XmlNode& prefix : rule->selectNodes("//前缀")) seeds.push_back(NullToEmpty(prefix.getAttribute("种子")));
  return seeds;
}

class Numbering : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    co.Init(login, conn, "pp25");
    co.GetVoucherData(form, "", Variant("4"));  // ddate 2024-03-08, dplandate 2024-03-09, cdepcode D01
  }
  std::string NoType() {
    DOMDocumentPtr format;
    std::string type = "keep";
    EXPECT_EQ(co.GetVoucherNOType(format, type), "");
    return type;
  }
  std::string Number(std::string& errMsg, bool real = false) { return co.GetVoucherNO(form, errMsg, real); }
};

TEST_F(Numbering, TypeTextsFollowTheTwoFlags) {
  SetRule("pp25", Rule("False", "False"));
  EXPECT_EQ(NoType(), "自动编号不许手工修改");
  SetRule("pp25", Rule("True", "False"));
  EXPECT_EQ(NoType(), "自动编号允许手工修改");
  SetRule("pp25", Rule("False", "True"));
  EXPECT_EQ(NoType(), "非自动编号");
  SetRule("pp25", Rule("True", "True"));
  EXPECT_EQ(NoType(), "keep");
}

TEST_F(Numbering, TypeHandsTheRuleToTheCaller) {
  DOMDocumentPtr format = DOMDocument::Create();
  std::string type;
  co.GetVoucherNOType(format, type);
  XmlNode number = format->selectSingleNode("//单据编号");
  ASSERT_FALSE(number.IsNothing());
  EXPECT_EQ(NullToEmpty(number.getAttribute("重号自动重取")), "True");
}

TEST_F(Numbering, AnUnreadableFlagLeavesTheTypeUnchanged) {
  SetRule("pp25", "<单据编号 允许手工修改=\"False\"/>");
  EXPECT_EQ(NoType(), "keep");
  SetRule("pp25", Rule("maybe", "False"));
  EXPECT_EQ(NoType(), "keep");
}

TEST_F(Numbering, ACardWithoutRuleCannotBeInitialised) {
  Exec("DELETE FROM FabrikonNumberRules WHERE CardNumber='pp25'");
  DOMDocumentPtr format;
  std::string type = "keep";
  EXPECT_EQ(co.GetVoucherNOType(format, type), "初始化单据号码失败！");
  EXPECT_EQ(type, "keep");
  std::string errMsg;
  EXPECT_EQ(Number(errMsg), "");
  EXPECT_EQ(errMsg, "初始化单据号码失败！");
}

TEST_F(Numbering, ARuleThatIsNotXmlCannotBeRead) {
  SetRule("pp25", "<单据编号 重号自动重取=\"True\"");
  DOMDocumentPtr format;
  std::string type = "keep";
  EXPECT_EQ(co.GetVoucherNOType(format, type), "获得单据前缀格式失败！");
  EXPECT_EQ(type, "keep");
  std::string errMsg;
  EXPECT_EQ(Number(errMsg), "");
  EXPECT_EQ(errMsg, "获得单据前缀格式失败！");
}

TEST_F(Numbering, AManuallyNumberedCardGetsNoCode) {
  SetRule("pp25", Rule("False", "True", Prefix("5", "固定字符", "", "SC")));
  auto service = RecordNumbers();
  std::string errMsg;
  EXPECT_EQ(Number(errMsg, true), "");
  EXPECT_EQ(errMsg, "单据号重复！");
  EXPECT_TRUE(service->numberRequests.empty());
}

TEST_F(Numbering, TheManualFlagsCompareAsExactText) {
  // Read as booleans these say "manual", but only "False"/"True" spelled
  // exactly that way stop the numbering.
  SetRule("pp25", Rule("false", "True", Prefix("5", "固定字符", "", "SC")));
  EXPECT_EQ(NoType(), "非自动编号");
  std::string errMsg;
  EXPECT_TRUE(IsProductionOrderCode(Number(errMsg)));
  EXPECT_EQ(errMsg, "");
}

TEST_F(Numbering, BothFlagsTrueIssuesACode) {
  SetRule("pp25", Rule("True", "True", Prefix("5", "固定字符", "", "SC")));
  EXPECT_EQ(NoType(), "keep");
  std::string errMsg = "stale";
  EXPECT_TRUE(IsProductionOrderCode(Number(errMsg)));
  EXPECT_EQ(errMsg, "");
}

TEST_F(Numbering, PrefixesAreSeededFromTheHead) {
  SetRule("pp25", Rule("True", "False",
                       Prefix("1", "单据日期", "dDate", "") + Prefix("2", "计划日期", "DPLANDATE", "") +
                           Prefix("2", "部门", "cDepCode", "old") + Prefix("5", "固定字符", "cdepcode", "SC") +
                           Prefix("3", "远程号", "cdepcode", "R1") + Prefix("2", "备注", "cNoSuchField", "x")));
  auto service = RecordNumbers();
  std::string errMsg;
  std::string code = Number(errMsg);
  EXPECT_EQ(errMsg, "");
  ASSERT_EQ(service->numberRequests.size(), 1u);
  // Date fields (by name) give their date part; type 5 and the remote
  // number keep the rule's seed; an absent field gives "".
  EXPECT_EQ(Seeds(service->numberRequests[0]),
            (std::vector<std::string>{"2024-03-08", "2024-03-09", "D01", "SC", "R1", ""}));
  EXPECT_EQ(code, "202403082024-03-09D01SCR1000001");
}

TEST_F(Numbering, RealNumbersAreReservedAndPassedThrough) {
  auto service = RecordNumbers();
  std::string errMsg;
  std::string first = Number(errMsg, true);
  std::string second = Number(errMsg, true);
  EXPECT_TRUE(IsProductionOrderCode(first));
  EXPECT_NE(first, second);
  EXPECT_EQ(service->realNo, (std::vector<bool>{true, true}));
  std::string preview = Number(errMsg);
  EXPECT_GT(preview, second);
  EXPECT_EQ(Number(errMsg), preview);  // a preview does not reserve
}

TEST_F(Numbering, SynchronisationOnlyWhenAskedWithTheKindsTableAndCodeColumn) {
  SetRule("pp25", Rule("True", "False", Prefix("5", "固定字符", "", "SC") + Prefix("2", "部门", "cdepcode", "")));
  auto service = RecordNumbers();
  std::string errMsg;
  co.GetVoucherNO(form, errMsg, false, false, "SC000123");
  EXPECT_TRUE(service->syncCalls.empty());
  co.GetVoucherNO(form, errMsg, false, true, "SC000123");
  ASSERT_EQ(service->syncCalls.size(), 1u);
  const auto& call = service->syncCalls[0];
  EXPECT_EQ(call.table, "pp_productpo");
  EXPECT_EQ(call.codeColumn, "ccode");
  EXPECT_EQ(call.voucherNo, "SC000123");
  EXPECT_EQ(call.seed, "SC");  // the first prefix's seed
  EXPECT_EQ(call.reserved, "");
}

TEST_F(Numbering, EngineIgnoresTableAndCodeWithoutSynchronisation) {
  auto service = RecordNumbers();
  clsVoucherCommon engine;
  std::string errMsg;
  std::string code = engine.GetVoucherNO(conn, "pp25", form->HeadDOM(), errMsg, false, false, "t", "c", "n");
  EXPECT_TRUE(IsProductionOrderCode(code));
  EXPECT_TRUE(service->syncCalls.empty());
}

TEST_F(Numbering, AHeadWithoutRowsIsReportedWithTheServicesErrorCode) {
  SetRule("pp25", Rule("True", "False", Prefix("2", "部门", "cdepcode", "")));
  auto empty = std::make_shared<EmbeddedVoucherForm>();
  std::string errMsg;
  EXPECT_EQ(co.GetVoucherNO(empty, errMsg), "");
  const std::string prefix = "错误位于Function GetVoucherNO:";
  ASSERT_EQ(errMsg.rfind(prefix, 0), 0u) << errMsg;
  EXPECT_GT(errMsg.size(), prefix.size() + 1);
  EXPECT_EQ(errMsg.back(), '0');
}

TEST_F(Numbering, AHeadIsNotReadWhenNoPrefixNeedsIt) {
  auto empty = std::make_shared<EmbeddedVoucherForm>();
  std::string errMsg;
  EXPECT_TRUE(IsProductionOrderCode(co.GetVoucherNO(empty, errMsg)));
  EXPECT_EQ(errMsg, "");
}

TEST_F(Numbering, AServiceFailureCarriesItsDescriptionAndCode) {
  SetRule("pp25", Rule("True", "False", Prefix("1", "单据日期", "dNoSuchDate", "")));
  std::string errMsg;
  EXPECT_EQ(Number(errMsg), "");
  const std::string prefix = "错误位于Function GetVoucherNO:";
  ASSERT_EQ(errMsg.rfind(prefix, 0), 0u) << errMsg;
  EXPECT_NE(errMsg.find("dNoSuchDate"), std::string::npos) << errMsg;
  EXPECT_EQ(errMsg.substr(errMsg.size() - 1),
            std::to_string(EmbeddedVoucherNumberService::kBadSeed));
}

TEST_F(Numbering, FailuresNeverReachTheCaller) {
  clsVoucherCommon engine;
  std::string errMsg;
  DOMDocumentPtr format;
  std::string type = "keep";
  EXPECT_NO_THROW(engine.GetVoucherNO(nullptr, "pp25", form->HeadDOM(), errMsg));
  EXPECT_EQ(errMsg.rfind("错误位于Function GetVoucherNO:", 0), 0u);
  EXPECT_EQ(engine.GetVoucherNOType(nullptr, "pp25", format, type), "");
  EXPECT_EQ(type, "keep");
}

}  // namespace
}  // namespace fabrikon::enginetest
