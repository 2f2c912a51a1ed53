// EmbeddedVoucherNumberService: voucher codes from number rules and counters
// kept in the embedded database.
//
// A rule (one per card number, table FabrikonNumberRules) is the XML the
// engine reads and seeds:
//
//   <单据编号 重号自动重取="True" 允许手工修改="False" 流水号长度="4" 起始值="1">
//     <前缀 对象类型="5" 对象名称="固定字符" 源表字段名="" 种子="WW"/>
//     <前缀 对象类型="1" 对象名称="单据日期" 源表字段名="ddate" 种子="" 日期格式="YYYYMM"/>
//   </单据编号>
//
// The code is the text of every 前缀 in order followed by the serial number,
// zero-padded to 流水号长度 (default 4) digits. What a 前缀 contributes
// depends on its 对象类型:
//   5  fixed text: 种子 as written in the rule (the engine never seeds it);
//   1  date: 种子 read as a date and written with 日期格式 (tokens YYYY, YY,
//      MM, DD; other characters are copied; default YYYYMMDD);
//   other types: 种子 as seeded from the head field, cut to 长度 characters
//      when that attribute is given.
// Every distinct prefix text has its own counter (table FabrikonNumberCounters),
// so the serial restarts for each new month when the date is written YYYYMM,
// and codes stay unique as long as the serial fits its width.
//
// All reads and writes use the caller's open connection (FindOpenConnection),
// because numbers are reserved inside the caller's save transaction: a second
// connection would be a second writer, and a rolled-back save gives its number back.
#pragma once
#include "fabrikon/Connection.h"
#include "fabrikon/host/VoucherNumberService.h"

namespace fabrikon {

class EmbeddedVoucherNumberService : public VoucherNumberService {
 public:
  // LastErrorCode values.
  static constexpr int32_t kNoError = 0;
  static constexpr int32_t kNoConnection = 1;     // no open connection for the connection string
  static constexpr int32_t kUnknownCard = 2;      // no number rule for the card
  static constexpr int32_t kNotInitialised = 3;   // GetNumber/SyncNumber before InitNumbering
  static constexpr int32_t kBadRule = 4;          // the rule XML cannot be read
  static constexpr int32_t kBadSeed = 5;          // a date prefix without a date
  static constexpr int32_t kSerialExhausted = 6;  // the serial no longer fits its width
  static constexpr int32_t kDatabaseError = 7;    // reading or writing the tables failed

  bool InitNumbering(const std::string& connectionString, std::string& cardNumber) override;
  std::string GetRuleXml() override { return ruleXml_; }
  std::string GetNumber(const std::string& ruleXml, bool bGetRealNo) override;
  int32_t LastErrorCode() override { return lastError_; }
  bool SyncNumber(const std::string& tableName, const std::string& codeColumn, const std::string& voucherNo,
                  const std::string& seed, const std::string& reserved) override;

 private:
  struct Rule {
    std::string prefix;  // the code without its serial
    int width = 4;
    long long start = 1;
  };

  [[noreturn]] void Fail(int32_t code, const std::string& description);
  ConnectionPtr RequireConnection();
  Rule ReadRule(const std::string& ruleXml, bool withPrefix);
  std::string PrefixPart(const XmlNode& element);
  long long NextSerial(const ConnectionPtr& conn, const Rule& rule);
  long long ReserveSerial(const ConnectionPtr& conn, const Rule& rule);
  bool ReadCounter(const ConnectionPtr& conn, const std::string& prefix, long long& serial);
  void WriteCounter(const ConnectionPtr& conn, const std::string& prefix, long long serial, bool exists,
                    long long expected, long& affected);
  std::string PaddedSerial(const Rule& rule, long long serial);

  std::string connectionString_;
  std::string cardNumber_;
  std::string ruleXml_;
  int32_t lastError_ = kNoError;
};

}  // namespace fabrikon
