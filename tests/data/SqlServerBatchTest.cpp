// Batches on the embedded connection run as SQL Server runs them: IF ... ELSE,
// SELECT INTO and its count, TOP (n) [PERCENT] in UPDATE and DELETE,
// OFFSET ... FETCH, GROUP BY on computed text, local variables, @@ROWCOUNT,
// TRUNCATE TABLE, constraint violations in SQL Server's words that end only
// their statement, and result columns SQL Server leaves unnamed.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <tuple>

#include "TempDatabase.h"
#include "data/SqliteConnection.h"

namespace fabrikon {
namespace {

class SqlServerBatchTest : public ::testing::Test {
 protected:
  void SetUp() override { Fresh(); }

  // A new database with the test tables.
  void Fresh() {
    conn.reset();
    db = std::make_unique<testing::TempDatabase>();
    conn = SqliteConnection::Connect(db->ConnectionString());
    conn->ExecuteNative(
        "CREATE TABLE t(id int PRIMARY KEY, code nvarchar(10) COLLATE TSQL, v int NOT NULL);"
        "INSERT INTO t VALUES (1, 'a1', 10), (2, 'A1 ', 20), (3, 'b', 30);"
        "CREATE TABLE u(id int PRIMARY KEY, k nvarchar(5) UNIQUE, m nvarchar(5));"
        "CREATE UNIQUE INDEX ux_u_m ON u (m);"
        "INSERT INTO u VALUES (1, 'k1', 'm1');");
  }

  // Every SELECT's rows: values joined by ",", rows by ";", results by " / ".
  std::string Rows(const std::string& batch) {
    std::vector<RecordsetPtr> rowsets;
    conn->ExecuteAll(batch, rowsets);
    std::string out;
    for (const RecordsetPtr& rows : rowsets) {
      if (!out.empty()) out += " / ";
      std::string result;
      for (; !rows->Eof(); rows->MoveNext()) {
        std::string row;
        for (size_t i = 0; i < rows->FieldCount(); ++i)
          row += (i > 0 ? "," : "") + rows->Fields(static_cast<long>(i)).Value().ToText();
        result += (result.empty() ? "" : ";") + row;
      }
      out += result;
    }
    return out;
  }

  long Count(const std::string& batch) {
    long affected = -99;
    conn->Execute(batch, affected);
    return affected;
  }

  std::string Names(const std::string& batch) {
    RecordsetPtr rows = static_cast<Connection&>(*conn).Open(batch);
    std::string out;
    for (size_t i = 0; i < rows->FieldCount(); ++i)
      out += (i > 0 ? "|" : "") + rows->Fields(static_cast<long>(i)).Name();
    return out;
  }

  std::string ErrorOf(const std::string& batch) {
    try {
      conn->Execute(batch);
    } catch (const ComError& e) {
      return e.Description();
    }
    return "<no error>";
  }

