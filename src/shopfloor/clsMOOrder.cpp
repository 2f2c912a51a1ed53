// clsMOOrder: dispatch order (card "pp13"). Defaults of a new head, the field
// and save checks of head and dispatch cards (with the total time and need
// dates handed back to the screen), and the four state changes, each guarded
// by the row version the user loaded.
#include "fabrikon/clsMOOrder.h"

#include <cmath>

#include "fabrikon/modVoucher.h"
#include "production/modProduction.h"
#include "shopfloor/modShopfloor.h"

namespace fabrikon {

using namespace shopfloor;

namespace {

constexpr const char* kKind = "派工单";

// Save mode: the required cells of one card, in the order of its attributes.
std::string SaveModeCardCheck(const XmlNode& row, long line) {
  std::string result;
  XmlAttributes attributes = row.attributes();
  for (long i = 0; i < attributes.length(); ++i) {
    XmlNode attribute = attributes.item(i);
    const std::string name = attribute.nodeName();
    const std::string lower = LCase(name);
    if (!IsOneOf(lower, {"cinvcode", "imqty", "opname", "cindex", "wcname", "batchnum", "timeunit", "num",
                         "startdate", "enddate"})) {
      continue;
    }
    const std::string value = attribute.nodeValue();
    if (value.empty()) {
      result += LinePrefixMessage(line, name, "不能为空，请检查！");
    } else if (IsOneOf(lower, {"imqty", "batchnum", "num"}) && !IsNumeric(value)) {
      result += LinePrefixMessage(line, name, "必须录入数值，请检查！");
    }
  }
  return result;
}

// Whole batches of `num` times the standard time of one batch; "" when a
// value is missing or not a number, "0" when any of them is zero.
std::string TotalTime(const XmlNode& row) {
  const std::string batch = RowValue(row, "batchnum");
  const std::string num = RowValue(row, "num");
  const std::string standard = RowValue(row, "standtime");
  if (batch.empty() || num.empty() || standard.empty()) return "";
  if (!IsNumeric(batch) || !IsNumeric(num) || !IsNumeric(standard)) return "";
  const double batchSize = ToDbl(batch), quantity = ToDbl(num), standTime = ToDbl(standard);
  if (batchSize == 0 || quantity == 0 || standTime == 0) return "0";
  double batches = quantity / batchSize;
  if (std::floor(batches) < batches) batches = std::floor(batches) + 1;
  return FormatNumber(batches * standTime, "#.00");
}

std::string TotalTimeRule(const XmlNode& row, long R, const std::string& strItem, const std::string& value,
                          DOMDocumentPtr& domReturn) {
  const std::string refusal = NotBelowZeroRule(R, strItem, value);
  if (!refusal.empty()) return refusal;
  AppendReturnRow(domReturn).setAttribute("totaltime", Variant(TotalTime(row)));
  return "";
}

std::string DateOrderRule(const XmlNode& row, long R, const std::string& strItem, const std::string& value) {
  // Planned dates are compared as the texts the document holds.
  if (LCase(strItem) == "startdate") {
    const std::string end = RowValue(row, "enddate");
    if (!end.empty() && value > end) return LinePrefixMessage(R, strItem, "不能大于[enddate]，请检查！");
    return "";
  }
  if (value < RowValue(row, "startdate")) return LinePrefixMessage(R, strItem, "不能小于[startdate]，请检查！");
  return "";
}

// Field mode: the one cell just edited, on line R.
std::string FieldModeCardCheck(const XmlNode& row, ConnectionPtr& Conn, long R, const std::string& strItem,
                               DOMDocumentPtr& domReturn, const std::string& strCardNum) {
  const std::string item = LCase(strItem);
  const std::string value = RowValue(row, strItem);
  if (production::IsFreeItemName(item) || item == "cinvcode") {
    return LineReferenceRule(row, Conn, R, strItem, value, domReturn, "");
  }
  if (item == "imqty") return PositiveQuantityRule(R, strItem, value);
  if (item == "drequiredate" || item == "drequireenddate") return NeedDateRule(row, R, strItem, value, domReturn);
  if (IsOneOf(item, {"opname", "opcode", "wccode", "wcname"})) {
    return LineReferenceRule(row, Conn, R, strItem, value, domReturn, strCardNum);
  }
  if (item == "cindex") return CindexRule(R, strItem, value, /*everyDigit*/ true);
  if (IsOneOf(item, {"pretime", "manhrs", "shifthr"})) return NotBelowZeroRule(R, strItem, value);
  if (item == "startdate" || item == "enddate") return DateOrderRule(row, R, strItem, value);
  if (item == "batchnum" || item == "standtime") return TotalTimeRule(row, R, strItem, value, domReturn);
  return "";
}

// The order's cards, two blanks apart, for naming it in the answers.
std::string CardList(const ConnectionPtr& Conn, const std::string& columns, const std::string& moid) {
  return production::KeyList(Conn, "Select " + columns + " from pp_q_mocard where moid=" + SqlStr(Variant(moid)),
                             "mosubid");
}

std::string Message(const std::string& cards, const std::string& outcome) {
  return production::OrderMessage(kKind, cards, outcome);
}

// The guarded UPDATE of a state change; records affected as reported.
long UpdateOrder(const ConnectionPtr& Conn, const std::string& setClause, const DOMDocumentPtr& domHead,
                 const std::string& keyColumn, const std::string& moid) {
  long affected = 0;
  Conn->Execute("UPDATE PP_MoOrderMa SET " + setClause + "WHERE " + QxtsGuard(GetHeadValue(domHead, "qxts")) +
                    " AND PP_MoOrderMa." + keyColumn + "=" + SqlStr(Variant(moid)),
                affected);
  return affected;
}

}  // namespace

// ---- defaults and checks ----------------------------------------------------

std::string clsMOOrder::VoucherNew(VoucherFormPtr& VO, LoginInfoPtr& Login) {
  VO->HeadDOM(NewHeadDocument({
      {"dplandate", Variant(Login->CurDate())},
      {"cplanperson", Variant(Login->cUserId())},
      {"cppname", Variant(Login->cUserName())}}));
  return "";
}

std::string clsMOOrder::HeadCheck(VoucherFormPtr VO, ConnectionPtr& Conn, const std::string& strItem,
                                  DOMDocumentPtr& domReturn, bool bSaveMode, std::string&) {
  DOMDocumentPtr domHead = VO->HeadDOM();
  HeadRow(domHead);  // a head without a row fails in both modes
  if (bSaveMode) return RequiredHeadFields(domHead, {"dplandate"});
  if (!IsOneOf(LCase(strItem), {"cdepname", "wcname", "opname", "cdepcode", "wccode", "opcode"})) return "";
  ReferenceCheckerPtr checker;
  const std::string answer =
      production::HeadReferenceAnswer(checker, strItem, GetHeadValue(domHead, strItem), domReturn, Conn, "");
  return answer.empty() ? "" : "表头：" + answer + kCR;
}

std::string clsMOOrder::BodyCheck(VoucherFormPtr VO, ConnectionPtr& Conn, long R, const std::string& strItem,
                                  DOMDocumentPtr& domReturn, bool bSaveMode, std::string& strCardNum) {
  DOMDocumentPtr domBody = VO->BodyDOM();
  if (BodyIsEmpty(domBody)) return std::string(kNoBodyData) + kCR;
  if (!bSaveMode) return FieldModeCardCheck(FieldModeRow(domBody, R), Conn, R, strItem, domReturn, strCardNum);
  std::string result;
  long line = 0;
  for (const XmlNode& row : domBody->selectNodes("//z:row")) result += SaveModeCardCheck(row, ++line);
  return result;
}

// ---- workflow -----------------------------------------------------------------

std::string clsMOOrder::VoucherAllowNew(DOMDocumentPtr, ConnectionPtr&) { return ""; }

std::string clsMOOrder::VoucherAllowEdit(DOMDocumentPtr domHead, ConnectionPtr&) {
  return HasRow(domHead) ? "" : kNoDocument;
}

std::string clsMOOrder::VoucherAllowDelete(DOMDocumentPtr domHead, DOMDocumentPtr, ConnectionPtr& Conn) {
  if (!HasRow(domHead)) return kNoDocument;
  const std::string moid = GetHeadValue(domHead, "moid");
  const bool unchanged = RowExists(Conn, "select * from PP_MoorderMa WHERE " +
                                             QxtsGuard(GetHeadValue(domHead, "qxts")) +
                                             " AND PP_MoOrderMa.MoID=" + SqlStr(Variant(moid)));
  return unchanged ? "" : "此张单据[" + moid + "]已经被改变或删除，删除失败！";
}

std::string clsMOOrder::VoucherConfirm(DOMDocumentPtr domHead, ConnectionPtr& Conn, LoginInfoPtr& Login) {
  const std::string moid = GetHeadValue(domHead, "moid");
  const std::string cards = CardList(Conn, "cdepcode1,mosubid", moid);
  if (!GetHeadValue(domHead, "audman").empty()) return Message(cards, "已经被审核，审核失败！");
  const long affected = UpdateOrder(Conn,
                                    "audman=" + SqlStr(Variant(Login->cUserName())) +
                                        ", audtime=" + SqlStr(Variant(LoginDate(Login))) + " ",
                                    domHead, "MOid", moid);
  return Message(cards, affected != 0 ? "审核成功！" : "已经被改变或删除，审核失败！");
}

std::string clsMOOrder::VoucherCancelconfirm(DOMDocumentPtr domHead, ConnectionPtr& Conn) {
  const std::string moid = GetHeadValue(domHead, "moid");
  const std::string cards = CardList(Conn, "distinct moid,mosubid", moid);
  if (GetHeadValue(domHead, "audman").empty()) return Message(cards, "尚未被审核，弃审失败！");
  if (!GetHeadValue(domHead, "closeman").empty()) return Message(cards, "已经被关闭，弃审失败！");
  // Any progress report line on a card of this order keeps its approval,
  // whatever the state of the report.
  const std::string reported = production::KeyList(
      Conn,
      "select distinct mosubid as ids, mosubid from pp_moorderrptde as d "
      "left join pp_moorderrptma as m on d.rptid=m.rptid "
      "where mosubid in (select mosubid from pp_q_moorderde where moid=" +
          SqlStr(Variant(moid)) + ") ",
      "mosubid");
  if (!reported.empty()) return Message(reported, "已经做进度汇报，弃审失败！");
  const long affected = UpdateOrder(Conn, "audman=null, audtime=null ", domHead, "MOid", moid);
  return Message(cards, affected != 0 ? "弃审成功！" : "已经被改变或删除，弃审失败！");
}

std::string clsMOOrder::VoucherClose(DOMDocumentPtr domHead, ConnectionPtr& Conn, LoginInfoPtr& Login) {
  const std::string moid = GetHeadValue(domHead, "moid");
  const std::string cards = CardList(Conn, "cdepcode1,mosubid", moid);
  if (GetHeadValue(domHead, "audman").empty()) return Message(cards, "尚未被审核，关闭失败！");
  if (!GetHeadValue(domHead, "closeman").empty()) return Message(cards, "已经被关闭，关闭失败！");
  const long affected = UpdateOrder(Conn,
                                    "closeman=" + SqlStr(Variant(Login->cUserName())) +
                                        ", closedate=" + SqlStr(Variant(LoginDate(Login))) + " ",
                                    domHead, "MOID", moid);
  return Message(cards, affected != 0 ? "关闭成功！" : "已经被改变或删除，关闭失败！");
}

std::string clsMOOrder::VoucherOpen(DOMDocumentPtr domHead, ConnectionPtr& Conn) {
  const std::string moid = GetHeadValue(domHead, "moid");
  const std::string cards = CardList(Conn, "cdepcode1,mosubid", moid);
  if (GetHeadValue(domHead, "closeman").empty()) return Message(cards, "尚未被关闭，打开失败！");
  const long affected = UpdateOrder(Conn, "closeman=null,closedate=null ", domHead, "MOid", moid);
  return Message(cards, affected != 0 ? "打开成功！" : "已经被改变或删除，打开失败！");
}

}  // namespace fabrikon
