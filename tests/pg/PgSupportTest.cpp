// The tests' PostgreSQL server and the databases the test helpers make on it:
// the server listens on its socket folder only, every DemoDatabase is a copy
// of the demo plant of its own, dropped with it, and RunNative reaches it.
// Registered for the PostgreSQL runs only (label "pg").
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <optional>

#include "support/DemoDatabase.h"
#include "support/NativeSql.h"
#include "support/PgServer.h"

namespace fabrikon::testsupport {
namespace {

bool DatabaseExists(const std::string& name) {
  return PgValue(PgUri("postgres"), "SELECT count(*) FROM pg_database WHERE datname = '" + name + "'") == "1";
}

// The name part of a test database's URI.
std::string NameOf(const std::string& uri) {
  const size_t start = uri.find(":///") + 4;
  return uri.substr(start, uri.find('?') - start);
}

TEST(PgServer, AnswersOnItsSocketFolderOnly) {
  ASSERT_TRUE(TestsUsePg());
  EXPECT_EQ(PgValue(PgUri("postgres"), "SELECT 1"), "1");
  EXPECT_EQ(PgValue(PgUri("postgres"), "SHOW listen_addresses"), "");
  EXPECT_EQ(PgValue(PgUri("postgres"), "SHOW unix_socket_directories"), PgSocketDir());
  EXPECT_EQ(PgValue(PgUri("postgres"), "SHOW server_encoding"), "UTF8");
}

TEST(PgServer, DatabasesOfATestProgramAreNamedAfterItsProcess) {
  const std::string a = PgDatabaseName("db"), b = PgDatabaseName("db");
  EXPECT_NE(a, b);
  const std::string pid = "_" + std::to_string(::getpid()) + "_";
  EXPECT_NE(a.find(pid), std::string::npos) << a;
  EXPECT_LE(a.size(), 63u);  // PostgreSQL's longest name
}

TEST(PgDemoDatabase, IsADemoPlantOfItsOwnDroppedWithIt) {
  std::optional<DemoDatabase> first, second;
  first.emplace();
  second.emplace();
  const std::string firstName = NameOf(first->Path()), secondName = NameOf(second->Path());
  ASSERT_NE(firstName, secondName);
  EXPECT_EQ(first->ConnectionString(), first->Path());
  const std::string vouchers = PgValue(first->Path(), "SELECT count(*) FROM vouchers");
  EXPECT_GT(std::stoi(vouchers), 0);
  RunNative(first->Path(), "DELETE FROM vouchers");
  EXPECT_EQ(PgValue(first->Path(), "SELECT count(*) FROM vouchers"), "0");
  EXPECT_EQ(PgValue(second->Path(), "SELECT count(*) FROM vouchers"), vouchers);
  EXPECT_EQ(PgValue(DemoTemplate(), "SELECT count(*) FROM vouchers"), vouchers);
  first.reset();
  EXPECT_FALSE(DatabaseExists(firstName));
  EXPECT_TRUE(DatabaseExists(secondName));
  second.reset();
  EXPECT_FALSE(DatabaseExists(secondName));
}

TEST(PgDemoDatabase, IsDroppedWhileAConnectionIsStillOpen) {
  std::optional<DemoDatabase> db;
  db.emplace();
  const std::string name = NameOf(db->Path());
  PGconn* left = PQconnectdb(db->Path().c_str());
  ASSERT_EQ(PQstatus(left), CONNECTION_OK);
  db.reset();
  PQfinish(left);
  EXPECT_FALSE(DatabaseExists(name));
}

TEST(PgRunNative, ReportsTheServersError) {
  DemoDatabase db;
  EXPECT_NONFATAL_FAILURE(RunNative(db.Path(), "INSERT INTO no_such_table VALUES (1)"), "no_such_table");
}

}  // namespace
}  // namespace fabrikon::testsupport
