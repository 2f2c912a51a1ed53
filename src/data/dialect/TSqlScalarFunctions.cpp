// TSqlScalarFunctions: one small callback per function; the conversions
// themselves live in TSqlConversions.
#include "data/dialect/TSqlScalarFunctions.h"

#include <sqlite3.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "data/dialect/TSqlCollation.h"
#include "data/dialect/TSqlConversions.h"
#include "data/dialect/TSqlDateText.h"
#include "data/dialect/TSqlLike.h"
#include "data/dialect/Token.h"
#include "data/dialect/modSqlFunctions.h"

namespace fabrikon::dialect {

namespace {

using sqlfn::Text;
using sqlfn::DataError;
using sqlfn::ConversionFailed;

using C = TSqlConversions;

void ResultText(sqlite3_context* ctx, const std::string& text) {
  sqlite3_result_text(ctx, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

void Overflow(sqlite3_context* ctx, std::string_view type) {
  DataError(ctx, "Arithmetic overflow error converting expression to data type " + std::string(type) + ".");
}

constexpr const char* kDateOutOfRange =
    "The conversion of a varchar data type to a datetime data type resulted in an out-of-range value.";

bool AnyNull(int argc, sqlite3_value** argv) {
  for (int i = 0; i < argc; ++i)
    if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return true;
  return false;
}

// A value as a number: numbers as they are, text parsed (blank -> 0 when
// blankIsZero). False when the text is not a number.
bool AsNumber(sqlite3_value* v, double& out, bool blankIsZero) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: out = static_cast<double>(sqlite3_value_int64(v)); return true;
    case SQLITE_FLOAT: out = sqlite3_value_double(v); return true;
    case SQLITE_TEXT:
      if (blankIsZero && C::Trim(Text(v)).empty()) {
        out = 0;
        return true;
      }
      return C::ParseNumber(Text(v), out);
    default: return false;
  }
}

// datetime holds 1753-01-01 to 9999-12-31.
bool InDateRange(const DateTime& d) { return d.year >= 1753 && d.year <= 9999; }

// A value as a date: text parsed, numbers as days since 1900-01-01. Reports
// the error (as SQL Server words it) and answers false when it is none.
bool ReadDate(sqlite3_context* ctx, sqlite3_value* v, DateTime& out, int style = 0, bool asDate = false) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT: {
      // Serial days of 1753-01-01 and of the day after 9999-12-31.
      const double serial = sqlite3_value_double(v);
      if (!(serial >= -53690.0 && serial < 2958464.0)) {
        Overflow(ctx, "datetime");
        return false;
      }
      out = C::FromSerial(serial);
      return true;
    }
    case SQLITE_TEXT:
      if (C::Trim(Text(v)).empty()) {
        out = C::FromDayNumber(0);
        return true;
      }
      switch (C::ReadDate(Text(v), style, out)) {
        case C::DateRead::Ok: return true;
        case C::DateRead::OutOfRange:
          // datetime words an impossible day as out of range; date as a failed conversion.
          if (!asDate) {
            DataError(ctx, kDateOutOfRange);
            return false;
          }
          [[fallthrough]];
        default:
          DataError(ctx, "Conversion failed when converting date and/or time from character string.");
          return false;
      }
    default:
      DataError(ctx, "Conversion failed when converting date and/or time from character string.");
      return false;
  }
}

// ---- conversions -------------------------------------------------------

void Money(sqlite3_context* ctx, int, sqlite3_value** argv) {
  sqlite3_value* v = argv[0];
  int64_t units = 0;
  switch (sqlite3_value_type(v)) {
    case SQLITE_NULL: return sqlite3_result_null(ctx);
    case SQLITE_INTEGER: return sqlite3_result_double(ctx, static_cast<double>(sqlite3_value_int64(v)));
    case SQLITE_FLOAT: return sqlite3_result_double(ctx, C::MoneyUnits(sqlite3_value_double(v)) / 10000.0);
    case SQLITE_TEXT:
      if (C::Trim(Text(v)).empty()) return sqlite3_result_double(ctx, 0.0);
      if (!C::ParseMoney(Text(v), units)) return ConversionFailed(ctx, Text(v), "money");
      return sqlite3_result_double(ctx, units / 10000.0);
    default: return ConversionFailed(ctx, "(binary)", "money");
  }
}

// The row version as SQL Server's convert(money, timestamp) reads it: the
// counter taken as money's ten-thousandths.
bool RowVersionUnits(sqlite3_value* v, int64_t& units) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: units = sqlite3_value_int64(v); return true;
    case SQLITE_FLOAT: units = std::llround(sqlite3_value_double(v)); return true;
    // The counter as text, or the money text a view delivers ('0.0038').
    case SQLITE_TEXT: return C::ParseInteger(Text(v), units) || C::ParseMoney(Text(v), units);
    case SQLITE_BLOB: {
      const auto* bytes = static_cast<const unsigned char*>(sqlite3_value_blob(v));
      const int size = sqlite3_value_bytes(v);
      if (size != 8) return false;
      uint64_t n = 0;
      for (int i = 0; i < 8; ++i) n = (n << 8) | bytes[i];
      units = static_cast<int64_t>(n);
      return true;
    }
    default: return false;
  }
}

void MoneyFromRowVersion(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  int64_t units = 0;
  if (!RowVersionUnits(argv[0], units)) return ConversionFailed(ctx, Text(argv[0]), "money");
  sqlite3_result_double(ctx, units / 10000.0);
}

void RowVersionText(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  int64_t units = 0;
  if (!RowVersionUnits(argv[0], units)) return ConversionFailed(ctx, Text(argv[0]), "money");
  ResultText(ctx, C::FormatMoney(units, 2));
}

// tsql_money_str(m, length, style, padded); tsql_char_money2(m) is (m, 30, 2, 1).
void MoneyText(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  const long length = argc > 1 ? sqlite3_value_int(argv[1]) : 30;
  const int style = argc > 2 ? sqlite3_value_int(argv[2]) : 2;
  const bool padded = argc > 3 ? sqlite3_value_int(argv[3]) != 0 : true;
  int64_t units = 0;
  if (sqlite3_value_type(argv[0]) == SQLITE_TEXT) {
    if (!C::ParseMoney(Text(argv[0]), units)) return ConversionFailed(ctx, Text(argv[0]), "money");
  } else {
    units = C::MoneyUnits(sqlite3_value_double(argv[0]));
  }
  std::string text = C::FormatMoney(units, style);
  if (length >= 0 && static_cast<long>(text.size()) > length) text = "*";
  ResultText(ctx, C::FitText(std::move(text), length, padded));
}

