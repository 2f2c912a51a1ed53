// Free helpers of the shop-floor classes (see modShopfloor.h).
#include "shopfloor/modShopfloor.h"

#include <vector>

#include "fabrikon/ComError.h"
#include "fabrikon/modVoucher.h"
#include "production/modProduction.h"

namespace fabrikon::shopfloor {

bool IsOneOf(const std::string& item, std::initializer_list<const char*> names) {
  for (const char* name : names) {
    if (item == name) return true;
  }
  return false;
}

std::string RequiredHeadFields(const DOMDocumentPtr& domHead, std::initializer_list<const char*> required) {
  std::string result;
  XmlAttributes attributes = HeadRow(domHead).attributes();
  for (long i = 0; i < attributes.length(); ++i) {
    const std::string name = attributes.item(i).nodeName();
    if (IsOneOf(LCase(name), required) && GetHeadValue(domHead, name).empty()) {
      result += "表头：[" + name + kNotEmpty + kCR;
    }
  }
  return result;
}

bool HasRow(const DOMDocumentPtr& document) {
  return document && document->selectNodes("//z:row").length() > 0;
}

XmlNode HeadRow(const DOMDocumentPtr& domHead) {
  XmlNode row = domHead ? domHead->selectSingleNode("//z:row") : XmlNode();
  if (!row) throw ComError(ErrorNumber::ObjectNotSet, "Object variable or With block variable not set");
  return row;
}

bool RowExists(const ConnectionPtr& conn, const std::string& query) {
  RecordsetPtr rs = conn->Open(query, adOpenStatic, adLockReadOnly);
  const bool found = !rs->Eof();
  rs->Close();
  return found;
}

bool BodyIsEmpty(const DOMDocumentPtr& domBody) {
  if (!domBody) return true;
  const long rows = domBody->selectNodes("//z:row").length();
  return rows == 0 || domBody->selectNodes("//z:row [@editprop='D']").length() == rows;
}

XmlNode AppendReturnRow(DOMDocumentPtr& domReturn) {
  if (!domReturn) domReturn = DOMDocument::Create();
  return domReturn->appendChild(domReturn->createElement("z:row"));
}

std::string LoginDate(const LoginInfoPtr& login) { return login->CurDate().ToText(); }

std::string LinePrefixMessage(long line, const std::string& item, const std::string& text) {
  return "表体：第" + std::to_string(line) + "行[" + item + "]" + text + kCR;
}

std::string NeedDateRule(const XmlNode& row, long R, const std::string& strItem, const std::string& value,
                         DOMDocumentPtr& domReturn) {
  // Dates are compared as the texts of their date parts.
  if (LCase(strItem) == "drequiredate") {
    const std::string end = RowValue(row, "drequireenddate");
    if (value.empty()) {
      AppendReturnRow(domReturn).setAttribute("drequireenddate", Variant(std::string()));
    } else if (end.empty() || DateText(end) < DateText(value)) {
      AppendReturnRow(domReturn).setAttribute("drequireenddate", Variant(value));
    }
    return "";
  }
  if (value.empty()) {
    AppendReturnRow(domReturn).setAttribute("drequiredate", Variant(std::string()));
    return "";
  }
  if (DateText(value) < DateText(RowValue(row, "drequiredate"))) {
    return LinePrefixMessage(R, strItem, "不能小于[drequiredate]，请检查！");
  }
  return "";
}

namespace {

// The characters of a UTF-8 text, each as its own text.
std::vector<std::string> Characters(const std::string& text) {
  std::vector<std::string> characters;
  for (size_t at = 0; at < text.size();) {
    size_t length = 1;
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead >= 0xF0) length = 4;
    else if (lead >= 0xE0) length = 3;
    else if (lead >= 0xC0) length = 2;
    characters.push_back(text.substr(at, length));
    at += length;
  }
  return characters;
}

bool IsDigit(const std::string& character) {
  return character.size() == 1 && character[0] >= '0' && character[0] <= '9';
}

}  // namespace

std::string CindexRule(long R, const std::string& strItem, const std::string& value, bool everyDigit) {
  const std::vector<std::string> characters = Characters(value);
  std::string result;
  if (characters.size() != 4) {
    result = LinePrefixMessage(R, strItem, "的长度必须等于4，请检查！");
    if (!everyDigit) return result;
  }
  for (const std::string& character : characters) {
    if (IsDigit(character)) continue;
    result += LinePrefixMessage(R, strItem, "的输入必须为数字，请检查！");
    if (!everyDigit) break;
  }
  return result;
}

std::string NotBelowZeroRule(long R, const std::string& strItem, const std::string& value) {
  if (value.empty()) return "";
  if (!IsNumeric(value)) return LinePrefixMessage(R, strItem, "不是合法的数值，请检查！");
  if (ToDbl(value) < 0) return LinePrefixMessage(R, strItem, "的值不能小于0，请检查！");
  return "";
}

std::string PositiveQuantityRule(long R, const std::string& strItem, const std::string& value) {
  if (value.empty()) return "";
  if (!IsNumeric(value)) return LinePrefixMessage(R, strItem, "不是合法的数值，请检查！");
  if (ToDbl(value) <= 0) return LinePrefixMessage(R, strItem, "必须大于零，请检查！");
  return "";
}

std::string LineReferenceRule(const XmlNode& row, const ConnectionPtr& conn, long R, const std::string& strItem,
                              const std::string& value, DOMDocumentPtr& domReturn, const std::string& cardNumber) {
  ReferenceCheckerPtr checker;
  const std::string answer =
      production::IsFreeItemName(LCase(strItem))
          ? production::BodyReferenceAnswer(checker, strItem, value, domReturn, conn, RowValue(row, "cInvCode"))
          : production::HeadReferenceAnswer(checker, strItem, value, domReturn, conn, cardNumber);
  return answer.empty() ? "" : production::BodyLineMessage(R, answer);
}

}  // namespace fabrikon::shopfloor
