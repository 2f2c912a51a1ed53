// TSqlSession: see the header. A connection's session is found from the
// connection handle through a registry (the embedded connection notes row
// counts from outside the engine), and from inside through the functions'
// user data; it goes with the connection (SQLite calls Destroy on close).
#include "data/dialect/TSqlSession.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <mutex>
#include <unordered_map>

#include "data/dialect/TSqlConversions.h"
#include "data/dialect/modSqlFunctions.h"

namespace fabrikon::dialect {

namespace {

using sqlfn::Text;

std::mutex registryMutex;
std::unordered_map<sqlite3*, TSqlSession*>& Registry() {
  static std::unordered_map<sqlite3*, TSqlSession*> sessions;
  return sessions;
}

std::string Lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

bool IsIntegerType(const std::string& type) {
  return type == "int" || type == "integer" || type == "bigint" || type == "smallint" || type == "tinyint" ||
         type == "bit";
}

bool IsFloatType(const std::string& type) {
  return type == "float" || type == "real" || type == "decimal" || type == "numeric" || type == "money" ||
         type == "smallmoney";
}

bool IsTextType(const std::string& type) {
  return type == "char" || type == "varchar" || type == "nchar" || type == "nvarchar";
}

void MustDeclare(sqlite3_context* ctx, std::string_view name) {
  const std::string message = "Must declare the scalar variable \"" + std::string(name) + "\".";
  sqlite3_result_error(ctx, message.c_str(), -1);
}

void ConversionFailed(sqlite3_context* ctx, std::string_view value, const std::string& type) {
  const std::string message =
      "Conversion failed when converting the varchar value '" + std::string(value) + "' to data type " + type + ".";
  sqlite3_result_error(ctx, message.c_str(), -1);
  sqlite3_result_error_code(ctx, SQLITE_MISMATCH);
}

}  // namespace

void TSqlSession::Register(sqlite3* db) {
  auto* session = new TSqlSession;
  session->db_ = db;
  {
    std::lock_guard<std::mutex> lock(registryMutex);
    Registry()[db] = session;
  }
  sqlite3_create_function_v2(db, "tsql_declare", 3, SQLITE_UTF8, session, Declare, nullptr, nullptr, nullptr);
  sqlite3_create_function_v2(db, "tsql_set", 2, SQLITE_UTF8, session, Set, nullptr, nullptr, nullptr);
  sqlite3_create_function_v2(db, "tsql_rowcount", 0, SQLITE_UTF8, session, RowCount, nullptr, nullptr, nullptr);
  // The last one owns the session.
  sqlite3_create_function_v2(db, "tsql_var", 1, SQLITE_UTF8, session, Get, nullptr, nullptr, Destroy);
}

TSqlSession* TSqlSession::Of(sqlite3* db) {
  std::lock_guard<std::mutex> lock(registryMutex);
  auto found = Registry().find(db);
  return found == Registry().end() ? nullptr : found->second;
}

void TSqlSession::Destroy(void* data) {
  auto* session = static_cast<TSqlSession*>(data);
  {
    std::lock_guard<std::mutex> lock(registryMutex);
    auto found = Registry().find(session->db_);
    if (found != Registry().end() && found->second == session) Registry().erase(found);
  }
  delete session;
}

// tsql_declare(name, type, initial value): the type as declared, "varchar(10)".
void TSqlSession::Declare(sqlite3_context* ctx, int, sqlite3_value** argv) {
  auto* session = static_cast<TSqlSession*>(sqlite3_user_data(ctx));
  const std::string declared = Lower(Text(argv[1]));
  Variable variable;
  const size_t open = declared.find('(');
  variable.type = std::string(TSqlConversions::Trim(std::string_view(declared).substr(0, open)));
  if (open != std::string::npos)
    variable.length = declared.compare(open + 1, 3, "max") == 0 ? 0x7fffffff : std::atoi(declared.c_str() + open + 1);
  if (!Assign(ctx, variable, argv[2])) return;
  session->variables_[Lower(Text(argv[0]))] = std::move(variable);
  sqlite3_result_null(ctx);
}

void TSqlSession::Set(sqlite3_context* ctx, int, sqlite3_value** argv) {
  auto* session = static_cast<TSqlSession*>(sqlite3_user_data(ctx));
  auto found = session->variables_.find(Lower(Text(argv[0])));
  if (found == session->variables_.end()) return MustDeclare(ctx, Text(argv[0]));
  if (!Assign(ctx, found->second, argv[1])) return;
  sqlite3_result_null(ctx);
}

void TSqlSession::Get(sqlite3_context* ctx, int, sqlite3_value** argv) {
  auto* session = static_cast<TSqlSession*>(sqlite3_user_data(ctx));
  auto found = session->variables_.find(Lower(Text(argv[0])));
  if (found == session->variables_.end()) return MustDeclare(ctx, Text(argv[0]));
  Result(ctx, found->second);
}

void TSqlSession::Result(sqlite3_context* ctx, const Variable& variable) {
  const int bytes = static_cast<int>(variable.bytes.size());
  switch (variable.kind) {
    case SQLITE_INTEGER: return sqlite3_result_int64(ctx, variable.whole);
    case SQLITE_FLOAT: return sqlite3_result_double(ctx, variable.number);
    case SQLITE_TEXT: return sqlite3_result_text(ctx, variable.bytes.data(), bytes, SQLITE_TRANSIENT);
    case SQLITE_BLOB: return sqlite3_result_blob(ctx, variable.bytes.data(), bytes, SQLITE_TRANSIENT);
    default: return sqlite3_result_null(ctx);
  }
}

// A connection whose statements nobody counts (the ODBC driver's) answers
// with the engine's count of the last change.
void TSqlSession::RowCount(sqlite3_context* ctx, int, sqlite3_value**) {
  auto* session = static_cast<TSqlSession*>(sqlite3_user_data(ctx));
  sqlite3_result_int64(ctx, session->noted_ ? session->rowCount_ : sqlite3_changes64(session->db_));
}

// Whole-number types take the whole part of a number and refuse text that is
// no whole number; number types read numeric text; text types keep their length.
bool TSqlSession::Assign(sqlite3_context* ctx, Variable& variable, sqlite3_value* value) {
  int kind = sqlite3_value_type(value);
  const std::string_view text = kind == SQLITE_NULL ? std::string_view() : Text(value);
  if (IsIntegerType(variable.type) && (kind == SQLITE_TEXT || kind == SQLITE_FLOAT)) {
    if (kind == SQLITE_FLOAT) {
      variable.whole = static_cast<int64_t>(std::trunc(sqlite3_value_double(value)));
    } else {
      const std::string copy(TSqlConversions::Trim(text));
      char* end = nullptr;
      errno = 0;
      variable.whole = std::strtoll(copy.c_str(), &end, 10);
      if (copy.empty() || *end != '\0' || errno != 0) {
        ConversionFailed(ctx, text, variable.type);
        return false;
      }
    }
    variable.kind = SQLITE_INTEGER;
    return true;
  }
  if (IsFloatType(variable.type) && kind == SQLITE_TEXT) {
    if (!TSqlConversions::ParseNumber(text, variable.number)) {
      ConversionFailed(ctx, text, variable.type);
      return false;
    }
    variable.kind = SQLITE_FLOAT;
    return true;
  }
  variable.kind = kind;
  variable.whole = kind == SQLITE_INTEGER ? sqlite3_value_int64(value) : 0;
  variable.number = kind == SQLITE_FLOAT ? sqlite3_value_double(value) : 0;
  variable.bytes.assign(text.data(), text.size());
  if (kind == SQLITE_BLOB)
    variable.bytes.assign(static_cast<const char*>(sqlite3_value_blob(value)), static_cast<size_t>(sqlite3_value_bytes(value)));
  if (IsTextType(variable.type) && kind != SQLITE_BLOB && kind != SQLITE_NULL) {
    variable.kind = SQLITE_TEXT;
    // A variable takes the characters that fit, silently.
    size_t characters = variable.length > 0 ? static_cast<size_t>(variable.length) : 1;
    size_t end = 0;
    while (end < variable.bytes.size() && characters > 0) {
      ++end;
      while (end < variable.bytes.size() && (static_cast<unsigned char>(variable.bytes[end]) & 0xC0) == 0x80) ++end;
      --characters;
    }
    variable.bytes.resize(end);
  }
  return true;
}

}  // namespace fabrikon::dialect
