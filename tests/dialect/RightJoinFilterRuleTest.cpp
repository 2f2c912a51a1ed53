// A RIGHT JOIN whose WHERE filters the right table alone runs with that
// filter inside the right table: the same rows in the same order as the plain
// translation, which the tests run side by side on the same data.
#include <gtest/gtest.h>

#include <string>

#include "DialectDb.h"
#include "data/dialect/SchemaCatalog.h"

namespace fabrikon::dialect::test {
namespace {

// Heads and lines of a bill of materials, as the host schema declares them.
const char* kBomSchema =
    "CREATE TABLE ProductStructure (iAutoId INTEGER PRIMARY KEY AUTOINCREMENT,"
    " cpspcode nvarchar(60) COLLATE TSQL NOT NULL, csocode nvarchar(30) COLLATE TSQL,"
    " cversion nvarchar(30) COLLATE TSQL, cfree1 nvarchar(60) COLLATE TSQL);"
    "CREATE INDEX IX_ProductStructure_cpspcode ON ProductStructure (cpspcode);"
    "CREATE TABLE ProductStructures (autoid INTEGER PRIMARY KEY AUTOINCREMENT, iPId int NOT NULL,"
    " cpscode nvarchar(60) COLLATE TSQL NOT NULL, ipsquantity float, cfree1 nvarchar(60) COLLATE TSQL,"
    " childguid int);"
    "CREATE INDEX IX_ProductStructures_iPId ON ProductStructures (iPId);"
    "CREATE VIEW v_lines AS SELECT autoid, iPId, cpscode FROM ProductStructures WHERE ipsquantity > 0;";

// Two versions of head BENCH (1 and 4) whose lines interleave, a head without
// lines (5, matching too), other heads, and lines of no head at all.
const char* kBomRows =
    "INSERT INTO ProductStructure (iAutoId, cpspcode, csocode, cversion, cfree1) VALUES"
    " (1, 'BENCH', NULL, 'v1', NULL), (2, 'other', NULL, NULL, NULL), (3, 'bench', 'SO1', NULL, NULL),"
    " (4, 'Bench  ', '', 'v2', ''), (5, 'BENCH', NULL, 'v3', NULL), (6, 'BENCH', NULL, NULL, 'red');"
    "INSERT INTO ProductStructures (autoid, iPId, cpscode, ipsquantity, cfree1) VALUES"
    " (10, 4, 'M10', 1, NULL), (11, 1, 'M11', 2, 'x'), (12, 2, 'M12', 3, NULL), (13, 4, 'M13', 0, NULL),"
    " (14, 1, 'M14', 5, NULL), (15, 3, 'M15', 6, NULL), (16, 9, 'M16', 7, NULL), (17, 6, 'M17', 8, NULL),"
    " (18, 1, 'M18', -1, NULL);";

DialectDb::Rows NativeRows(DialectDb& db, const std::string& sql) {
  sqlite3_stmt* stmt = nullptr;
  EXPECT_EQ(sqlite3_prepare_v2(db.Handle(), sql.c_str(), -1, &stmt, nullptr), SQLITE_OK) << sql;
  DialectDb::Rows rows;
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    std::vector<std::string> row;
    for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
      const unsigned char* text = sqlite3_column_text(stmt, i);
      row.push_back(text == nullptr ? "NULL" : reinterpret_cast<const char*>(text));
    }
    rows.push_back(row);
  }
  sqlite3_finalize(stmt);
  return rows;
}

