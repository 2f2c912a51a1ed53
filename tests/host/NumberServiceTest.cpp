// Voucher numbering: preview and reservation, seeds, padding, counters per
// prefix, synchronisation past manual codes, and failures that must not
// hand out a wrong code.
#include "HostTestDatabase.h"
#include "fabrikon/ComError.h"
#include "fabrikon/modVoucher.h"
#include "host/EmbeddedVoucherNumberService.h"

namespace fabrikon::test {
namespace {

using Service = EmbeddedVoucherNumberService;

// A rule: fixed text "WW", the order date as YYYYMM, then the serial.
std::string Rule(const std::string& date, const std::string& width = "4", const std::string& extra = "") {
  return "<单据编号 重号自动重取=\"True\" 允许手工修改=\"False\" 流水号长度=\"" + width + "\"" + extra + ">"
         "<前缀 对象类型=\"5\" 对象名称=\"固定字符\" 源表字段名=\"\" 种子=\"WW\"/>"
         "<前缀 对象类型=\"1\" 对象名称=\"单据日期\" 源表字段名=\"ddate\" 种子=\"" + date + "\" 日期格式=\"YYYYMM\"/>"
         "</单据编号>";
}

class NumberServiceTest : public HostDatabaseTest {
 protected:
  void SetUp() override {
    HostDatabaseTest::SetUp();
    StoreRule(Rule(""));
    std::string card = "tst1";
    ASSERT_TRUE(service_.InitNumbering(connectionString_, card));
  }

  void StoreRule(const std::string& xml) {
    conn_->Execute("DELETE FROM FabrikonNumberRules WHERE CardNumber='tst1'");
    conn_->Execute("INSERT INTO FabrikonNumberRules (CardNumber,cRuleXml) VALUES ('tst1'," + SqlStr(xml) + ")");
  }

