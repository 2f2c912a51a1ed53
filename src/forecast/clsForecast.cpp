// clsForecast: demand forecast (card "pp01"). Defaults of a new head, the
// field and save checks of head and lines, and the four state changes, each
// one UPDATE of PP_ForecastMain under the row-version guard. Messages and
// statements are the ones the host's screens expect, byte for byte.
#include "fabrikon/clsForecast.h"

#include "fabrikon/host/HostServices.h"
#include "fabrikon/modVoucher.h"

namespace fabrikon {

namespace {

constexpr const char* kCR = "\r";
constexpr const char* kKind = "预测单[";
constexpr const char* kNoDocument = "此张单据已经被删除或不存在任何单据，请刷新后重试！";
constexpr const char* kNotEmpty = "]不能为空，请检查！";

XmlNode HeadRow(const DOMDocumentPtr& domHead) {
  XmlNode row = domHead ? domHead->selectSingleNode("//z:row") : XmlNode();
  if (!row) throw ComError(ErrorNumber::ObjectNotSet, "Object variable or With block variable not set");
  return row;
}

bool HasRow(const DOMDocumentPtr& document) { return document && document->selectSingleNode("//z:row"); }

// "预测单[" + code + "]" + outcome; the brackets stay even for an empty code.
std::string Message(const std::string& cfcid, const std::string& outcome) { return kKind + cfcid + "]" + outcome; }

std::string Line(long R) { return "表体：第" + std::to_string(R) + "行"; }

ReferenceCheckerPtr& Checker(ReferenceCheckerPtr& checker) {
  if (!checker) checker = HostServices::CreateReferenceChecker();
  return checker;
}

// Hands one value back to the screen as a new z:row of domReturn. A caller
// that passes no document gets one; a document that already has its root
// refuses the second row, as the host's DOM would.
void ReturnValue(DOMDocumentPtr& domReturn, const std::string& name, const std::string& value) {
  if (!domReturn) domReturn = DOMDocument::Create();
  XmlNode row = domReturn->createElement("z:row");
  row.setAttribute(name, Variant(value));
  domReturn->appendChild(row);
}

std::string Attribute(const XmlNode& row, const std::string& name) { return NullToEmpty(row.getAttribute(name)); }

// The need dates: a start after the end (or no end) moves the end to the
// start; an emptied start clears the end.
std::string RequireDateCheck(const XmlNode& row, DOMDocumentPtr& domReturn) {
  const std::string start = RowValue(row, "drequiredate");
  const std::string end = RowValue(row, "drequireenddate");
  if (start.empty()) {
    ReturnValue(domReturn, "drequireenddate", "");
  } else if (end.empty() || DateText(start) > DateText(end)) {
    ReturnValue(domReturn, "drequireenddate", Attribute(row, "drequiredate"));
  }
  return "";
}

std::string RequireEndDateCheck(const XmlNode& row, long R, const std::string& strItem, DOMDocumentPtr& domReturn) {
  const std::string start = RowValue(row, "drequiredate");
  const std::string end = RowValue(row, "drequireenddate");
  if (end.empty()) {
    ReturnValue(domReturn, "drequiredate", "");
    return "";
  }
  if (DateText(start) > DateText(end)) return Line(R) + "[" + strItem + "]不能小于[drequiredate]，请检查！" + kCR;
  return "";
}

bool IsFreeItem(const std::string& item) {
  for (int i = 1; i <= 10; ++i) {
    if (item == "cfree" + std::to_string(i)) return true;
  }
  return false;
}

// Field mode: the one cell of line R the user just edited.
std::string FieldModeLineCheck(const XmlNode& row, ConnectionPtr& Conn, long R, const std::string& strItem,
                               DOMDocumentPtr& domReturn) {
  const std::string item = LCase(strItem);
  if (item != "cinvcode" && RowValue(row, "cinvcode").empty()) {
    return "表体：第[" + std::to_string(R) + "]行请先录入存货！";
  }
  ReferenceCheckerPtr checker;
  std::string answer;
  if (IsFreeItem(item)) {
    Checker(checker)->CheckBodyReference(strItem, Variant(RowValue(row, item)), domReturn, Conn,
                                         RowValue(row, "cinvcode"), answer);
  } else if (item == "cinvcode") {
    Checker(checker)->CheckHeadReference(strItem, Variant(RowValue(row, item)), domReturn, Conn, "", answer);
  } else if (item == "imqty") {
    const std::string quantity = RowValue(row, item);
    if (!quantity.empty() && ToDbl(quantity) <= 0) return Line(R) + "[" + strItem + "]必须大于零，请检查！" + kCR;
  } else if (item == "drequiredate") {
    return RequireDateCheck(row, domReturn);
  } else if (item == "drequireenddate") {
    return RequireEndDateCheck(row, R, strItem, domReturn);
  }
  return answer.empty() ? "" : Line(R) + answer + kCR;
}

// Save mode: the required cells of one line, in the order of its attributes.
std::string SaveModeLineCheck(const XmlNode& row, long line) {
  std::string result;
  XmlAttributes attributes = row.attributes();
  for (long i = 0; i < attributes.length(); ++i) {
    XmlNode attribute = attributes.item(i);
    const std::string lower = LCase(attribute.nodeName());
    if ((lower == "cinvcode" || lower == "imqty") && attribute.nodeValue().empty()) {
      result += Line(line) + "[" + attribute.nodeName() + kNotEmpty + kCR;
    }
  }
  return result;
}

}  // namespace

// ---- defaults and checks ----------------------------------------------------

std::string clsForecast::VoucherNew(VoucherFormPtr& VO, LoginInfoPtr& Login) {
  VO->HeadDOM(NewHeadDocument({
      {"dplandate", Variant(Login->CurDate())},
      {"cplanperson", Variant(Login->cUserId())},
      {"cppname", Variant(Login->cUserName())}}));
  return "";
}

std::string clsForecast::HeadCheck(VoucherFormPtr VO, ConnectionPtr& Conn, const std::string& strItem,
                                   DOMDocumentPtr& domReturn, bool bSaveMode, std::string&) {
  DOMDocumentPtr domHead = VO->HeadDOM();
  if (bSaveMode) {
    std::string result;
    XmlAttributes attributes = HeadRow(domHead).attributes();
    for (long i = 0; i < attributes.length(); ++i) {
      const std::string name = attributes.item(i).nodeName();
      const std::string lower = LCase(name);
      if ((lower == "cfcid" || lower == "dplandate") && GetHeadValue(domHead, name).empty()) {
        result += "表头：[" + name + kNotEmpty + kCR;
      }
    }
    return result;
  }
  const std::string item = LCase(strItem);
  if (item != "cdepname" && item != "wcname" && item != "opname" && item != "cdepcode" && item != "wccode" &&
      item != "opcode") {
    return "";
  }
  ReferenceCheckerPtr checker;
  std::string answer;
  Checker(checker)->CheckHeadReference(strItem, Variant(GetHeadValue(domHead, strItem)), domReturn, Conn, "",
                                       answer);
  return answer.empty() ? "" : "表头：" + answer + kCR;
}

std::string clsForecast::BodyCheck(VoucherFormPtr VO, ConnectionPtr& Conn, long R, const std::string& strItem,
                                   DOMDocumentPtr& domReturn, bool bSaveMode, std::string&) {
  DOMDocumentPtr domBody = VO->BodyDOM();
  if (!bSaveMode) {
    const XmlNode row = FieldModeRow(domBody, R);
    return row ? FieldModeLineCheck(row, Conn, R, strItem, domReturn) : "";
  }
  std::string result;
  long line = 0;
  if (domBody) {
    for (const XmlNode& row : domBody->selectNodes("//z:row")) result += SaveModeLineCheck(row, ++line);
  }
  return result;
}

std::string clsForecast::VoucherAllowNew(DOMDocumentPtr, ConnectionPtr&) { return ""; }

std::string clsForecast::VoucherAllowEdit(DOMDocumentPtr domHead, ConnectionPtr&) {
  return HasRow(domHead) ? "" : kNoDocument;
}

std::string clsForecast::VoucherAllowDelete(DOMDocumentPtr domHead, DOMDocumentPtr, ConnectionPtr&) {
  return HasRow(domHead) ? "" : kNoDocument;
}

// ---- workflow -----------------------------------------------------------------

namespace {

// Runs "UPDATE PP_ForecastMain SET " + set + " " + the guard of the loaded
// version and code; true when a row matched.
bool GuardedUpdate(const DOMDocumentPtr& domHead, ConnectionPtr& Conn, const std::string& set) {
  long affected = 0;
  Conn->Execute("UPDATE PP_ForecastMain SET " + set + " WHERE " + QxtsGuard(GetHeadValue(domHead, "qxts")) +
                    " AND PP_ForecastMain.cFCID=" + SqlStr(Variant(GetHeadValue(domHead, "cfcid"))),
                affected);
  return affected != 0;
}

}  // namespace

std::string clsForecast::VoucherConfirm(DOMDocumentPtr domHead, ConnectionPtr& Conn, LoginInfoPtr& Login) {
  const std::string cfcid = GetHeadValue(domHead, "cfcid");
  if (!GetHeadValue(domHead, "ccheckperson").empty()) return Message(cfcid, "已经被审核，审核失败！");
  const std::string loginDate = Login->CurDate().ToText();
  if (DateText(GetHeadValue(domHead, "dplandate")) > DateText(loginDate)) {
    return "当前登陆日期小于预测单[" + cfcid + "]的计划日期，审核失败！";
  }
  const bool done = GuardedUpdate(domHead, Conn,
                                  "bMRP=1,cCheckPerson=" + SqlStr(Variant(Login->cUserId())) +
                                      ", dCheckDate=" + SqlStr(Variant(loginDate)));
  return Message(cfcid, done ? "审核成功！" : "已经被改变或删除，审核失败！");
}

std::string clsForecast::VoucherCancelconfirm(DOMDocumentPtr domHead, ConnectionPtr& Conn) {
  const std::string cfcid = GetHeadValue(domHead, "cfcid");
  if (GetHeadValue(domHead, "ccheckperson").empty()) return Message(cfcid, "尚未被审核，弃审失败！");
  if (!GetHeadValue(domHead, "ccloser").empty()) return Message(cfcid, "已经被关闭，弃审失败！");
  const bool done = GuardedUpdate(domHead, Conn, "bMRP=0,cCheckPerson=null, dCheckDate=null");
  return Message(cfcid, done ? "弃审成功！" : "已经被改变或删除，弃审失败！");
}

std::string clsForecast::VoucherClose(DOMDocumentPtr domHead, ConnectionPtr& Conn, LoginInfoPtr& Login) {
  const std::string cfcid = GetHeadValue(domHead, "cfcid");
  if (GetHeadValue(domHead, "ccheckperson").empty()) return Message(cfcid, "尚未被审核，关闭失败！");
  if (!GetHeadValue(domHead, "ccloser").empty()) return Message(cfcid, "已经被关闭，关闭失败！");
  const bool done = GuardedUpdate(domHead, Conn, "bMRP=0,cCloser=" + SqlStr(Variant(Login->cUserId())));
  return Message(cfcid, done ? "关闭成功！" : "已经被改变或删除，关闭失败！");
}

std::string clsForecast::VoucherOpen(DOMDocumentPtr domHead, ConnectionPtr& Conn) {
  const std::string cfcid = GetHeadValue(domHead, "cfcid");
  if (GetHeadValue(domHead, "ccloser").empty()) return Message(cfcid, "尚未被关闭，打开失败！");
  const bool done = GuardedUpdate(domHead, Conn, "bMRP=1,cCloser=null");
  // Reopening reports only a change: its message never mentioned deletion.
  return Message(cfcid, done ? "打开成功！" : "已经被改变，打开失败！");
}

}  // namespace fabrikon