TEST(RightJoinFilterRule, MovesTheFilterIntoTheRightTable) {
  EXPECT_EQ(Sql("SELECT PS.* FROM ProductStructures PS RIGHT OUTER JOIN ProductStructure P ON PS.iPId = P.iAutoId "
                " where (isnull(p.csocode,'')='') and  (isnull(p.cfree1,'')='') and  (isnull(p.cpspcode,'')='BENCH') "),
            "SELECT PS.* FROM ProductStructures PS RIGHT OUTER JOIN (SELECT * FROM ProductStructure P where "
            "(ifnull(p.csocode,'')='' COLLATE TSQL) and (ifnull(p.cfree1,'')='' COLLATE TSQL) and "
            "(ifnull(p.cpspcode,'')='BENCH' COLLATE TSQL)) P ON PS.iPId = P.iAutoId");
  EXPECT_EQ(Sql("select a.* from t1 as a right join t2 as b on b.k = a.x where b.c = 1"),
            "select a.* from t1 as a right join (SELECT * FROM t2 as b where b.c = 1) b on b.k = a.x");
}

TEST(RightJoinFilterRule, LeavesEveryOtherShape) {
  const char* statements[] = {
      "select a.* from t1 a right join t2 b on a.x = b.k where c = 1",            // unqualified column
      "select a.* from t1 a right join t2 b on a.x = b.k where a.c = 1",          // filters the left table
      "select a.* from t1 a right join t2 b on a.x = b.k where b.c = 1 order by a.x",
      "select a.* from t1 a right join t2 b on a.x = b.k where b.c in (select k from t3)",
      "select a.* from t1 a right join t2 b on a.x = b.k and b.d = 2 where b.c = 1",
      "select a.* from t1 a right join t2 b on a.x = a.k where b.c = 1",          // ON names one table
      "select * from t1 a right join t2 b on a.x = b.k where b.c = 1",            // b's columns too
      "select b.* from t1 a right join t2 b on a.x = b.k where b.c = 1",
      "select a.* from t1 a left join t2 b on a.x = b.k where b.c = 1",
      "select a.* from t1 a right join t2 b on a.x = b.k",
      "select top 1 a.* from t1 a right join t2 b on a.x = b.k where b.c = 1",
      "select a.* from t1 a right join t2 b on a.x = b.k where b.c = 1 union select a.* from t1 a",
  };
  for (const char* statement : statements) {
    EXPECT_EQ(Sql(statement).find("(SELECT * FROM"), std::string::npos) << statement;
  }
}

TEST(RightJoinFilterRule, PostgreSqlKeepsTheJoin) {
  const auto pg = TranslateBatch("select a.* from t1 a right join t2 b on a.x = b.k where b.c = 1", nullptr,
                                 Engine::Postgres);
  ASSERT_EQ(pg.size(), 1u);
  EXPECT_EQ(pg[0].sql.back().find("(SELECT * FROM"), std::string::npos) << pg[0].sql.back();
}

