// clsPODetails: component lines of a production order line (card "pp16").
// Checks the edited component cell (or, before saving, the quantity per unit
// of every line) and recomputes the required quantity from the line's
// quantity, the quantity per unit and the waste rate for the screen.
#include "fabrikon/clsPODetails.h"

#include "fabrikon/modVoucher.h"
#include "production/modProduction.h"

namespace fabrikon {

using production::BodyFieldMessage;
using production::BodyLineMessage;

namespace {

constexpr const char* kCardNumber = "PP16";
constexpr const char* kNotNumber = "]必须录入数字，请检查！";

std::string SaveModeLineCheck(const XmlNode& row, long line) {
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

// Required quantity = (waste rate / 100 + 1) x (quantity per unit x line quantity),
// handed back as one "z:row" of domReturn.
void ReturnRequiredQuantity(VoucherForm& VO, const DOMDocumentPtr& domBody, DOMDocumentPtr& domReturn) {
  const double lineQuantity = ToDbl(GetHeadValue(VO.HeadDOM(), "fQuantity"));
  const double perUnit = ToDbl(TryGetHeadValue(domBody, "iPSQuantity", 0));
  const double wasteRate = ToDbl(TryGetHeadValue(domBody, "iWasteRate", 0));
  const double quantity = (wasteRate / 100 + 1) * (perUnit * lineQuantity);
  if (!domReturn) throw ComError(ErrorNumber::DomError, "Object variable or With block variable not set");
  XmlNode row = domReturn->createElement("z:row");
  row.setAttribute("fquantity", Variant(FormatNumber(quantity, QuantityFormat())));
  domReturn->appendChild(row);
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

std::string clsPODetails::HeadCheck(VoucherFormPtr, ConnectionPtr&, const std::string&, DOMDocumentPtr&, bool,
                                    std::string&) {
  return "";
}

std::string clsPODetails::BodyCheck(VoucherFormPtr VO, ConnectionPtr& Conn, long R, const std::string& strItem,
                                    DOMDocumentPtr& domReturn, bool bSaveMode, std::string&) {
  DOMDocumentPtr domBody = VO->BodyDOM();
  const XmlNodeList rows = domBody->selectNodes("//z:row");
  if (rows.length() == 0) return "";
  if (bSaveMode) {
    std::string result;
    long line = 0;
    for (const XmlNode& row : rows) result += SaveModeLineCheck(row, ++line);
    return result;
  }

  // Field mode reads the first row's values whatever the number of rows, so
  // the check (and the recomputation) runs once.
  const std::string item = LCase(strItem);
  if (item != "cinvcode" && TryGetHeadValue(domBody, "cinvcode", 0).empty()) {
    return "表体：第[" + std::to_string(R) + "]行请先录入存货！";
  }
  const std::string value = TryGetHeadValue(domBody, strItem, 0);
  ReferenceCheckerPtr checker;
  std::string answer;
  if (production::IsFreeItemName(item)) {
    answer = production::BodyReferenceAnswer(checker, strItem, value, domReturn, Conn,
                                             TryGetHeadValue(domBody, "cInvCode", 0));
  } else if (item == "cinvcode" || item == "cwhname" || item == "cdepname") {
    answer = production::HeadReferenceAnswer(checker, strItem, value, domReturn, Conn, kCardNumber);
  } else if (item == "ipsquantity" || item == "fquantity" || item == "iwasterate") {
    const std::string result = NumberCheck(R, strItem, value);
    if (result.empty() && item != "fquantity") ReturnRequiredQuantity(*VO, domBody, domReturn);
    return result;
  }
  return answer.empty() ? "" : BodyLineMessage(R, answer);
}

}  // namespace fabrikon
