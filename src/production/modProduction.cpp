// Free helpers of the production order classes (see modProduction.h).
#include "production/modProduction.h"

#include <climits>

#include "engine/EngineErrors.h"
#include "fabrikon/ComError.h"
#include "fabrikon/host/HostServices.h"
#include "fabrikon/modVoucher.h"
#include "fabrikon/Variant.h"

namespace fabrikon::production {

std::string RowVersionGuard(const std::string& qxts) { return QxtsGuard(qxts); }

std::string KeyList(const ConnectionPtr& conn, const std::string& query, const std::string& field) {
  RecordsetPtr rs = conn->Open(query);
  std::string list;
  while (!rs->Eof()) {
    list += "  " + rs->Fields(field).Value().ToText();
    rs->MoveNext();
  }
  rs->Close();
  return Trim(list);
}

std::string OrderMessage(const std::string& kind, const std::string& list, const std::string& outcome) {
  std::string message = kind + "[" + list + "]" + outcome;
  for (auto at = message.find("[]"); at != std::string::npos; at = message.find("[]", at)) {
    message.erase(at, 2);
  }
  return message;
}

std::string BodyLineMessage(long line, const std::string& text) {
  return "表体：第" + std::to_string(line) + "行" + text + kCR;
}

std::string BodyFieldMessage(long line, const std::string& field, const std::string& predicate) {
  return "表体：第" + std::to_string(line) + "行[" + field + predicate + kCR;
}

bool IsFreeItemName(const std::string& lowerName) {
  for (int i = 1; i <= 10; ++i) {
    if (lowerName == "cfree" + std::to_string(i)) return true;
  }
  return false;
}

namespace {
ReferenceChecker& Checker(ReferenceCheckerPtr& checker) {
  if (!checker) checker = HostServices::CreateReferenceChecker();
  return *checker;
}
}  // namespace

std::string HeadReferenceAnswer(ReferenceCheckerPtr& checker, const std::string& item,
                                const std::string& value, DOMDocumentPtr& domReturn,
                                const ConnectionPtr& conn, const std::string& cardNumber) {
  std::string answer;
  Checker(checker).CheckHeadReference(item, Variant(value), domReturn, conn, cardNumber, answer);
  return answer;
}

std::string BodyReferenceAnswer(ReferenceCheckerPtr& checker, const std::string& item,
                                const std::string& value, DOMDocumentPtr& domReturn,
                                const ConnectionPtr& conn, const std::string& invCode) {
  std::string answer;
  Checker(checker).CheckBodyReference(item, Variant(value), domReturn, conn, invCode, answer);
  return answer;
}

int64_t ToWholeNumber(const std::string& text, int64_t low, int64_t high) {
  if (text.empty() || !IsNumeric(text)) throw ComError(ErrorNumber::CantConvertValue, "Type mismatch");
  const int64_t value = Variant(ToDbl(text)).ToInt();
  if (value < low || value > high) throw ComError(ErrorNumber::CantConvertValue, "Overflow");
  return value;
}

int WasteOption(const ConnectionPtr& conn) {
  RecordsetPtr rs = conn->Open("SELECT cValue FROM AccInformation WHERE csysid = 'PP' AND cName = 'bWasteRate'",
                               adOpenStatic, adLockReadOnly);
  int option = 1;
  if (!rs->Eof()) option = static_cast<int>(ToWholeNumber(rs->Fields("cValue").Value().ToText(), -32768, 32767));
  rs->Close();
  return option;
}

int64_t HighestSubId(const ConnectionPtr& conn, const std::string& table) {
  RecordsetPtr rs =
      conn->Open("select isnull(max(SubID),0) as MaxID from  " + table + " ", adOpenDynamic, adLockReadOnly);
  int64_t highest = 1;
  if (!rs->Eof()) highest = ToWholeNumber(rs->Fields("maxid").Value().ToText(), INT32_MIN, INT32_MAX);
  rs->Close();
  return highest;
}

std::string QuantityLiteral(const std::string& formatted) {
  if (formatted.empty()) return "0";
  // A formatted quantity that is not a number is the text of an infinite or
  // NaN value: no statement may carry it.
  if (!IsNumeric(formatted)) RaiseFloatOverflow();
  return formatted;
}

namespace {

constexpr const char* kNotNumber = "]必须录入数字，请检查！";

std::string SaveModeComponentCheck(const XmlNode& row, long line) {
  std::string result;
  XmlAttributes attributes = row.attributes();
  for (long i = 0; i < attributes.length(); ++i) {
    XmlNode attribute = attributes.item(i);
    if (LCase(attribute.nodeName()) == "ipsquantity" && attribute.nodeValue().empty()) {
      result += BodyFieldMessage(line, attribute.nodeName(), "]不能为空，请检查！");
    }
  }
  return result;
}

// Required quantity = (waste rate / 100 + 1) x (quantity per unit x line
// quantity), handed back as one "z:row" of domReturn (made when the caller
// passed none, as the other checks that hand values back do).
void ReturnRequiredQuantity(VoucherForm& VO, const XmlNode& row, DOMDocumentPtr& domReturn) {
  const double lineQuantity = ToDbl(GetHeadValue(VO.HeadDOM(), "fQuantity"));
  const double perUnit = ToDbl(RowValue(row, "iPSQuantity"));
  const double wasteRate = ToDbl(RowValue(row, "iWasteRate"));
  const double quantity = (wasteRate / 100 + 1) * (perUnit * lineQuantity);
  if (!domReturn) domReturn = DOMDocument::Create();
  XmlNode element = domReturn->createElement("z:row");
  const std::string formatted = FormatNumber(quantity, QuantityFormat());
  element.setAttribute("fquantity", Variant(formatted.empty() ? std::string("0") : formatted));
  domReturn->appendChild(element);
}

std::string NumberCheck(long R, const std::string& strItem, const std::string& value) {
  const double number = ToDbl(value);
  const std::string item = LCase(strItem);
  if (!value.empty() && !IsNumeric(value)) return BodyFieldMessage(R, strItem, kNotNumber);
  if (item == "ipsquantity" && !value.empty() && number <= 0) {
    return BodyFieldMessage(R, strItem, "]必须大于0，请检查！");
  }
  if (item == "fquantity" && !value.empty() && number < 0) {
    return BodyFieldMessage(R, strItem, "]必须大于等于0，请检查！");
  }
  if (item == "iwasterate" && (number < 0 || (!value.empty() && number >= 100))) {
    return BodyFieldMessage(R, strItem, "]必须大于等于0小于100，请检查！");
  }
  return "";
}

}  // namespace

std::string ComponentLineCheck(VoucherForm& VO, const ConnectionPtr& Conn, long R, const std::string& strItem,
                               DOMDocumentPtr& domReturn, bool bSaveMode,
                               const std::function<std::string()>& cardNumber) {
  DOMDocumentPtr domBody = engine::Require(VO.BodyDOM());
  const XmlNodeList rows = domBody->selectNodes("//z:row");
  if (rows.length() == 0) return "";
  if (bSaveMode) {
    std::string result;
    long line = 0;
    for (const XmlNode& row : rows) result += SaveModeComponentCheck(row, ++line);
    return result;
  }

  // Field mode: the edited line, once.
  const XmlNode row = FieldModeRow(domBody, R);
  const std::string item = LCase(strItem);
  if (item != "cinvcode" && RowValue(row, "cinvcode").empty()) {
    return "表体：第[" + std::to_string(R) + "]行请先录入存货！";
  }
  const std::string value = RowValue(row, strItem);
  ReferenceCheckerPtr checker;
  std::string answer;
  if (IsFreeItemName(item)) {
    answer = BodyReferenceAnswer(checker, strItem, value, domReturn, Conn, RowValue(row, "cInvCode"));
  } else if (item == "cinvcode" || item == "cwhname" || item == "cdepname") {
    answer = HeadReferenceAnswer(checker, strItem, value, domReturn, Conn, cardNumber());
  } else if (item == "ipsquantity" || item == "fquantity" || item == "iwasterate") {
    const std::string result = NumberCheck(R, strItem, value);
    if (result.empty() && item != "fquantity") ReturnRequiredQuantity(VO, row, domReturn);
    return result;
  }
  return answer.empty() ? "" : BodyLineMessage(R, answer);
}

}  // namespace fabrikon::production
