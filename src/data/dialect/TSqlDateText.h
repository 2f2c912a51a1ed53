// TSqlDateText: the text forms of a datetime value that convert(varchar,
// date, style) and cast(date as varchar) give, and the stored form of a
// datetime the embedded database keeps ('YYYY-MM-DD HH:MM:SS', with '.mmm'
// when the value has milliseconds).
#pragma once
#include <string>
#include <string_view>

#include "fabrikon/Variant.h"

namespace fabrikon::dialect {

class TSqlDateText {
 public:
  // A datetime to the millisecond; datetime keeps milliseconds in steps of
  // 1/300 second, so they read .000, .003, .007, .010 ...
  struct Moment {
    DateTime date;
    int millisecond = 0;
  };

  // The text of style 0-14, 20-25, 100-114, 120-127; false for any other
  // style (SQL Server refuses it).
  static bool Format(const Moment& moment, int style, std::string& out);
  // The stored form; milliseconds only when there are some.
  static std::string Stored(const Moment& moment);
  // True for text in the stored form exactly: how a datetime value reaches
  // a function that cannot see the column's type.
  static bool IsStored(std::string_view text);
  // Reads text in the stored form (IsStored).
  static Moment ReadStored(std::string_view text);
  // The fraction of a second written after the seconds of a text that the
  // date reader accepted, rounded to datetime's steps; a value that rounds
  // to the next second moves the date.
  static Moment WithFraction(const DateTime& date, std::string_view text);
  // Days since 1900-01-01 with the time of day as a fraction.
  static double Serial(const Moment& moment);
};

}  // namespace fabrikon::dialect
