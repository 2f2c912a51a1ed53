// Values that a server hands over as text (an ODBC driver's, PostgreSQL's)
// read as the Variant their column's ADO type calls for; text that is no
// such value stays text.
#pragma once
#include <charconv>
#include <cstdlib>
#include <string>

#include "fabrikon/Variant.h"

namespace fabrikon::valuetext {

inline Variant IntegerOrText(std::string text) {
  long long value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec == std::errc() && end == text.data() + text.size()) return Variant(value);
  return Variant(std::move(text));
}

inline Variant DoubleOrText(std::string text) {
  char* end = nullptr;
  double value = std::strtod(text.c_str(), &end);
  if (!text.empty() && end == text.c_str() + text.size()) return Variant(value);
  return Variant(std::move(text));
}

inline Variant DateOrText(std::string text) {
  // A server gives datetime as "YYYY-MM-DD hh:mm:ss.fff"; the library's dates end at seconds.
  size_t dot = text.find('.', 10);
  DateTime date;
  if (DateTime::Parse(dot == std::string::npos ? text : text.substr(0, dot), date)) return Variant(date);
  return Variant(std::move(text));
}

}  // namespace fabrikon::valuetext
