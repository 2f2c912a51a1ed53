// modVoucher: the module helpers every voucher class shares. Reading head
// fields from rowset documents, turning values into SQL text, the classic
// numeric-text readings (Val, the numeric test) and the format patterns of
// quantities and dates. Module-wide settings exist once per thread, as the
// host calls every object on its own thread.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <utility>
#include <string>

#include "fabrikon/DOMDocument.h"
#include "fabrikon/Variant.h"

namespace fabrikon {

// --- Reading values ---------------------------------------------------------

// The value of a numeric text; 0 for the empty text and for any text that is
// not numeric (both tests on the text as given, the numeric test trims blanks).
double ToDbl(const std::string& text);

// "NULL" for a NULL value, otherwise the text between single quotes, with
// single quotes inside the value doubled so a value can never end the literal.
// A number that is not finite raises as NumberText does.
std::string SqlStr(const Variant& value);

// "" for NULL (and Empty), otherwise the value as text.
std::string NullToEmpty(const Variant& value);

// The value of attribute `name` (trimmed, lower-cased; matched exactly) of the
// head row, the first "//z:row" of the document, trimmed of blanks; "" when the
// row has no such attribute. A document without any row raises ComError.
std::string GetHeadValue(const DOMDocumentPtr& document, const std::string& name);

// GetHeadValue, but every failure (no row, no document) gives "". `reserved`
// is passed as 0 by callers and not used.
std::string TryGetHeadValue(const DOMDocumentPtr& document, const std::string& name, long reserved = 0);

// The date part of an ISO date-time (the text before the first "T"); a text
// without "T" comes back unchanged.
std::string DateText(const std::string& text);

// Classic leading-number reading: blanks, tabs and line feeds are skipped
// anywhere; then an optional sign, digits with at most one decimal point, an
// optional exponent (E or D). Reading stops at the first other character;
// no number at all gives 0. A value beyond the range of a double raises
// ComError 6 (overflow).
double Val(const std::string& text);

// Classic numeric-text test: after trimming blanks, an optional sign, digits
// with at most one decimal point (at least one digit) and an optional
// exponent. The empty text, a lone sign or point, embedded blanks, thousands
// separators and values beyond a double are not numeric.
bool IsNumeric(const std::string& text);

// --- Shared pieces of the business objects -----------------------------------

// The row-version guard of every state change:
// "convert(char, convert(money, qxts), 2)=convert(char, convert(money,'" + qxts + "'), 2)"
// with the quotes of the caller's qxts doubled, so a crafted version text can
// never close the literal and widen the WHERE clause.
std::string QxtsGuard(const std::string& qxts);

// The body row a field-mode check looks at: the row at 1-based position R of
// "//z:row" when the document has that many rows, else the first row; an
// empty XmlNode when the document has no row. Field mode checks that one line
// once, so the edited line is the one checked and messages never repeat.
XmlNode FieldModeRow(const DOMDocumentPtr& domBody, long R);

// The trimmed value of attribute `name` (lower-cased) of `row`; "" when the
// row is nothing or has no such attribute.
std::string RowValue(const XmlNode& row, const std::string& name);

// A new head document: one "z:row" with the given attributes in that order,
// the defaults a business object's VoucherNew hands to the voucher form.
DOMDocumentPtr NewHeadDocument(std::initializer_list<std::pair<const char*, Variant>> defaults);

// --- Formatting -------------------------------------------------------------

// The classic text of a number for SQL text (unquoted literals): whole
// numbers without ".0", up to 15 significant digits (FormatDouble). An
// infinite or NaN value, which no statement may carry, raises SQL Server's
// error for such arithmetic (RaiseFloatOverflow).
std::string NumberText(double value);

// Raises ComError 0x80040E07 "Arithmetic overflow error converting
// expression to data type float.", as SQL Server fails float arithmetic
// that overflows.
[[noreturn]] void RaiseFloatOverflow();

// Number patterns: "#" (rounded whole number, zero gives ""), "#." + N zeros
// (N decimals, no digit before the point when the whole part is 0: 0.5 with
// "#.00" gives ".50"), "0", "0." + N zeros (at least one digit before the
// point), "#" decimals after the point ("0.##": up to N decimals, trailing
// zeros dropped). Rounding is half away from zero on the 15-digit decimal
// form of the value. "" gives the classic text (FormatDouble). Any other
// pattern raises ComError 5.
std::string FormatNumber(double value, const std::string& pattern);

// "YYYY-MM-DD".
std::string FormatDate(const DateTime& date);

// --- Small text helpers ------------------------------------------------------

std::string Trim(const std::string& text);   // leading and trailing blanks (spaces only)
std::string LCase(const std::string& text);  // ASCII letters only; other bytes unchanged
std::string UCase(const std::string& text);

// --- Module-wide settings (one copy per thread) -------------------------------

// Decimal places of quantities; 0 until the façade's Init reads the
// account's setting.
int16_t& QuantityDecimals();
// The pattern of quantities derived from QuantityDecimals ("#.00" for 2);
// "" (no format: the value as it is) until a façade's Init sets it.
std::string& QuantityFormat();
// Whether numbering reserves the number (true) or only previews it.
bool& GetRealNo();
// Sets QuantityDecimals and QuantityFormat together: "#" for 0 decimals,
// otherwise "#." + that many zeros. Negative values count as 0.
void SetQuantityDecimals(int16_t decimals);

}  // namespace fabrikon

