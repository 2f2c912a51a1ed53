// SqlParameters: see the header.
#include "data/dialect/SqlParameters.h"

#include <sqlite3.h>

#include <cctype>
#include <charconv>

#include "fabrikon/ComError.h"

namespace fabrikon::dialect {

void SqlParameters::Bind(sqlite3_stmt* statement) const {
  for (size_t i = 0; i < values_.size(); ++i) {
    const SqlValue& value = values_[i];
    const int at = static_cast<int>(i + 1);
    int rc = SQLITE_OK;
    switch (value.type) {
      case SqlValue::Type::Integer:
        rc = sqlite3_bind_int64(statement, at, value.integer);
        break;
      case SqlValue::Type::Real:
        rc = sqlite3_bind_double(statement, at, value.real);
        break;
      case SqlValue::Type::Text:
        rc = sqlite3_bind_text(statement, at, value.Text().data(), static_cast<int>(value.Text().size()),
                               SQLITE_STATIC);
        break;
    }
    if (rc != SQLITE_OK)
      throw ComError(ErrorNumber::E_FAIL_, "The embedded database refused parameter " + std::to_string(at) + ".");
  }
}

namespace {

std::string Spelling(const SqlValue& value) {
  switch (value.type) {
    case SqlValue::Type::Integer:
      return std::to_string(value.integer);
    case SqlValue::Type::Real: {
      char digits[32];
      const auto end = std::to_chars(digits, digits + sizeof digits, value.real).ptr;
      return std::string(digits, end);
    }
    case SqlValue::Type::Text:
      break;
  }
  // A text literal as written, quotes included (as the inline ones show).
  std::string quoted = "'";
  for (char c : value.Text()) quoted += c == '\'' ? "''" : std::string(1, c);
  return quoted + "'";
}

}  // namespace

std::string SqlParameters::NameLiterals(const std::string& message) const {
  std::string named;
  named.reserve(message.size());
  for (size_t i = 0; i < message.size(); ++i) {
    size_t end = i + 1;
    while (end < message.size() && std::isdigit(static_cast<unsigned char>(message[end]))) ++end;
    size_t number = 0;
    // Only a whole quoted name ('?2'): a caller's own name may hold a '?'.
    const bool parameter = message[i] == '?' && i > 0 && message[i - 1] == '\'' && end < message.size() &&
                           message[end] == '\'' && end > i + 1 && end - i <= 6 &&
                           std::from_chars(message.data() + i + 1, message.data() + end, number).ec == std::errc() &&
                           number >= 1 && number <= values_.size();
    if (!parameter) {
      named += message[i];
      continue;
    }
    named += Spelling(values_[number - 1]);
    i = end - 1;
  }
  return named;
}

}  // namespace fabrikon::dialect
