// Free helpers of the production order classes: the row-version guard text,
// the key lists and result messages of the workflow operations, the body
// line messages of the checks and the reference checks that create the
// host's checker on first use. Candidates for modVoucher once other
// subsystems need them too.
#pragma once
#include <string>

#include "fabrikon/Connection.h"
#include "fabrikon/DOMDocument.h"
#include "fabrikon/host/ReferenceChecker.h"

namespace fabrikon::production {

inline constexpr const char* kCR = "\r";

// The row-version guard, quotes of qxts doubled (QxtsGuard).
std::string RowVersionGuard(const std::string& qxts);

// Runs query on conn and joins the text of field of every record, two blanks
// apart, trimmed.
std::string KeyList(const ConnectionPtr& conn, const std::string& query, const std::string& field);

// kind + "[" + list + "]" + outcome, every "[]" removed.
std::string OrderMessage(const std::string& kind, const std::string& list, const std::string& outcome);

// "表体：第" + line + "行" + text + CR.
std::string BodyLineMessage(long line, const std::string& text);
// "表体：第" + line + "行[" + field + predicate + CR; predicate starts with "]".
std::string BodyFieldMessage(long line, const std::string& field, const std::string& predicate);

// "cfree1" ... "cfree10".
bool IsFreeItemName(const std::string& lowerName);

// The answer of the host's reference check; the checker is created on first use.
std::string HeadReferenceAnswer(ReferenceCheckerPtr& checker, const std::string& item,
                                const std::string& value, DOMDocumentPtr& domReturn,
                                const ConnectionPtr& conn, const std::string& cardNumber);
std::string BodyReferenceAnswer(ReferenceCheckerPtr& checker, const std::string& item,
                                const std::string& value, DOMDocumentPtr& domReturn,
                                const ConnectionPtr& conn, const std::string& invCode);

}  // namespace fabrikon::production