  Service service_;
};

TEST_F(NumberServiceTest, InitNumberingHandsOutTheStoredRule) {
  EXPECT_EQ(service_.GetRuleXml(), Rule(""));
  EXPECT_EQ(service_.LastErrorCode(), Service::kNoError);
}

TEST_F(NumberServiceTest, PreviewDoesNotAdvanceAndReservationDoes) {
  EXPECT_EQ(service_.GetNumber(Rule("2008-01-14"), false), "WW2008010001");
  EXPECT_EQ(service_.GetNumber(Rule("2008-01-14"), false), "WW2008010001");
  EXPECT_EQ(service_.GetNumber(Rule("2008-01-14"), true), "WW2008010001");
  EXPECT_EQ(service_.GetNumber(Rule("2008-01-20"), true), "WW2008010002");
  EXPECT_EQ(service_.GetNumber(Rule("2008-01-31"), false), "WW2008010003");
}

TEST_F(NumberServiceTest, EachPrefixHasItsOwnCounter) {
  service_.GetNumber(Rule("2008-01-14"), true);
  service_.GetNumber(Rule("2008-01-14"), true);
  EXPECT_EQ(service_.GetNumber(Rule("2008-02-01"), true), "WW2008020001");
  EXPECT_EQ(service_.GetNumber(Rule("2008-01-14"), false), "WW2008010003");
}

TEST_F(NumberServiceTest, SerialIsZeroPaddedToItsWidthAndStartsAtTheStartValue) {
  EXPECT_EQ(service_.GetNumber(Rule("2008-01-14", "6"), false), "WW200801000001");
  EXPECT_EQ(service_.GetNumber(Rule("2008-01-14", "6", " 起始值=\"100\""), true), "WW200801000100");
  EXPECT_EQ(service_.GetNumber(Rule("2008-01-14", "6", " 起始值=\"100\""), false), "WW200801000101");
}

TEST_F(NumberServiceTest, ExhaustedSerialFailsWithoutMovingTheCounter) {
  for (int i = 1; i <= 9; ++i) service_.GetNumber(Rule("2008-01-14", "1"), true);
  EXPECT_THROW(service_.GetNumber(Rule("2008-01-14", "1"), true), ComError);
  EXPECT_EQ(service_.LastErrorCode(), Service::kSerialExhausted);
  RecordsetPtr rs = conn_->Open("SELECT iSerial FROM FabrikonNumberCounters WHERE CardNumber='tst1'");
  EXPECT_EQ(rs->Fields("iSerial").Value().ToInt(), 9);
}

TEST_F(NumberServiceTest, FieldSeedIsUsedAsGivenAndCutToItsLength) {
  std::string rule =
      "<单据编号 流水号长度=\"3\">"
      "<前缀 对象类型=\"2\" 对象名称=\"部门\" 源表字段名=\"cdepcode\" 种子=\"D0123\" 长度=\"3\"/>"
      "<前缀 对象类型=\"2\" 对象名称=\"人员\" 源表字段名=\"cpersoncode\" 种子=\"\"/>"
      "</单据编号>";
  EXPECT_EQ(service_.GetNumber(rule, false), "D01001");
}

TEST_F(NumberServiceTest, SeedsWithQuotesReachTheCounterSafely) {
  std::string rule = "<单据编号 流水号长度=\"2\"><前缀 对象类型=\"5\" 种子=\"O'B\"/></单据编号>";
  EXPECT_EQ(service_.GetNumber(rule, true), "O'B01");
  EXPECT_EQ(service_.GetNumber(rule, false), "O'B02");
}

TEST_F(NumberServiceTest, DatePrefixWithoutADateFails) {
  EXPECT_THROW(service_.GetNumber(Rule(""), false), ComError);
  EXPECT_EQ(service_.LastErrorCode(), Service::kBadSeed);
}

TEST_F(NumberServiceTest, MalformedRuleFails) {
  EXPECT_THROW(service_.GetNumber("<单据编号", false), ComError);
  EXPECT_EQ(service_.LastErrorCode(), Service::kBadRule);
  EXPECT_THROW(service_.GetNumber("<其它/>", false), ComError);
  EXPECT_EQ(service_.LastErrorCode(), Service::kBadRule);
  EXPECT_THROW(service_.GetNumber(Rule("2008-01-14", "0"), false), ComError);
}

TEST_F(NumberServiceTest, SyncNumberMovesTheCounterPastAnExistingCodeOnly) {
  EXPECT_TRUE(service_.SyncNumber("om_productpo", "ccode", "WW2008010042", "WW", ""));
  EXPECT_EQ(service_.GetNumber(Rule("2008-01-14"), false), "WW2008010043");
  EXPECT_TRUE(service_.SyncNumber("om_productpo", "ccode", "WW2008010007", "WW", ""));
  EXPECT_EQ(service_.GetNumber(Rule("2008-01-14"), false), "WW2008010043");
  EXPECT_FALSE(service_.SyncNumber("om_productpo", "ccode", "WW20080100A7", "WW", ""));
  EXPECT_FALSE(service_.SyncNumber("om_productpo", "ccode", "12", "WW", ""));
  EXPECT_EQ(service_.GetNumber(Rule("2008-02-14"), false), "WW2008020001");
}

TEST_F(NumberServiceTest, ReservationBelongsToTheCallersTransaction) {
  conn_->BeginTrans();
  EXPECT_EQ(service_.GetNumber(Rule("2008-01-14"), true), "WW2008010001");
  conn_->RollbackTrans();
  EXPECT_EQ(service_.GetNumber(Rule("2008-01-14"), false), "WW2008010001");
  conn_->BeginTrans();
  service_.GetNumber(Rule("2008-01-14"), true);
  conn_->CommitTrans();
  EXPECT_EQ(service_.GetNumber(Rule("2008-01-14"), false), "WW2008010002");
}

TEST_F(NumberServiceTest, UnknownCardCannotBeInitialised) {
  Service fresh;
  std::string card = "nosuchcard";
  EXPECT_FALSE(fresh.InitNumbering(connectionString_, card));
  EXPECT_EQ(fresh.LastErrorCode(), Service::kUnknownCard);
  EXPECT_THROW(fresh.GetNumber(Rule("2008-01-14"), false), ComError);
  EXPECT_EQ(fresh.LastErrorCode(), Service::kNotInitialised);
  EXPECT_FALSE(fresh.SyncNumber("t", "c", "WW2008010001", "", ""));
}

TEST_F(NumberServiceTest, WithoutAnOpenConnectionNothingIsNumbered) {
  Service fresh;
  std::string card = "tst1";
  EXPECT_FALSE(fresh.InitNumbering(connectionString_ + ";Other=1", card));
  EXPECT_EQ(fresh.LastErrorCode(), Service::kNoConnection);
}

}  // namespace
}  // namespace fabrikon::test
