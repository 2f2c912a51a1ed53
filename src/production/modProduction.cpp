// Free helpers of the production order classes (see modProduction.h).
#include "production/modProduction.h"

#include "fabrikon/host/HostServices.h"
#include "fabrikon/modVoucher.h"

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

}  // namespace fabrikon::production
