// Free helpers of the production order classes: the row-version guard text,
// the key lists and result messages of the workflow operations, the body
// line messages of the checks and the reference checks that create the
// host's checker on first use. Candidates for modVoucher once other
// subsystems need them too.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "fabrikon/Connection.h"
#include "fabrikon/DOMDocument.h"
#include "fabrikon/host/ReferenceChecker.h"
#include "fabrikon/host/VoucherForm.h"

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

// The classic conversion of a text to a whole number within [low, high]:
// numeric text rounds half to even; anything else, or a value out of range,
// raises ComError.
int64_t ToWholeNumber(const std::string& text, int64_t low, int64_t high);

// The waste option of the material lists (AccInformation 'PP' 'bWasteRate'
// as a 16-bit integer; 1 without the row). Only 1 counts waste in.
int WasteOption(const ConnectionPtr& conn);

// The largest SubID of a material table (1 when the query gives no row).
int64_t HighestSubId(const ConnectionPtr& conn, const std::string& table);

// The SQL text of a quantity formatted with QuantityFormat; a quantity that
// formats to nothing (0 with "#", or a NULL read as "") is written 0, so the
// statement never gets an empty value. The text of an infinite or NaN value
// (any text that is not a number) raises RaiseFloatOverflow.
std::string QuantityLiteral(const std::string& formatted);

// BodyCheck of a component-line voucher (production or outsourcing order
// line): save mode checks every line's quantity per unit; field mode checks
// the edited line R (FieldModeRow) and hands a recomputed required quantity
// back through domReturn. cardNumber gives the card the reference checks of
// "cinvcode", "cwhname" and "cdepname" name; it is asked only for them.
std::string ComponentLineCheck(VoucherForm& VO, const ConnectionPtr& Conn, long R, const std::string& strItem,
                               DOMDocumentPtr& domReturn, bool bSaveMode,
                               const std::function<std::string()>& cardNumber);

}  // namespace fabrikon::production