// The text of a text value converted to text. A datetime reaches a function
// as text in its stored form and takes the style's date form (style 0:
// 'Mon dd yyyy hh:miAM'); style -1 marks a source that is text by its
// form (a literal, a text function), which keeps its text as SQL Server
// ignores the style of a character source. Dates in other forms (older
// rows) take an explicit style.
std::string TextOrDateText(std::string_view text, int style) {
  std::string out;
  if (style >= 0 && TSqlDateText::IsStored(text) &&
      TSqlDateText::Format(TSqlDateText::ReadStored(text), style, out))
    return out;
  DateTime date;
  if (style > 0 && C::ParseDate(text, date)) return C::FormatDate(date, style);
  return std::string(text);
}

// tsql_str(x, length, style, flags): flags 1 pads to length, 2 national.
void String(sqlite3_context* ctx, int, sqlite3_value** argv) {
  sqlite3_value* v = argv[0];
  const long length = sqlite3_value_int(argv[1]);
  const int style = sqlite3_value_int(argv[2]);
  const bool padded = (sqlite3_value_int(argv[3]) & 1) != 0;
  const bool national = (sqlite3_value_int(argv[3]) & 2) != 0;
  std::string text;
  switch (sqlite3_value_type(v)) {
    case SQLITE_NULL: return sqlite3_result_null(ctx);
    case SQLITE_INTEGER: text = std::to_string(sqlite3_value_int64(v)); break;
    case SQLITE_FLOAT: text = C::FormatNumber(sqlite3_value_double(v)); break;
    default: return ResultText(ctx, C::FitText(TextOrDateText(Text(v), style), length, padded));
  }
  // A number that does not fit shows as '*', as in SQL Server; in a
  // national text an int that does not fit is refused.
  if (length >= 0 && static_cast<long>(text.size()) > length) {
    if (national && sqlite3_value_type(v) == SQLITE_INTEGER) return Overflow(ctx, padded ? "nchar" : "nvarchar");
    text = "*";
  }
  ResultText(ctx, C::FitText(std::move(text), length, padded));
}

const char* IntTypeName(int bits) {
  return bits == 64 ? "bigint" : bits == 16 ? "smallint" : bits == 8 ? "tinyint" : "int";
}

// tinyint and smallint name the value that does not fit; int and bigint
// only the type.
void IntOverflow(sqlite3_context* ctx, int bits, int64_t value, bool exact) {
  if ((bits == 8 || bits == 16) && exact)
    return DataError(ctx, "Arithmetic overflow error for data type " + std::string(IntTypeName(bits)) +
                              ", value = " + std::to_string(value) + ".");
  Overflow(ctx, IntTypeName(bits));
}

// tsql_int(x, bits)
void Integer(sqlite3_context* ctx, int, sqlite3_value** argv) {
  sqlite3_value* v = argv[0];
  const int bits = sqlite3_value_int(argv[1]);
  int64_t value = 0;
  switch (sqlite3_value_type(v)) {
    case SQLITE_NULL: return sqlite3_result_null(ctx);
    case SQLITE_INTEGER: value = sqlite3_value_int64(v); break;
    case SQLITE_FLOAT: {
      const double d = std::trunc(sqlite3_value_double(v));
      if (!(std::fabs(d) < 9.2e18)) return Overflow(ctx, IntTypeName(bits));
      value = static_cast<int64_t>(d);
      break;
    }
    case SQLITE_TEXT:
      if (C::Trim(Text(v)).empty()) break;
      if (TSqlDateText::IsStored(Text(v))) {  // a datetime: its day, rounded as SQL Server rounds it
        value = static_cast<int64_t>(std::floor(TSqlDateText::Serial(TSqlDateText::ReadStored(Text(v))) + 0.5));
        break;
      }
      if (!C::ParseInteger(Text(v), value)) return ConversionFailed(ctx, Text(v), IntTypeName(bits));
      break;
    default: return ConversionFailed(ctx, "(binary)", IntTypeName(bits));
  }
  const int64_t low = bits == 8 ? 0 : bits == 16 ? -32768 : bits == 32 ? INT32_MIN : INT64_MIN;
  const int64_t high = bits == 8 ? 255 : bits == 16 ? 32767 : bits == 32 ? INT32_MAX : INT64_MAX;
  if (value < low || value > high) return IntOverflow(ctx, bits, value, sqlite3_value_type(v) == SQLITE_INTEGER);
  sqlite3_result_int64(ctx, value);
}

// The type a value converted to numeric is named by in an overflow: the
// caller's word for it when given (a float literal), else as it is stored.
std::string DecimalSource(int argc, sqlite3_value** argv) {
  if (argc > 3) return std::string(Text(argv[3]));
  switch (sqlite3_value_type(argv[0])) {
    case SQLITE_INTEGER: return "int";
    case SQLITE_TEXT: return "varchar";
    default: return "numeric";
  }
}

// tsql_decimal(x, precision, scale[, source type])
void Decimal(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  const int precision = sqlite3_value_int(argv[1]);
  const int scale = sqlite3_value_int(argv[2]);
  double value = 0;
  // SQL Server words a text that is no number differently for numeric.
  if (!AsNumber(argv[0], value, false)) return DataError(ctx, "Error converting data type varchar to numeric.");
  const double rounded = C::RoundDecimal(value, scale);
  if (std::fabs(rounded) >= std::pow(10.0, precision - scale))
    return DataError(ctx, "Arithmetic overflow error converting " + DecimalSource(argc, argv) +
                              " to data type numeric.");
  if (scale == 0) return sqlite3_result_int64(ctx, static_cast<int64_t>(rounded));
  sqlite3_result_double(ctx, rounded);
}

