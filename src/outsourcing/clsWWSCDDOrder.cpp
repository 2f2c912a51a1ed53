// clsWWSCDDOrder: outsourcing production order. Defaults of a new head and
// the field and save checks of head and product lines; the workflow lives in
// clsWWSCDDOrderWorkflow.cpp, the material list in clsWWSCDDOrderMaterials.cpp.
#include "fabrikon/clsWWSCDDOrder.h"

#include "engine/EngineErrors.h"
#include "fabrikon/modOutsourcing.h"
#include "fabrikon/modVoucher.h"
#include "production/modProduction.h"

namespace fabrikon {

using production::BodyFieldMessage;
using production::BodyLineMessage;
using production::kCR;

namespace {

constexpr const char* kNotNumeric = "]必须录入数值，请检查！";

XmlNode HeadRow(const DOMDocumentPtr& domHead) {
  XmlNode row = domHead ? domHead->selectSingleNode("//z:row") : XmlNode();
  if (!row) throw ComError(ErrorNumber::ObjectNotSet, "Object variable or With block variable not set");
  return row;
}

std::string SaveModeHeadCheck(const DOMDocumentPtr& domHead) {
  std::string result;
  XmlAttributes attributes = HeadRow(domHead).attributes();
  for (long i = 0; i < attributes.length(); ++i) {
    const std::string name = attributes.item(i).nodeName();
    const std::string item = LCase(name);
    if (item != "dplandate" && item != "cvenname" && item != "ccode") continue;
    if (!GetHeadValue(domHead, name).empty()) continue;
    if (item == "dplandate") result += "表头：[" + name + "]不能为空，请检查！" + kCR;
    if (item == "cvenname") result += "表头：[" + name + "]不能为空,请检查！" + kCR;
    if (item == "ccode") result += std::string("表头：[订单编号]不能为空，请检查！") + kCR;
  }
  return result;
}

bool IsHeadReference(const std::string& item) {
  for (const char* name : {"cdepname", "cdepcode", "cpersoncode", "cpersonname", "cvencode", "cvenname",
                           "cpaycode", "cpayname", "csccode", "cscname"}) {
    if (item == name) return true;
  }
  return false;
}

// The save-mode checks of one cell of product line `line` (the body's row `row`).
std::string SaveModeCellCheck(const XmlNode& row, const ConnectionPtr& Conn, long line, const std::string& name,
                              const std::string& value, FreeItemFlags& flags) {
  const std::string item = LCase(name);
  std::string result;
  if (item == "fquantity") {
    if (value.empty() || Val(value) <= 0) return BodyFieldMessage(line, name, "]不能为空或小于等于零，请检查！");
    if (!IsNumeric(value)) return BodyFieldMessage(line, name, kNotNumeric);
  } else if (item == "imakecharge" || item == "totalmoney") {
    if (Val(value) < 0) return BodyFieldMessage(line, name, "]不能小于零，请检查！");
    if (!IsNumeric(value)) return BodyFieldMessage(line, name, kNotNumeric);
  }
  if (item == "cinvcode" && !IsFreeItemsComplete(row, Conn, value, flags)) {
    result += BodyFieldMessage(line, name, "] " + value + " 启用了自由项，必须输入完整，请检查！");
  }
  if ((item == "cinvcode" || item == "dstartdate" || item == "denddate") && value.empty()) {
    result += BodyFieldMessage(line, name, "]不能为空，请检查！");
  }
  return result;
}

// A date text as "YYYY-MM-DD" ("T" read as a blank); a text that is no date
// stays as it is.
std::string DateKey(std::string text) {
  for (char& c : text) {
    if (c == 'T') c = ' ';
  }
  DateTime date;
  return DateTime::Parse(Trim(text), date) ? FormatDate(date) : text;
}

}  // namespace

// ---- defaults and head checks -------------------------------------------------

std::string clsWWSCDDOrder::VoucherNew(VoucherFormPtr& VO, LoginInfoPtr& Login) {
  VO->HeadDOM(NewHeadDocument({
      {"ddate", Variant(Login->CurDate())},
      {"cmaker", Variant(Login->cUserId())},
      {"ihlevel", Variant(1)},
      {"bhexpandend", Variant("否")}}));
  return "";
}

std::string clsWWSCDDOrder::HeadCheck(VoucherFormPtr VO, ConnectionPtr& Conn, const std::string& strItem,
                                      DOMDocumentPtr& domReturn, bool bSaveMode, std::string&) {
  DOMDocumentPtr domHead = VO->HeadDOM();
  HeadRow(domHead);
  if (bSaveMode) return SaveModeHeadCheck(domHead);

  const std::string item = LCase(strItem);
  if (IsHeadReference(item)) {
    ReferenceCheckerPtr checker;
    const std::string answer = production::HeadReferenceAnswer(checker, strItem, GetHeadValue(domHead, strItem),
                                                               domReturn, Conn, "");
    return answer.empty() ? "" : "表头：" + answer + kCR;
  }
  if (item == "bhexpandend") {
    const std::string value = GetHeadValue(domHead, strItem);
    if (value != "否" && value != "是") return "表头：[" + strItem + "]录入不合法，请检查！" + kCR;
  }
  return "";
}

// ---- product line checks --------------------------------------------------------

std::string clsWWSCDDOrder::BodyCheck(VoucherFormPtr VO, ConnectionPtr& Conn, long R, const std::string& strItem,
                                      DOMDocumentPtr& domReturn, bool bSaveMode, std::string&) {
  DOMDocumentPtr domBody = engine::Require(VO->BodyDOM());
  const XmlNodeList rows = domBody->selectNodes("//z:row");
  if (rows.length() == 0 || domBody->selectNodes("//z:row [@editprop='D']").length() == rows.length()) {
    return std::string("表体：没有数据不能保存，请检查！") + kCR;
  }
  if (bSaveMode) {
    std::string result;
    long line = 0;
    FreeItemFlags flags;  // the lines' items, each read once
    for (const XmlNode& row : rows) {
      ++line;
      XmlAttributes attributes = row.attributes();
      for (long i = 0; i < attributes.length(); ++i) {
        result += SaveModeCellCheck(row, Conn, line, attributes.item(i).nodeName(), attributes.item(i).nodeValue(),
                                    flags);
      }
    }
    return result;
  }

  // Field mode: the edited line, once.
  const XmlNode row = FieldModeRow(domBody, R);
  const std::string item = LCase(strItem);
  const std::string value = RowValue(row, strItem);
  ReferenceCheckerPtr checker;
  if (production::IsFreeItemName(item) || item == "cinvcode") {
    const std::string answer =
        item == "cinvcode"
            ? production::HeadReferenceAnswer(checker, strItem, value, domReturn, Conn, "")
            : production::BodyReferenceAnswer(checker, strItem, value, domReturn, Conn, RowValue(row, "cInvCode"));
    return answer.empty() ? "" : BodyLineMessage(R, answer);
  }
  const std::string start = DateKey(RowValue(row, "dstartdate"));
  const std::string end = DateKey(RowValue(row, "denddate"));
  if (item == "dstartdate" && !end.empty() && start > end) {
    return BodyFieldMessage(R, strItem, "]不能大于[denddate]，请检查！");
  }
  if (item == "denddate" && end < start) return BodyFieldMessage(R, strItem, "]不能小于[dstartdate]，请检查！");
  if (item == "fquantity") {
    std::string result;
    if (Val(value) <= 0) result += BodyFieldMessage(R, strItem, "]不能为空或小于等于零，请检查！");
    const double plan = Val(RowValue(row, "idatafrom"));
    if (plan != 0 && Val(value) > GetPlanOpenQuantity(Conn, plan)) {
      result += BodyFieldMessage(R, strItem, "]不能超委外计划下达的生产量，请检查！");
    }
    return result;
  }
  if ((item == "imakecharge" || item == "totalmoney") && Val(value) < 0) {
    return BodyFieldMessage(R, strItem, "]不能小于0，请检查！");
  }
  return "";
}

double clsWWSCDDOrder::GetPlanOpenQuantity(const ConnectionPtr& Conn, double id) const {
  const std::string nid = NumberText(id);
  RecordsetPtr rs = Conn->Open(
      "select isnull(sum(isnull(pp_rmrpdetails.icheck,0))-isnull((select sum(isnull(fquantity,0)) from pp_pomain "
      "where idatafrom=" + nid + "),0) ,0) as iCheckOM from pp_rmrpdetails where pp_rmrpdetails.nid=" + nid,
      adOpenStatic, adLockReadOnly);
  double open = 0;
  if (!rs->Eof()) open = Val(FormatNumber(Val(NullToEmpty(rs->Fields("icheckom").Value())), QuantityFormat()));
  rs->Close();
  return open;
}

}  // namespace fabrikon
