// Statements that differ only in their values share one translation and one
// compiled statement in the embedded connection; the answers must stay those
// of the statement as written: text against number columns, the TSQL
// collation, date literals in their many forms, blank texts, names of
// unnamed result columns, ORDER BY positions, TOP, type lengths.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TempDatabase.h"
#include "data/SqliteConnection.h"
#include "fabrikon/ComError.h"

namespace fabrikon {
namespace {

struct Case {
  const char* tsql;
  const char* columns;  // names joined by "|"
  const char* rows;     // rows joined by ";", values by "|"; "!": the statement fails
};

std::string Answer(Connection& conn, const std::string& tsql, std::string& columns) {
  RecordsetPtr rs = conn.Open(tsql);
  columns.clear();
  for (size_t i = 0; i < rs->FieldCount(); ++i) columns += (i ? "|" : "") + rs->Info(i).name;
  std::string rows;
  for (; !rs->Eof(); rs->MoveNext()) {
    if (!rows.empty()) rows += ";";
    for (size_t i = 0; i < rs->FieldCount(); ++i) rows += (i ? "|" : "") + rs->Fields(i).Value().ToText();
  }
  return rows;
}

TEST(SqliteParameterizedTest, SameShapeDifferentValuesAnswerAsWritten) {
  testing::TempDatabase db;
  auto conn = SqliteConnection::Connect(db.ConnectionString());
  conn->ExecuteNative(
      "CREATE TABLE t(id INTEGER PRIMARY KEY, code varchar(20) COLLATE TSQL, qty decimal(18,4), d datetime, n int);");
  Connection& c = *conn;
  c.Execute("insert into t(id,code,qty,d,n) values (1,'abc',2.5,'2024-03-10',5)"
            " insert into t(id,code,qty,d,n) values (2,'ABD',1.25,'2024/3/11 08:30',6)"
            " insert into t(id,code,qty,d,n) values (3,'',0.1,'2024-3-12',7)");
  const std::vector<Case> cases = {
      {"SELECT id FROM t WHERE code = 'abc'", "id", "1"},
      {"SELECT id FROM t WHERE code = 'ABC  '", "id", "1"},  // no case, no trailing blanks
      {"SELECT id FROM t WHERE code = 'abd'", "id", "2"},
      {"SELECT id FROM t WHERE id = '2'", "id", "2"},  // a quoted number against an integer column
      {"SELECT id FROM t WHERE id = 3", "id", "3"},
      {"SELECT id FROM t WHERE n > 5 AND qty < 2.5", "id", "2;3"},
      {"SELECT id FROM t WHERE n > 4 AND qty < 2.75", "id", "1;2;3"},
      {"SELECT id FROM t WHERE qty = 0.1", "id", "3"},  // a decimal no double holds exactly
      {"SELECT id FROM t WHERE d = '2024-03-10'", "id", "1"},
      {"SELECT id FROM t WHERE d = '2024/3/11 8:30'", "id", "2"},
      {"SELECT id FROM t WHERE d >= '2024-3-11' ORDER BY id", "id", "2;3"},
      {"SELECT id FROM t WHERE code = ''", "id", "3"},
      {"SELECT id FROM t WHERE code = 'x'", "id", ""},
      // A literal column has no name, as on SQL Server.
      {"SELECT code, 'x' FROM t WHERE id = 1", "code|", "abc|x"},
      {"SELECT code, 'y' FROM t WHERE id = 2", "code|", "ABD|y"},
      {"SELECT code, 'z' AS k FROM t WHERE id = 3", "code|k", "|z"},
      {"SELECT id, n FROM t ORDER BY 2 DESC", "id|n", "3|7;2|6;1|5"},
      {"SELECT id, n FROM t ORDER BY 1", "id|n", "1|5;2|6;3|7"},
      {"SELECT TOP 1 id FROM t ORDER BY id DESC", "id", "3"},
      {"SELECT TOP 2 id FROM t ORDER BY id DESC", "id", "3;2"},
      {"SELECT convert(varchar(2), code) AS c FROM t WHERE id = 1", "c", "ab"},
      {"SELECT convert(varchar(1), code) AS c FROM t WHERE id = 2", "c", "A"},
      {"SELECT MAX(id) AS MaxID,min(id) AS MinID FROM t WHERE n > 5", "MaxID|MinID", "3|2"},
      {"SELECT MAX(id) AS MaxID,min(id) AS MinID FROM t WHERE n > 9", "MaxID|MinID", "|"},
      {"SELECT MAX(id) AS MaxID,min(id) AS MinID FROM t", "MaxID|MinID", "3|1"},
      {"IF EXISTS (SELECT * FROM t WHERE id = 2) SELECT id FROM t WHERE id = 1", "id", "1"},
      // An integer beyond int's range is numeric: its sums do not overflow.
      {"SELECT 1 + 1 AS s", "s", "2"},
      {"SELECT 2147483647 + 1 AS s", "", "!"},
      {"SELECT 2147483648 + 1 AS s", "s", "2147483649"},
      {"SELECT 3000000000 * 2 AS s", "s", "6000000000"},
      {"SELECT 1500000000 * 2 AS s", "", "!"},
      {"SELECT id FROM t WHERE id = 1 AND 2147483600 + 40 > 0", "id", "1"},
      {"SELECT id FROM t WHERE id = 1 AND 2147483600 + 48 > 0", "", "!"},
      {"SELECT x FROM (SELECT 1 AS x UNION SELECT '5') u ORDER BY x", "x", "1;5"},
      {"SELECT x FROM (SELECT 2 AS x UNION SELECT 'b') u ORDER BY x", "", "!"},
  };
  for (int pass = 0; pass < 2; ++pass) {  // the second pass finds every shape learnt
    for (const Case& each : cases) {
      std::string columns;
      if (std::string_view(each.rows) == "!") {
        EXPECT_THROW(Answer(c, each.tsql, columns), ComError) << each.tsql;
        continue;
      }
      EXPECT_EQ(Answer(c, each.tsql, columns), each.rows) << each.tsql;
      EXPECT_EQ(columns, each.columns) << each.tsql;
    }
  }
  long affected = 0;
  c.Execute("update t set code = 'q' where id = 2", affected);
  EXPECT_EQ(affected, 1);
  c.Execute("update t set code = 'r' where id = 3", affected);
  EXPECT_EQ(affected, 1);
  std::string columns;
  EXPECT_EQ(Answer(c, "SELECT code FROM t WHERE id > 1", columns), "q;r");
  // The divisor's value decides the translation: a zero after a shape
  // learnt with another divisor still fails as SQL Server does.
  EXPECT_EQ(Answer(c, "SELECT n / 2 AS h FROM t WHERE id = 1", columns), "2");
  EXPECT_THROW(Answer(c, "SELECT n / 0 AS h FROM t WHERE id = 1", columns), ComError);
  EXPECT_THROW(Answer(c, "SELECT n % 0 AS h FROM t WHERE id = 1", columns), ComError);
}

// A batch's statements that repeat the same text up to their first value
// (a save's INSERTs) must still classify each value after it on its own:
// int and larger integers, decimals, dates (a whole VALUES item is a date),
// texts, a style inside a call.
TEST(SqliteParameterizedTest, RepeatedInsertTextKeepsEachValue) {
  testing::TempDatabase db;
  auto conn = SqliteConnection::Connect(db.ConnectionString());
  conn->ExecuteNative("CREATE TABLE u(k INTEGER PRIMARY KEY, v varchar(30), w numeric(20,2));");
  Connection& c = *conn;
  c.Execute("insert into u(k, v, w) values (1, 'a''b', 2.5)"
            " insert into u(k, v, w) values (2, '2024-3-12', 2147483647 + 0)"
            " insert into u(k, v, w) values (3, 'c', 2147483648 + 1)"
            " insert into u(k, v, w) values (4, convert(varchar(10), convert(datetime, '2024/3/11'), 120), 0.25)"
            " insert into u(k, v, w) values (5, convert(varchar(10), convert(datetime, '2024-03-13'), 120), 7)"
            " insert into u(k, v, w) select 6, 'x' + 'y', 3000000000 * 2");
  std::string columns;
  EXPECT_EQ(Answer(c, "SELECT k, v, w FROM u ORDER BY k", columns),
            "1|a'b|2.5;2|2024-03-12 00:00:00|2147483647;3|c|2147483649;4|2024-03-11|0.25;5|2024-03-13|7;6|xy|6000000000");
  EXPECT_THROW(c.Execute("insert into u(k, v, w) values (7, 'd', 1)"
                         " insert into u(k, v, w) values (8, 'e', 2147483647 + 1)"),
               ComError);
}


std::string ErrorOf(Connection& c, const std::string& tsql) {
  try {
    c.Execute(tsql);
  } catch (const ComError& e) {
    return e.Description();
  }
  return "";
}

// A long run of statements of the same text shares one compiled statement;
// each must still bind its own values (texts with doubled quotes and dates
// included), and a failing row in the middle must end as it does alone:
// outside a transaction the rest still runs and the error comes at the end,
// inside one nothing after it runs.
TEST(SqliteParameterizedTest, RunOfSameStatementsBindsEachRowsValues) {
  testing::TempDatabase db;
  auto conn = SqliteConnection::Connect(db.ConnectionString());
  conn->ExecuteNative("CREATE TABLE r(k INTEGER PRIMARY KEY, v varchar(8), d datetime, q decimal(18,4));");
  Connection& c = *conn;
  const auto batch = [](int from, int count, int failing) {
    std::string text;
    for (int k = from; k < from + count; ++k) {
      const std::string v = k == failing ? "'too long a text'" : k % 3 == 0 ? "'o''" + std::to_string(k) + "'"
                                                                             : "'v" + std::to_string(k) + "'";
      text += " insert into r(k,v,d,q) values (" + std::to_string(k) + "," + v + ",'2024-3-" +
              std::to_string(1 + k % 28) + "'," + std::to_string(k) + ".25)";
    }
    return text;
  };
  const auto expected = [](int from, int count, int failing) {
    std::string rows;
    for (int k = from; k < from + count; ++k) {
      if (k == failing) continue;
      const std::string day = std::to_string(1 + k % 28);
      rows += (rows.empty() ? "" : ";") + std::to_string(k) + "|" + (k % 3 == 0 ? "o'" : "v") + std::to_string(k) +
              "|2024-03-" + (day.size() == 1 ? "0" : "") + day + "|" + std::to_string(k) + ".25";
    }
    return rows;
  };
  std::string columns;
  EXPECT_EQ(ErrorOf(c, batch(1, 120, 60)), "String or binary data would be truncated.");
  EXPECT_EQ(Answer(c, "SELECT k, v, convert(char(10), d, 120) AS d, q FROM r ORDER BY k", columns),
            expected(1, 120, 60));
  c.BeginTrans();
  EXPECT_EQ(ErrorOf(c, batch(200, 50, 220)), "String or binary data would be truncated.");
  EXPECT_EQ(Answer(c, "SELECT count(*) AS n FROM r WHERE k >= 200", columns), "20");
  c.RollbackTrans();
  c.Execute(batch(300, 40, 0));
  EXPECT_EQ(Answer(c, "SELECT k, v, convert(char(10), d, 120) AS d, q FROM r WHERE k >= 300 ORDER BY k", columns),
            expected(300, 40, 0));
}

// A run of statements of one text whose values change class from row to
// row (int, larger integer, decimals of several scales, dates, N'' texts,
// blank texts, doubled quotes) stores what each statement stores alone.
TEST(SqliteParameterizedTest, RunWithValuesOfChangingClassesStoresAsEachAlone) {
  testing::TempDatabase db;
  auto conn = SqliteConnection::Connect(db.ConnectionString());
  for (const char* table : {"a", "b"})
    conn->ExecuteNative(std::string("CREATE TABLE ") + table +
                        "(k INTEGER PRIMARY KEY, i bigint, q decimal(18,4), v varchar(30), n nvarchar(30), "
                        "d datetime);");
  Connection& c = *conn;
  const char* numbers[] = {"1", "2.5", "2147483648", "0.125", "7", "3.75", "12345678901", "0"};
  const char* texts[] = {"'x'", "''", "'o''k'", "N'ü'", "'2024-03-10'", "'  '", "N''", "'y'"};
  const char* dates[] = {"'2024-03-10'", "'20240311'", "'2024/3/12 8:30'", "''", "Null"};
  std::vector<std::string> rows;
  for (int k = 0; k < 90; ++k) {
    rows.push_back(" insert into TABLE(k,i,q,v,n,d) values (" + std::to_string(k) + "," + numbers[(k / 3) % 8] + "," +
                   numbers[(k * 5 / 7) % 8] + "," + texts[(k / 2) % 8] + "," + texts[(k / 4 + 3) % 8] + "," +
                   dates[(k / 5) % 5] + ")");
  }
  const auto into = [](std::string row, const char* table) { return row.replace(row.find("TABLE"), 5, table); };
  std::string batch;
  for (const std::string& row : rows) batch += into(row, "a");
  c.Execute(batch);
  for (const std::string& row : rows) c.Execute(into(row, "b"));
  std::string columns;
  const std::string stored = Answer(c, "SELECT k, i, q, v, n, d FROM a ORDER BY k", columns);
  EXPECT_EQ(stored, Answer(c, "SELECT k, i, q, v, n, d FROM b ORDER BY k", columns));
  EXPECT_EQ(Answer(c, "SELECT count(*) AS n FROM a", columns), "90");
}

// A batch is translated whole before any of it runs: text the translator
// cannot read fails the batch with its own error even after a statement that
// does not compile, and nothing of either batch runs.
TEST(SqliteParameterizedTest, TranslationErrorComesBeforeCompileError) {
  testing::TempDatabase db;
  auto conn = SqliteConnection::Connect(db.ConnectionString());
  conn->ExecuteNative("CREATE TABLE u(k INTEGER PRIMARY KEY, v varchar(30));");
  Connection& c = *conn;
  const std::string unreadable = ErrorOf(c, "select typeof(1)");
  const std::string uncompiled = ErrorOf(c, "insert into u(k, nosuch) values (2, 'b')");
  ASSERT_FALSE(unreadable.empty());
  ASSERT_FALSE(uncompiled.empty());
  ASSERT_NE(unreadable, uncompiled);
  EXPECT_EQ(ErrorOf(c, "insert into u(k, v) values (1, 'a') insert into u(k, nosuch) values (2, 'b')"
                       " insert into u(k, v) values (3, 'c') select typeof(1) insert into u(k, v) values (4, 'd')"),
            unreadable);
  EXPECT_EQ(ErrorOf(c, "insert into u(k, v) values (1, 'a') insert into u(k, nosuch) values (2, 'b')"
                       " insert into u(k, v) values (3, 'c')"),
            uncompiled);
  std::string columns;
  EXPECT_EQ(Answer(c, "SELECT count(*) AS n FROM u", columns), "0");
}

}  // namespace
}  // namespace fabrikon