void Float(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  if (sqlite3_value_type(argv[0]) == SQLITE_TEXT && TSqlDateText::IsStored(Text(argv[0])))  // a datetime
    return sqlite3_result_double(ctx, TSqlDateText::Serial(TSqlDateText::ReadStored(Text(argv[0]))));
  double value = 0;
  if (!AsNumber(argv[0], value, true)) return ConversionFailed(ctx, Text(argv[0]), "float");
  sqlite3_result_double(ctx, value);
}

void Bit(sqlite3_context* ctx, int, sqlite3_value** argv) {
  sqlite3_value* v = argv[0];
  if (sqlite3_value_type(v) == SQLITE_NULL) return sqlite3_result_null(ctx);
  if (sqlite3_value_type(v) == SQLITE_TEXT) {
    const std::string_view text = C::Trim(Text(v));
    Token word;
    word.text = text;
    if (word.IsWord("true")) return sqlite3_result_int(ctx, 1);
    if (word.IsWord("false")) return sqlite3_result_int(ctx, 0);
  }
  double value = 0;
  if (!AsNumber(v, value, true)) return ConversionFailed(ctx, Text(v), "bit");
  sqlite3_result_int(ctx, value != 0 ? 1 : 0);
}

// tsql_datetime(x, style) and tsql_date(x, style) (the latter at midnight)
void DateTimeValue(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  DateTime date;
  const int style = argc > 1 ? sqlite3_value_int(argv[1]) : 0;
  const bool asDate = sqlite3_user_data(ctx) != nullptr;
  if (!ReadDate(ctx, argv[0], date, style, asDate)) return;
  if (asDate) {
    date.hour = date.minute = date.second = 0;
    return ResultText(ctx, C::CanonicalDate(date));
  }
  if (sqlite3_value_type(argv[0]) != SQLITE_TEXT) return ResultText(ctx, C::CanonicalDate(date));
  ResultText(ctx, TSqlDateText::Stored(TSqlDateText::WithFraction(date, Text(argv[0]))));
}

// tsql_blank(column): what '' becomes when compared with the column's value.
void Blank(sqlite3_context* ctx, int, sqlite3_value** argv) {
  switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL: return sqlite3_result_null(ctx);
    case SQLITE_INTEGER: return sqlite3_result_int(ctx, 0);
    case SQLITE_FLOAT: return sqlite3_result_double(ctx, 0.0);
    default: return sqlite3_result_text(ctx, "", 0, SQLITE_STATIC);
  }
}

// Two ints give an int (a sum past its range overflows); a bigint operand
// makes the sum a bigint.
void AddIntegers(sqlite3_context* ctx, int64_t x, int64_t y) {
  auto isInt = [](int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; };
  long long sum = 0;
  if (__builtin_add_overflow(x, y, &sum)) return Overflow(ctx, "bigint");
  if (isInt(x) && isInt(y) && !isInt(sum)) return Overflow(ctx, "int");
  sqlite3_result_int64(ctx, sum);
}

// tsql_add(a, b): T-SQL's "+" when the text cannot tell the operand types:
// two texts are joined, anything else is added (a text operand converted to
// a number, as T-SQL converts it).
void Add(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  const int a = sqlite3_value_type(argv[0]), b = sqlite3_value_type(argv[1]);
  if (a == SQLITE_TEXT && b == SQLITE_TEXT) return ResultText(ctx, std::string(Text(argv[0])) + std::string(Text(argv[1])));
  if (a == SQLITE_INTEGER && b == SQLITE_INTEGER)
    return AddIntegers(ctx, sqlite3_value_int64(argv[0]), sqlite3_value_int64(argv[1]));
  // Text with an integer converts to int, as int outranks the character types.
  if ((a == SQLITE_TEXT && b == SQLITE_INTEGER) || (a == SQLITE_INTEGER && b == SQLITE_TEXT)) {
    sqlite3_value* text = a == SQLITE_TEXT ? argv[0] : argv[1];
    int64_t value = 0;
    if (!C::Trim(Text(text)).empty() && !C::ParseInteger(Text(text), value))
      return ConversionFailed(ctx, Text(text), "int");
    return AddIntegers(ctx, value, sqlite3_value_int64(a == SQLITE_TEXT ? argv[1] : argv[0]));
  }
  double x = 0, y = 0;
  if (!AsNumber(argv[0], x, true)) return ConversionFailed(ctx, Text(argv[0]), "numeric");
  if (!AsNumber(argv[1], y, true)) return ConversionFailed(ctx, Text(argv[1]), "numeric");
  const bool integral = a != SQLITE_FLOAT && b != SQLITE_FLOAT && x == std::trunc(x) && y == std::trunc(y) &&
                        std::fabs(x) < 9e15 && std::fabs(y) < 9e15;
  if (integral) return sqlite3_result_int64(ctx, static_cast<int64_t>(x) + static_cast<int64_t>(y));
  sqlite3_result_double(ctx, x + y);
}

// ---- numeric functions -------------------------------------------------

constexpr const char* kInvalidFloat = "An invalid floating point operation occurred.";

// An integer rounded in integers, so that no digit of a bigint is lost.
void RoundInteger(sqlite3_context* ctx, int64_t value, int64_t length, bool truncate) {
  if (length >= 0) return sqlite3_result_int64(ctx, value);
  if (length < -18) return sqlite3_result_int64(ctx, 0);
  int64_t unit = 1;
  for (int64_t i = 0; i < -length; ++i) unit *= 10;
  int64_t whole = value / unit;
  const int64_t rest = value % unit < 0 ? -(value % unit) : value % unit;
  if (!truncate && rest >= unit - rest) whole += value < 0 ? -1 : 1;
  long long result = 0;
  if (__builtin_mul_overflow(whole, unit, &result)) return Overflow(ctx, "bigint");
  sqlite3_result_int64(ctx, result);
}

// round(x, length[, truncate]): a negative length rounds left of the point;
// an integer stays an integer.
void Round(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  const int64_t length = std::clamp<int64_t>(sqlite3_value_int64(argv[1]), -38, 38);
  const bool truncate = argc > 2 && sqlite3_value_int64(argv[2]) != 0;
  if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER)
    return RoundInteger(ctx, sqlite3_value_int64(argv[0]), length, truncate);
  double value = 0;
  if (!AsNumber(argv[0], value, false)) return ConversionFailed(ctx, Text(argv[0]), "float");
  const double factor = std::pow(10.0, static_cast<double>(length));
  const double rounded = truncate ? std::trunc(value * factor * (1.0 + 4 * DBL_EPSILON)) / factor
                                  : C::RoundDecimal(value, static_cast<int>(length));
  sqlite3_result_double(ctx, rounded);
}

