// TSqlImplicitConversions: see the header.
#include "data/dialect/TSqlImplicitConversions.h"

#include <sqlite3.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "data/dialect/TSqlConversions.h"
#include "data/dialect/modSqlFunctions.h"

namespace fabrikon::dialect {

namespace {

using sqlfn::Text;

using C = TSqlConversions;

void Fail(sqlite3_context* ctx, const std::string& message) {
  sqlite3_result_error(ctx, message.c_str(), -1);
  sqlite3_result_error_code(ctx, SQLITE_MISMATCH);
}

void FailValue(sqlite3_context* ctx, std::string_view source, std::string_view value, std::string_view target) {
  Fail(ctx, "Conversion failed when converting the " + std::string(source) + " value '" + std::string(value) +
                "' to data type " + std::string(target) + ".");
}

void ToInteger(sqlite3_context* ctx, std::string_view text, std::string_view source, std::string_view target) {
  int64_t value = 0;
  if (!C::Trim(text).empty() && !C::ParseInteger(text, value)) return FailValue(ctx, source, text, target);
  const int64_t low = target == "tinyint" ? 0 : target == "smallint" ? -32768 : target == "int" ? INT32_MIN : INT64_MIN;
  const int64_t high = target == "tinyint" ? 255 : target == "smallint" ? 32767 : target == "int" ? INT32_MAX : INT64_MAX;
  if (value < low || value > high)
    return Fail(ctx, "The conversion of the " + std::string(source) + " value '" + std::string(text) +
                         "' overflowed an " + std::string(target) + " column. Use a larger integer column.");
  sqlite3_result_int64(ctx, value);
}

// A key compared with an int column usually arrives as quoted digits: up to
// nine plain digits are the int (or bigint) ParseInteger would read, within
// range, without the parsing.
bool PlainDigits(std::string_view text, int64_t& value) {
  if (text.empty() || text.size() > 9) return false;
  value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return true;
}

void ResultNumber(sqlite3_context* ctx, double value) {
  if (value == std::trunc(value) && std::fabs(value) < 9e15) return sqlite3_result_int64(ctx, static_cast<int64_t>(value));
  sqlite3_result_double(ctx, value);
}

// The month of a name ("Feb", "february"), 0 when it names none.
int MonthOf(std::string_view word) {
  static const char* const names[] = {"january", "february", "march",     "april",   "may",      "june",
                                      "july",    "august",   "september", "october", "november", "december"};
  if (word.size() < 3) return 0;
  for (int m = 0; m < 12; ++m) {
    const std::string_view name = names[m];
    if (word.size() > name.size()) continue;
    bool same = true;
    for (size_t i = 0; i < word.size() && same; ++i) same = (word[i] | 0x20) == name[i];
    if (same && (word.size() == 3 || word.size() == name.size())) return m + 1;
  }
  return 0;
}

bool Whole(std::string_view text, int& value) {
  if (text.empty() || text.size() > 4) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return true;
}

// The forms with the month's name: "Feb 29 2008", "29 Feb 2008", "February
// 29, 2008", each with an optional time of day ("10:30[:ss][AM|PM]").
C::DateRead ReadNamedMonth(std::string_view text, DateTime& out) {
  std::string_view words[4];
  size_t count = 0, i = 0;
  while (i < text.size() && count < 4) {
    while (i < text.size() && (text[i] == ' ' || text[i] == ',')) ++i;
    const size_t start = i;
    while (i < text.size() && text[i] != ' ' && text[i] != ',') ++i;
    if (i > start) words[count++] = text.substr(start, i - start);
  }
  while (i < text.size() && text[i] == ' ') ++i;
  if (count < 3 || i < text.size()) return C::DateRead::Malformed;
  int month = MonthOf(words[0]), day = 0, year = 0;
  const bool dayFirst = month == 0;
  if (dayFirst) month = MonthOf(words[1]);
  if (month == 0 || !Whole(words[dayFirst ? 0 : 1], day) || !Whole(words[2], year) || words[2].size() != 4)
    return C::DateRead::Malformed;
  DateTime time;
  if (count == 4 && C::ReadDate("1900-01-01 " + std::string(words[3]), 0, time) != C::DateRead::Ok)
    return C::DateRead::Malformed;
  if (year < 1753 || day < 1 || day > C::DaysInMonth(year, month)) return C::DateRead::OutOfRange;
  out = time;
  out.year = year;
  out.month = month;
  out.day = day;
  return C::DateRead::Ok;
}

C::DateRead ReadAnyDate(std::string_view text, DateTime& date) {
  const C::DateRead read = C::ReadDate(text, 0, date);
  if (read != C::DateRead::Malformed) return read;
  return ReadNamedMonth(C::Trim(text), date);
}

void ToDate(sqlite3_context* ctx, std::string_view text, std::string_view source, bool dateOnly) {
  DateTime date;
  if (C::Trim(text).empty()) {
    date = C::FromDayNumber(0);
  } else {
    switch (ReadAnyDate(text, date)) {
      case C::DateRead::Ok: break;
      case C::DateRead::OutOfRange:
        return Fail(ctx, "The conversion of a " + std::string(source) +
                             " data type to a datetime data type resulted in an out-of-range value.");
      case C::DateRead::Malformed:
        return Fail(ctx, "Conversion failed when converting date and/or time from character string.");
    }
  }
  if (dateOnly) date.hour = date.minute = date.second = 0;
  const std::string canonical = C::CanonicalDate(date);
  sqlite3_result_text(ctx, canonical.data(), static_cast<int>(canonical.size()), SQLITE_TRANSIENT);
}

bool SameWord(std::string_view text, std::string_view word) {
  const std::string_view trimmed = C::Trim(text);
  if (trimmed.size() != word.size()) return false;
  for (size_t i = 0; i < word.size(); ++i)
    if ((trimmed[i] | 0x20) != word[i]) return false;
  return true;
}

bool IsTruthWord(std::string_view text) { return SameWord(text, "true") || SameWord(text, "false"); }

void ToBit(sqlite3_context* ctx, std::string_view text, std::string_view source) {
  const std::string_view trimmed = C::Trim(text);
  if (SameWord(text, "true")) return sqlite3_result_int(ctx, 1);
  if (SameWord(text, "false")) return sqlite3_result_int(ctx, 0);
  double value = 0;
  if (!C::ParseNumber(trimmed, value)) return FailValue(ctx, source, text, "bit");
  sqlite3_result_int(ctx, value != 0 ? 1 : 0);
}

// tsql_as(x, target, source[, lenient])
void As(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  sqlite3_value* v = argv[0];
  if (sqlite3_value_type(v) != SQLITE_TEXT) return sqlite3_result_value(ctx, v);
  const std::string_view text = Text(v);
  const std::string_view target = Text(argv[1]);
  int64_t digits = 0;
  if ((target == "int" || target == "bigint") && PlainDigits(text, digits)) return sqlite3_result_int64(ctx, digits);
  const std::string_view source = Text(argv[2]);
  if (argc > 3 && sqlite3_value_int(argv[3]) != 0) {
    double number = 0;
    if (!C::Trim(text).empty() && !C::ParseNumber(text, number) && !(target == "bit" && IsTruthWord(text)))
      return sqlite3_result_value(ctx, v);
  }
  if (target == "int" || target == "smallint" || target == "tinyint" || target == "bigint")
    return ToInteger(ctx, text, source, target);
  if (target == "bit") return ToBit(ctx, text, source);
  if (target == "datetime" || target == "date") return ToDate(ctx, text, source, target == "date");
  double value = 0;
  const bool blank = C::Trim(text).empty();
  if (target == "money") {
    int64_t units = 0;
    if (blank) return sqlite3_result_int(ctx, 0);
    if (!C::ParseMoney(text, units))
      return Fail(ctx, "Cannot convert a char value to money. The char value has incorrect syntax.");
    return ResultNumber(ctx, static_cast<double>(units) / 10000.0);
  }
  if (target == "numeric") {
    if (blank || !C::ParseNumber(text, value))
      return Fail(ctx, "Error converting data type " + std::string(source) + " to numeric.");
    return ResultNumber(ctx, value);
  }
  if (blank) return sqlite3_result_double(ctx, 0.0);
  if (!C::ParseNumber(text, value)) return Fail(ctx, "Error converting data type " + std::string(source) + " to float.");
  sqlite3_result_double(ctx, value);
}

bool Serial(sqlite3_value* v, double& serial) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT: serial = sqlite3_value_double(v); return true;
    case SQLITE_TEXT: {
      DateTime d;
      const std::string_view text = Text(v);
      if (C::Trim(text).empty()) {
        serial = 0;
        return true;
      }
      if (ReadAnyDate(text, d) != C::DateRead::Ok) {
        double number = 0;
        if (!C::ParseNumber(text, number)) return false;
        serial = number;
        return true;
      }
      serial = static_cast<double>(C::DayNumber(d.year, d.month, d.day)) +
               (d.hour * 3600.0 + d.minute * 60.0 + d.second) / 86400.0;
      return true;
    }
    default: return false;
  }
}

