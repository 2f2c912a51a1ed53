// Fixture for the ODBC backend's own tests: one database file, opened both by
// the embedded connection and through the SQLite ODBC driver, so that every
// rule can be held against what the embedded connection does on the same data.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "data/OdbcConnection.h"
#include "data/SqliteConnection.h"
#include "data/TempDatabase.h"
#include "fabrikon/ComError.h"
#include "support/DemoDatabase.h"
#include "support/TestConnection.h"

namespace fabrikon::odbctest {

using fabrikon::testing::ErrorNumberOf;

class OdbcTest : public ::testing::Test {
 protected:
  void SetUp() override {
    embedded = SqliteConnection::Connect("Data Source=" + path, SqliteConnection::Missing::Create);
    embedded->ExecuteNative(
        "CREATE TABLE parts(id integer PRIMARY KEY AUTOINCREMENT, code nvarchar(20) COLLATE TSQL NOT NULL UNIQUE,"
        " qty float, price money, rate decimal(18, 4), flag bit, small smallint, tiny tinyint, big bigint,"
        " made datetime, note ntext COLLATE TSQL, fixed char(4) COLLATE TSQL);");
    odbc = OdbcConnection::Connect(testsupport::OdbcConnectionString(path));
  }
  void TearDown() override {
    odbc.reset();
    embedded.reset();
    testsupport::RemoveDatabase(path);
  }

  // Both backends in turn, each on its own copy of the data as it is now.
  std::vector<ConnectionPtr> Both() { return {embedded, odbc}; }
  static long Run(Connection& conn, const std::string& text) {
    long affected = -99;
    conn.Execute(text, affected);
    return affected;
  }

  std::string path = testsupport::TempPath("odbc");
  std::shared_ptr<SqliteConnection> embedded;
  std::shared_ptr<OdbcConnection> odbc;
};

}  // namespace fabrikon::odbctest
