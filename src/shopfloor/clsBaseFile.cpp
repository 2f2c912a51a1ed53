// clsBaseFile: work centres, resources, operations and routings (cards "pp08"
// to "pp11"). Defaults of a new record, the required and numeric fields of
// each card, one routing per item and combination of free items, and the
// field and save checks of routing lines.
#include "fabrikon/clsBaseFile.h"

#include "fabrikon/modVoucher.h"
#include "production/modProduction.h"
#include "shopfloor/modShopfloor.h"

namespace fabrikon {

using namespace shopfloor;

namespace {

std::string HeadMessage(const std::string& item, const std::string& text) {
  return "表头：[" + item + "]" + text + kCR;
}

// A number that must not be below 0 nor, with `capped`, above 100.
std::string RangeCheck(const std::string& caption, const std::string& value, bool capped) {
  if (!IsNumeric(value)) return HeadMessage(caption, "不是合法的数值，请检查！");
  if (ToDbl(value) < 0) return HeadMessage(caption, "不能小于零，请检查！");
  if (capped && ToDbl(value) > 100) return HeadMessage(caption, "不能大于100，请检查！");
  return "";
}

std::string ResourceField(const std::string& item, const std::string& value) {
  const std::string lower = LCase(item);
  if (IsOneOf(lower, {"rescode", "resname", "restype", "unit", "wccode", "bkeyres"}) ||
      (lower == "num" && value.empty())) {
    return value.empty() ? HeadMessage(item, "不能为空，请检查！") : "";
  }
  if (value.empty()) return "";
  if (lower == "num" || lower == "workhours") return RangeCheck(item, value, false);
  if (lower == "dayshinum") return RangeCheck("每日班次", value, false);
  if (lower == "workeff" || lower == "useeff") return RangeCheck(item, value, true);
  return "";
}

// Routings of the head's item and free items (a free item not given matches
// an empty one) under another code: an item has one routing only, so any
// such routing refuses the head, however many there are.
std::string RoutingUniqueness(const DOMDocumentPtr& domHead, const ConnectionPtr& Conn) {
  std::string filter;
  for (int i = 1; i <= 10; ++i) {
    const std::string name = "cfree" + std::to_string(i);
    const std::string value = GetHeadValue(domHead, name);
    const std::string literal = SqlStr(Variant(value));
    filter += value.empty() ? " And (" + name + "=" + literal + " or " + name + " is null)"
                            : " And " + name + "=" + literal;
  }
  const std::string routcode = GetHeadValue(domHead, "routcode");
  RecordsetPtr rs = Conn->Open(
      "select routcode from pp_routmain where cinvcode=" + SqlStr(Variant(GetHeadValue(domHead, "cinvcode"))) + filter);
  bool other = false;
  while (!rs->Eof() && !other) {
    other = NullToEmpty(rs->Fields("routcode").Value()) != routcode;
    rs->MoveNext();
  }
  rs->Close();
  return other ? std::string("表头：此存货已建立工艺路线，请检查！") + kCR : "";
}

std::string RoutingField(const std::string& item, const std::string& value, const DOMDocumentPtr& domHead,
                         const ConnectionPtr& Conn) {
  const std::string lower = LCase(item);
  std::string result;
  if (IsOneOf(lower, {"routcode", "routname", "cinvcode"}) && value.empty()) {
    result += HeadMessage(item, "不能为空，请检查！");
  }
  if (lower == "cinvcode" && !value.empty()) result += RoutingUniqueness(domHead, Conn);
  if (lower == "effdate") {
    // Dates are compared as the texts the document holds.
    const std::string expiry = GetHeadValue(domHead, "deffdate");
    if (!expiry.empty() && value > expiry) result += std::string("表头：[effdate]不能大于[失效日期]，请检查！") + kCR;
  }
  return result;
}

std::string SaveModeHeadCheck(const DOMDocumentPtr& domHead, const ConnectionPtr& Conn, const std::string& card) {
  if (card == "pp08") return RequiredHeadFields(domHead, {"cdepcode", "wccode", "wcname"});
  if (card == "pp10") return RequiredHeadFields(domHead, {"opcode", "opname", "wccode", "wcname"});
  if (card != "pp09" && card != "pp11") return "";
  std::string result;
  XmlAttributes attributes = HeadRow(domHead).attributes();
  for (long i = 0; i < attributes.length(); ++i) {
    const std::string item = attributes.item(i).nodeName();
    const std::string value = GetHeadValue(domHead, item);
    result += card == "pp09" ? ResourceField(item, value) : RoutingField(item, value, domHead, Conn);
  }
  return result;
}

std::string SaveModeLineCheck(const XmlNode& row, long p) {
  std::string result;
  XmlAttributes attributes = row.attributes();
  for (long i = 0; i < attributes.length(); ++i) {
    XmlNode attribute = attributes.item(i);
    const std::string item = attribute.nodeName();
    const std::string lower = LCase(item);
    const std::string value = attribute.nodeValue();
    if (IsOneOf(lower, {"cinvcode", "imqty", "opname", "cindex", "wcname", "batchnum"}) && value.empty()) {
      result += LinePrefixMessage(p, item, "不能为空，请检查！");
    } else if ((lower == "imqty" || lower == "batchnum") && !value.empty() && !IsNumeric(value)) {
      result += LinePrefixMessage(p, item, "必须录入数值，请检查！");
    }
  }
  return result;
}

std::string FieldModeLineCheck(const XmlNode& row, const ConnectionPtr& Conn, long R, const std::string& strItem,
                               DOMDocumentPtr& domReturn) {
  const std::string item = LCase(strItem);
  const std::string value = RowValue(row, strItem);
  if (production::IsFreeItemName(item) || IsOneOf(item, {"cinvcode", "opname", "opcode", "wccode", "wcname"})) {
    return LineReferenceRule(row, Conn, R, strItem, value, domReturn, "");
  }
  if (item == "imqty") return PositiveQuantityRule(R, strItem, value);
  if (item == "drequiredate" || item == "drequireenddate") return NeedDateRule(row, R, strItem, value, domReturn);
  if (item == "cindex") return CindexRule(R, strItem, value, /*everyDigit*/ false);
  if (IsOneOf(item, {"pretime", "batchnum", "manhrs", "shifthr"})) return NotBelowZeroRule(R, strItem, value);
  return "";
}

}  // namespace

std::string clsBaseFile::VoucherNew(VoucherFormPtr& VO, LoginInfoPtr& Login) {
  VO->HeadDOM(NewHeadDocument({
      {"bkeyres_name", Variant("否")},
      {"bkeyres", Variant("0")},
      {"num", Variant(1)},
      {"effdate", Variant(FormatDate(Login->CurDate()))}}));
  return "";
}

std::string clsBaseFile::HeadCheck(VoucherFormPtr VO, ConnectionPtr& Conn, const std::string& strItem,
                                   DOMDocumentPtr& domReturn, bool bSaveMode, std::string& strCardNum) {
  DOMDocumentPtr domHead = VO->HeadDOM();
  HeadRow(domHead);  // a head without a row fails in both modes
  if (bSaveMode) return SaveModeHeadCheck(domHead, Conn, LCase(strCardNum));

  const std::string item = LCase(strItem);
  ReferenceCheckerPtr checker;
  std::string answer;
  if (IsOneOf(item, {"cdepname", "wcname", "cinvname", "cdepcode", "wccode", "cinvcode", "opcode"})) {
    answer = production::HeadReferenceAnswer(checker, strItem, GetHeadValue(domHead, strItem), domReturn, Conn,
                                             strCardNum);
  } else if (production::IsFreeItemName(item)) {
    answer = production::BodyReferenceAnswer(checker, strItem, GetHeadValue(domHead, strItem), domReturn, Conn,
                                             GetHeadValue(domHead, "cinvcode"));
  }
  return answer.empty() ? "" : "表头：" + answer + kCR;
}

std::string clsBaseFile::BodyCheck(VoucherFormPtr VO, ConnectionPtr& Conn, long R, const std::string& strItem,
                                   DOMDocumentPtr& domReturn, bool bSaveMode, std::string& strCardNum) {
  DOMDocumentPtr domBody = VO->BodyDOM();
  // Only a routing needs lines; the other base files have no body.
  if (LCase(strCardNum) == "pp11" && BodyIsEmpty(domBody)) return std::string(kNoBodyData) + kCR;
  if (!domBody) return "";
  if (!bSaveMode) {
    XmlNode row = FieldModeRow(domBody, R);
    return row ? FieldModeLineCheck(row, Conn, R, strItem, domReturn) : "";
  }
  std::string result;
  long p = 0;
  for (const XmlNode& row : domBody->selectNodes("//z:row")) result += SaveModeLineCheck(row, ++p);
  return result;
}

}  // namespace fabrikon
