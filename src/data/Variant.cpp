// Variant: the classic conversions of the library's value type. Text forms
// must match what the host's documents and the SQL text expect (21 not
// "21.0", 0.3 for 0.1+0.2, "True"/"False"), so they are written out here
// rather than left to stream formatting, and they never depend on the locale.
#include <charconv>
#include <cmath>
#include <string>

#include "fabrikon/ComError.h"
#include "fabrikon/Variant.h"
#include "fabrikon/modVoucher.h"

namespace fabrikon {

namespace {

// Days from 1899-12-30 (the classic date serial's day 0) to the given date.
long DaysFromEpoch(int year, int month, int day) {
  // Civil-from-days arithmetic on a March-based year.
  const int y = year - (month <= 2 ? 1 : 0);
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yearOfEra = y - era * 400;
  const long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  const long unixDays = era * 146097 + dayOfEra - 719468;
  return unixDays + 25569;  // 1970-01-01 is serial 25569
}

double DateSerial(const DateTime& d) {
  const double time = (d.hour * 3600.0 + d.minute * 60.0 + d.second) / 86400.0;
  return static_cast<double>(DaysFromEpoch(d.year, d.month, d.day)) + time;
}

bool EqualsIgnoreCase(const std::string& text, const char* word) {
  size_t i = 0;
  for (; i < text.size() && word[i] != '\0'; ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != word[i]) return false;
  }
  return i == text.size() && word[i] == '\0';
}

}  // namespace

std::string FormatDouble(double d) {
  if (d == 0) return "0";  // also -0
  if (std::isnan(d)) return "NaN";
  if (std::isinf(d)) return d > 0 ? "Infinity" : "-Infinity";
  // Whole numbers of up to 15 digits read the same in 15 significant digits.
  if (std::fabs(d) < 1e15 && d == std::trunc(d)) return std::to_string(static_cast<long long>(d));
  char buffer[40];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, d, std::chars_format::general, 15);
  std::string text(buffer, result.ptr);
  const size_t e = text.find('e');
  if (e != std::string::npos) text[e] = 'E';
  return text;
}

std::string Variant::ToText() const {
  switch (kind()) {
    case Kind::Empty:
    case Kind::Null: return "";
    case Kind::Bool: return std::get<bool>(value_) ? "True" : "False";
    case Kind::Int: return std::to_string(std::get<int64_t>(value_));
    case Kind::Double: return FormatDouble(std::get<double>(value_));
    case Kind::Text: return std::get<std::string>(value_);
    case Kind::Date: return std::get<DateTime>(value_).ToText();
  }
  return "";
}

// A true bit counts as 1 here (the database's value), not the classic -1:
// values reach arithmetic from bit columns and documents, where true is 1.
double Variant::ToDouble() const {
  switch (kind()) {
    case Kind::Empty:
    case Kind::Null: return 0;
    case Kind::Bool: return std::get<bool>(value_) ? 1 : 0;
    case Kind::Int: return static_cast<double>(std::get<int64_t>(value_));
    case Kind::Double: return std::get<double>(value_);
    case Kind::Text: return Val(std::get<std::string>(value_));
    case Kind::Date: return DateSerial(std::get<DateTime>(value_));
  }
  return 0;
}

int64_t Variant::ToInt() const {
  if (kind() == Kind::Int) return std::get<int64_t>(value_);
  const double rounded = std::nearbyint(ToDouble());  // to nearest, ties to even
  // 2^63 is exactly representable; anything at or beyond it does not fit.
  if (!(rounded >= -9223372036854775808.0 && rounded < 9223372036854775808.0))
    throw ComError(ErrorNumber::Overflow, "Overflow");
  return static_cast<int64_t>(rounded);
}

bool Variant::ToBool() const {
  if (kind() == Kind::Bool) return std::get<bool>(value_);
  if (kind() == Kind::Text) {
    const std::string text = Trim(std::get<std::string>(value_));
    if (EqualsIgnoreCase(text, "true")) return true;
    if (EqualsIgnoreCase(text, "false")) return false;
    return fabrikon::IsNumeric(text) && Val(text) != 0;
  }
  return ToDouble() != 0;
}

}  // namespace fabrikon
