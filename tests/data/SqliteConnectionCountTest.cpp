// Records-affected counts and batch behaviour of the embedded connection:
// the rules that callers use to tell "saved", "changed by someone else" and
// "key already taken" apart.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "TempDatabase.h"
#include "data/SqliteConnection.h"

namespace fabrikon {
namespace {

using testing::ErrorNumberOf;

class SqliteConnectionCountTest : public ::testing::Test {
 protected:
  void SetUp() override {
    conn = SqliteConnection::Connect(db.ConnectionString());
    conn->ExecuteNative("CREATE TABLE parts(id int PRIMARY KEY, code nvarchar(20), qty float);");
  }
  long Run(const std::string& text) {
    long affected = -99;
    conn->Execute(text, affected);
    return affected;
  }
  long RowCount() { return Scalar("SELECT count(*) AS n FROM parts"); }
  long Scalar(const std::string& text) { return static_cast<long>(Query(text)->Fields(0).Value().ToInt()); }

  // Through the interface: on the class itself a one-argument Open also
  // names the static factory.
  RecordsetPtr Query(const std::string& text) { return static_cast<Connection&>(*conn).Open(text); }

  testing::TempDatabase db;
  std::shared_ptr<SqliteConnection> conn;
};

TEST_F(SqliteConnectionCountTest, ChangesReportRowsMatched) {
  EXPECT_EQ(Run("INSERT INTO parts(id,code,qty) VALUES (1,'a',2)"), 1);
  EXPECT_EQ(Run("INSERT INTO parts(id,code,qty) VALUES (2,'b',3)"), 1);
  // Unchanged values still count: a guard that matched must never look stale.
  EXPECT_EQ(Run("UPDATE parts SET code='a' WHERE id=1"), 1);
  EXPECT_EQ(Run("UPDATE parts SET qty=5"), 2);
  EXPECT_EQ(Run("UPDATE parts SET qty=5 WHERE id=99"), 0);
  EXPECT_EQ(Run("DELETE FROM parts WHERE id=2"), 1);
  EXPECT_EQ(Run("DELETE FROM parts WHERE id=2"), 0);
}

TEST_F(SqliteConnectionCountTest, RowReturningStatementsReportMinusOne) {
  Run("INSERT INTO parts(id,code,qty) VALUES (1,'a',2)");
  EXPECT_EQ(Run("SELECT * FROM parts WHERE id=1"), -1);
  EXPECT_EQ(Run("SELECT * FROM parts WHERE id=2"), -1);
  // Right after an UPDATE: the SELECT must not report the UPDATE's count.
  Run("UPDATE parts SET qty=1");
  EXPECT_EQ(Run("SELECT * FROM parts"), -1);
}

TEST_F(SqliteConnectionCountTest, SkippedGuardProducesNoCount) {
  Run("INSERT INTO parts(id,code,qty) VALUES (1,'a',2)");
  EXPECT_EQ(Run("IF NOT EXISTS (SELECT id FROM parts WHERE id=1) INSERT INTO parts(id,code,qty) VALUES (1,'x',1)"), -1);
  EXPECT_EQ(RowCount(), 1);
  EXPECT_EQ(Run("IF NOT EXISTS (SELECT id FROM parts WHERE id=2) INSERT INTO parts(id,code,qty) VALUES (2,'x',1)"), 1);
  EXPECT_EQ(RowCount(), 2);
}

TEST_F(SqliteConnectionCountTest, DdlProducesNoCount) {
  EXPECT_EQ(Run("CREATE INDEX ix_parts_code ON parts(code)"), -1);
  EXPECT_EQ(conn->ExecuteEach("DROP INDEX ix_parts_code"), std::vector<long>{kNoCount});
}

TEST_F(SqliteConnectionCountTest, BatchReportsFirstCountProduced) {
  Run("INSERT INTO parts(id,code,qty) VALUES (1,'a',2)");
  const std::string batch =
      " IF NOT EXISTS (SELECT id FROM parts WHERE id=1) INSERT INTO parts(id,code,qty) Values (1,'a',1)"
      " IF NOT EXISTS (SELECT id FROM parts WHERE id=3) INSERT INTO parts(id,code,qty) Values (3,'c',1)";
  EXPECT_EQ(conn->ExecuteEach(batch), (std::vector<long>{kNoCount, 1}));
  EXPECT_EQ(Run("DELETE FROM parts WHERE id=3 IF NOT EXISTS (SELECT id FROM parts WHERE id=1) "
                "INSERT INTO parts(id,code,qty) Values (1,'a',1)"),
            1);
  Run("INSERT INTO parts(id,code,qty) VALUES (2,'b',2)");
  // A zero is a count: it wins over the later statement's 2.
  EXPECT_EQ(Run("UPDATE parts SET qty=7 WHERE id=99\rUPDATE parts SET qty=7"), 0);
  EXPECT_EQ(Scalar("SELECT count(*) AS n FROM parts WHERE qty=7"), 2);
  EXPECT_EQ(Run("SELECT * FROM parts UPDATE parts SET qty=8"), -1);
}

TEST_F(SqliteConnectionCountTest, BatchThatDoesNotCompileRunsNothing) {
  const std::string inserts =
      " INSERT INTO parts(id,code,qty) Values (5,'x',1) INSERT INTO parts(id,code,qty) Values (6,'y',,1)";
  EXPECT_EQ(ErrorNumberOf([&] { Run(inserts); }), ErrorNumber::ErrorsInCommand);
  EXPECT_EQ(ErrorNumberOf([&] { Run("INSERT INTO parts(id,code,qty) Values (5,'x',1) SELECT nosuch FROM parts"); }),
            ErrorNumber::ErrorsInCommand);
  EXPECT_EQ(RowCount(), 0);
}

// SQL Server resolves a table's name when the statement runs: what runs
// before a statement that names a missing table stays done, and the batch
// stops there.
TEST_F(SqliteConnectionCountTest, MissingTableStopsTheBatchWhereItIsNamed) {
  EXPECT_EQ(ErrorNumberOf([&] {
              Run("INSERT INTO parts(id,code,qty) Values (5,'x',1) DELETE FROM no_such_table "
                  "INSERT INTO parts(id,code,qty) Values (6,'y',1)");
            }),
            ErrorNumber::ErrorsInCommand);
  EXPECT_EQ(Scalar("SELECT count(*) AS n FROM parts WHERE id=5"), 1);
  EXPECT_EQ(Scalar("SELECT count(*) AS n FROM parts WHERE id=6"), 0);
  // A guard that is false never resolves its statement's names.
  EXPECT_EQ(Run("IF 1 = 0 DELETE FROM no_such_table INSERT INTO parts(id,code,qty) Values (7,'z',1)"), 1);
}

// Outside a transaction a constraint violation ends only its statement, as
// on SQL Server: the batch goes on, and the error is raised at its end.
// Inside the caller's transaction the batch stops at the failure.
TEST_F(SqliteConnectionCountTest, ConstraintViolationEndsOnlyItsStatement) {
  Run("INSERT INTO parts(id,code,qty) VALUES (1,'a',2)");
  const std::string batch =
      "INSERT INTO parts(id,code,qty) VALUES (7,'g',1) INSERT INTO parts(id,code,qty) VALUES (1,'dup',1)"
      " INSERT INTO parts(id,code,qty) VALUES (8,'h',1)";
  EXPECT_EQ(ErrorNumberOf([&] { Run(batch); }), ErrorNumber::IntegrityViolation);
  EXPECT_EQ(Scalar("SELECT count(*) AS n FROM parts WHERE id=7"), 1);
  EXPECT_EQ(Scalar("SELECT count(*) AS n FROM parts WHERE id=8"), 1);
  EXPECT_EQ(Scalar("SELECT count(*) AS n FROM parts WHERE code='dup'"), 0);

  conn->BeginTrans();
  const std::string inTransaction =
      "INSERT INTO parts(id,code,qty) VALUES (9,'i',1) INSERT INTO parts(id,code,qty) VALUES (1,'dup',1)"
      " INSERT INTO parts(id,code,qty) VALUES (10,'j',1)";
  EXPECT_EQ(ErrorNumberOf([&] { Run(inTransaction); }), ErrorNumber::IntegrityViolation);
  EXPECT_EQ(Scalar("SELECT count(*) AS n FROM parts WHERE id=9"), 1);
  EXPECT_EQ(Scalar("SELECT count(*) AS n FROM parts WHERE id=10"), 0);
  conn->RollbackTrans();

  // A conversion error ends the batch (SQL Server's arithmetic abort).
  EXPECT_EQ(ErrorNumberOf([&] {
              Run("INSERT INTO parts(id,code,qty) VALUES (11,'k',1) SELECT 2147483647 + 1 "
                  "INSERT INTO parts(id,code,qty) VALUES (12,'l',1)");
            }),
            ErrorNumber::CantConvertValue);
  EXPECT_EQ(Scalar("SELECT count(*) AS n FROM parts WHERE id=11"), 1);
  EXPECT_EQ(Scalar("SELECT count(*) AS n FROM parts WHERE id=12"), 0);
}

TEST_F(SqliteConnectionCountTest, EmptyCommandTextIsAnError) {
  for (const std::string text : {"", "   ", " \r\n\t "}) {
    EXPECT_EQ(ErrorNumberOf([&] { Run(text); }), ErrorNumber::CommandTextNotSet) << '"' << text << '"';
    EXPECT_EQ(ErrorNumberOf([&] { conn->ExecuteEach(text); }), ErrorNumber::CommandTextNotSet);
    EXPECT_EQ(ErrorNumberOf([&] { Query(text); }), ErrorNumber::CommandTextNotSet);
  }
  try {
    Run("");
  } catch (const ComError& error) {
    EXPECT_EQ(error.Description(), "Command text was not set for the command object.");
  }
}

TEST_F(SqliteConnectionCountTest, SchemaChangeRecompilesCachedStatements) {
  conn->ExecuteNative("CREATE TABLE extra(a int);");
  EXPECT_EQ(Run("INSERT INTO extra(a) VALUES (1)"), 1);
  EXPECT_EQ(Query("SELECT * FROM extra")->FieldCount(), 1u);
  Run("DROP TABLE extra");
  // The cached INSERT into the dropped table must not run: the table's name
  // is resolved again when its turn comes, and the batch stops there.
  EXPECT_EQ(ErrorNumberOf([&] { Run("INSERT INTO parts(id,code,qty) VALUES (9,'i',1) INSERT INTO extra(a) VALUES (1)"); }),
            ErrorNumber::ErrorsInCommand);
  EXPECT_EQ(RowCount(), 1);
  conn->ExecuteNative("CREATE TABLE extra(a int, b nvarchar(5));");
  EXPECT_EQ(Query("SELECT * FROM extra")->FieldCount(), 2u);
}

TEST_F(SqliteConnectionCountTest, BatchLongerThanTheStatementCacheRunsWhole) {
  std::string batch;
  for (int id = 1; id <= 600; ++id)
    batch += " INSERT INTO parts(id,code,qty) Values (" + std::to_string(id) + ",'p',1)";
  conn->BeginTrans();
  std::vector<long> counts = conn->ExecuteEach(batch);
  conn->CommitTrans();
  EXPECT_EQ(counts, std::vector<long>(600, 1));
  EXPECT_EQ(RowCount(), 600);
}

// A batch of many thousand tokens is read a stretch at a time: statements
// across the seams, guards, quoted quotes, comments and one statement longer
// than a stretch all count and store as in a short batch, and a fault at the
// very end still leaves everything undone.
TEST_F(SqliteConnectionCountTest, LongBatchRunsAsOneBatch) {
  std::string batch;
  std::vector<long> expected;
  for (int id = 1; id <= 1500; ++id) {
    const std::string n = std::to_string(id);
    if (id % 7 == 0) {
      batch += " IF NOT EXISTS (SELECT * FROM parts WHERE id = " + n + ")";
      expected.push_back(1);
    } else if (id % 11 == 0) {
      batch += " IF EXISTS (SELECT * FROM parts WHERE id = -" + n + ")";  // false: skipped
      expected.push_back(kNoCount);
      batch += " INSERT INTO parts(id,code,qty) VALUES (" + n + ",N'skip',1)";
      continue;
    } else {
      expected.push_back(1);
    }
    batch += " INSERT INTO parts(id,code,qty) VALUES (" + n + ",N'o''" + n + "'," + n + ".5)";
    batch += id % 13 == 0 ? "; -- row " + n + "\n" : "";
  }
  std::string inList = "1";
  for (int id = 2; id <= 5000; ++id) inList += "," + std::to_string(id);
  batch += " UPDATE parts SET qty = qty + 1 WHERE id IN (" + inList + ")";
  expected.push_back(1500 - 1500 / 11 + 1500 / 77);
  conn->BeginTrans();
  EXPECT_EQ(conn->ExecuteEach(batch), expected);
  conn->CommitTrans();
  EXPECT_EQ(RowCount(), 1500 - 1500 / 11 + 1500 / 77);
  EXPECT_EQ(Query("SELECT code, qty FROM parts WHERE id = 1499")->Fields("code").Value(), Variant("o'1499"));
  EXPECT_EQ(Query("SELECT code, qty FROM parts WHERE id = 1499")->Fields("qty").Value().ToDouble(), 1500.5);
  EXPECT_EQ(Scalar("SELECT count(*) AS n FROM parts WHERE id IN (" + inList + ")"), RowCount());

  std::string more;
  for (int id = 2001; id <= 3500; ++id)
    more += " INSERT INTO parts(id,code,qty) VALUES (" + std::to_string(id) + ",'m',1)";
  for (const std::string& fault : {std::string(" INSERT INTO parts(id,code,qty) VALUES (9999,'open,1)"),
                                   std::string(" INSERT INTO parts(id,code,qty) VALUES (9999,'x',1")}) {
    EXPECT_EQ(ErrorNumberOf([&] { Run(more + fault); }), ErrorNumber::ErrorsInCommand) << fault;
    EXPECT_EQ(Scalar("SELECT count(*) AS n FROM parts WHERE id > 2000"), 0) << fault;
  }
}

TEST_F(SqliteConnectionCountTest, ErrorNumbersFollowTheFailure) {
  Run("INSERT INTO parts(id,code,qty) VALUES (1,'a',2)");
  EXPECT_EQ(ErrorNumberOf([&] { Run("SELECT sum(code) AS s FROM parts"); }), ErrorNumber::CantConvertValue);
  EXPECT_EQ(ErrorNumberOf([&] { Run("SELECT FROM WHERE"); }), ErrorNumber::ErrorsInCommand);
  // A statement still pending on the table (outside the library's own
  // calls) makes DROP TABLE fail as "locked".
  sqlite3_stmt* pending = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(conn->Handle(), "SELECT * FROM parts", -1, &pending, nullptr), SQLITE_OK);
  ASSERT_EQ(sqlite3_step(pending), SQLITE_ROW);
  EXPECT_EQ(ErrorNumberOf([&] { Run("DROP TABLE parts"); }), ErrorNumber::E_FAIL_);
  sqlite3_finalize(pending);
  try {
    Run("INSERT INTO parts(id,code,qty) VALUES (1,'a',2)");
    ADD_FAILURE() << "duplicate key accepted";
  } catch (const ComError& error) {
    EXPECT_EQ(error.Description(),
              "Violation of PRIMARY KEY constraint 'PK_parts'. Cannot insert duplicate key in object 'dbo.parts'. "
              "The duplicate key value is (1).");
  }
}

}  // namespace
}  // namespace fabrikon
