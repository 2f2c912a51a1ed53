// modVoucher: the module helpers every voucher class shares. Reading head
// fields from rowset documents, turning values into SQL text, the classic
// numeric-text readings (Val, the numeric test) and the format patterns of
// quantities and dates. Module-wide settings exist once per thread, as the
// host calls every object on its own thread.
#pragma once
#include <cstdint>
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

// --- Formatting -------------------------------------------------------------

// The classic text of a number for SQL text (unquoted literals): whole
// numbers without ".0", up to 15 significant digits (FormatDouble).
std::string NumberText(double value);

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

// Decimal places of quantities; 2 until the façade's Init reads the
// account's setting.
int16_t& QuantityDecimals();
// The pattern of quantities derived from QuantityDecimals ("#.00" for 2).
std::string& QuantityFormat();
// Whether numbering reserves the number (true) or only previews it.
bool& GetRealNo();
// Sets QuantityDecimals and QuantityFormat together: "#" for 0 decimals,
// otherwise "#." + that many zeros. Negative values count as 0.
void SetQuantityDecimals(int16_t decimals);

}  // namespace fabrikon