// power(x, y) has the type of x: an int's power is truncated to an int
// (power(2, -1) is 0) and overflows past int's range.
void Power(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  double x = 0, y = 0;
  if (!AsNumber(argv[0], x, false)) return ConversionFailed(ctx, Text(argv[0]), "float");
  if (!AsNumber(argv[1], y, false)) return ConversionFailed(ctx, Text(argv[1]), "float");
  const double result = std::pow(x, y);
  if (std::isnan(result)) return DataError(ctx, kInvalidFloat);
  if (sqlite3_value_type(argv[0]) != SQLITE_INTEGER) {
    if (std::isinf(result)) return Overflow(ctx, "float");
    return sqlite3_result_double(ctx, result);
  }
  const int64_t base = sqlite3_value_int64(argv[0]);
  const bool isInt = base >= INT32_MIN && base <= INT32_MAX;
  const double whole = std::trunc(result);
  if (isInt && !(whole >= INT32_MIN && whole <= INT32_MAX)) return Overflow(ctx, "int");
  if (!(std::fabs(whole) < 9.2e18)) return Overflow(ctx, "bigint");
  sqlite3_result_int64(ctx, static_cast<int64_t>(whole));
}

void SquareRoot(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  double x = 0;
  if (!AsNumber(argv[0], x, false)) return ConversionFailed(ctx, Text(argv[0]), "float");
  if (x < 0) return DataError(ctx, kInvalidFloat);
  sqlite3_result_double(ctx, std::sqrt(x));
}

// ---- T-SQL functions ---------------------------------------------------

std::string Now(bool utc) {
  const std::time_t now = std::time(nullptr);
  std::tm parts{};
  if (utc)
    gmtime_r(&now, &parts);
  else
    localtime_r(&now, &parts);
  DateTime d;
  d.year = parts.tm_year + 1900;
  d.month = parts.tm_mon + 1;
  d.day = parts.tm_mday;
  d.hour = parts.tm_hour;
  d.minute = parts.tm_min;
  d.second = parts.tm_sec;
  return C::CanonicalDate(d);
}

// The last number an identity column gave on this connection (the numbering
// trigger notes it), for SCOPE_IDENTITY() and @@IDENTITY.
struct LastIdentity {
  bool set = false;
  sqlite3_int64 value = 0;
};

void NoteIdentity(sqlite3_context* ctx, int, sqlite3_value** argv) {
  auto* last = static_cast<LastIdentity*>(sqlite3_user_data(ctx));
  if (sqlite3_value_type(argv[0]) != SQLITE_NULL) *last = {true, sqlite3_value_int64(argv[0])};
  sqlite3_result_value(ctx, argv[0]);
}

void ScopeIdentity(sqlite3_context* ctx, int, sqlite3_value**) {
  const auto* last = static_cast<const LastIdentity*>(sqlite3_user_data(ctx));
  if (last->set) sqlite3_result_int64(ctx, last->value);
  else sqlite3_result_null(ctx);
}

void GetDate(sqlite3_context* ctx, int, sqlite3_value**) { ResultText(ctx, Now(sqlite3_user_data(ctx) != nullptr)); }

std::string ValueText(sqlite3_value* v) {
  if (sqlite3_value_type(v) == SQLITE_FLOAT) return C::FormatNumber(sqlite3_value_double(v));
  return std::string(Text(v));
}

// len(x): characters without the trailing blanks.
void Len(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  std::string text = ValueText(argv[0]);
  while (!text.empty() && text.back() == ' ') text.pop_back();
  sqlite3_result_int64(ctx, static_cast<int64_t>(C::CharacterCount(text)));
}

// charindex(find, text [, start]): 1-based character position, 0 when absent;
// compares as the collation does (without regard to case).
void CharIndex(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  const std::string find = ValueText(argv[0]), text = ValueText(argv[1]);
  const int64_t start = argc > 2 ? sqlite3_value_int64(argv[2]) : 1;
  std::u32string folded, needle;
  for (size_t p = 0; p < text.size();) folded += TSqlCollation::Fold(TSqlCollation::Next(text, p));
  for (size_t p = 0; p < find.size();) needle += TSqlCollation::Fold(TSqlCollation::Next(find, p));
  if (needle.empty()) return sqlite3_result_int(ctx, 0);
  const size_t from = start > 1 ? static_cast<size_t>(start - 1) : 0;
  const size_t found = folded.find(needle, from);
  sqlite3_result_int64(ctx, found == std::u32string::npos ? 0 : static_cast<int64_t>(found + 1));
}

// tsql_left(text, n) / tsql_right(text, n), counted in characters.
void LeftRight(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  const std::string text = ValueText(argv[0]);
  const int64_t n = sqlite3_value_int64(argv[1]);
  const bool right = sqlite3_user_data(ctx) != nullptr;
  if (n < 0)
    return sqlite3_result_error(
        ctx, right ? "Invalid length parameter passed to the right function."
                   : "Invalid length parameter passed to the left function.", -1);
  const size_t count = C::CharacterCount(text);
  const size_t skip = right && static_cast<size_t>(n) < count ? count - static_cast<size_t>(n) : 0;
  const size_t take = right ? count - skip : std::min(count, static_cast<size_t>(n));
  size_t begin = text.size(), end = text.size(), index = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
    if (index == skip) begin = i;
    if (index == skip + take) {
      end = i;
      break;
    }
    ++index;
  }
  if (take == 0) begin = end;
  ResultText(ctx, text.substr(begin, end - begin));
}

void Replicate(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  const std::string unit = argc == 2 ? ValueText(argv[0]) : " ";
  const int64_t n = sqlite3_value_int64(argv[argc - 1]);
  if (n < 0) return sqlite3_result_null(ctx);
  if (static_cast<uint64_t>(n) * unit.size() > 8000000) return sqlite3_result_error_toobig(ctx);
  std::string out;
  for (int64_t i = 0; i < n; ++i) out += unit;
  ResultText(ctx, out);
}