// Each filter on its own and combined, against the plain translation: the
// same rows in the same order (interleaved versions, heads without lines or
// without a match, collation of the right table's text, a view on the left).
TEST(RightJoinFilterRule, GivesTheRowsOfThePlainJoinInTheSameOrder) {
  struct Case {
    const char* tsql;
    const char* plain;  // the translation without the rule
    size_t rows;
  };
  const Case cases[] = {
      {"SELECT PS.* FROM ProductStructures PS RIGHT OUTER JOIN ProductStructure P ON PS.iPId = P.iAutoId "
       " where (isnull(p.csocode,'')='') and  (isnull(p.cfree1,'')='') and  (isnull(p.cpspcode,'')='BENCH') ",
       "SELECT PS.* FROM ProductStructures PS RIGHT OUTER JOIN ProductStructure P ON PS.iPId = P.iAutoId where "
       "(ifnull(p.csocode,'')='' COLLATE TSQL) and (ifnull(p.cfree1,'')='' COLLATE TSQL) and "
       "(ifnull(p.cpspcode,'')='BENCH' COLLATE TSQL)",
       6},
      {"SELECT PS.* FROM ProductStructures PS RIGHT JOIN ProductStructure P ON P.iAutoId = PS.iPId "
       "where p.cpspcode = 'bench'",
       "SELECT PS.* FROM ProductStructures PS RIGHT JOIN ProductStructure P ON P.iAutoId = PS.iPId "
       "where p.cpspcode = 'bench'",
       8},
      {"SELECT PS.* FROM ProductStructures PS RIGHT JOIN ProductStructure P ON PS.iPId = P.iAutoId "
       "where isnull(p.cversion,'') <> 'v1' or p.cfree1 is not null",
       "SELECT PS.* FROM ProductStructures PS RIGHT JOIN ProductStructure P ON PS.iPId = P.iAutoId "
       "where ifnull(p.cversion,'') <> 'v1' COLLATE TSQL or p.cfree1 is not null",
       6},
      {"SELECT L.* FROM v_lines L RIGHT OUTER JOIN ProductStructure P ON L.iPId = P.iAutoId "
       "where (isnull(p.cpspcode,'')='BENCH')",
       "SELECT L.* FROM v_lines L RIGHT OUTER JOIN ProductStructure P ON L.iPId = P.iAutoId "
       "where (ifnull(p.cpspcode,'')='BENCH' COLLATE TSQL)",
       6},
      {"SELECT PS.* FROM ProductStructures PS RIGHT JOIN ProductStructure P ON PS.iPId = P.iAutoId "
       "where p.cpspcode = 'none'",
       "SELECT PS.* FROM ProductStructures PS RIGHT JOIN ProductStructure P ON PS.iPId = P.iAutoId "
       "where p.cpspcode = 'none'",
       0},
  };
  DialectDb db;
  db.Native(kBomSchema);
  db.Native(kBomRows);
  SchemaCatalog catalog(db.Handle());
  for (const Case& c : cases) {
    ASSERT_NE(Sql(c.tsql), c.plain) << "the rule does not apply to " << c.tsql;
    const DialectDb::Rows plain = NativeRows(db, c.plain);
    EXPECT_EQ(plain.size(), c.rows) << c.plain;
    EXPECT_EQ(db.Query(c.tsql), plain) << c.tsql;
    // With the catalog: the join turned around (over a table) gives them too.
    const std::string typed = TranslateBatch(c.tsql, &catalog).at(0).sql.back();
    EXPECT_EQ(NativeRows(db, typed), plain) << typed;
  }
}

// Turned around only over a table with rowids that has no column of that name.
TEST(RightJoinFilterRule, TurnsTheJoinAroundOverARowidTable) {
  DialectDb db;
  db.Native(kBomSchema);
  db.Native("CREATE TABLE keyed (k int PRIMARY KEY, iPId int) WITHOUT ROWID;"
            "CREATE TABLE own_rowid (rowid int, iPId int);");
  SchemaCatalog catalog(db.Handle());
  const auto typed = [&](const std::string& tsql) { return TranslateBatch(tsql, &catalog).at(0).sql.back(); };
  EXPECT_EQ(typed("SELECT PS.* FROM ProductStructures PS RIGHT OUTER JOIN ProductStructure P ON PS.iPId = P.iAutoId "
                  "where (isnull(p.cpspcode,'')='BENCH')"),
            "SELECT PS.* FROM ProductStructure P LEFT JOIN ProductStructures PS ON PS.iPId = P.iAutoId where "
            "(ifnull(p.cpspcode,'')='BENCH' COLLATE TSQL) ORDER BY PS.rowid IS NULL, PS.rowid");
  for (const char* left : {"v_lines", "keyed", "own_rowid", "no_such_table"}) {
    const std::string tsql = std::string("SELECT L.* FROM ") + left +
                             " L RIGHT JOIN ProductStructure P ON L.iPId = P.iAutoId where p.cpspcode = 'x'";
    EXPECT_NE(typed(tsql).find("RIGHT JOIN (SELECT * FROM ProductStructure P"), std::string::npos) << typed(tsql);
  }
}

}  // namespace
}  // namespace fabrikon::dialect::test
