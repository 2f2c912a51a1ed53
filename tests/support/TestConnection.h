// The connection string a test opens its database file with. Normally the
// embedded backend ("Data Source=FILE"); with FABRIKON_TEST_BACKEND=odbc in
// the environment the same file through the SQLite ODBC driver, registered
// in the build's own odbcinst.ini, with the T-SQL runtime loaded as an
// extension. tests/CMakeLists.txt registers chosen suites a second time with
// that environment (label "odbc"), so a suite whose fixtures open their
// database through TestConnectionString runs on both backends.
// With FABRIKON_TEST_BACKEND=pg (label "pg") a test's database is not a file
// but a PostgreSQL database of its own on the throwaway cluster the ctest
// fixture started (tests/pg/cluster.sh): its "path" is then the database's
// URI, which is also its connection string.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace fabrikon::testsupport {

// The SQLite ODBC driver on FILE, whatever the environment says.
inline std::string OdbcConnectionString(const std::string& path) {
  // unixODBC reads the driver list from this folder (set before the first connection).
  ::setenv("ODBCSYSINI", FABRIKON_ODBC_SYSINI, 1);
  return "Driver={FABRIKON SQLite3};Database=" + path + ";LoadExt=" FABRIKON_TSQL_EXTENSION ";Timeout=5000";
}

inline bool TestsUseOdbc() {
  const char* backend = std::getenv("FABRIKON_TEST_BACKEND");
  return backend != nullptr && std::string(backend) == "odbc";
}

inline bool TestsUsePg() {
  const char* backend = std::getenv("FABRIKON_TEST_BACKEND");
  return backend != nullptr && std::string(backend) == "pg";
}

inline bool IsPgUri(const std::string& path) {
  return path.rfind("postgresql://", 0) == 0 || path.rfind("postgres://", 0) == 0;
}

// The socket folder of the tests' PostgreSQL server: FABRIKON_TEST_PG_HOST
// when set (a server of one's own), else what the ctest fixture wrote.
inline std::string PgSocketDir() {
  if (const char* host = std::getenv("FABRIKON_TEST_PG_HOST"); host != nullptr && *host != '\0') return host;
  std::string dir;
  std::ifstream file(FABRIKON_PG_SOCKET_FILE);
  if (!std::getline(file, dir) || dir.empty()) {
    throw std::runtime_error("no PostgreSQL server for the tests: " FABRIKON_PG_SOCKET_FILE
                             " is missing (run through ctest, whose fixture pg:start starts one, or set "
                             "FABRIKON_TEST_PG_HOST to a socket folder)");
  }
  return dir;
}

// Skips every test of a PostgreSQL run when there is no server: the ctest
// fixture pg:start skips too when the PostgreSQL binaries are not installed.
class PgServerCheck : public ::testing::Environment {
 public:
  void SetUp() override {
    if (TestsUsePg() && std::getenv("FABRIKON_TEST_PG_HOST") == nullptr &&
        !std::filesystem::exists(FABRIKON_PG_SOCKET_FILE)) {
      // The mark is what ctest takes for a skip (the tests never start).
      GTEST_SKIP() << "[  SKIPPED ] no PostgreSQL server for the tests (" FABRIKON_PG_SOCKET_FILE " is missing)";
    }
  }
};
inline ::testing::Environment* const pgServerCheck = ::testing::AddGlobalTestEnvironment(new PgServerCheck);

// The URI of database `name` on the tests' server (socket only, trusted user postgres).
inline std::string PgUri(const std::string& name) {
  return "postgresql:///" + name + "?host=" + PgSocketDir() + "&user=postgres";
}

// The test's database through the backend the suite runs on.
inline std::string TestConnectionString(const std::string& path) {
  if (IsPgUri(path)) return path;
  return TestsUseOdbc() ? OdbcConnectionString(path) : "Data Source=" + path;
}

// The database's own backend, past ODBC: the embedded one on a file, or
// PostgreSQL on a URI.
inline std::string NativeConnectionString(const std::string& path) {
  return IsPgUri(path) ? path : "Data Source=" + path;
}

// The same database under another application name: a connection string
// that opens a connection of its own rather than finding the caller's.
inline std::string WithApplicationName(const std::string& connectionString, const std::string& name) {
  if (!IsPgUri(connectionString)) return connectionString + ";Application Name=" + name;
  return connectionString + (connectionString.find('?') == std::string::npos ? "?" : "&") + "application_name=" + name;
}

}  // namespace fabrikon::testsupport
