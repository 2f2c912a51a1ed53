// EmbeddedVoucherNumberService: builds voucher codes from a number rule and
// keeps one counter per code prefix in the embedded database.
#include "host/EmbeddedVoucherNumberService.h"

#include <algorithm>
#include <charconv>

#include "data/SqliteConnection.h"
#include "fabrikon/ComError.h"
#include "fabrikon/modVoucher.h"

namespace fabrikon {
namespace {

constexpr int kMaxWidth = 18;          // a serial of 18 digits still fits a 64-bit counter
constexpr int kReserveAttempts = 5;    // concurrent reservations of the same counter

const char* const kFixedText = "5";
const char* const kDate = "1";

long long Number(const std::string& text, long long fallback) {
  long long value = 0;
  std::string t = Trim(text);
  auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
  if (t.empty() || ec != std::errc() || end != t.data() + t.size()) return fallback;
  return value;
}

std::string Attribute(const XmlNode& element, const std::string& name) {
  return NullToEmpty(element.getAttribute(name));
}

std::string TwoDigits(int value) {
  std::string text = std::to_string(value % 100);
  return text.size() < 2 ? "0" + text : text;
}

// Writes a date with the tokens YYYY, YY, MM and DD; other characters are copied.
std::string FormatWithPattern(const DateTime& date, const std::string& pattern) {
  std::string out;
  for (size_t i = 0; i < pattern.size();) {
    if (pattern.compare(i, 4, "YYYY") == 0) {
      std::string year = std::to_string(date.year);
      out += std::string(year.size() < 4 ? 4 - year.size() : 0, '0') + year;
      i += 4;
    } else if (pattern.compare(i, 2, "YY") == 0) {
      out += TwoDigits(date.year), i += 2;
    } else if (pattern.compare(i, 2, "MM") == 0) {
      out += TwoDigits(date.month), i += 2;
    } else if (pattern.compare(i, 2, "DD") == 0) {
      out += TwoDigits(date.day), i += 2;
    } else {
      out += pattern[i++];
    }
  }
  return out;
}

bool AllDigits(const std::string& text) {
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return !text.empty();
}

}  // namespace

void EmbeddedVoucherNumberService::Fail(int32_t code, const std::string& description) {
  lastError_ = code;
  throw ComError(ErrorNumber::E_FAIL_, description);
}

ConnectionPtr EmbeddedVoucherNumberService::RequireConnection() {
  ConnectionPtr conn = FindOpenConnection(connectionString_);
  if (!conn) Fail(kNoConnection, "没有打开的数据库连接，不能取得单据号！");
  return conn;
}

bool EmbeddedVoucherNumberService::InitNumbering(const std::string& connectionString, std::string& cardNumber) {
  lastError_ = kNoError;
  connectionString_ = connectionString;
  cardNumber_.clear();
  ruleXml_.clear();
  ConnectionPtr conn = FindOpenConnection(connectionString);
  if (!conn) {
    lastError_ = kNoConnection;
    return false;
  }
  try {
    RecordsetPtr rs = conn->Open("SELECT cRuleXml FROM FabrikonNumberRules WHERE CardNumber=" + SqlStr(cardNumber));
    if (rs->Eof()) {
      lastError_ = kUnknownCard;
      return false;
    }
    ruleXml_ = NullToEmpty(rs->Fields("cRuleXml").Value());
  } catch (const ComError&) {
    lastError_ = kDatabaseError;
    return false;
  }
  cardNumber_ = cardNumber;
  return true;
}

std::string EmbeddedVoucherNumberService::PrefixPart(const XmlNode& element) {
  std::string type = Trim(Attribute(element, "对象类型"));
  std::string seed = Attribute(element, "种子");
  if (type == kFixedText) return seed;
  if (type == kDate) {
    DateTime date;
    if (!DateTime::Parse(DateText(Trim(seed)), date)) {
      Fail(kBadSeed, "单据编号的日期前缀[" + Attribute(element, "源表字段名") + "]没有合法的日期：" + seed);
    }
    std::string pattern = Attribute(element, "日期格式");
    return FormatWithPattern(date, pattern.empty() ? "YYYYMMDD" : pattern);
  }
  seed = Trim(seed);
  long long length = Number(Attribute(element, "长度"), 0);
  if (length > 0 && static_cast<long long>(seed.size()) > length) seed.resize(static_cast<size_t>(length));
  return seed;
}

EmbeddedVoucherNumberService::Rule EmbeddedVoucherNumberService::ReadRule(const std::string& ruleXml,
                                                                           bool withPrefix) {
  DOMDocumentPtr doc = DOMDocument::Create();
  if (!doc->loadXML(ruleXml)) Fail(kBadRule, "单据编号规则不是合法的XML！");
  XmlNode numbering = doc->selectSingleNode("//单据编号");
  if (numbering.IsNothing()) Fail(kBadRule, "单据编号规则缺少[单据编号]！");
  Rule rule;
  rule.width = static_cast<int>(Number(Attribute(numbering, "流水号长度"), 4));
  rule.start = Number(Attribute(numbering, "起始值"), 1);
  if (rule.width < 1 || rule.width > kMaxWidth) Fail(kBadRule, "单据编号规则的流水号长度不合法！");
  if (rule.start < 0) Fail(kBadRule, "单据编号规则的起始值不合法！");
  if (!withPrefix) return rule;
  for (const XmlNode& prefix : numbering.selectNodes("前缀")) rule.prefix += PrefixPart(prefix);
  return rule;
}

bool EmbeddedVoucherNumberService::ReadCounter(const ConnectionPtr& conn, const std::string& prefix,
                                               long long& serial) {
  RecordsetPtr rs = conn->Open("SELECT iSerial FROM FabrikonNumberCounters WHERE CardNumber=" +
                               SqlStr(cardNumber_) + " AND cPrefix=" + SqlStr(prefix));
  if (rs->Eof()) return false;
  serial = rs->Fields("iSerial").Value().ToInt();
  return true;
}

void EmbeddedVoucherNumberService::WriteCounter(const ConnectionPtr& conn, const std::string& prefix,
                                                long long serial, bool exists, long long expected,
                                                long& affected) {
  if (exists) {
    // Guarded by the value read, so that two users never take the same serial.
    conn->Execute("UPDATE FabrikonNumberCounters SET iSerial=" + std::to_string(serial) +
                      " WHERE CardNumber=" + SqlStr(cardNumber_) + " AND cPrefix=" + SqlStr(prefix) +
                      " AND iSerial=" + std::to_string(expected),
                  affected);
  } else {
    conn->Execute("INSERT INTO FabrikonNumberCounters (CardNumber,cPrefix,iSerial) VALUES (" +
                      SqlStr(cardNumber_) + "," + SqlStr(prefix) + "," + std::to_string(serial) + ")",
                  affected);
  }
}

std::string EmbeddedVoucherNumberService::PaddedSerial(const Rule& rule, long long serial) {
  std::string digits = std::to_string(serial);
  if (static_cast<int>(digits.size()) > rule.width) {
    // A longer code would break the code's shape and the synchronisation of
    // manual codes; a cut one would repeat an issued code.
    Fail(kSerialExhausted, "单据编号[" + rule.prefix + "]的流水号已经用完！");
  }
  return std::string(static_cast<size_t>(rule.width) - digits.size(), '0') + digits;
}

long long EmbeddedVoucherNumberService::NextSerial(const ConnectionPtr& conn, const Rule& rule) {
  long long last = 0;
  if (!ReadCounter(conn, rule.prefix, last)) return rule.start;
  return std::max(last + 1, rule.start);
}

long long EmbeddedVoucherNumberService::ReserveSerial(const ConnectionPtr& conn, const Rule& rule) {
  for (int attempt = 0; attempt < kReserveAttempts; ++attempt) {
    long long last = 0;
    bool exists = ReadCounter(conn, rule.prefix, last);
    long long next = exists ? std::max(last + 1, rule.start) : rule.start;
    PaddedSerial(rule, next);  // refuse before the counter moves
    long affected = 0;
    WriteCounter(conn, rule.prefix, next, exists, last, affected);
    if (affected > 0) return next;
  }
  Fail(kDatabaseError, "单据编号[" + rule.prefix + "]的流水号被其他用户同时占用，请重试！");
}

std::string EmbeddedVoucherNumberService::GetNumber(const std::string& ruleXml, bool bGetRealNo) {
  lastError_ = kNoError;
  if (cardNumber_.empty()) Fail(kNotInitialised, "单据编号尚未初始化！");
  Rule rule = ReadRule(ruleXml, true);
  ConnectionPtr conn = RequireConnection();
  try {
    long long serial = bGetRealNo ? ReserveSerial(conn, rule) : NextSerial(conn, rule);
    return rule.prefix + PaddedSerial(rule, serial);
  } catch (const ComError&) {
    if (lastError_ == kNoError) lastError_ = kDatabaseError;
    throw;
  }
}

bool EmbeddedVoucherNumberService::SyncNumber(const std::string&, const std::string&, const std::string& voucherNo,
                                              const std::string&, const std::string&) {
  lastError_ = kNoError;
  if (cardNumber_.empty()) {
    lastError_ = kNotInitialised;
    return false;
  }
  try {
    // The stored rule gives the serial's width; its seeds do not matter here,
    // since the code itself carries its prefix.
    Rule rule = ReadRule(ruleXml_, false);
    std::string code = Trim(voucherNo);
    if (static_cast<int>(code.size()) < rule.width) return false;
    std::string prefix = code.substr(0, code.size() - static_cast<size_t>(rule.width));
    std::string digits = code.substr(prefix.size());
    if (!AllDigits(digits)) return false;
    long long serial = Number(digits, 0);
    ConnectionPtr conn = RequireConnection();
    long long last = 0;
    bool exists = ReadCounter(conn, prefix, last);
    if (exists && last >= serial) return true;
    long affected = 0;
    WriteCounter(conn, prefix, serial, exists, last, affected);
    return affected > 0;
  } catch (const ComError&) {
    if (lastError_ == kNoError) lastError_ = kDatabaseError;
    return false;
  }
}

}  // namespace fabrikon
