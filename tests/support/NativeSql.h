// Statements run on a test's database file directly, past the library, with
// the T-SQL runtime loaded (the tables' collation needs it): bulk inserts of
// test data that the library's statements would take long to make. On a
// PostgreSQL database (path is its URI) the same text goes through libpq.
#pragma once
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

#include "support/PgServer.h"

namespace fabrikon::testsupport {

inline void RunNative(const std::string& path, const std::string& sql) {
  if (IsPgUri(path)) {
    const std::string error = PgRun(path, sql);
    if (!error.empty()) ADD_FAILURE() << error << " in " << sql;
    return;
  }
  sqlite3* native = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &native), SQLITE_OK);
  sqlite3_busy_timeout(native, 5000);
  sqlite3_enable_load_extension(native, 1);
  char* error = nullptr;
  if (sqlite3_load_extension(native, FABRIKON_TSQL_EXTENSION, nullptr, &error) != SQLITE_OK ||
      sqlite3_exec(native, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    ADD_FAILURE() << (error ? error : "sqlite error") << " in " << sql;
  }
  sqlite3_free(error);
  sqlite3_close(native);
}

}  // namespace fabrikon::testsupport
