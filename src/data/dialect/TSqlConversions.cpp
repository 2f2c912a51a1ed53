// TSqlConversions: see the header.
#include "data/dialect/TSqlConversions.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "data/dialect/TSqlDateText.h"

namespace fabrikon::dialect {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string_view TSqlConversions::Trim(std::string_view text) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

bool TSqlConversions::ParseNumber(std::string_view input, double& value) {
  const std::string_view text = Trim(input);
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t exponent = 0;
    while (i < text.size() && IsDigit(text[i])) ++i, ++exponent;
    if (exponent == 0) return false;
  }
  if (i != text.size()) return false;
  value = std::strtod(std::string(text).c_str(), nullptr);
  return std::isfinite(value);
}

bool TSqlConversions::IsNumericText(std::string_view input) {
  std::string_view text = input;
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\r' || text.front() == '\n'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' || text.back() == '\n'))
    text.remove_suffix(1);
  if (text.empty()) return false;
  // As money: a sign and a currency symbol in either order, then digits with
  // commas and one decimal point, any of them possibly absent.
  size_t i = 0;
  bool sign = false, currency = false;
  for (;;) {
    if (!sign && i < text.size() && (text[i] == '+' || text[i] == '-')) {
      sign = true;
      ++i;
    } else if (!currency && text.substr(i, 1) == "$") {
      currency = true;
      ++i;
    } else if (!currency && (text.substr(i, 2) == "\xC2\xA3" || text.substr(i, 2) == "\xC2\xA5")) {  // pound, yen
      currency = true;
      i += 2;
    } else if (!currency && text.substr(i, 3) == "\xE2\x82\xAC") {  // euro
      currency = true;
      i += 3;
    } else {
      break;
    }
  }
  bool point = false, money = true;
  for (size_t j = i; j < text.size() && money; ++j) {
    if (text[j] == '.' && !point) point = true;
    else if (!IsDigit(text[j]) && !(text[j] == ',' && !point)) money = false;
  }
  if (money) return true;
  // As float: digits, an optional fraction and an exponent written e or d.
  std::string asFloat(text);
  for (char& c : asFloat)
    if (c == 'd' || c == 'D') c = 'e';
  double ignored = 0;
  return ParseNumber(asFloat, ignored);
}

bool TSqlConversions::ParseInteger(std::string_view input, int64_t& value) {
  const std::string_view text = Trim(input);
  size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) ++i;
  if (i == text.size()) return false;
  uint64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    if (!IsDigit(text[i])) return false;
    const uint64_t digit = static_cast<uint64_t>(text[i] - '0');
    if (magnitude > (UINT64_MAX - digit) / 10) return false;
    magnitude = magnitude * 10 + digit;
  }
  if (magnitude > static_cast<uint64_t>(INT64_MAX) + (negative ? 1 : 0)) return false;
  value = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
  return true;
}

bool TSqlConversions::ParseMoney(std::string_view input, int64_t& units) {
  std::string text;
  text.reserve(input.size());
  for (char c : Trim(input))
    if (c != ',') text += c;
  double value = 0;
  if (!ParseNumber(text, value) || std::fabs(value) >= 922337203685477.0) return false;
  units = MoneyUnits(value);
  return true;
}

int64_t TSqlConversions::MoneyUnits(double value) {
  return static_cast<int64_t>(std::llround(RoundDecimal(value, 4) * 10000.0));
}

std::string TSqlConversions::FormatMoney(int64_t units, int style) {
  const bool negative = units < 0;
  uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(units) : static_cast<uint64_t>(units);
  uint64_t fraction = magnitude % 10000;
  uint64_t whole = magnitude / 10000;
  int decimals = 4;
  if (style != 2) {  // two decimals, half away from zero
    decimals = 2;
    fraction = (fraction + 50) / 100;
    if (fraction == 100) {
      fraction = 0;
      ++whole;
    }
  }
  const std::string plain = std::to_string(whole);
  std::string digits;
  digits.reserve(plain.size() + plain.size() / 3);
  for (size_t i = 0; i < plain.size(); ++i) {
    if (style == 1 && i > 0 && (plain.size() - i) % 3 == 0) digits += ',';
    digits += plain[i];
  }
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, ".%0*llu", decimals, static_cast<unsigned long long>(fraction));
  return (negative ? "-" : "") + digits + buffer;
}

