// Opening connections by connection string: picks the backend, finds the
// caller's open connection for host substitutes, and reads "Key=Value" pairs.
#include <cctype>

#include "data/ConnectionRegistry.h"
#include "data/OdbcConnection.h"
#include "data/PgConnection.h"
#include "data/PgHostDatabase.h"
#include "data/SqliteConnection.h"
#include "fabrikon/ComError.h"
#include "fabrikon/Connection.h"

namespace fabrikon {

namespace {

std::string Trim(const std::string& text) {
  size_t begin = text.find_first_not_of(" \t\r\n");
  if (begin == std::string::npos) return "";
  size_t end = text.find_last_not_of(" \t\r\n");
  return text.substr(begin, end - begin + 1);
}

bool SameKey(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// Reads one value from position i: either quoted ("..." or '...', the quote
// doubled inside) or up to the next ';'. Leaves i after the terminating ';'.
std::string ReadValue(const std::string& text, size_t& i) {
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  std::string value;
  if (i < text.size() && (text[i] == '"' || text[i] == '\'')) {
    const char quote = text[i++];
    for (; i < text.size(); ++i) {
      if (text[i] != quote) { value += text[i]; continue; }
      if (i + 1 < text.size() && text[i + 1] == quote) { value += quote; ++i; continue; }
      ++i;
      break;
    }
    size_t end = text.find(';', i);
    i = end == std::string::npos ? text.size() : end + 1;
    return value;
  }
  size_t end = text.find(';', i);
  value = text.substr(i, end == std::string::npos ? std::string::npos : end - i);
  i = end == std::string::npos ? text.size() : end + 1;
  return Trim(value);
}

}  // namespace

std::string ConnectionStringValue(const std::string& connectionString, const std::string& key) {
  const std::string wanted = Trim(key);
  size_t i = 0;
  while (i < connectionString.size()) {
    size_t equals = connectionString.find('=', i);
    if (equals == std::string::npos) break;
    std::string name = Trim(connectionString.substr(i, equals - i));
    i = equals + 1;
    std::string value = ReadValue(connectionString, i);
    if (SameKey(name, wanted)) return value;
  }
  return "";
}

ConnectionPtr OpenConnection(const std::string& connectionString) {
  if (PgConnection::IsPgConnectionString(connectionString)) {
    std::shared_ptr<PgConnection> conn = PgConnection::Connect(connectionString);
    PgHostDatabase::Upgrade(*conn);
    return conn;
  }
  if (OdbcConnection::IsOdbcConnectionString(connectionString)) return OdbcConnection::Connect(connectionString);
  // A bare file name, or a string naming a data source, is the embedded database.
  if (connectionString.find('=') == std::string::npos ||
      !ConnectionStringValue(connectionString, "Data Source").empty())
    return SqliteConnection::Connect(connectionString);
  throw ComError(ErrorNumber::E_FAIL_,
                 "No database backend for this connection string (expected \"Data Source=FILE\"): " +
                     connectionString);
}

ConnectionPtr FindOpenConnection(const std::string& connectionString) {
  return ConnectionRegistry::Find(connectionString);
}

}  // namespace fabrikon
