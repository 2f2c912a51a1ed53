// A statement that repeats the text of the one before it with other values
// is read straight from the batch text. Whatever the values, the result must
// be the one the full reading gives: the same statements, texts, kinds and
// bound values, and the same error when the batch has one. The reference
// batch puts an empty comment between the statements, which the repeat
// never reads past, so every statement of it is read in full; blanks before
// a statement (and so its shape) are the same either way.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CatalogueSchema.h"
#include "DialectDb.h"
#include "data/dialect/LiteralParameterizer.h"
#include "data/dialect/PgTarget.h"
#include "data/dialect/SchemaCatalog.h"
#include "data/dialect/TSqlDialect.h"
#include "fabrikon/ComError.h"

namespace fabrikon::dialect::test {
namespace {

std::string Describe(const SqlParameters& parameters) {
  std::string out;
  for (size_t i = 0; i < parameters.size(); ++i) {
    const SqlValue& v = parameters[i];
    switch (v.type) {
      case SqlValue::Type::Integer:
        out += "i:" + std::to_string(v.integer);
        break;
      case SqlValue::Type::Real:
        out += "r:" + std::to_string(v.real);
        break;
      case SqlValue::Type::Text:
        out += "t:" + std::string(v.Text());
        break;
    }
    out += '|';
  }
  return out;
}

// Everything a statement hands to the connection, as text.
std::vector<std::string> Describe(const std::string& batch) {
  std::vector<std::string> out;
  try {
    for (const ParameterizedStatement& s : LiteralParameterizer::Translate(batch)) {
      std::string d = std::to_string(static_cast<int>(s.kind)) + (s.otherwise ? " else" : "") + " [" +
                      std::string(s.condition) + "] " + Describe(s.conditionParameters);
      for (bool u : s.unnamed) d += u ? 'u' : 'n';
      for (const std::string& t : s.resultTypes) d += " type " + t;
      for (size_t i = 0; i < s.sql.size(); ++i) d += "\n  " + std::string(s.sql[i]) + "  " + Describe(s.parameters[i]);
      out.push_back(d);
    }
  } catch (const ComError& e) {
    out.push_back("error " + std::to_string(static_cast<long>(e.Number())) + ": " + e.Description());
  }
  return out;
}

std::string Join(const std::vector<std::string>& statements, const std::string& between) {
  std::string batch;
  for (const std::string& s : statements) batch += between + s;
  return batch;
}

void ExpectSameAsFullReading(const std::vector<std::string>& statements) {
  const std::string batch = Join(statements, " ");
  const std::vector<std::string> repeated = Describe(batch);
  const std::vector<std::string> full = Describe(Join(statements, " /**/ "));
  ASSERT_EQ(repeated.size(), full.size()) << batch;
  for (size_t i = 0; i < full.size(); ++i) EXPECT_EQ(repeated[i], full[i]) << batch << "\nstatement " << i;
}

const std::vector<std::vector<std::string>> kBatches = {
      // A save's rows: ints, decimals of several scales, blank texts, Nulls.
      {"insert into t(a,b,c,d) values (1,'x',2.5,Null)", "insert into t(a,b,c,d) values (2,'y',3.5,Null)",
       "insert into t(a,b,c,d) values (3,'',3.5,Null)", "insert into t(a,b,c,d) values (4,'z',3.25,Null)",
       "insert into t(a,b,c,d) values (5,'w',3,Null)", "insert into t(a,b,c,d) values (6,'v',3.25,'q')",
       "insert into t(a,b,c,d) values (7,'u',3.25,Null)"},
      // Quotes doubled, N'' strings, texts that read as dates, and the other way round.
      {"insert into t(a,b) values (1,'it''s')", "insert into t(a,b) values (2,'''')",
       "insert into t(a,b) values (3,N'ü''x')", "insert into t(a,b) values (4,n'plain')",
       "insert into t(a,b) values (5,'2024-03-10')", "insert into t(a,b) values (6,'20240310')",
       "insert into t(a,b) values (7,'2024/3/11 8:30')", "insert into t(a,b) values (8,'March')",
       "insert into t(a,b) values (9,'   ')", "insert into t(a,b) values (10,N'')"},
      // Numbers: negative, beyond int, exponents, leading points, a binary.
      {"insert into t(a) values (-5)", "insert into t(a) values (-6)", "insert into t(a) values (- 7)",
       "insert into t(a) values (2147483647)", "insert into t(a) values (2147483648)",
       "insert into t(a) values (1e5)", "insert into t(a) values (1E+5)", "insert into t(a) values (.5)",
       "insert into t(a) values (0.5)", "insert into t(a) values (5.)", "insert into t(a) values (0x1F)",
       "insert into t(a) values (12345678901234567890)", "insert into t(a) values (7)"},
      // Numbers whose value the translation reads stay in the text.
      {"insert into t(a) select a from u where b = 'x' order by 1", "insert into t(a) select a from u where b = 'y' order by 1",
       "insert into t(a) select a from u where b = 'y' order by 2",
       "insert into t(d) values (convert(datetime, '2024-01-02', 120))",
       "insert into t(d) values (convert(datetime, '2024-01-03', 120))",
       "insert into t(d) values (convert(datetime, '2024-01-03', 112))",
       "update t set a = b / 2 where c = 1", "update t set a = b / 2 where c = 5", "update t set a = b / 3 where c = 5",
       "insert into t(a) values (cast(1.5 as decimal(18, 2)))", "insert into t(a) values (cast(2.5 as decimal(18, 2)))",
       "insert into t(a) values (cast(2.5 as decimal(18, 3)))"},
      // Comments inside and between statements, semicolons, case.
      {"insert into t /* 'x' */ values (1,'a')", "insert into t /* 'x' */ values (2,'b');",
       "INSERT into t /* 'x' */ values (3,'c') -- 'z'\n", "insert into t /* 'x' */ values (4,'d')",
       "Insert into t /* 'x' */ values (5,'e')", ";insert into t /* 'x' */ values (6,'f')"},
      // Statements that only look like the one before.
      {"update t set a = 1 where b = 'x'", "update t set a = 2 where b = 'y' or c = 3",
       "update t set a = 2 where b = 'y'", "update t set a = 2 where b = 'y'+'z'",
       "delete from t where a = 1", "delete from t where a = 1.5", "delete from t where a = 2",
       "delete from t where a = 3 select 1", "delete from t where a = 4", "delete from t where a = 5 and b = 'q'",
       "delete from t where a = 6", "delete from t where a = 7 if 1 = 1 delete from t where a = 8",
       "delete from t where a = 9", "delete from t where a = 10 declare @n int", "delete from t where a = 11"},
      // Errors after repeats: the ELSE of no IF, a cut-off text, an unclosed string.
      {"insert into t(a) values (1)", "insert into t(a) values (2)", "insert into t(a) values (3) else select 1"},
      {"insert into t(a) values (1)", "insert into t(a) values (2)", "insert into t(a) values (3,"},
      {"insert into t(a,b) values (1,'a')", "insert into t(a,b) values (2,'b')", "insert into t(a,b) values (3,'c)"},
};

TEST(ShapeRepeat, RepeatsTranslateAsTheFullReading) {
  for (const std::vector<std::string>& statements : kBatches) ExpectSameAsFullReading(statements);
}

// Everything a translated statement says, and its PostgreSQL texts.
std::vector<std::string> DescribeWritten(const std::vector<TranslatedStatement>& statements) {
  std::vector<std::string> out;
  for (const TranslatedStatement& s : statements) {
    std::string d = std::to_string(static_cast<int>(s.kind)) + (s.otherwise ? " else" : "") + " {" + s.original +
                    "} [" + s.condition + "]";
    for (bool u : s.unnamed) d += u ? 'u' : 'n';
    for (const std::string& t : s.resultTypes) d += " type " + t;
    for (const std::string& sql : s.sql) d += "\n  " + sql;
    try {
      if (!s.condition.empty()) d += "\n pg [" + PgTarget::Rewrite(s.condition) + "]";
      for (const std::string& sql : PgTarget::RewriteAll(s.sql)) d += "\n pg " + sql;
    } catch (const ComError& e) {
      d += "\n pg error " + e.Description();
    }
    out.push_back(d);
  }
  return out;
}

std::vector<std::string> Written(const std::string& batch, const SchemaCatalog* catalog, bool byShape) {
  try {
    return DescribeWritten(byShape ? LiteralParameterizer::TranslateWritten(batch, catalog, Engine::Postgres)
                                   : TranslateBatch(batch, catalog, Engine::Postgres));
  } catch (const ComError& e) {
    return {"error " + std::to_string(static_cast<long>(e.Number())) + ": " + e.Description()};
  }
}

// The PostgreSQL connection reads a batch by shape and writes the literals
// back in: the same statements, T-SQL texts, translated texts and server
// texts as the full translation, with and without the columns' types, for
// repeats and for statements read in full, values that the server pass
// treats differently (a date in the stored form or not, a number out of a
// small column's range, trailing blanks) included.
TEST(ShapeRepeat, WrittenBackTranslatesAsTheFullTranslation) {
  DialectDb db;
  db.Native(kCatalogueSchema);
  db.Native("CREATE TABLE t(a smallint, b nvarchar(20) COLLATE TSQL, c float, d datetime);"
            "CREATE TABLE u(a int, b nvarchar(20) COLLATE TSQL);");
  SchemaCatalog catalog(db.Handle());
  std::vector<std::vector<std::string>> batches = kBatches;
  batches.push_back({"insert into t(a,b,c,d) values (1,'x',2.5,'2024-03-13')",
                     "insert into t(a,b,c,d) values (40000,'x  ',2.5,'2024-03-13 10:11:12')",
                     "insert into t(a,b,c,d) values (2,'y',2.5,'2024-02-30 00:00:00')",
                     "insert into t(a,b,c,d) values (3,'z',2.5,'1600-01-01 00:00:00')",
                     "update t set b = 'q' where b = 'x  '", "update t set b = 'q' where b = 'x'"});
  batches.push_back({"IF NOT EXISTS (SELECT mainid FROM pp_pomain WHERE mainid='16') INSERT INTO pp_pomain(mainid,id,"
                     "fquantity) Values (16,6,10)",
                     "IF NOT EXISTS (SELECT mainid FROM pp_pomain WHERE mainid='17') INSERT INTO pp_pomain(mainid,id,"
                     "fquantity) Values (17,6,20.5)",
                     "select 'a  ' as x, mainid from pp_pomain where id = 6", "select 'b' as x, mainid from pp_pomain where id = 7",
                     "IF EXISTS (SELECT 1 FROM om_productpo WHERE ccode = 'c  ') SELECT 1 ELSE SELECT 2"});
  const SchemaCatalog* catalogs[] = {nullptr, &catalog};
  for (const SchemaCatalog* types : catalogs) {
    for (const std::vector<std::string>& statements : batches) {
      for (const char* between : {" ", " /**/ ", ";\n"}) {
        const std::string batch = Join(statements, between);
        // Twice: the second time every shape is known.
        for (int pass = 0; pass < 2; ++pass)
          EXPECT_EQ(Written(batch, types, true), Written(batch, types, false)) << batch << "\npass " << pass;
      }
    }
  }
}

// A long batch is read a stretch at a time; runs of repeats broken by other
// shapes here and there, and by statements of another text, read on from
// where the run ended.
TEST(ShapeRepeat, LongBatchWithBrokenRunsTranslatesAsTheFullReading) {
  std::vector<std::string> statements;
  const char* quantities[] = {"1", "1.5", "2.25", "3", "0.125", "2147483648", "7"};
  for (int i = 0; i < 700; ++i) {
    std::string values = std::to_string(i) + "," + quantities[(i * 7 / 5) % 7] + ",";
    values += i % 11 == 0 ? "''" : i % 13 == 0 ? "'it''s'" : i % 17 == 0 ? "'2024-01-0" + std::to_string(i % 9 + 1) + "'" : "'c" + std::to_string(i) + "'";
    statements.push_back("insert into PP_PODetails(MainID,fQuantity,cCode) values (" + values + ")");
    if (i % 97 == 5) statements.push_back("update PP_PODetails set cCode = 'x' where MainID = " + std::to_string(i));
    if (i % 151 == 7) statements.push_back("delete from PP_PODetails where MainID = " + std::to_string(i) + " / 2");
  }
  ExpectSameAsFullReading(statements);
  // And the values of every row arrive in order.
  const std::vector<ParameterizedStatement> read = LiteralParameterizer::Translate(Join(statements, " "));
  ASSERT_EQ(read.size(), statements.size());
  size_t row = 0;
  for (const ParameterizedStatement& s : read) {
    if (s.kind != StatementKind::Insert) continue;
    ASSERT_EQ(s.parameters.size(), 1u);
    ASSERT_GE(s.parameters[0].size(), 1u);
    EXPECT_EQ(s.parameters[0][0].integer, static_cast<int64_t>(row)) << row;
    ++row;
  }
  EXPECT_EQ(row, 700u);
}

// A batch of one statement that repeats the batch before it with other
// values is read straight from its text. Each batch of the run must read as
// alone: the references (a comment before each, which is never learned or
// repeated) are all read before the run.
TEST(ShapeRepeat, BatchRepeatingTheBatchBeforeTranslatesAsTheFullReading) {
  const std::vector<std::string> run = {
      // A level query per BOM head: texts, quotes doubled, N'' and blank
      // texts, dates, numbers where a text was, text after the literal.
      " SELECT * From ProductStructures where ipid='50001' ", " SELECT * From ProductStructures where ipid='50002' ",
      " SELECT * From ProductStructures where ipid='it''s' ", " SELECT * From ProductStructures where ipid=N'x' ",
      " SELECT * From ProductStructures where ipid=N'y' ", " SELECT * From ProductStructures where ipid='' ",
      " SELECT * From ProductStructures where ipid='2024-01-02' ", " SELECT * From ProductStructures where ipid=5 ",
      " SELECT * From ProductStructures where ipid=5.5 ", " SELECT * From ProductStructures where ipid='7' order by 1",
      " SELECT * From ProductStructures where ipid='8'; ", " SELECT * From ProductStructures where ipid='9' -- c\n",
      " SELECT * From ProductStructures where ipid='10' x", " SELECT * From ProductStructures where ipid='11",
      " SELECT * From ProductStructures where ipid='12'\t\r\n",
      // Ending on a word, which a repeat must end on too.
      " select a from t where b = 'x' order by a", " select a from t where b = 'y' order by a",
      " select a from t where b = 'z' order by ab", " select a from t where b = 'w' order by a desc",
      // Statements of their own after the repeated text.
      " update t set a = 1 where b = 'x'", " update t set a = 2 where b = 'y'",
      " update t set a = 3 where b = 'z' update t set a = 4 where b = 'w'", " update t set a = 5 where b = 'v'",
      " update t set a = 6 where b = 'u' select 1", " update t set a = 7 where b = 't'else select 1",
      // Values the translation reads stay in the text; guarded statements.
      " select top 2 a from t where b = 'x' order by 1", " select top 3 a from t where b = 'x' order by 1",
      " select top 3 a from t where b = 'y' order by 2", " select a / 2 from t", " select a / 0 from t",
      " if 1 = 1 select a from t where b = 'x'", " if 1 = 1 select a from t where b = 'y'",
      " delete from t where a = 1", " delete from t where a = 0x1F", " delete from t where a = 2147483648",
      " delete from t where a = 3"};
  std::vector<std::vector<std::string>> full;
  for (const std::string& batch : run) full.push_back(Describe("/**/" + batch));
  for (size_t b = 0; b < run.size(); ++b) {
    const std::vector<std::string> read = Describe(run[b]);
    ASSERT_EQ(read.size(), full[b].size()) << run[b];
    for (size_t i = 0; i < read.size(); ++i) EXPECT_EQ(read[i], full[b][i]) << run[b] << "\nstatement " << i;
  }
}

}  // namespace
}  // namespace fabrikon::dialect::test
