// The ODBC backend on the SQLite ODBC driver: counts of batches with several
// results (and SQL_NO_DATA), error numbers, transactions, the refusal of a
// connection without the T-SQL runtime, and the registry of open connections.
#include <gtest/gtest.h>

#include "OdbcTestSupport.h"
#include "data/OdbcErrorMapper.h"

namespace fabrikon::odbctest {
namespace {

struct CountCase {
  const char* batch;
  long recordsAffected;
  std::vector<long> each;
};

// Each batch runs on a fresh table holding rows 'a' and 'b' on both backends;
// the ODBC one must report exactly what the embedded one does.
TEST_F(OdbcTest, CountsOfEveryResultAreTheEmbeddedOnes) {
  const std::vector<CountCase> cases = {
      {"UPDATE parts SET qty=1 WHERE code='none'", 0, {0}},  // SQL_NO_DATA from the driver
      {"UPDATE parts SET qty=1", 2, {2}},
      {"INSERT INTO parts(code) VALUES ('c')", 1, {1}},
      {"SELECT * FROM parts UPDATE parts SET qty=2", -1, {-1, 2}},
      {"DELETE FROM parts WHERE code='a' UPDATE parts SET qty=3", 1, {1, 1}},
      {"IF EXISTS (SELECT * FROM parts WHERE code='zz') DELETE FROM parts UPDATE parts SET qty=4", 2, {kNoCount, 2}},
      {"IF NOT EXISTS (SELECT * FROM parts WHERE code='a') INSERT INTO parts(code) VALUES ('a')", -1, {kNoCount}},
      {"IF NOT EXISTS (SELECT * FROM parts WHERE code='d') INSERT INTO parts(code) VALUES ('d')", 1, {1}},
      {"INSERT INTO parts(code) SELECT code + 'x' FROM parts", 2, {2}},
      {"INSERT INTO parts(code) SELECT code FROM parts WHERE 1=0", 0, {0}},
  };
  const auto reset = [this] { embedded->ExecuteNative("DELETE FROM parts; INSERT INTO parts(code) VALUES ('a'), ('b');"); };
  for (const CountCase& c : cases) {
    for (const ConnectionPtr& conn : Both()) {
      SCOPED_TRACE(std::string(conn == odbc ? "odbc: " : "embedded: ") + c.batch);
      reset();
      EXPECT_EQ(Run(*conn, c.batch), c.recordsAffected);
      reset();
      EXPECT_EQ(conn->ExecuteEach(c.batch), c.each);
    }
  }
}

TEST_F(OdbcTest, OpenGivesTheFirstRowsOfABatchAfterItsChanges) {
  RecordsetPtr rows = odbc->Open("UPDATE parts SET qty=7 INSERT INTO parts(code, qty) VALUES ('n', 5) "
                                 "SELECT code, qty FROM parts ORDER BY code SELECT 1 AS one");
  ASSERT_EQ(rows->FieldCount(), 2u);
  EXPECT_EQ(rows->RecordCount(), 1);
  EXPECT_EQ(rows->Fields("code").Value().ToText(), "n");
  EXPECT_EQ(odbc->Open("UPDATE parts SET qty=1")->State(), adStateClosed);  // no rows: a closed recordset
}

TEST_F(OdbcTest, ErrorsCarryTheEmbeddedNumbers) {
  embedded->Execute("INSERT INTO parts(code, qty) VALUES ('a', 1)");
  const std::vector<std::pair<const char*, int32_t>> cases = {
      {"INSERT INTO parts(code) VALUES ('a')", ErrorNumber::IntegrityViolation},
      {"INSERT INTO parts(code) VALUES (NULL)", ErrorNumber::IntegrityViolation},
      {"SELECT * FROM no_such_table", ErrorNumber::ErrorsInCommand},
      {"SELECT no_such_column FROM parts", ErrorNumber::ErrorsInCommand},
      {"SELECT convert(int, 'x')", ErrorNumber::CantConvertValue},
      {"SELECT sum(code) FROM parts", ErrorNumber::CantConvertValue},
      {"SELEC 1", ErrorNumber::ErrorsInCommand},
      {"   ", ErrorNumber::CommandTextNotSet},
  };
  for (const auto& [text, number] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(ErrorNumberOf([&] { embedded->Execute(text); }), number);
    EXPECT_EQ(ErrorNumberOf([&] { odbc->Execute(text); }), number);
  }
  // The description is the driver's message without its bracketed prefix,
  // worded as the embedded connection words it.
  for (const auto& [text, description] : std::vector<std::pair<std::string, std::string>>{
           {"SELECT * FROM no_such_table", "Invalid object name 'no_such_table'."},
           {"SELECT no_such_column FROM parts", "Invalid column name 'no_such_column'."},
           {"SELECT no_such_function(1)", "'no_such_function' is not a recognized built-in function name."},
       }) {
    try {
      odbc->Execute(text);
      ADD_FAILURE() << text;
    } catch (const ComError& error) {
      EXPECT_EQ(error.Description(), description) << text;
    }
  }
}

// What a server driver reports: the SQLSTATE decides the number.
TEST(OdbcErrorMapperTest, ServerStatesMapToTheAdoNumbers) {
  const std::vector<std::pair<const char*, int32_t>> cases = {
      {"22018", ErrorNumber::CantConvertValue},   {"22005", ErrorNumber::CantConvertValue},
      {"42000", ErrorNumber::ErrorsInCommand},    {"42S02", ErrorNumber::ErrorsInCommand},
      {"42S22", ErrorNumber::ErrorsInCommand},    {"23000", ErrorNumber::IntegrityViolation},
      {"HYT00", ErrorNumber::Timeout},            {"HYT01", ErrorNumber::Timeout},
      {"40001", ErrorNumber::E_FAIL_},            {"08S01", ErrorNumber::E_FAIL_},
      {"", ErrorNumber::E_FAIL_},
  };
  for (const auto& [state, number] : cases) {
    SCOPED_TRACE(state);
    EXPECT_EQ(OdbcErrorMapper::Number(state, 1205, "message", false, OdbcErrorMapper::Phase::Run), number);
  }
}

TEST_F(OdbcTest, TransactionsCommitRollBackAndRefuseWhatTheEmbeddedOneRefuses) {
  EXPECT_EQ(ErrorNumberOf([&] { odbc->CommitTrans(); }), ErrorNumber::NoTransaction);
  EXPECT_EQ(ErrorNumberOf([&] { odbc->RollbackTrans(); }), ErrorNumber::NoTransaction);
  odbc->BeginTrans();
  EXPECT_TRUE(odbc->InTransaction());
  EXPECT_EQ(ErrorNumberOf([&] { odbc->BeginTrans(); }), ErrorNumber::E_FAIL_);
  odbc->Execute("INSERT INTO parts(code) VALUES ('gone')");
  odbc->RollbackTrans();
  EXPECT_FALSE(odbc->InTransaction());
  odbc->BeginTrans();
  odbc->Execute("INSERT INTO parts(code) VALUES ('kept')");
  // The write lock is taken at BeginTrans: another writer waits, then times out.
  auto other = SqliteConnection::Connect("Data Source=" + path + ";Busy Timeout=50");
  EXPECT_EQ(ErrorNumberOf([&] { other->Execute("INSERT INTO parts(code) VALUES ('other')"); }),
            ErrorNumber::Timeout);
  odbc->CommitTrans();
  RecordsetPtr rows = embedded->Open("SELECT code FROM parts ORDER BY code");
  ASSERT_EQ(rows->RecordCount(), 1);
  EXPECT_EQ(rows->Fields("code").Value().ToText(), "kept");
}

TEST_F(OdbcTest, OpeningRefusesWhatCannotWork) {
  // No T-SQL runtime: the dialect's functions would fail statement by statement.
  const std::string withoutRuntime = "Driver={FABRIKON SQLite3};Database=" + path;
  testsupport::OdbcConnectionString(path);  // registers the driver
  try {
    OpenConnection(withoutRuntime);
    FAIL();
  } catch (const ComError& error) {
    EXPECT_EQ(error.Number(), ErrorNumber::E_FAIL_);
    EXPECT_NE(error.Description().find("LoadExt="), std::string::npos) << error.Description();
  }
  EXPECT_EQ(ErrorNumberOf([] { OpenConnection("DSN=fabrikon_no_such_source"); }), ErrorNumber::E_FAIL_);
}

TEST_F(OdbcTest, OpenConnectionChoosesOdbcAndHostSubstitutesFindIt) {
  const std::string text = testsupport::OdbcConnectionString(path) + ";Application Name=registry";
  ConnectionPtr conn = OpenConnection(text);
  EXPECT_NE(std::dynamic_pointer_cast<OdbcConnection>(conn), nullptr);
  EXPECT_EQ(conn->ConnectionString(), text);  // what the host passed, keys and all
  EXPECT_EQ(FindOpenConnection(text), conn);
  EXPECT_EQ(conn->SessionTableSuffix(), "");  // SQLite's temporary tables belong to one connection
  conn.reset();
  EXPECT_EQ(FindOpenConnection(text), nullptr);
}

}  // namespace
}  // namespace fabrikon::odbctest
