// Free helpers of the shop-floor classes (dispatch orders, completion
// reports, reorder-point plans, base files): the messages they share, the
// head-row and existence tests, the domReturn rows, and the field-mode line
// rules that dispatch cards and routing lines have in common.
#pragma once
#include <initializer_list>
#include <string>

#include "fabrikon/Connection.h"
#include "fabrikon/DOMDocument.h"
#include "fabrikon/host/LoginInfo.h"
#include "fabrikon/host/ReferenceChecker.h"

namespace fabrikon::shopfloor {

inline constexpr const char* kCR = "\r";
inline constexpr const char* kNoDocument = "此张单据已经被删除或不存在任何单据，请刷新后重试！";
inline constexpr const char* kNoBodyData = "表体：没有数据不能保存，请检查！";
inline constexpr const char* kNotEmpty = "]不能为空，请检查！";
inline constexpr const char* kNotNumber = "]不是合法的数值，请检查！";

// Whether `item` is one of `names`.
bool IsOneOf(const std::string& item, std::initializer_list<const char*> names);

// Save mode: "表头：[" + name + "]不能为空，请检查！" + CR for every attribute of
// the head row, in document order, whose lower-cased name is one of
// `required` and whose head value is empty.
std::string RequiredHeadFields(const DOMDocumentPtr& domHead, std::initializer_list<const char*> required);

// Whether the document holds a "//z:row".
bool HasRow(const DOMDocumentPtr& document);

// The head row; a document without one raises ComError (as reading it would).
XmlNode HeadRow(const DOMDocumentPtr& domHead);

// Whether the query returns at least one record. A SELECT reports -1 records
// affected whether it matches or not, so existence is read from the records.
bool RowExists(const ConnectionPtr& conn, const std::string& query);

// The body has no row, or every row is marked deleted.
bool BodyIsEmpty(const DOMDocumentPtr& domBody);

// Appends a new "z:row" to domReturn (creating the document when the caller
// gave none) and answers it.
XmlNode AppendReturnRow(DOMDocumentPtr& domReturn);

// The login date as the statements join it.
std::string LoginDate(const LoginInfoPtr& login);

// "表体：第" + line + "行[" + item + "]" + text + CR.
std::string LinePrefixMessage(long line, const std::string& item, const std::string& text);

// Field-mode rules shared by dispatch cards and routing lines: "drequiredate"
// and "drequireenddate" (need dates, returned through domReturn), "cindex"
// (four digits; every offending character reported when `everyDigit`, else
// the first failure only), the numeric-not-below-zero rule and the
// positive quantity. Each answers
// the message ("" when valid).
std::string NeedDateRule(const XmlNode& row, long R, const std::string& strItem, const std::string& value,
                         DOMDocumentPtr& domReturn);
std::string CindexRule(long R, const std::string& strItem, const std::string& value, bool everyDigit);
std::string NotBelowZeroRule(long R, const std::string& strItem, const std::string& value);
std::string PositiveQuantityRule(long R, const std::string& strItem, const std::string& value);

// The reference checks of a body line: free items against the line's
// inventory, other items as head references with `cardNumber`. "" when valid,
// else "表体：第" + R + "行" + message + CR.
std::string LineReferenceRule(const XmlNode& row, const ConnectionPtr& conn, long R, const std::string& strItem,
                              const std::string& value, DOMDocumentPtr& domReturn, const std::string& cardNumber);

}  // namespace fabrikon::shopfloor