// substring(text, start, length): the characters from start to
// start + length - 1 that exist (a start before 1 shortens the result).
void Substring(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  // SQL Server takes only text and binary here; an int is refused, not converted.
  if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER)
    return sqlite3_result_error(ctx, "Argument data type int is invalid for argument 1 of substring function.", -1);
  const int64_t start = sqlite3_value_int64(argv[1]), length = sqlite3_value_int64(argv[2]);
  if (length < 0) return sqlite3_result_error(ctx, "Invalid length parameter passed to the substring function.", -1);
  const std::string text = ValueText(argv[0]);
  const int64_t first = std::max<int64_t>(start, 1);
  const int64_t last = start > INT64_MAX - length ? INT64_MAX : start + length;  // exclusive
  size_t begin = text.size(), end = text.size();
  int64_t index = 0;  // 1-based position of the character at i
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
    ++index;
    if (index == first) begin = i;
    if (index == last) {
      end = i;
      break;
    }
  }
  if (begin >= end) return sqlite3_result_text(ctx, "", 0, SQLITE_STATIC);
  ResultText(ctx, text.substr(begin, end - begin));
}

// upper(x) / lower(x) for every letter the collation folds, not only ASCII.
void ChangeCase(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  const bool upper = sqlite3_user_data(ctx) != nullptr;
  const std::string text = ValueText(argv[0]);
  std::string out;
  out.reserve(text.size());
  for (size_t p = 0; p < text.size();) {
    const size_t at = p;
    const char32_t c = TSqlCollation::Next(text, p);
    const char32_t changed = upper ? TSqlCollation::Upper(c) : TSqlCollation::Lower(c);
    // A byte that is no character (p - at == 1 above 0x7F) stays as it was.
    if (changed == c || (p - at == 1 && c >= 0x80))
      out.append(text, at, p - at);
    else
      TSqlCollation::AppendUtf8(out, changed);
  }
  ResultText(ctx, out);
}

// ---- more string functions ---------------------------------------------

// The characters of a text with where each begins, so that a match found on
// the folded characters can be cut from the original bytes.
struct Characters {
  std::u32string folded;
  std::vector<size_t> at;  // byte offset of each character, plus the end
};

Characters Split(const std::string& text) {
  Characters out;
  for (size_t p = 0; p < text.size();) {
    out.at.push_back(p);
    out.folded += TSqlCollation::Fold(TSqlCollation::Next(text, p));
  }
  out.at.push_back(text.size());
  return out;
}

// datalength(x): bytes of the value. Text counts an ASCII character as one
// byte and any other as the two (four beyond the BMP) a national or
// double-byte text stores; an int is 4 bytes, a bigint and a float 8.
void DataLength(sqlite3_context* ctx, int, sqlite3_value** argv) {
  sqlite3_value* v = argv[0];
  switch (sqlite3_value_type(v)) {
    case SQLITE_NULL: return sqlite3_result_null(ctx);
    case SQLITE_INTEGER: {
      const int64_t n = sqlite3_value_int64(v);
      return sqlite3_result_int(ctx, n >= INT32_MIN && n <= INT32_MAX ? 4 : 8);
    }
    case SQLITE_FLOAT: return sqlite3_result_int(ctx, 8);
    case SQLITE_BLOB: return sqlite3_result_int(ctx, sqlite3_value_bytes(v));
    default: break;
  }
  const std::string_view text = Text(v);
  int64_t bytes = 0;
  for (size_t p = 0; p < text.size();) {
    const char32_t c = TSqlCollation::Next(text, p);
    bytes += c < 0x80 ? 1 : c > 0xFFFF ? 4 : 2;
  }
  sqlite3_result_int64(ctx, bytes);
}

// tsql_fixed_length(x, n): the datalength of a value of a fixed-size type.
void FixedLength(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  sqlite3_result_int(ctx, sqlite3_value_int(argv[1]));
}

// tsql_national_length(x): the datalength of Unicode text, two bytes a
// UTF-16 unit.
void NationalLength(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  const std::string_view text = Text(argv[0]);
  int64_t bytes = 0;
  for (size_t p = 0; p < text.size();) bytes += TSqlCollation::Next(text, p) > 0xFFFF ? 4 : 2;
  sqlite3_result_int64(ctx, bytes);
}

// concat(a, b, ...): the values' texts joined, NULL taken as ''.
void Concat(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (argc < 2 || argc > 254) return sqlite3_result_error(ctx, "The concat function requires 2 to 254 arguments.", -1);
  std::string out;
  for (int i = 0; i < argc; ++i)
    if (sqlite3_value_type(argv[i]) != SQLITE_NULL) out += ValueText(argv[i]);
  ResultText(ctx, out);
}

// replace(text, find, with): every occurrence, found as the collation
// compares (without regard to case).
void Replace(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  const std::string text = ValueText(argv[0]), find = ValueText(argv[1]), with = ValueText(argv[2]);
  const Characters chars = Split(text), needle = Split(find);
  if (needle.folded.empty()) return ResultText(ctx, text);
  std::string out;
  size_t done = 0;  // characters copied or replaced
  for (size_t hit = chars.folded.find(needle.folded); hit != std::u32string::npos;
       hit = chars.folded.find(needle.folded, done)) {
    out.append(text, chars.at[done], chars.at[hit] - chars.at[done]);
    out += with;
    done = hit + needle.folded.size();
  }
  out.append(text, chars.at[done], std::string::npos);
  ResultText(ctx, out);
}

// stuff(text, start, length, with): NULL when start lies outside the text or
// length is negative; a length past the end deletes to the end.
void Stuff(sqlite3_context* ctx, int, sqlite3_value** argv) {
  for (int i = 0; i < 3; ++i)
    if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  const std::string text = ValueText(argv[0]);
  const int64_t start = sqlite3_value_int64(argv[1]), length = sqlite3_value_int64(argv[2]);
  const Characters chars = Split(text);
  const auto count = static_cast<int64_t>(chars.folded.size());
  if (start < 1 || start > count || length < 0) return sqlite3_result_null(ctx);
  const int64_t end = std::min(count, start - 1 + length);
  std::string out = text.substr(0, chars.at[static_cast<size_t>(start - 1)]);
  if (sqlite3_value_type(argv[3]) != SQLITE_NULL) out += ValueText(argv[3]);
  out.append(text, chars.at[static_cast<size_t>(end)], std::string::npos);
  ResultText(ctx, out);
}

