// modVoucher: the module helpers shared by every voucher class (see
// modVoucher.h). Numbers are read and written here in the classic forms the
// host and the SQL text expect, independent of the process locale.
#include "fabrikon/modVoucher.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fabrikon/ComError.h"

namespace fabrikon {

namespace {

struct ModuleState {
  // Until a façade's Init reads the precision, quantities have no decimals
  // and are used as they are: no format, so nothing is rounded.
  int16_t quantityDecimals = 0;
  std::string quantityFormat;
  bool getRealNo = false;
};
thread_local ModuleState moduleState;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsExponentMark(char c) { return c == 'e' || c == 'E' || c == 'd' || c == 'D'; }

// A number already split into its parts: digits before and after the point and
// a decimal exponent, as Val and the numeric test read them.
struct NumberParts {
  bool negative = false;
  std::string whole, fraction;
  int exponent = 0;
  bool HasDigits() const { return !whole.empty() || !fraction.empty(); }
};

// Converts the parts; false when the value lies beyond a double.
bool ToDouble(const NumberParts& parts, double& out) {
  if (!parts.HasDigits()) {
    out = 0;
    return true;
  }
  std::string text = (parts.whole.empty() ? "0" : parts.whole) + "." + parts.fraction + "e" +
                     std::to_string(parts.exponent);
  auto result = std::from_chars(text.data(), text.data() + text.size(), out);
  if (result.ec == std::errc::result_out_of_range) {
    // Too small rounds to 0; too large does not fit.
    const size_t firstSignificant = (parts.whole + parts.fraction).find_first_not_of('0');
    if (firstSignificant == std::string::npos) {
      out = 0;
      return true;
    }
    const long magnitude = static_cast<long>(parts.whole.size()) - static_cast<long>(firstSignificant) +
                           parts.exponent;
    out = 0;
    if (magnitude > 0) return false;
  }
  if (parts.negative) out = -out;
  return true;
}

// Reads sign, digits, point and exponent from `text` starting at pos. Stops at
// the first character that does not continue the number.
NumberParts ReadNumber(const std::string& text, size_t& pos) {
  NumberParts parts;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) parts.negative = text[pos++] == '-';
  while (pos < text.size() && IsDigit(text[pos])) parts.whole += text[pos++];
  if (pos < text.size() && text[pos] == '.') {
    ++pos;
    while (pos < text.size() && IsDigit(text[pos])) parts.fraction += text[pos++];
  }
  if (!parts.HasDigits() || pos >= text.size() || !IsExponentMark(text[pos])) return parts;
  size_t look = pos + 1;
  bool negativeExponent = false;
  if (look < text.size() && (text[look] == '+' || text[look] == '-')) negativeExponent = text[look++] == '-';
  if (look >= text.size() || !IsDigit(text[look])) return parts;  // "1e" reads as 1
  long exponent = 0;
  while (look < text.size() && IsDigit(text[look])) {
    if (exponent < 100000) exponent = exponent * 10 + (text[look] - '0');
    ++look;
  }
  parts.exponent = static_cast<int>(negativeExponent ? -exponent : exponent);
  pos = look;
  return parts;
}

std::string TrimBlanksAndTabs(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A number's 15 significant digits rounded half away from zero at `decimals`
// places: digits[0, count) with the point after `pointPos` of them (beyond the
// digits every place is '0'). Kept on the stack: formatting is hot.
struct RoundedDigits {
  char digits[17];
  long count = 0;
  long pointPos = 0;
  char At(long i) const { return i >= 0 && i < count ? digits[i] : '0'; }
  bool IsZero() const { return std::all_of(digits, digits + count, [](char c) { return c == '0'; }); }
};

RoundedDigits RoundDecimal(double magnitude, int decimals) {
  // The 15 significant digits of the classic conversion, then decimal rounding,
  // so 1.005 rounds like the text "1.005" and not like its binary neighbour.
  char buffer[40];
  auto result = std::to_chars(buffer, buffer + sizeof buffer - 1, magnitude, std::chars_format::scientific, 14);
  *result.ptr = '\0';
  char* e = std::find(buffer, result.ptr, 'e');
  RoundedDigits out;
  out.digits[0] = buffer[0];
  std::copy(buffer + 2, e, out.digits + 1);
  out.count = e - buffer - 1;
  out.pointPos = std::strtol(e + 1, nullptr, 10) + 1;  // digits before the point
  if (magnitude == 0) {
    std::fill(out.digits, out.digits + 15, '0');
    out.count = 15;
    out.pointPos = 1;
  }

  const long keep = out.pointPos + decimals;
  if (keep < 0) {
    out.count = 0;
  } else if (keep < out.count) {
    const bool roundUp = out.digits[keep] >= '5';
    out.count = keep;
    if (roundUp) {
      long i = keep - 1;
      for (; i >= 0 && out.digits[i] == '9'; --i) out.digits[i] = '0';
      if (i >= 0) {
        ++out.digits[i];
      } else {
        std::memmove(out.digits + 1, out.digits, static_cast<size_t>(out.count));
        out.digits[0] = '1';
        ++out.count;
        ++out.pointPos;
      }
    }
  }
  return out;
}

struct NumberPattern {
  int minWhole = 0;     // '0's before the point
  bool point = false;
  int minDecimals = 0;  // '0's after the point
  int maxDecimals = 0;  // '0's and '#'s after the point
};

NumberPattern ParsePattern(const std::string& pattern) {
  NumberPattern p;
  size_t i = 0;
  for (; i < pattern.size() && (pattern[i] == '#' || pattern[i] == '0'); ++i)
    if (pattern[i] == '0') ++p.minWhole;
  if (i < pattern.size() && pattern[i] == '.') {
    p.point = true;
    for (++i; i < pattern.size() && pattern[i] == '0'; ++i) ++p.minDecimals;
    p.maxDecimals = p.minDecimals;
    for (; i < pattern.size() && pattern[i] == '#'; ++i) ++p.maxDecimals;
  }
  if (i != pattern.size())
    throw ComError(ErrorNumber::InvalidProcedureCall, "Invalid procedure call or argument: format \"" + pattern + "\"");
  return p;
}

// A short plain decimal ("-12.5", ".25"): read at once; the general path
// reads the same digits to the same (correctly rounded) value.
bool PlainDecimal(const std::string& text, double& value) {
  if (text.empty() || text.size() > 24) return false;
  bool digits = false, point = false;
  for (size_t i = text[0] == '-' ? 1 : 0; i < text.size(); ++i) {
    if (IsDigit(text[i])) {
      digits = true;
    } else if (text[i] == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  return digits && result.ec == std::errc{} && result.ptr == text.data() + text.size();
}

}  // namespace

double ToDbl(const std::string& text) {
  if (text.empty() || !IsNumeric(text)) return 0;
  const std::string trimmed = TrimBlanksAndTabs(text);
  size_t pos = 0;
  double value = 0;
  ToDouble(ReadNumber(trimmed, pos), value);
  return value;
}

void RaiseFloatOverflow() {
  throw ComError(ErrorNumber::CantConvertValue, "Arithmetic overflow error converting expression to data type float.");
}

std::string SqlStr(const Variant& value) {
  if (value.IsNull()) return "NULL";
  if (value.kind() == Variant::Kind::Double && !std::isfinite(value.ToDouble())) RaiseFloatOverflow();
  const std::string text = value.ToText();
  std::string quoted = "'";
  quoted.reserve(text.size() + 2);
  for (char c : text) {
    quoted += c;
    if (c == '\'') quoted += '\'';
  }
  return quoted + "'";
}

std::string QxtsGuard(const std::string& qxts) {
  std::string doubled;
  doubled.reserve(qxts.size());
  for (char c : qxts) {
    doubled += c;
    if (c == '\'') doubled += '\'';
  }
  return "convert(char, convert(money, qxts), 2)=convert(char, convert(money,'" + doubled + "'), 2)";
}

DOMDocumentPtr NewHeadDocument(std::initializer_list<std::pair<const char*, Variant>> defaults) {
  DOMDocumentPtr document = DOMDocument::Create();
  XmlNode row = document->createElement("z:row");
  for (const auto& [name, value] : defaults) row.setAttribute(name, value);
  document->appendChild(row);
  return document;
}

XmlNode FieldModeRow(const DOMDocumentPtr& domBody, long R) {
  if (!domBody) return XmlNode();
  const XmlNodeList rows = domBody->selectNodes("//z:row");
  if (rows.length() == 0) return XmlNode();
  return (R >= 1 && R <= rows.length()) ? rows.item(R - 1) : rows.item(0);
}

std::string RowValue(const XmlNode& row, const std::string& name) {
  if (row.IsNothing()) return std::string();
  const XmlNode attribute = row.attributes().getNamedItem(LCase(Trim(name)));
  return attribute.IsNothing() ? std::string() : Trim(attribute.nodeValue());
}

std::string NullToEmpty(const Variant& value) { return value.IsNull() ? std::string() : value.ToText(); }

std::string GetHeadValue(const DOMDocumentPtr& document, const std::string& name) {
  if (!document) throw ComError(ErrorNumber::ObjectNotSet, "Object variable or With block variable not set");
  const XmlNode row = document->selectSingleNode("//z:row");
  if (row.IsNothing())
    throw ComError(ErrorNumber::ObjectNotSet, "Object variable or With block variable not set: the document has no row");
  const XmlNode attribute = row.attributes().getNamedItem(LCase(Trim(name)));
  return attribute.IsNothing() ? std::string() : Trim(attribute.nodeValue());
}

std::string TryGetHeadValue(const DOMDocumentPtr& document, const std::string& name, long /*reserved*/) {
  try {
    return GetHeadValue(document, name);
  } catch (...) {
    return "";
  }
}

std::string DateText(const std::string& text) {
  const size_t t = text.find('T');
  return t == std::string::npos ? text : text.substr(0, t);
}

double Val(const std::string& text) {
  // Plain digits (the text of a whole number) read directly: every value of
  // up to 15 digits is exact in a double.
  if (!text.empty() && text.size() <= 15 &&
      std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    int64_t whole = 0;
    for (char c : text) whole = whole * 10 + (c - '0');
    return static_cast<double>(whole);
  }
  double plain = 0;
  if (PlainDecimal(text, plain)) return plain;
  std::string compact;
  compact.reserve(text.size());
  for (char c : text)
    if (c != ' ' && c != '\t' && c != '\n' && c != '\r') compact += c;
  size_t pos = 0;
  double value = 0;
  if (!ToDouble(ReadNumber(compact, pos), value)) throw ComError(ErrorNumber::Overflow, "Overflow");
  return value;
}

bool IsNumeric(const std::string& text) {
  const std::string trimmed = TrimBlanksAndTabs(text);
  size_t pos = 0;
  const NumberParts parts = ReadNumber(trimmed, pos);
  double ignored = 0;
  return parts.HasDigits() && pos == trimmed.size() && ToDouble(parts, ignored);
}

std::string NumberText(double value) {
  if (!std::isfinite(value)) RaiseFloatOverflow();
  return FormatDouble(value);
}

namespace {

// The last pattern parsed: call sites format many numbers with one pattern.
const NumberPattern& CachedPattern(const std::string& pattern) {
  thread_local std::string last;
  thread_local NumberPattern parsed;
  thread_local bool known = false;
  if (!known || pattern != last) {
    parsed = ParsePattern(pattern);
    last = pattern;
    known = true;
  }
  return parsed;
}

}  // namespace

std::string FormatNumber(double value, const std::string& pattern) {
  if (pattern.empty() || !std::isfinite(value)) return FormatDouble(value);
  const NumberPattern& p = CachedPattern(pattern);
  const RoundedDigits d = RoundDecimal(std::fabs(value), p.maxDecimals);
  long first = 0;  // the whole part's first digit that is not a leading zero
  while (first < d.pointPos && d.At(first) == '0') ++first;
  const long wholeDigits = std::max(0L, d.pointPos - first);
  long decimals = p.maxDecimals;
  while (decimals > p.minDecimals && d.At(d.pointPos + decimals - 1) == '0') --decimals;
  std::string text;
  text.reserve(static_cast<size_t>(std::max<long>(wholeDigits, p.minWhole) + decimals + 2));
  if (value < 0 && !d.IsZero()) text += '-';
  if (wholeDigits < p.minWhole) text.append(static_cast<size_t>(p.minWhole - wholeDigits), '0');
  for (long i = first; i < d.pointPos; ++i) text += d.At(i);
  if (p.point) {
    text += '.';
    for (long i = 0; i < decimals; ++i) text += d.At(d.pointPos + i);
  }
  return text;
}

std::string FormatDate(const DateTime& date) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", date.year, date.month, date.day);
  return buffer;
}

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string LCase(const std::string& text) {
  std::string out = text;
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string UCase(const std::string& text) {
  std::string out = text;
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

int16_t& QuantityDecimals() { return moduleState.quantityDecimals; }
std::string& QuantityFormat() { return moduleState.quantityFormat; }
bool& GetRealNo() { return moduleState.getRealNo; }

void SetQuantityDecimals(int16_t decimals) {
  if (decimals < 0) decimals = 0;
  moduleState.quantityDecimals = decimals;
  moduleState.quantityFormat = decimals == 0 ? "#" : "#." + std::string(decimals, '0');
}

}  // namespace fabrikon