  std::unique_ptr<testing::TempDatabase> db;
  std::shared_ptr<SqliteConnection> conn;
};

struct BatchCase {
  const char* batch;
  const char* rows;  // of every SELECT in the batch
  long count;        // what Execute reports for the batch (on a fresh table)
};

TEST_F(SqlServerBatchTest, StatementsRunAndCountAsOnSqlServer) {
  const std::vector<BatchCase> cases = {
      // IF ... ELSE: one branch runs, its condition read once.
      {"if exists (select * from t where id = 1) update t set v = 0 where id = 1 "
       "else update t set v = 0 where id > 1 select v from t order by id",
       "0;20;30", 1},
      {"if exists (select * from t where id = 9) update t set v = 0 where id = 1 "
       "else update t set v = 0 where id > 1 select v from t order by id",
       "10;0;0", 2},
      {"if 1 = 0 select 1 else if 1 = 1 select 2 else select 3", "2", -1},
      {"if 1 = 0 select 1 else if 1 = 0 select 2 else select 3", "3", -1},
      {"if not exists (select * from t where id = 4) insert into t (id, code, v) values (4, 'c', 40) "
       "else update t set v = 41 where id = 4; select v from t where id = 4",
       "40", 1},
      {"if 1 = 0 update t set v = 1 else if 1 = 0 update t set v = 2; select count(*) from t where v < 3", "0", -1},
      // SELECT ... INTO counts the rows it copies.
      {"select id, code into t2 from t where id < 3; select count(*) from t2", "2", 2},
      {"select top 50 percent id into t2 from t order by id desc; select id from t2", "3;2", 2},
      // TOP in UPDATE and DELETE, TOP PERCENT.
      {"update top (2) t set v = 0; select count(*) from t where v = 0", "2", 2},
      {"delete top (1) from t where v > 10; select count(*) from t", "2", 1},
      {"delete top (50) percent from t; select count(*) from t", "1", 2},
      {"select top 50 percent id from t order by id", "1;2", -1},
      // OFFSET ... FETCH.
      {"select id from t order by id offset 1 rows fetch next 1 rows only", "2", -1},
      {"select id from t order by id desc offset 1 row", "2;1", -1},
      {"select id from t order by id offset 0 rows fetch first 2 rows only", "1;2", -1},
      // GROUP BY on computed text groups by the collation.
      {"select upper(code), count(*) from t group by upper(code) order by 1", "A1,2;B,1", -1},
      {"select count(*) from t group by code + '' order by 1 desc", "2;1", -1},
      {"select count(*) from t group by lower(code) order by 1 desc", "2;1", -1},
      // @@ROWCOUNT: the rows the statement before touched or returned.
      {"update t set v = 1 where id < 3; select @@rowcount", "2", 2},
      {"select id from t; select @@rowcount", "1;2;3 / 3", -1},
      {"delete from t where id = 9 select @@ROWCOUNT", "0", 0},
      // Local variables take their declared type.
      {"declare @n int, @s varchar(2) = 'abc'; set @n = 5.7; select @n, @s", "5,ab", -1},
      {"declare @n int = 2 update t set v = @n where id = @n select v from t where id = @n", "2", 1},
      {"declare @c nvarchar(10) set @c = 'B' select id from t where code = @c", "3", -1},
      {"declare @n int = 1 if @n = 1 select 'one' else select 'other'", "one", -1},
      // TRUNCATE TABLE empties the table and reports no count.
      {"truncate table t select count(*) from t", "0", -1},
  };
  for (const BatchCase& c : cases) {
    SCOPED_TRACE(c.batch);
    EXPECT_EQ(Rows(c.batch), c.rows);
    Fresh();
    EXPECT_EQ(Count(c.batch), c.count);
    Fresh();
  }
}

TEST_F(SqlServerBatchTest, VariablesBelongToTheirBatch) {
  EXPECT_EQ(Rows("declare @n int = 7 select @n"), "7");
  EXPECT_EQ(ErrorOf("select @n"), "Must declare the scalar variable \"@n\".");
  EXPECT_EQ(ErrorOf("declare @n int = 'x'"), "Conversion failed when converting the varchar value 'x' to data type int.");
  EXPECT_EQ(ErrorOf("declare @n int select @n = id from t"),
            "Assigning a variable in a SELECT is not supported by the embedded database.");
}

// A constraint violation is worded as SQL Server words it, ends only its
// statement (outside a transaction) and is raised when the batch is done.
TEST_F(SqlServerBatchTest, ConstraintViolationsInSqlServerWords) {
  const std::string database = std::filesystem::path(db->Path()).stem().string();
  const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
      {"insert into t (id, code, v) values (5, 'e', 50) insert into t (id, code, v) values (1, 'x', 1) "
       "insert into t (id, code, v) values (6, 'f', 60)",
       "Violation of PRIMARY KEY constraint 'PK_t'. Cannot insert duplicate key in object 'dbo.t'. The duplicate key "
       "value is (1).",
       "select count(*) from t"},
      {"update t set id = 1 where id = 2",
       "Violation of PRIMARY KEY constraint 'PK_t'. Cannot insert duplicate key in object 'dbo.t'. The duplicate key "
       "value is (1).",
       "select count(*) from t where id = 2"},
      {"insert into t (id, code, v) values (7, 'g', null) insert into t (id, code, v) values (8, 'h', 80)",
       "Cannot insert the value NULL into column 'v', table '" + database +
           ".dbo.t'; column does not allow nulls. INSERT fails.",
       "select count(*) from t where id > 6"},
      {"update t set v = null where id = 1",
       "Cannot insert the value NULL into column 'v', table '" + database +
           ".dbo.t'; column does not allow nulls. UPDATE fails.",
       "select v from t where id = 1"},
      {"insert into u (id, k, m) values (2, 'k1', 'm2')",
       "Violation of UNIQUE KEY constraint 'UQ_u'. Cannot insert duplicate key in object 'dbo.u'. The duplicate key "
       "value is (k1).",
       "select count(*) from u"},
      {"insert into u (id, k, m) values (2, 'k2', 'm1')",
       "Cannot insert duplicate key row in object 'dbo.u' with unique index 'ux_u_m'. The duplicate key value is (m1).",
       "select count(*) from u"},
      // Where the statement does not show the value, the sentence about it is left out.
      {"insert into t (id, code, v) select id, code, v from t where id = 1",
       "Violation of PRIMARY KEY constraint 'PK_t'. Cannot insert duplicate key in object 'dbo.t'.",
       "select count(*) from t"},
  };
  const std::vector<std::string> after = {"5", "1", "1", "10", "1", "1", "6"};
  for (size_t i = 0; i < cases.size(); ++i) {
    const auto& [batch, error, check] = cases[i];
    EXPECT_EQ(ErrorOf(batch), error) << batch;
    EXPECT_EQ(Rows(check), after[i]) << batch;
  }
}

// A computed column without an alias has no name, as on SQL Server (never
// the text of its translation); columns and aliases keep theirs.
TEST_F(SqlServerBatchTest, ComputedColumnsWithoutAliasAreUnnamed) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"select id, code c, upper(code), t.v, 1 + 1 as two, 'x' [y], count(*) over () from t", "id|c||v|two|y|"},
      {"select top 1 isnull(code, '') from t order by id", ""},
      {"select distinct v * 2 from t", ""},
      {"select * from t", "id|code|v"},
      {"declare @n int = 1 select @n, @n as n", "|n"},
      {"select count(*) from t union select 1", ""},
  };
  for (const auto& [batch, names] : cases) EXPECT_EQ(Names(batch), names) << batch;
}

}  // namespace
}  // namespace fabrikon
