// SqliteErrorMapper: the one place that decides which error number a SQLite
// failure carries, so that every path (prepare, step, transactions, native
// scripts) reports the same numbers, and words the common failures (syntax,
// unknown objects) as SQL Server does.
#include "data/SqliteErrorMapper.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "data/ConstraintMessage.h"
#include "data/dialect/TSqlKeywords.h"

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

// An object name as the caller wrote it: the embedded engine's schema names
// (main., temp.) become what the T-SQL text said.
std::string CallerName(std::string name) {
  if (name.rfind("main.", 0) == 0) return name.substr(5);
  if (name.rfind("temp.", 0) == 0) return "TempDB.." + name.substr(5);
  return name;
}

bool Take(const std::string& message, const std::string& prefix, std::string& rest) {
  if (message.rfind(prefix, 0) != 0) return false;
  rest = message.substr(prefix.size());
  return true;
}

}  // namespace

std::string SqliteErrorMapper::Describe(const std::string& message) {
  std::string rest;
  if (Take(message, "near \"", rest)) {
    const size_t end = rest.rfind("\": syntax error");
    if (end != std::string::npos) return dialect::TSqlKeywords::IncorrectSyntaxNear(rest.substr(0, end));
  }
  if (Take(message, "ambiguous column name: ", rest)) return "Ambiguous column name '" + rest + "'.";
  if (message.find("ORDER BY term out of range") != std::string::npos)
    return "The ORDER BY position number is out of range of the number of items in the select list.";
  if (message.find("do not have the same number of result columns") != std::string::npos)
    return "All queries combined using a UNION, INTERSECT or EXCEPT operator must have an equal number of "
           "expressions in their target lists.";
  // An INSERT ... SELECT the translation staged in a common table expression
  // (StoreRule) words a count mismatch as "table fabrikon_stored has 2 values
  // for 1 columns"; without a column list it is the table's own count.
  if (message.rfind("table fabrikon_stored_all has ", 0) == 0)
    return "Column name or number of supplied values does not match table definition.";
  size_t counted = 0;
  if (message.rfind("table fabrikon_stored has ", 0) == 0) counted = std::string("table fabrikon_stored has ").size();
  if (const size_t values = message.find(" values for "); values != std::string::npos &&
                                                          message.size() > 8 &&
                                                          message.compare(message.size() - 8, 8, " columns") == 0) {
    const long given = std::strtol(message.c_str() + counted, nullptr, 10);
    const long wanted = std::strtol(message.c_str() + values + 12, nullptr, 10);
    return std::string("There are ") + (given < wanted ? "more" : "fewer") +
           " columns in the INSERT statement than values specified in the VALUES clause. The number of values in "
           "the VALUES clause must match the number of columns specified in the INSERT statement.";
  }
  if (Take(message, "table ", rest) && rest.find(" columns but ") != std::string::npos &&
      rest.find(" values were supplied") != std::string::npos)
    return "Column name or number of supplied values does not match table definition.";
  if (message == "incomplete input") return "Incorrect syntax near the end of the batch.";
  if (Take(message, "no such table: ", rest)) return "Invalid object name '" + CallerName(rest) + "'.";
  if (Take(message, "no such column: ", rest)) return "Invalid column name '" + rest + "'.";
  if (Take(message, "no such function: ", rest)) return "'" + rest + "' is not a recognized built-in function name.";
  if (Take(message, "no such index: ", rest))
    return "Cannot drop the index '" + rest + "', because it does not exist or you do not have permission.";
  if ((Take(message, "table ", rest) || Take(message, "index ", rest)) && rest.size() > 15 &&
      rest.compare(rest.size() - 15, 15, " already exists") == 0)
    return "There is already an object named '" + CallerName(rest.substr(0, rest.size() - 15)) + "' in the database.";
  return message;
}

int32_t SqliteErrorMapper::Number(int resultCode, const std::string& message, Phase phase) {
  // Failures of the value (a text too long for its column among them) are conversion errors.
  if (message.rfind("String or binary data would be truncated", 0) == 0) return ErrorNumber::CantConvertValue;
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
  if (message.rfind("Must declare the scalar variable", 0) == 0) return ErrorNumber::ErrorsInCommand;
  if (phase == Phase::Prepare && (resultCode & 0xff) == SQLITE_ERROR) return ErrorNumber::ErrorsInCommand;
  return ErrorNumber::E_FAIL_;
}

ComError SqliteErrorMapper::ToError(sqlite3* db, int resultCode, Phase phase) {
  std::string message = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(resultCode);
  return ComError(Number(resultCode, message, phase), Describe(message));
}

void SqliteErrorMapper::Raise(sqlite3* db, int resultCode, Phase phase) {
  throw ToError(db, resultCode, phase);
}

void SqliteErrorMapper::RaiseFrom(sqlite3* db, sqlite3_stmt* statement, int resultCode) {
  if ((resultCode & 0xff) == SQLITE_CONSTRAINT) {
    const std::string message = sqlite3_errmsg(db);
    const std::string worded = ConstraintMessage::Describe(db, statement, resultCode, message);
    if (!worded.empty()) throw ComError(Number(resultCode, message, Phase::Run), worded);
  }
  Raise(db, resultCode, Phase::Run);
}

bool SqliteErrorMapper::EndsStatementOnly(const ComError& error) {
  return error.Number() == ErrorNumber::IntegrityViolation ||
         error.Description().rfind("String or binary data would be truncated", 0) == 0;
}

}  // namespace fabrikon
