// TSqlConversions: the value conversions of T-SQL that the embedded database
// emulates (text to number, money, dates; numbers and dates to text), kept
// apart from SQLite so they can be checked on their own.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "fabrikon/Variant.h"

namespace fabrikon::dialect {

class TSqlConversions {
 public:
  static std::string_view Trim(std::string_view text);  // blanks, tabs, CR, LF on both ends
  // T-SQL number text: blanks around, a sign, digits with an optional point,
  // an optional exponent. The empty text is not a number.
  static bool ParseNumber(std::string_view text, double& value);
  // True when T-SQL's isnumeric would say 1 (money and float forms included).
  static bool IsNumericText(std::string_view text);
  static bool ParseInteger(std::string_view text, int64_t& value);
  // Money text: as a number, thousands separators allowed; in ten-thousandths.
  static bool ParseMoney(std::string_view text, int64_t& units);
  static int64_t MoneyUnits(double value);  // ten-thousandths, half away from zero
  // convert(char, money, style): 0 two decimals, 1 with thousands commas, 2 four decimals.
  static std::string FormatMoney(int64_t units, int style);
  // The classic text of a number: 15 significant digits, no trailing ".0".
  static std::string FormatNumber(double value);
  // Rounds half away from zero to scale decimals, reading the double as the
  // decimal it was written as (2.675 -> 2.68).
  static double RoundDecimal(double value, int scale);

  // Dates as SQL Server reads text: 'YYYYMMDD', the year first with '-', '/'
  // or '.' between the numbers, the year last with the day and month in the
  // order of the convert style (month first unless the style says otherwise),
  // each with an optional time of day; or a time of day alone on 1900-01-01.
  // Numbers of a date's form that name no day of 1753-9999 are out of range.
  enum class DateRead { Ok, Malformed, OutOfRange };
  static DateRead ReadDate(std::string_view text, int style, DateTime& out);
  static bool ParseDate(std::string_view text, DateTime& out);  // ReadDate in the default style
  static int DaysInMonth(int year, int month);
  // The stored form 'YYYY-MM-DD HH:MM:SS'.
  static std::string CanonicalDate(const DateTime& date);
  // convert(varchar, date, style) (TSqlDateText); a style that has no
  // date text gives the stored form.
  static std::string FormatDate(const DateTime& date, int style);
  // Days since 1900-01-01 (SQL Server's day 0) and back.
  static int64_t DayNumber(int year, int month, int day);
  static DateTime FromDayNumber(int64_t days);
  static DateTime FromSerial(double serial);  // days since 1900-01-01 with a time fraction

  // Cuts text to length characters (-1: no limit) and pads it with blanks to
  // that length when padded.
  static std::string FitText(std::string text, long length, bool padded);
  static size_t CharacterCount(std::string_view text);

  // The text of a decimal of the given scale: every decimal written, half
  // away from zero, a 0 before the point ("0.50", "-1.25", "12").
  static std::string FormatDecimal(double value, int scale);
  // convert(varchar, float, style): 0 at most 6 significant digits, in
  // scientific notation when the exponent is below -4 or from 6 on; 1 always
  // scientific with 8 digits; 2 with 16; 3 the 17 that read back the same
  // value. Exponents have at least three digits ("1e-005").
  static std::string FormatFloat(double value, int style);
};

}  // namespace fabrikon::dialect
