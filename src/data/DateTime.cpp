// DateTime: the calendar value of the library's Variant. Text forms follow
// the classic conversions (date only when there is no time of day) and the
// rowset document form (ISO with "T"); parsing accepts the forms that
// databases and documents hand over, and rejects impossible dates.
#include <cstdio>
#include <string>

#include "fabrikon/Variant.h"

namespace fabrikon {

namespace {

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

// Reads between minDigits and maxDigits decimal digits at pos.
bool ReadNumber(const std::string& text, size_t& pos, int minDigits, int maxDigits, int& out) {
  int digits = 0;
  out = 0;
  while (pos < text.size() && digits < maxDigits && text[pos] >= '0' && text[pos] <= '9') {
    out = out * 10 + (text[pos++] - '0');
    ++digits;
  }
  return digits >= minDigits;
}

bool ReadChar(const std::string& text, size_t& pos, char c) {
  if (pos < text.size() && text[pos] == c) {
    ++pos;
    return true;
  }
  return false;
}

// "HH:MM[:SS[.fff]]" from pos to the end; fractions of a second are dropped.
bool ReadTime(const std::string& text, size_t& pos, DateTime& out) {
  if (!ReadNumber(text, pos, 1, 2, out.hour) || !ReadChar(text, pos, ':') ||
      !ReadNumber(text, pos, 2, 2, out.minute))
    return false;
  if (ReadChar(text, pos, ':')) {
    if (!ReadNumber(text, pos, 2, 2, out.second)) return false;
    if (ReadChar(text, pos, '.')) {
      int ignored = 0;
      if (!ReadNumber(text, pos, 1, 9, ignored)) return false;
    }
  }
  return out.hour < 24 && out.minute < 60 && out.second < 60;
}

std::string Trimmed(const std::string& text) {
  size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

}  // namespace

std::string DateTime::ToText() const {
  char buffer[48];
  if (HasTime())
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", year, month, day, hour, minute, second);
  else
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", year, month, day);
  return buffer;
}

std::string DateTime::ToIsoText() const {
  // Documents carry many dates: the usual ranges are written by hand, as the
  // format below would write them.
  const auto twoDigits = [](int v) { return v >= 0 && v <= 99; };
  if (year >= 0 && year <= 9999 && twoDigits(month) && twoDigits(day) && twoDigits(hour) && twoDigits(minute) &&
      twoDigits(second)) {
    char text[19] = {static_cast<char>('0' + year / 1000), static_cast<char>('0' + year / 100 % 10),
                     static_cast<char>('0' + year / 10 % 10), static_cast<char>('0' + year % 10), '-'};
    const auto put = [&text](size_t at, int v) {
      text[at] = static_cast<char>('0' + v / 10);
      text[at + 1] = static_cast<char>('0' + v % 10);
    };
    put(5, month);
    text[7] = '-';
    put(8, day);
    text[10] = 'T';
    put(11, hour);
    text[13] = ':';
    put(14, minute);
    text[16] = ':';
    put(17, second);
    return std::string(text, sizeof text);
  }
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d", year, month, day, hour, minute, second);
  return buffer;
}

bool DateTime::Parse(const std::string& input, DateTime& out) {
  const std::string text = Trimmed(input);
  DateTime value;
  size_t pos = 0;
  if (!ReadNumber(text, pos, 4, 4, value.year)) return false;
  const char separator = pos < text.size() ? text[pos] : '\0';
  if (separator != '-' && separator != '/') return false;
  ++pos;
  if (!ReadNumber(text, pos, 1, 2, value.month) || !ReadChar(text, pos, separator) ||
      !ReadNumber(text, pos, 1, 2, value.day))
    return false;
  if (value.year < 1 || value.month < 1 || value.month > 12 || value.day < 1 ||
      value.day > DaysInMonth(value.year, value.month))
    return false;
  if (pos < text.size()) {
    if (text[pos] == 'T') {
      ++pos;
    } else {
      if (text[pos] != ' ') return false;
      while (pos < text.size() && text[pos] == ' ') ++pos;
    }
    if (!ReadTime(text, pos, value) || pos != text.size()) return false;
  }
  out = value;
  return true;
}

}  // namespace fabrikon