// patindex(pattern, text): where the LIKE pattern first matches, 0 when
// nowhere. A pattern without a leading % must match from the first character.
void PatIndex(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  const std::string pattern = ValueText(argv[0]), text = ValueText(argv[1]);
  const size_t rest = pattern.find_first_not_of('%');
  if (rest == 0 || rest == std::string::npos)
    return sqlite3_result_int(ctx, TSqlLike::Match(pattern, text) && !text.empty() ? 1 : 0);
  const std::string_view tail = std::string_view(pattern).substr(rest);
  const Characters chars = Split(text);
  for (size_t i = 0; i + 1 < chars.at.size(); ++i)
    if (TSqlLike::Match(tail, std::string_view(text).substr(chars.at[i])))
      return sqlite3_result_int64(ctx, static_cast<int64_t>(i + 1));
  sqlite3_result_int(ctx, 0);
}

// str(number [, length [, decimals]]): right-aligned in length characters
// (10), rounded to decimals (0, at most 16); fewer decimals when they do not
// fit, '*'s when the whole part does not.
void Str(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  double value = 0;
  if (!AsNumber(argv[0], value, false)) return ConversionFailed(ctx, Text(argv[0]), "float");
  const int64_t length = argc > 1 ? sqlite3_value_int64(argv[1]) : 10;
  int64_t decimals = argc > 2 ? std::clamp<int64_t>(sqlite3_value_int64(argv[2]), 0, 16) : 0;
  if (length < 1 || length > 8000) return sqlite3_result_null(ctx);
  auto format = [value](int64_t places) {
    // Half away from zero, where printf alone would round half to even.
    const double scale = std::pow(10.0, static_cast<double>(places));
    const double rounded = std::fabs(value * scale) < 1e17 ? std::round(value * scale) / scale : value;
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.*f", static_cast<int>(places), rounded);
    return std::string(buffer);
  };
  std::string text = format(decimals);
  while (static_cast<int64_t>(text.size()) > length && decimals > 0) text = format(--decimals);
  if (static_cast<int64_t>(text.size()) > length) text.assign(static_cast<size_t>(length), '*');
  ResultText(ctx, std::string(static_cast<size_t>(length) - text.size(), ' ') + text);
}

// ascii(x) / unicode(x): the code of the first character, NULL for ''.
void CharacterCode(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  const std::string text = ValueText(argv[0]);
  if (text.empty()) return sqlite3_result_null(ctx);
  size_t p = 0;
  sqlite3_result_int64(ctx, static_cast<int64_t>(TSqlCollation::Next(text, p)));
}

// char(n) for 0-255, nchar(n) for 0-65535 (user data: the highest code);
// NULL outside.
void CodeCharacter(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  const int64_t code = sqlite3_value_int64(argv[0]);
  const auto highest = reinterpret_cast<intptr_t>(sqlite3_user_data(ctx));
  if (code < 0 || code > highest) return sqlite3_result_null(ctx);
  std::string out;
  TSqlCollation::AppendUtf8(out, static_cast<char32_t>(code));
  ResultText(ctx, out);
}

// quotename(name [, quote]): the name in [], "", '', (), <>, {} or ``, the
// closing quote doubled inside; NULL past 128 characters or for another quote.
void QuoteName(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  const std::string name = ValueText(argv[0]);
  const std::string quote = argc > 1 ? ValueText(argv[1]) : "[";
  // Each accepted quote character with the pair it stands for.
  static const std::string_view given = "[]\"'()<>{}`", open = "[[\"'((<<{{`", close = "]]\"'))>>}}`";
  const size_t kind = quote.size() == 1 ? given.find(quote[0]) : std::string_view::npos;
  if (kind == std::string_view::npos || C::CharacterCount(name) > 128) return sqlite3_result_null(ctx);
  std::string out(1, open[kind]);
  for (char c : name) {
    out += c;
    if (c == close[kind]) out += c;
  }
  out += close[kind];
  ResultText(ctx, out);
}

// isnumeric(x): 1 when the text converts to any numeric type, money
// included ('$', '.', '+', '1,000', '1d2' all do).
void IsNumeric(sqlite3_context* ctx, int, sqlite3_value** argv) {
  switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL: return sqlite3_result_int(ctx, 0);
    case SQLITE_INTEGER:
    case SQLITE_FLOAT: return sqlite3_result_int(ctx, 1);
    default: sqlite3_result_int(ctx, C::IsNumericText(Text(argv[0])) ? 1 : 0);
  }
}

// tsql_divisor(x): the right operand of / and %, which must not be zero.
void Divisor(sqlite3_context* ctx, int, sqlite3_value** argv) {
  sqlite3_value* v = argv[0];
  double value = 1;
  if (sqlite3_value_type(v) != SQLITE_NULL && AsNumber(v, value, false) && value == 0)
    return DataError(ctx, "Divide by zero error encountered.");
  sqlite3_result_value(ctx, v);
}

// ---- dates -------------------------------------------------------------

enum class Part { Year, Quarter, Month, DayOfYear, Day, Week, Weekday, Hour, Minute, Second, Unknown };

Part ReadPart(std::string_view name) {
  Token t;
  t.text = name;
  auto is = [&t](std::initializer_list<std::string_view> names) {
    for (std::string_view n : names)
      if (t.IsWord(n)) return true;
    return false;
  };
  if (is({"year", "yy", "yyyy"})) return Part::Year;
  if (is({"quarter", "qq", "q"})) return Part::Quarter;
  if (is({"month", "mm", "m"})) return Part::Month;
  if (is({"dayofyear", "dy", "y"})) return Part::DayOfYear;
  if (is({"day", "dd", "d"})) return Part::Day;
  if (is({"week", "wk", "ww"})) return Part::Week;
  if (is({"weekday", "dw", "w"})) return Part::Weekday;
  if (is({"hour", "hh"})) return Part::Hour;
  if (is({"minute", "mi", "n"})) return Part::Minute;
  if (is({"second", "ss", "s"})) return Part::Second;
  return Part::Unknown;
}