// ============================================================================
// Statement builders of saving and deleting (modVoucherStatements.cpp). They
// turn one rowset row into the SQL text that writes it: values are embedded as
// literals chosen by the column's type, text between quotes with its quotes
// doubled; values that go into the text unquoted must be numbers.
// ============================================================================
#include "fabrikon/Connection.h"
#include "fabrikon/Recordset.h"

namespace fabrikon {

// True when the row has an attribute of exactly that name.
bool HasAttribute(const XmlNode& row, const std::string& name);

// The SQL literal of a document value for a column of the given field's ADO
// type: numbers ("" gives 0; integer columns: "" gives NULL), quoted text
// (blank gives NULL), 0/1 for booleans, 'YYYY-MM-DD' or NULL for dates. A
// value that cannot be converted (or a column type without a rule) is
// reported through the error box and gives "".
std::string ConvertFieldByType(const Field& field, const std::string& value);

// " IF NOT EXISTS (...) INSERT INTO table(...) Values (...)" for the row's
// attributes that match the table's columns (qxts and identity columns left
// out). The guard tests the key, or with strSecondKey the second key or the key.
std::string InsertSQL(const ConnectionPtr& Conn, const XmlNode& row, const std::string& strTableName,
                      const std::string& strKey, const std::string& strSecondKey);

// " Update table Set ... WHERE  key= ..." for the row's attributes, with the
// row-version guard when the table has qxts.
std::string UpdateSQL(const ConnectionPtr& Conn, const XmlNode& row, const std::string& strTableName,
                      const std::string& strKey);

// " DELETE FROM table WHERE key= N" with the row's key, which must be a number
// (ComError 13 otherwise).
std::string DeleteSQL(const XmlNode& row, const std::string& strTableName, const std::string& strKey);

// The text of ISNULL(MAX(field),0) over the table; "" without a row.
std::string MaxValue(const std::string& strTableName, const std::string& strFieldName, const ConnectionPtr& Conn);

// The text of ISNULL(field,0) of the row whose key column equals the key
// value; "" when there is no such row.
std::string LookupValue(const std::string& strTableName, const std::string& strFieldName,
                        const std::string& strKeyColumn, const std::string& strKeyValue, const ConnectionPtr& Conn);

// `text` trimmed, when it is a plain decimal number (optional sign, digits,
// at most one point, optional exponent E/e) that can go into SQL text
// unquoted; otherwise ComError 13 naming `what`. Keeps document values that
// are pasted without quotes from ever carrying SQL of their own.
std::string SqlNumber(const std::string& text, const std::string& what);

}  // namespace fabrikon
