// TSqlDateText: see the header. The styles below 100 are those of 100 and
// up with a two-digit year; 0, 9, 13, 14, 20 and 21 have none but are the
// same as 100, 109, 113, 114, 120 and 121.
#include "data/dialect/TSqlDateText.h"

#include <cstdio>

#include "data/dialect/TSqlConversions.h"

namespace fabrikon::dialect {

namespace {

constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

const char* MonthName(int month) { return kMonths[((month - 1) % 12 + 12) % 12]; }

int Hour12(int hour) { return hour % 12 == 0 ? 12 : hour % 12; }
const char* Meridiem(int hour) { return hour < 12 ? "AM" : "PM"; }

// The styles whose text has no year of its own form.
bool CenturyStyle(int style) { return style >= 100 || style == 0 || style == 9 || style == 13 || style == 14; }

// Formats the date part of styles 1-7 and 10-12 (and their 1xx forms);
// false for the styles with a time of day.
bool FormatDay(const TSqlDateText::Moment& m, int style, char* buffer, size_t size) {
  const DateTime& d = m.date;
  const int y = CenturyStyle(style) ? d.year : d.year % 100;
  const int w = CenturyStyle(style) ? 4 : 2;
  const char* mon = MonthName(d.month);
  switch (style % 100) {
    case 1: std::snprintf(buffer, size, "%02d/%02d/%0*d", d.month, d.day, w, y); return true;
    case 2: std::snprintf(buffer, size, "%0*d.%02d.%02d", w, y, d.month, d.day); return true;
    case 3: std::snprintf(buffer, size, "%02d/%02d/%0*d", d.day, d.month, w, y); return true;
    case 4: std::snprintf(buffer, size, "%02d.%02d.%0*d", d.day, d.month, w, y); return true;
    case 5: std::snprintf(buffer, size, "%02d-%02d-%0*d", d.day, d.month, w, y); return true;
    case 6: std::snprintf(buffer, size, "%02d %s %0*d", d.day, mon, w, y); return true;
    case 7: std::snprintf(buffer, size, "%s %02d, %0*d", mon, d.day, w, y); return true;
    case 10: std::snprintf(buffer, size, "%02d-%02d-%0*d", d.month, d.day, w, y); return true;
    case 11: std::snprintf(buffer, size, "%0*d/%02d/%02d", w, y, d.month, d.day); return true;
    case 12: std::snprintf(buffer, size, "%0*d%02d%02d", w, y, d.month, d.day); return true;
    default: return false;
  }
}

// The styles with a time of day (and those of the ISO forms).
bool FormatTime(const TSqlDateText::Moment& m, int style, char* buffer, size_t size) {
  const DateTime& d = m.date;
  const char* mon = MonthName(d.month);
  const int ms = m.millisecond;
  switch (style) {
    case 0: case 100:
      std::snprintf(buffer, size, "%s %2d %04d %2d:%02d%s", mon, d.day, d.year, Hour12(d.hour), d.minute,
                    Meridiem(d.hour));
      return true;
    case 8: case 24: case 108:
      std::snprintf(buffer, size, "%02d:%02d:%02d", d.hour, d.minute, d.second);
      return true;
    case 9: case 109:
      std::snprintf(buffer, size, "%s %2d %04d %2d:%02d:%02d:%03d%s", mon, d.day, d.year, Hour12(d.hour), d.minute,
                    d.second, ms, Meridiem(d.hour));
      return true;
    case 13: case 113:
      std::snprintf(buffer, size, "%02d %s %04d %02d:%02d:%02d:%03d", d.day, mon, d.year, d.hour, d.minute, d.second,
                    ms);
      return true;
    case 14: case 114:
      std::snprintf(buffer, size, "%02d:%02d:%02d:%03d", d.hour, d.minute, d.second, ms);
      return true;
    case 20: case 120:
      std::snprintf(buffer, size, "%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day, d.hour, d.minute, d.second);
      return true;
    case 21: case 25: case 121:
      std::snprintf(buffer, size, "%04d-%02d-%02d %02d:%02d:%02d.%03d", d.year, d.month, d.day, d.hour, d.minute,
                    d.second, ms);
      return true;
    case 22:
      std::snprintf(buffer, size, "%02d/%02d/%02d %2d:%02d:%02d %s", d.month, d.day, d.year % 100, Hour12(d.hour),
                    d.minute, d.second, Meridiem(d.hour));
      return true;
    case 23:
      std::snprintf(buffer, size, "%04d-%02d-%02d", d.year, d.month, d.day);
      return true;
    case 126:  // milliseconds only when there are some
      std::snprintf(buffer, size, ms ? "%04d-%02d-%02dT%02d:%02d:%02d.%03d" : "%04d-%02d-%02dT%02d:%02d:%02d", d.year,
                    d.month, d.day, d.hour, d.minute, d.second, ms);
      return true;
    default: return false;
  }
}

bool Digits(std::string_view text, size_t first, size_t count, int& value) {
  value = 0;
  for (size_t i = first; i < first + count; ++i) {
    if (i >= text.size() || text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  return true;
}

}  // namespace

bool TSqlDateText::Format(const Moment& moment, int style, std::string& out) {
  if (moment.date.month < 1 || moment.date.month > 12) return false;
  char buffer[64];
  if (!FormatDay(moment, style, buffer, sizeof buffer) && !FormatTime(moment, style, buffer, sizeof buffer))
    return false;
  out = buffer;
  return true;
}

std::string TSqlDateText::Stored(const Moment& moment) {
  char buffer[64];
  FormatTime(moment, moment.millisecond ? 121 : 120, buffer, sizeof buffer);
  return buffer;
}

bool TSqlDateText::IsStored(std::string_view text) {
  if (text.size() != 19 && text.size() != 23) return false;
  static constexpr std::string_view kShape = "0000-00-00 00:00:00.000";
  for (size_t i = 0; i < text.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (kShape[i] == '0' ? !digit : text[i] != kShape[i]) return false;
  }
  return true;
}

TSqlDateText::Moment TSqlDateText::ReadStored(std::string_view text) {
  Moment m;
  DateTime& d = m.date;
  Digits(text, 0, 4, d.year);
  Digits(text, 5, 2, d.month);
  Digits(text, 8, 2, d.day);
  Digits(text, 11, 2, d.hour);
  Digits(text, 14, 2, d.minute);
  Digits(text, 17, 2, d.second);
  if (text.size() == 23) Digits(text, 20, 3, m.millisecond);
  return m;
}

TSqlDateText::Moment TSqlDateText::WithFraction(const DateTime& date, std::string_view text) {
  Moment m{date, 0};
  const size_t colon = text.rfind(':');
  const size_t point = colon == std::string_view::npos ? colon : text.find('.', colon);
  if (point == std::string_view::npos) return m;
  int thousandths = 0;  // the first three digits: datetime reads no more
  for (size_t i = point + 1; i < point + 4; ++i)
    thousandths = thousandths * 10 + (i < text.size() && text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : 0);
  const int ticks = (thousandths * 3 + 5) / 10;  // 1/300 s, to the nearest
  if (ticks < 300) {
    m.millisecond = static_cast<int>((ticks * 1000 + 150) / 300);
    return m;
  }
  // .999 and up: the next second.
  int64_t seconds = date.hour * 3600 + date.minute * 60 + date.second + 1;
  int64_t day = TSqlConversions::DayNumber(date.year, date.month, date.day);
  if (seconds == 86400) {
    seconds = 0;
    ++day;
  }
  m.date = TSqlConversions::FromDayNumber(day);
  m.date.hour = static_cast<int>(seconds / 3600);
  m.date.minute = static_cast<int>(seconds / 60 % 60);
  m.date.second = static_cast<int>(seconds % 60);
  return m;
}

double TSqlDateText::Serial(const Moment& m) {
  const DateTime& d = m.date;
  const double seconds = d.hour * 3600.0 + d.minute * 60.0 + d.second + m.millisecond / 1000.0;
  return static_cast<double>(TSqlConversions::DayNumber(d.year, d.month, d.day)) + seconds / 86400.0;
}

}  // namespace fabrikon::dialect