int64_t SecondsOf(const DateTime& d) {
  return C::DayNumber(d.year, d.month, d.day) * 86400 + d.hour * 3600 + d.minute * 60 + d.second;
}

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0); }
int64_t FloorMod(int64_t a, int64_t b) { return a - FloorDiv(a, b) * b; }

// 1 = Sunday, as SQL Server's default DATEFIRST 7. Day 0 (1900-01-01) was a Monday.
int64_t Weekday(const DateTime& d) { return FloorMod(C::DayNumber(d.year, d.month, d.day) + 1, 7) + 1; }

int64_t PartValue(Part part, const DateTime& d) {
  switch (part) {
    case Part::Year: return d.year;
    case Part::Quarter: return (d.month - 1) / 3 + 1;
    case Part::Month: return d.month;
    case Part::DayOfYear: return C::DayNumber(d.year, d.month, d.day) - C::DayNumber(d.year, 1, 1) + 1;
    case Part::Day: return d.day;
    case Part::Week: {
      const int64_t jan1 = C::DayNumber(d.year, 1, 1);
      const int64_t jan1Weekday = FloorMod(jan1 + 1, 7);  // 0 = Sunday
      return (C::DayNumber(d.year, d.month, d.day) - jan1 + jan1Weekday) / 7 + 1;
    }
    case Part::Weekday: return Weekday(d);
    case Part::Hour: return d.hour;
    case Part::Minute: return d.minute;
    case Part::Second: return d.second;
    default: return 0;
  }
}

void DatePart(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  const Part part = ReadPart(Text(argv[0]));
  DateTime d;
  if (part == Part::Unknown) return sqlite3_result_error(ctx, "Invalid parameter 1 specified for datepart.", -1);
  if (!ReadDate(ctx, argv[1], d)) return;
  sqlite3_result_int64(ctx, PartValue(part, d));
}

void DateName(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  static const char* const months[] = {"January", "February", "March",     "April",   "May",      "June",
                                       "July",    "August",   "September", "October", "November", "December"};
  static const char* const days[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  const Part part = ReadPart(Text(argv[0]));
  DateTime d;
  if (part == Part::Unknown) return sqlite3_result_error(ctx, "Invalid parameter 1 specified for datename.", -1);
  if (!ReadDate(ctx, argv[1], d)) return;
  if (part == Part::Month) return sqlite3_result_text(ctx, months[d.month - 1], -1, SQLITE_STATIC);
  if (part == Part::Weekday) return sqlite3_result_text(ctx, days[Weekday(d) - 1], -1, SQLITE_STATIC);
  ResultText(ctx, std::to_string(PartValue(part, d)));
}

// datediff counts the boundaries of the part crossed between the two dates.
void DateDiff(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  const Part part = ReadPart(Text(argv[0]));
  DateTime a, b;
  if (part == Part::Unknown) return sqlite3_result_error(ctx, "Invalid parameter 1 specified for datediff.", -1);
  if (!ReadDate(ctx, argv[1], a) || !ReadDate(ctx, argv[2], b)) return;
  const int64_t da = C::DayNumber(a.year, a.month, a.day), db = C::DayNumber(b.year, b.month, b.day);
  int64_t result = 0;
  switch (part) {
    case Part::Year: result = b.year - a.year; break;
    case Part::Quarter: result = (b.year * 4 + (b.month - 1) / 3) - (a.year * 4 + (a.month - 1) / 3); break;
    case Part::Month: result = (b.year * 12 + b.month) - (a.year * 12 + a.month); break;
    case Part::Week: result = FloorDiv(db + 1, 7) - FloorDiv(da + 1, 7); break;  // weeks start on Sunday
    case Part::Hour: result = FloorDiv(SecondsOf(b), 3600) - FloorDiv(SecondsOf(a), 3600); break;
    case Part::Minute: result = FloorDiv(SecondsOf(b), 60) - FloorDiv(SecondsOf(a), 60); break;
    case Part::Second: result = SecondsOf(b) - SecondsOf(a); break;
    default: result = db - da; break;
  }
  if (result < INT32_MIN || result > INT32_MAX)
    return DataError(ctx, "The datediff function resulted in an overflow. The number of dateparts separating two "
                          "date/time instances is too large. Try to use datediff with a less precise datepart.");
  sqlite3_result_int64(ctx, result);
}

void DateAdd(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  const Part part = ReadPart(Text(argv[0]));
  DateTime d;
  if (part == Part::Unknown)
    return sqlite3_result_error(ctx, "Invalid parameter 1 specified for dateadd.", -1);
  // The number is an int: a larger one overflows before any date is computed.
  const double number = sqlite3_value_double(argv[1]);
  if (!(number > -2147483649.0 && number < 2147483648.0)) return Overflow(ctx, "int");
  const int64_t n = sqlite3_value_type(argv[1]) == SQLITE_INTEGER ? sqlite3_value_int64(argv[1])
                                                                  : static_cast<int64_t>(std::trunc(number));
  if (n < INT32_MIN || n > INT32_MAX) return Overflow(ctx, "int");
  if (!ReadDate(ctx, argv[2], d)) return;
  const char* overflow = "Adding a value to a 'datetime' column caused an overflow.";
  if (part == Part::Year || part == Part::Quarter || part == Part::Month) {
    const int64_t months = part == Part::Year ? n * 12 : part == Part::Quarter ? n * 3 : n;
    const int64_t total = d.year * 12 + (d.month - 1) + months;
    const int year = static_cast<int>(FloorDiv(total, 12)), month = static_cast<int>(total - FloorDiv(total, 12) * 12 + 1);
    d.year = year;
    d.month = month;
    d.day = std::min(d.day, C::DaysInMonth(year, month));
    if (!InDateRange(d)) return DataError(ctx, overflow);
    return ResultText(ctx, C::CanonicalDate(d));
  }
  const int64_t unit = part == Part::Hour ? 3600 : part == Part::Minute ? 60 : part == Part::Second ? 1
                       : part == Part::Week ? 7 * 86400 : 86400;
  const int64_t seconds = SecondsOf(d) + n * unit;
  DateTime out = C::FromDayNumber(FloorDiv(seconds, 86400));
  const int64_t rest = seconds - FloorDiv(seconds, 86400) * 86400;
  out.hour = static_cast<int>(rest / 3600);
  out.minute = static_cast<int>(rest / 60 % 60);
  out.second = static_cast<int>(rest % 60);
  if (!InDateRange(out)) return DataError(ctx, overflow);
  ResultText(ctx, C::CanonicalDate(out));
}

// eomonth(date [, months]): the last day of the month, months later; a date.
void EndOfMonth(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
  DateTime d;
  if (!ReadDate(ctx, argv[0], d)) return;
  const int64_t total = d.year * 12 + (d.month - 1) + (argc > 1 ? sqlite3_value_int64(argv[1]) : 0);
  d.year = static_cast<int>(FloorDiv(total, 12));
  d.month = static_cast<int>(FloorMod(total, 12) + 1);
  if (!InDateRange(d)) return DataError(ctx, "Adding a value to a 'date' column caused an overflow.");
  d.day = C::DaysInMonth(d.year, d.month);
  d.hour = d.minute = d.second = 0;
  ResultText(ctx, C::CanonicalDate(d));
}

void DateField(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  DateTime d;
  if (!ReadDate(ctx, argv[0], d)) return;
  const auto part = static_cast<Part>(reinterpret_cast<intptr_t>(sqlite3_user_data(ctx)));
  sqlite3_result_int64(ctx, PartValue(part, d));
}

// ---- registration ------------------------------------------------------

void Define(sqlite3* db, const char* name, int args, void (*fn)(sqlite3_context*, int, sqlite3_value**),
            void* data = nullptr, bool deterministic = true) {
  const int flags = SQLITE_UTF8 | (deterministic ? SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS : 0);
  sqlite3_create_function_v2(db, name, args, flags, data, fn, nullptr, nullptr, nullptr);
}

void* Flag() { return reinterpret_cast<void*>(static_cast<intptr_t>(1)); }
void* PartData(Part p) { return reinterpret_cast<void*>(static_cast<intptr_t>(p)); }

}  // namespace