std::string TSqlConversions::FormatNumber(double value) {
  if (value == 0) return "0";
  char buffer[40];
  if (std::fabs(value) < 1e15 && value == std::trunc(value))
    std::snprintf(buffer, sizeof buffer, "%.0f", value);
  else
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
  std::string text = buffer;
  for (char& c : text)
    if (c == 'e') c = 'E';
  return text;
}

double TSqlConversions::RoundDecimal(double value, int scale) {
  const double factor = std::pow(10.0, scale);
  // A nudge of a few units in the last place undoes the binary error of
  // values written with at most 15 digits (2.675 is 2.67499999... in binary).
  const double scaled = value * factor * (1.0 + 4 * DBL_EPSILON);
  return std::round(scaled) / factor;
}

namespace {

// Reads a run of at most 9 digits at pos; answers how many there were.
size_t ReadDigits(std::string_view text, size_t& pos, int& value) {
  const size_t start = pos;
  value = 0;
  while (pos < text.size() && pos - start < 9 && text[pos] >= '0' && text[pos] <= '9')
    value = value * 10 + (text[pos++] - '0');
  return pos - start;
}

bool ReadSeparator(std::string_view text, size_t& pos, char separator) {
  if (pos >= text.size() || text[pos] != separator) return false;
  ++pos;
  return true;
}

// 'H:MM[:SS[.fff]]' up to the end of the text; fractions of a second are dropped.
bool ReadTimeOfDay(std::string_view text, size_t pos, DateTime& out) {
  int fraction = 0;
  const size_t hourDigits = ReadDigits(text, pos, out.hour);
  if (hourDigits == 0 || hourDigits > 2 || !ReadSeparator(text, pos, ':')) return false;
  const size_t minuteDigits = ReadDigits(text, pos, out.minute);
  if (minuteDigits == 0 || minuteDigits > 2) return false;
  if (ReadSeparator(text, pos, ':')) {
    const size_t secondDigits = ReadDigits(text, pos, out.second);
    if (secondDigits == 0 || secondDigits > 2) return false;
    if (ReadSeparator(text, pos, '.') && ReadDigits(text, pos, fraction) == 0) return false;
  }
  return pos == text.size() && out.hour < 24 && out.minute < 60 && out.second < 60;
}

// The styles whose numeric dates put the day before the month.
bool DayFirst(int style) {
  switch (style) {
    case 3: case 4: case 5: case 103: case 104: case 105: return true;
    default: return false;
  }
}

// The day, month and year of the date part; false when it has no date's form.
bool ReadDayPart(std::string_view text, size_t& pos, int style, DateTime& d) {
  int a = 0, b = 0, c = 0;
  const size_t first = ReadDigits(text, pos, a);
  if (first == 8 && (pos == text.size() || text[pos] == ' ')) {  // YYYYMMDD
    d.year = a / 10000;
    d.month = a / 100 % 100;
    d.day = a % 100;
    return true;
  }
  if (first == 0 || pos >= text.size()) return false;
  const char separator = text[pos++];
  if (separator != '-' && separator != '/' && separator != '.') return false;
  const size_t second = ReadDigits(text, pos, b);
  if (second == 0 || second > 2 || !ReadSeparator(text, pos, separator)) return false;
  const size_t third = ReadDigits(text, pos, c);
  if (first == 4 && third >= 1 && third <= 2) {
    d.year = a;
    d.month = b;
    d.day = c;
    return true;
  }
  if (first > 2 || third != 4) return false;
  d.year = c;
  d.month = DayFirst(style) ? b : a;
  d.day = DayFirst(style) ? a : b;
  return true;
}

}  // namespace

TSqlConversions::DateRead TSqlConversions::ReadDate(std::string_view input, int style, DateTime& out) {
  const std::string_view text = Trim(input);
  DateTime d;
  d.year = 1900;
  d.month = d.day = 1;
  d.hour = d.minute = d.second = 0;
  size_t pos = 0;
  int ignored = 0;
  ReadDigits(text, pos, ignored);
  if (pos < text.size() && text[pos] == ':') {  // a time of day alone falls on day 0
    if (!ReadTimeOfDay(text, 0, d)) return DateRead::Malformed;
    out = d;
    return DateRead::Ok;
  }
  pos = 0;
  if (!ReadDayPart(text, pos, style, d)) return DateRead::Malformed;
  if (pos < text.size()) {
    if (text[pos] != ' ' && text[pos] != 'T') return DateRead::Malformed;
    ++pos;
    while (pos < text.size() && text[pos] == ' ') ++pos;
    if (!ReadTimeOfDay(text, pos, d)) return DateRead::Malformed;
  }
  if (d.year < 1753 || d.year > 9999 || d.month < 1 || d.month > 12 || d.day < 1 ||
      d.day > DaysInMonth(d.year, d.month))
    return DateRead::OutOfRange;
  out = d;
  return DateRead::Ok;
}

