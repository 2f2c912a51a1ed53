// SqliteErrorMapper: the one place that decides which error number a SQLite
// failure carries, so that every path (prepare, step, transactions, native
// scripts) reports the same numbers.
#include "data/SqliteErrorMapper.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>

namespace fabrikon {

namespace {

// The dialect's conversions and strict sum report their failures with this
// message prefix (SQL Server's wording), whatever code SQLite carries.
bool IsConversionMessage(const std::string& message) {
  static const std::string prefix = "conversion failed";
  if (message.size() < prefix.size()) return false;
  return std::equal(prefix.begin(), prefix.end(), message.begin(), [](char a, char b) {
    return a == std::tolower(static_cast<unsigned char>(b));
  });
}

}  // namespace

int32_t SqliteErrorMapper::Number(int resultCode, const std::string& message, Phase phase) {
  switch (resultCode & 0xff) {
    case SQLITE_BUSY:
      return ErrorNumber::Timeout;
    case SQLITE_LOCKED:
      return ErrorNumber::E_FAIL_;
    case SQLITE_MISMATCH:
      return ErrorNumber::CantConvertValue;
    case SQLITE_CONSTRAINT:
      return ErrorNumber::IntegrityViolation;
    default:
      break;
  }
  if (IsConversionMessage(message)) return ErrorNumber::CantConvertValue;
  if (phase == Phase::Prepare && (resultCode & 0xff) == SQLITE_ERROR) return ErrorNumber::ErrorsInCommand;
  return ErrorNumber::E_FAIL_;
}

ComError SqliteErrorMapper::ToError(sqlite3* db, int resultCode, Phase phase) {
  std::string message = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(resultCode);
  return ComError(Number(resultCode, message, phase), message);
}

void SqliteErrorMapper::Raise(sqlite3* db, int resultCode, Phase phase) {
  throw ToError(db, resultCode, phase);
}

}  // namespace fabrikon