void TSqlScalarFunctions::Register(sqlite3* db) {
  Define(db, "tsql_money", 1, Money);
  Define(db, "tsql_money_rv", 1, MoneyFromRowVersion);
  Define(db, "tsql_rowversion", 1, RowVersionText);
  Define(db, "tsql_char_money2", 1, MoneyText);
  Define(db, "tsql_money_str", 4, MoneyText);
  Define(db, "tsql_str", 4, String);
  Define(db, "tsql_int", 2, Integer);
  Define(db, "tsql_decimal", 3, Decimal);
  Define(db, "tsql_decimal", 4, Decimal);
  Define(db, "round", 2, Round);
  Define(db, "round", 3, Round);
  Define(db, "power", 2, Power);
  Define(db, "sqrt", 1, SquareRoot);
  Define(db, "tsql_float", 1, Float);
  Define(db, "tsql_bit", 1, Bit);
  Define(db, "tsql_datetime", 2, DateTimeValue);
  Define(db, "tsql_datetime", 1, DateTimeValue);
  Define(db, "tsql_date", 2, DateTimeValue, Flag());
  Define(db, "tsql_blank", 1, Blank);
  Define(db, "tsql_add", 2, Add);
  // The clock is read once per run of a statement, as SQL Server reads it once
  // per query (getdate() - getdate() is always 0): the engine evaluates a
  // deterministic call without arguments once, when the statement starts.
  Define(db, "getdate", 0, GetDate);
  auto* last = new LastIdentity;  // the connection owns it: freed with tsql_identity_note
  sqlite3_create_function_v2(db, "tsql_identity_note", 1, SQLITE_UTF8, last, NoteIdentity, nullptr, nullptr,
                             [](void* p) { delete static_cast<LastIdentity*>(p); });
  Define(db, "scope_identity", 0, ScopeIdentity, last, false);
  Define(db, "getutcdate", 0, GetDate, Flag());
  Define(db, "sysdatetime", 0, GetDate);
  Define(db, "len", 1, Len);
  Define(db, "charindex", 2, CharIndex);
  Define(db, "charindex", 3, CharIndex);
  Define(db, "tsql_left", 2, LeftRight);
  Define(db, "tsql_right", 2, LeftRight, Flag());
  Define(db, "replicate", 2, Replicate);
  Define(db, "space", 1, Replicate);
  Define(db, "isnumeric", 1, IsNumeric);
  Define(db, "substring", 3, Substring);
  Define(db, "upper", 1, ChangeCase, Flag());
  Define(db, "lower", 1, ChangeCase);
  Define(db, "tsql_divisor", 1, Divisor);
  Define(db, "tsql_datepart", 2, DatePart);
  Define(db, "tsql_datename", 2, DateName);
  Define(db, "tsql_datediff", 3, DateDiff);
  Define(db, "tsql_dateadd", 3, DateAdd);
  Define(db, "eomonth", 1, EndOfMonth);
  Define(db, "eomonth", 2, EndOfMonth);
  Define(db, "year", 1, DateField, PartData(Part::Year));
  Define(db, "month", 1, DateField, PartData(Part::Month));
  Define(db, "day", 1, DateField, PartData(Part::Day));
  // String functions SQL Server has that the engine lacks or has otherwise.
  Define(db, "datalength", 1, DataLength);
  Define(db, "tsql_fixed_length", 2, FixedLength);
  Define(db, "tsql_national_length", 1, NationalLength);
  Define(db, "concat", -1, Concat);
  Define(db, "replace", 3, Replace);
  Define(db, "stuff", 4, Stuff);
  Define(db, "patindex", 2, PatIndex);
  Define(db, "str", 1, Str);
  Define(db, "str", 2, Str);
  Define(db, "str", 3, Str);
  Define(db, "ascii", 1, CharacterCode);
  Define(db, "unicode", 1, CharacterCode);
  Define(db, "char", 1, CodeCharacter, reinterpret_cast<void*>(static_cast<intptr_t>(255)));
  Define(db, "nchar", 1, CodeCharacter, reinterpret_cast<void*>(static_cast<intptr_t>(65535)));
  Define(db, "quotename", 1, QuoteName);
  Define(db, "quotename", 2, QuoteName);
}

}  // namespace fabrikon::dialect
