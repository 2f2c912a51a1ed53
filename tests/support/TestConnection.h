// The connection string a test opens its database file with. Normally the
// embedded backend ("Data Source=FILE"); with FABRIKON_TEST_BACKEND=odbc in
// the environment the same file through the SQLite ODBC driver, registered
// in the build's own odbcinst.ini, with the T-SQL runtime loaded as an
// extension. tests/CMakeLists.txt registers chosen suites a second time with
// that environment (label "odbc"), so a suite whose fixtures open their
// database through TestConnectionString runs on both backends.
#pragma once
#include <cstdlib>
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

inline std::string TestConnectionString(const std::string& path) {
  return TestsUseOdbc() ? OdbcConnectionString(path) : "Data Source=" + path;
}

}  // namespace fabrikon::testsupport
