// CompletionReport: defaults, checks and approval of completion reports (see
// CompletionReport.h). The two kinds' messages differ in small ways (a row
// number in brackets or not, a carriage return or none); each is kept as the
// host's screens expect it.
#include "shopfloor/CompletionReport.h"

#include "engine/EngineErrors.h"
#include "fabrikon/modVoucher.h"
#include "production/modProduction.h"
#include "shopfloor/modShopfloor.h"

namespace fabrikon::shopfloor {

namespace {

// "表体：第[" + line + "]行" or, unbracketed, "表体：第" + line + "行".
std::string Line(long line, bool bracketed) {
  const std::string number = std::to_string(line);
  return "表体：第" + (bracketed ? "[" + number + "]" : number) + "行";
}

// The caption of a quantity or hours field; "" for any other item.
std::string Caption(const std::string& item) {
  if (item == "finnum") return "完成数量";
  if (item == "finoknum") return "合格数量";
  if (item == "finfailnum") return "不合格数量";
  if (item == "manhrs") return "实际工时";
  return "";
}

double Quantity(const XmlNode& row, const std::string& name) { return ToDbl(RowValue(row, name)); }

// The key as it may go into the statement unquoted; "" when it is no number.
std::string KeyNumber(const std::string& key) {
  try {
    return SqlNumber(key, "key");
  } catch (const ComError&) {
    return "";
  }
}

}  // namespace

std::string CompletionReport::Named(const std::string& code, const std::string& outcome) const {
  return std::string(kind_.name) + "[" + code + "]" + outcome;
}

// ---- defaults and checks ----------------------------------------------------

std::string CompletionReport::VoucherNew(VoucherFormPtr& VO, LoginInfoPtr& Login) const {
  VO->HeadDOM(NewHeadDocument({
      {"keyinman", Variant(Login->cUserName())},
      {"keyindate", Variant(FormatDate(Login->CurDate()))}}));
  return "";
}

std::string CompletionReport::HeadCheck(VoucherFormPtr VO, ConnectionPtr& Conn, const std::string& strItem,
                                        DOMDocumentPtr& domReturn, bool bSaveMode) const {
  DOMDocumentPtr domHead = VO->HeadDOM();
  HeadRow(domHead);  // a head without a row fails in both modes
  if (bSaveMode) return RequiredHeadFields(domHead, {kind_.code, "keyinman", "keyindate"});
  const std::string item = LCase(strItem);
  if (item != "cdepcode" && item != "audman" && item != kind_.code) return "";
  ReferenceCheckerPtr checker;
  const std::string answer = production::HeadReferenceAnswer(checker, strItem, GetHeadValue(domHead, strItem),
                                                             domReturn, Conn, kind_.cardNumber);
  return answer.empty() ? "" : "表头：" + answer + kCR;
}

std::string CompletionReport::BodyCheck(VoucherFormPtr VO, ConnectionPtr& Conn, long R, const std::string& strItem,
                                        DOMDocumentPtr& domReturn, bool bSaveMode) const {
  DOMDocumentPtr domBody = VO->BodyDOM();
  if (!bSaveMode) {
    XmlNode row = FieldModeRow(domBody, R);
    return row ? FieldModeLine(row, Conn, R, strItem, domReturn) : "";
  }
  std::string result;
  long p = 0;
  for (const XmlNode& row : engine::Require(domBody)->selectNodes("//z:row")) result += SaveModeLine(row, ++p, Conn);
  return result;
}

std::string CompletionReport::SaveModeLine(const XmlNode& row, long p, const ConnectionPtr& Conn) const {
  std::string result;
  XmlAttributes attributes = row.attributes();
  for (long i = 0; i < attributes.length(); ++i) {
    XmlNode attribute = attributes.item(i);
    const std::string item = LCase(attribute.nodeName());
    const std::string value = attribute.nodeValue();
    if (!Caption(item).empty() && value.empty()) {
      result += Line(p, true) + "[" + Caption(item) + kNotEmpty + kCR;
    } else if ((item == "realstartdate" || item == "realenddate") && value.empty()) {
      const char* caption = item == "realstartdate" ? "[实际开工日期" : "[实际完工日期";
      result += Line(p, !kind_.dispatchCards) + caption + kNotEmpty + kCR;
    } else if (item == "mosubid" && kind_.dispatchCards) {
      result += DispatchCardState(value, p, Conn);
    }
  }
  // Compared at six decimals, as the quantities are stored.
  const double sum = Quantity(row, "finoknum") + Quantity(row, "finfailnum");
  if (FormatNumber(Quantity(row, "finnum"), "0.000000") != FormatNumber(sum, "0.000000")) {
    result += Line(p, true) + " [完成数量]必须等于[合格数量]与[不合格数量]之和！" + kCR;
  }
  return result;
}

// A line may only report on a card of an approved, open dispatch order.
std::string CompletionReport::DispatchCardState(const std::string& mosubid, long p, const ConnectionPtr& Conn) const {
  RecordsetPtr rs = Conn->Open(
      "Select isnull(audman,'') as audman, isnull(closeman,'') as closeman "
      "from pp_moorderma inner join pp_moorderde on pp_moorderma.moid = pp_moorderde.moid "
      "where pp_moorderde.mosubid = " + SqlStr(Variant(mosubid)),
      adOpenDynamic, adLockReadOnly);
  std::string problem;
  if (rs->Eof()) {
    problem = "[派工单]已经被删除，请检查！";
  } else if (NullToEmpty(rs->Fields("audman").Value()).empty()) {
    problem = "[派工单]已经被弃审，请检查！";
  } else if (!NullToEmpty(rs->Fields("closeman").Value()).empty()) {
    problem = "[派工单]已经被关闭，请检查！";
  }
  rs->Close();
  return problem.empty() ? "" : Line(p, false) + problem + kCR;
}

std::string CompletionReport::FieldModeLine(const XmlNode& row, const ConnectionPtr& Conn, long R,
                                            const std::string& strItem, DOMDocumentPtr& domReturn) const {
  const std::string item = LCase(strItem);
  const std::string value = RowValue(row, strItem);
  const bool order = kind_.lenientNumbers;  // the order completion report's messages
  if (!Caption(item).empty()) return QuantityRule(row, R, item, value, domReturn);
  if (item == "realstartdate" || item == "realenddate") {
    const std::string start = LCase(RowValue(row, "realstartdate"));
    const std::string end = LCase(RowValue(row, "realenddate"));
    if (!start.empty() && !end.empty() && start > end) {
      return Line(R, order) + "[实际完工日期]不能小于[实际开工日期]" + kCR;
    }
    return "";
  }
  if (item != "operator" && !production::IsFreeItemName(item)) return "";
  ReferenceCheckerPtr checker;
  const std::string answer =
      item == "operator"
          ? production::HeadReferenceAnswer(checker, strItem, value, domReturn, Conn, "")
          : production::BodyReferenceAnswer(checker, strItem, value, domReturn, Conn, RowValue(row, "cInvCode"));
  return answer.empty() ? "" : Line(R, order) + answer + kCR;
}

// Quantities and hours of one line. A progress report reports any value that
// is not a number; an order completion report reads it as ToDbl does.
std::string CompletionReport::QuantityRule(const XmlNode& row, long R, const std::string& item,
                                           const std::string& value, DOMDocumentPtr& domReturn) const {
  const bool order = kind_.lenientNumbers;
  const bool unreadable = value == "-" || (!order && !IsNumeric(value));
  const double number = unreadable ? 0 : ToDbl(value);
  const std::string caption = "[" + Caption(item) + "]";
  if (item == "finnum") {
    if (unreadable || number <= 0) return Line(R, !order) + caption + "必须为大于0的数字，请检查！" + kCR;
    XmlNode back = AppendReturnRow(domReturn);
    back.setAttribute("finoknum", Variant(number));
    back.setAttribute("finfailnum", Variant(0.0));
    return "";
  }
  if (unreadable || number < 0) {
    return order ? Line(R, true) + caption + "必须为不小于0的数量！"
                 : Line(R, true) + caption + "必须为不小于0的数字，请检查！" + kCR;
  }
  if (item == "manhrs") return "";
  const double finished = Quantity(row, "finnum");
  if (finished < number) return Line(R, true) + caption + "不能大于[完成数量]！";
  AppendReturnRow(domReturn).setAttribute(item == "finoknum" ? "finfailnum" : "finoknum",
                                          Variant(finished - number));
  return "";
}

// ---- workflow -----------------------------------------------------------------

std::string CompletionReport::VoucherAllowEdit(const DOMDocumentPtr& domHead) const {
  return HasRow(domHead) ? "" : kNoDocument;
}

std::string CompletionReport::VoucherAllowDelete(const DOMDocumentPtr& domHead, const ConnectionPtr& Conn) const {
  if (!HasRow(domHead)) return kNoDocument;
  const std::string code = GetHeadValue(domHead, kind_.code);
  const std::string changed = "此张单据[" + code + "]已经被改变或删除，删除失败！";
  // The key goes into the statement unquoted: anything but a number cannot
  // name a stored report.
  const std::string key = KeyNumber(GetHeadValue(domHead, kind_.key));
  if (key.empty()) return changed;
  const std::string table = kind_.deleteTable;
  const bool unchanged = RowExists(Conn, "select * from " + table + " WHERE " +
                                             QxtsGuard(GetHeadValue(domHead, "qxts")) + " AND " + table + "." +
                                             kind_.key + " = " + key + " ");
  return unchanged ? "" : changed;
}

std::string CompletionReport::VoucherConfirm(const DOMDocumentPtr& domHead, const ConnectionPtr& Conn,
                                             const LoginInfoPtr& Login) const {
  const std::string code = GetHeadValue(domHead, kind_.code);
  if (!GetHeadValue(domHead, "audman").empty()) return Named(code, "已经被审核，审核失败！");
  const std::string table = kind_.table;
  long affected = 0;
  Conn->Execute("UPDATE " + table + " SET audman=" + SqlStr(Variant(Login->cUserName())) +
                    ", audtime=" + SqlStr(Variant(LoginDate(Login))) + " WHERE " +
                    QxtsGuard(GetHeadValue(domHead, "qxts")) + " AND " + table + "." + kind_.confirmColumn + "=" +
                    SqlStr(Variant(code)),
                affected);
  return Named(code, affected != 0 ? "审核成功！" : "已经被" + std::string(kind_.changed) + "或删除，审核失败！");
}

std::string CompletionReport::VoucherCancelconfirm(const DOMDocumentPtr& domHead, const ConnectionPtr& Conn) const {
  const std::string code = GetHeadValue(domHead, kind_.code);
  const std::string table = kind_.table;
  long affected = 0;
  Conn->Execute("UPDATE " + table + " SET audman='', audtime=NULL WHERE " + QxtsGuard(GetHeadValue(domHead, "qxts")) +
                    " AND " + table + "." + kind_.cancelColumn + "=" + SqlStr(Variant(code)),
                affected);
  return Named(code, affected != 0 ? "弃审成功！" : "已经被" + std::string(kind_.changed) + "或删除，弃审失败！");
}

}  // namespace fabrikon::shopfloor