// tsql_date_add(d, n, sign)
void DateAdd(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
    return sqlite3_result_null(ctx);
  double date = 0, days = 0;
  if (!Serial(argv[0], date))
    return Fail(ctx, "Conversion failed when converting date and/or time from character string.");
  if (!Serial(argv[1], days))
    return Fail(ctx, "Conversion failed when converting date and/or time from character string.");
  const double serial = date + sqlite3_value_int(argv[2]) * days;
  if (!(serial >= -53690.0 && serial < 2958464.0))
    return Fail(ctx, "Arithmetic overflow error converting expression to data type datetime.");
  // to the second, as the stored form keeps it
  const double seconds = std::round(serial * 86400.0);
  const std::string canonical = C::CanonicalDate(C::FromSerial(seconds / 86400.0));
  sqlite3_result_text(ctx, canonical.data(), static_cast<int>(canonical.size()), SQLITE_TRANSIENT);
}

}  // namespace

void TSqlImplicitConversions::Register(sqlite3* db) {
  const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
  sqlite3_create_function_v2(db, "tsql_as", 3, flags, nullptr, As, nullptr, nullptr, nullptr);
  sqlite3_create_function_v2(db, "tsql_as", 4, flags, nullptr, As, nullptr, nullptr, nullptr);
  sqlite3_create_function_v2(db, "tsql_date_add", 3, flags, nullptr, DateAdd, nullptr, nullptr, nullptr);
}

}  // namespace fabrikon::dialect