bool TSqlConversions::ParseDate(std::string_view input, DateTime& out) {
  return ReadDate(input, 0, out) == DateRead::Ok;
}

int TSqlConversions::DaysInMonth(int year, int month) {
  const int64_t first = DayNumber(year, month, 1);
  return static_cast<int>((month == 12 ? DayNumber(year + 1, 1, 1) : DayNumber(year, month + 1, 1)) - first);
}

std::string TSqlConversions::CanonicalDate(const DateTime& d) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day, d.hour, d.minute,
                d.second);
  return buffer;
}

std::string TSqlConversions::FormatDate(const DateTime& d, int style) {
  std::string text;
  return TSqlDateText::Format(TSqlDateText::Moment{d, 0}, style, text) ? text : CanonicalDate(d);
}

// Howard Hinnant's days-from-civil, shifted so that 1900-01-01 is day 0.
int64_t TSqlConversions::DayNumber(int year, int month, int day) {
  const int64_t y = year - (month <= 2 ? 1 : 0);
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468 + 25567;  // 1970-01-01 is day 25567 after 1900-01-01
}

DateTime TSqlConversions::FromDayNumber(int64_t days) {
  const int64_t z = days - 25567 + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  DateTime out;
  out.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  out.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  out.year = static_cast<int>(yoe + era * 400 + (out.month <= 2 ? 1 : 0));
  out.hour = out.minute = out.second = 0;
  return out;
}

DateTime TSqlConversions::FromSerial(double serial) {
  const double day = std::floor(serial);
  DateTime out = FromDayNumber(static_cast<int64_t>(day));
  int64_t seconds = std::llround((serial - day) * 86400.0);
  if (seconds >= 86400) {
    out = FromDayNumber(static_cast<int64_t>(day) + 1);
    seconds = 0;
  }
  out.hour = static_cast<int>(seconds / 3600);
  out.minute = static_cast<int>(seconds / 60 % 60);
  out.second = static_cast<int>(seconds % 60);
  return out;
}

size_t TSqlConversions::CharacterCount(std::string_view text) {
  size_t count = 0;
  for (char c : text)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  return count;
}

std::string TSqlConversions::FitText(std::string text, long length, bool padded) {
  if (length < 0) return text;
  size_t characters = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
    if (characters == static_cast<size_t>(length)) {
      text.resize(i);
      return text;
    }
    ++characters;
  }
  if (padded && characters < static_cast<size_t>(length)) text.append(static_cast<size_t>(length) - characters, ' ');
  return text;
}

// ---- text of numbers ----------------------------------------------------

std::string TSqlConversions::FormatDecimal(double value, int scale) {
  char buffer[400];
  const double rounded = std::fabs(value) < 1e17 ? RoundDecimal(value, scale) : value;
  std::snprintf(buffer, sizeof buffer, "%.*f", scale, rounded);
  std::string text = buffer;
  if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);  // no "-0.00"
  return text;
}

std::string TSqlConversions::FormatFloat(double value, int style) {
  char buffer[64];
  switch (style) {
    case 1: std::snprintf(buffer, sizeof buffer, "%.7e", value); break;
    case 2: std::snprintf(buffer, sizeof buffer, "%.15e", value); break;
    case 3: std::snprintf(buffer, sizeof buffer, "%.17g", value); break;
    default: std::snprintf(buffer, sizeof buffer, "%.6g", value); break;
  }
  std::string text = buffer;
  const size_t e = text.find('e');
  if (e != std::string::npos) {  // e+06 -> e+006
    const size_t digits = e + 2;
    if (text.size() - digits < 3) text.insert(digits, 3 - (text.size() - digits), '0');
  }
  return text;
}

}  // namespace fabrikon::dialect
