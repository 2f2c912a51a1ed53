// OdbcErrorMapper: SQLSTATE (or the SQLite driver's native code) to the ADO
// error numbers the library relies on.
#include "data/OdbcErrorMapper.h"

#include <sqlext.h>

#include <algorithm>
#include <array>
#include <utility>

#include "data/OdbcText.h"
#include "data/SqliteErrorMapper.h"

namespace fabrikon {

namespace {

constexpr std::array<std::pair<const char*, int32_t>, 9> kStates{{
    {"22018", ErrorNumber::CantConvertValue},    // invalid character value for cast
    {"22005", ErrorNumber::CantConvertValue},    // error in assignment
    {"42000", ErrorNumber::ErrorsInCommand},     // syntax error or access violation
    {"42S02", ErrorNumber::ErrorsInCommand},     // unknown table or view
    {"42S22", ErrorNumber::ErrorsInCommand},     // unknown column
    {"23000", ErrorNumber::IntegrityViolation},  // constraint violation
    {"HYT00", ErrorNumber::Timeout},
    {"HYT01", ErrorNumber::Timeout},
    {"40001", ErrorNumber::E_FAIL_},  // deadlock victim: the operation failed
}};

// Drivers prefix their messages with "[vendor][driver]..." components.
std::string WithoutPrefixes(std::string message) {
  while (!message.empty() && message.front() == '[') {
    size_t close = message.find(']');
    if (close == std::string::npos) break;
    message.erase(0, close + 1);
  }
  return message;
}

// The SQLite driver ends its messages with " (N)", N being the native code.
std::string WithoutCodeSuffix(std::string message, SQLINTEGER native) {
  const std::string suffix = " (" + std::to_string(native) + ")";
  if (message.size() >= suffix.size() && message.compare(message.size() - suffix.size(), suffix.size(), suffix) == 0)
    message.erase(message.size() - suffix.size());
  return message;
}

bool NarrowRecord(SQLSMALLINT handleType, SQLHANDLE handle, SQLSMALLINT record, std::string& state,
                  SQLINTEGER& native, std::string& message) {
  SQLCHAR stateText[6] = {0};
  SQLCHAR text[2048] = {0};
  SQLSMALLINT length = 0;
  if (!SQL_SUCCEEDED(SQLGetDiagRec(handleType, handle, record, stateText, &native, text,
                                   static_cast<SQLSMALLINT>(sizeof text), &length)))
    return false;
  state = reinterpret_cast<const char*>(stateText);
  message = reinterpret_cast<const char*>(text);
  return true;
}

bool WideRecord(SQLSMALLINT handleType, SQLHANDLE handle, SQLSMALLINT record, std::string& state,
                SQLINTEGER& native, std::string& message) {
  SQLWCHAR stateText[6] = {0};
  SQLWCHAR text[1024] = {0};
  SQLSMALLINT length = 0;
  if (!SQL_SUCCEEDED(SQLGetDiagRecW(handleType, handle, record, stateText, &native, text,
                                    static_cast<SQLSMALLINT>(std::size(text)), &length)))
    return false;
  state = odbc::Narrow(stateText, 5);
  size_t units = std::min<size_t>(static_cast<size_t>(std::max<SQLSMALLINT>(length, 0)), std::size(text) - 1);
  message = odbc::Narrow(text, units);
  return true;
}

}  // namespace

int32_t OdbcErrorMapper::Number(const std::string& sqlState, long nativeError, const std::string& message,
                                bool sqliteDriver, Phase phase) {
  if (sqliteDriver && nativeError != 0) {
    return SqliteErrorMapper::Number(static_cast<int>(nativeError), message,
                                     phase == Phase::Prepare ? SqliteErrorMapper::Phase::Prepare
                                                             : SqliteErrorMapper::Phase::Run);
  }
  for (const auto& [state, number] : kStates) {
    if (sqlState == state) return number;
  }
  return ErrorNumber::E_FAIL_;
}

ComError OdbcErrorMapper::ToError(SQLSMALLINT handleType, SQLHANDLE handle, bool sqliteDriver, Phase phase) {
  std::string firstState, description;
  SQLINTEGER firstNative = 0;
  for (SQLSMALLINT record = 1;; ++record) {
    std::string state, message;
    SQLINTEGER native = 0;
    // The SQLite driver has only the narrow call, whose bytes are UTF-8.
    if (sqliteDriver ? !NarrowRecord(handleType, handle, record, state, native, message)
                     : !WideRecord(handleType, handle, record, state, native, message))
      break;
    message = WithoutCodeSuffix(WithoutPrefixes(message), native);
    // The SQLite driver carries the embedded engine's words: say them as the
    // embedded connection does (SQL Server's wording).
    if (sqliteDriver) message = SqliteErrorMapper::Describe(message);
    if (record == 1) {
      firstState = state;
      firstNative = native;
    }
    if (!message.empty()) description += (description.empty() ? "" : "\n") + message;
  }
  if (description.empty()) description = "The database driver reported a failure without a message.";
  return ComError(Number(firstState, firstNative, description, sqliteDriver, phase), description);
}

void OdbcErrorMapper::Raise(SQLSMALLINT handleType, SQLHANDLE handle, bool sqliteDriver, Phase phase) {
  throw ToError(handleType, handle, sqliteDriver, phase);
}

}  // namespace fabrikon
