// Batch splitting: the multi-statement batches the library sends, separated
// by nothing but blanks or carriage returns, and the texts that must fail
// before anything runs.
#include <gtest/gtest.h>

#include "DialectDb.h"
#include "data/dialect/BatchSplitter.h"
#include "data/dialect/LiteralParameterizer.h"
#include "data/dialect/TSqlLexer.h"

namespace fabrikon::dialect::test {
namespace {

std::vector<std::string> Originals(const std::string& batch) {
  std::vector<std::string> out;
  for (const TranslatedStatement& t : TranslateBatch(batch)) out.push_back(t.original);
  return out;
}

void ExpectCommandError(const std::string& batch) {
  try {
    TranslateBatch(batch);
    ADD_FAILURE() << "accepted: " << batch;
  } catch (const ComError& e) {
    EXPECT_EQ(e.Number(), ErrorNumber::ErrorsInCommand) << batch;
  }
}

TEST(BatchSplitter, InsertBatchOfGuardedInsertsSeparatedByBlanks) {
  const std::string batch =
      " IF NOT EXISTS (SELECT mainid FROM om_pomain WHERE mainid='101') INSERT INTO om_pomain(id,mainid,cinvcode,"
      "fquantity) Values (12,101,'P1',10) IF NOT EXISTS (SELECT mainid FROM om_pomain WHERE mainid='102') INSERT "
      "INTO om_pomain(id,mainid,cinvcode,fquantity) Values (12,102,'P2',5)";
  const std::vector<TranslatedStatement> t = TranslateBatch(batch);
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[0].original,
            "IF NOT EXISTS (SELECT mainid FROM om_pomain WHERE mainid='101') INSERT INTO "
            "om_pomain(id,mainid,cinvcode,fquantity) Values (12,101,'P1',10)");
  EXPECT_EQ(t[1].condition, "SELECT NOT EXISTS (SELECT mainid FROM om_pomain WHERE mainid='102')");
  EXPECT_EQ(t[1].sql.back(),
            "INSERT INTO om_pomain(id,mainid,cinvcode,fquantity) Values (tsql_store(12, 'om_pomain', 'id'),"
            "tsql_store(102, 'om_pomain', 'mainid'),tsql_store('P2', 'om_pomain', 'cinvcode'),"
            "tsql_store(5, 'om_pomain', 'fquantity'))");
  EXPECT_EQ(t[1].kind, StatementKind::Insert);
}

TEST(BatchSplitter, WriteBackBatchSeparatedByCarriageReturns) {
  const std::string one =
      " update SO_SODetails set SO_SODetails.fTotolPut=isnull(SO_SODetails.fTotolPut,0) - "
      "isnull(OM_POMain.fQuantity,0) from SO_SODetails inner join OM_POMain on OM_POMain.cSOsIDs=','+cast (iSOsID "
      "as varchar)+','  where OM_POMain.mainid=";
  const std::vector<std::string> parts = Originals(one + "101\r" + one + "102\r");
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_EQ(parts[1].substr(parts[1].size() - 3), "102");
}

TEST(BatchSplitter, DeleteAndMaterialBatches) {
  EXPECT_EQ(Originals(" DELETE FROM om_pomain WHERE mainid= 101 DELETE FROM om_pomain WHERE mainid= 102").size(), 2u);
  const std::string insert =
      " insert into om_podetails(MainID,SubId,cCode,cInvCode,fQuantity,fOutQuantity,cDepCode,cWhCode,iPSQuantity,"
      "iWasteRate, cFree1,cFree2) values (101,7,'','C1',.50,0,'D1','W1',2,0,Null,'red') ";
  EXPECT_EQ(Originals(insert + insert + insert).size(), 3u);
}

TEST(BatchSplitter, SelectStartsAStatementOnlyWhenTheOneBeforeIsComplete) {
  EXPECT_EQ(Originals("insert into t(a) select b from u select 1").size(), 2u);
  EXPECT_EQ(Originals("select a from t union all select b from u").size(), 1u);
  EXPECT_EQ(Originals("select a from t select b from u").size(), 2u);
  EXPECT_EQ(Originals("insert into t(a) values (1) select 1").size(), 2u);
  EXPECT_EQ(Originals("update t set a=(select max(b) from u) where c in (select c from v)").size(), 1u);
  EXPECT_EQ(Originals("UPDATE om_pomain SET cclose='u1'WHERE om_pomain.ID='12' select 1").size(), 2u);
}

TEST(BatchSplitter, KeywordsInsideStringsAndNamesDoNotSplit) {
  EXPECT_EQ(Originals("select 'delete from x' as [insert], 'if' from t where c='update'").size(), 1u);
}

TEST(BatchSplitter, IfTakesExactlyOneStatement) {
  const std::vector<TranslatedStatement> t = TranslateBatch(
      "if not exists(select quid from q where duid In (Select duid From d where muid ='5') and x>0  ) "
      "Update m Set iState=0 where muid='5' select 1");
  ASSERT_EQ(t.size(), 2u);
  EXPECT_FALSE(t[0].condition.empty());
  EXPECT_EQ(t[0].kind, StatementKind::Update);
  EXPECT_TRUE(t[1].condition.empty());
  EXPECT_EQ(t[1].kind, StatementKind::Select);
}

TEST(BatchSplitter, SemicolonsAreAccepted) { EXPECT_EQ(Originals("select 1; ;select 2;").size(), 2u); }

TEST(BatchSplitter, BrokenBatchesAreCommandErrors) {
  ExpectCommandError("select (1");
  ExpectCommandError("select 1)");
  ExpectCommandError("IF EXISTS (select 1 from t)");
  ExpectCommandError("INSERT INTO t VALUES (1) ELSE INSERT INTO t VALUES (2)");  // ELSE without IF
  ExpectCommandError("IF 1=1 select 1 ELSE");
  ExpectCommandError("IF 1=1 select 1 ELSE ELSE select 2");
  ExpectCommandError("IF 1=1 select 1 select 2 ELSE select 3");
  ExpectCommandError("IF 1=1 IF 2=2 select 1");
  ExpectCommandError("values (1,2)");
  ExpectCommandError("select top x from t");
}

// ELSE takes the statement after it (an IF again in an ELSE IF chain), and
// runs when the IF before it found its condition false; DECLARE and SET
// begin statements, but not the SET of an UPDATE or of ON DELETE SET NULL.
TEST(BatchSplitter, ElseDeclareAndSetBeginStatements) {
  struct Case {
    const char* batch;
    std::vector<std::string> originals;
    std::vector<bool> otherwise;
  };
  const std::vector<Case> cases = {
      {"IF EXISTS (select 1 from t) UPDATE t SET a = 1 ELSE INSERT INTO t VALUES (2) select 3",
       {"IF EXISTS (select 1 from t) UPDATE t SET a = 1", "ELSE INSERT INTO t VALUES (2)", "select 3"},
       {false, true, false}},
      {"if 1=0 select 1; else if 2=2 select 2 else select 3",
       {"if 1=0 select 1", "else if 2=2 select 2", "else select 3"},
       {false, true, true}},
      {"IF 1=1 select case when a = 1 then 2 else 3 end from t else select 4",
       {"IF 1=1 select case when a = 1 then 2 else 3 end from t", "else select 4"},
       {false, true}},
      {"declare @n int set @n = 5 update t set a = @n select @n",
       {"declare @n int", "set @n = 5", "update t set a = @n", "select @n"},
       {false, false, false, false}},
      {"alter table t add b int references u (id) on delete set null",
       {"alter table t add b int references u (id) on delete set null"},
       {false}},
  };
  for (const Case& c : cases) {
    const std::vector<TranslatedStatement> statements = TranslateBatch(c.batch);
    std::vector<std::string> originals;
    std::vector<bool> otherwise;
    for (const TranslatedStatement& t : statements) {
      originals.push_back(t.original);
      otherwise.push_back(t.otherwise);
    }
    EXPECT_EQ(originals, c.originals) << c.batch;
    EXPECT_EQ(otherwise, c.otherwise) << c.batch;
  }
}

// Read a stretch at a time, an IF whose ELSE (or ELSE IF chain) runs past
// the tokens read so far is left for the next stretch together with it.
TEST(BatchSplitter, ElseCutOffByTheStretchStaysWithItsIf) {
  const LexedText lexed = TSqlLexer::Tokenize("select 0 if 1=1 select 1 else if 2=2 select 2 else select 3 from t select 4");
  // Cut after "... else", "... else if 2=2", "... select 3 from", "... select": the statements
  // read to their end begin at these tokens, and the last number is where the rest begins.
  const std::vector<std::pair<size_t, std::vector<size_t>>> cases = {
      {9, {0, 2}}, {13, {0, 2}}, {19, {0, 2}}, {21, {0, 2, 8, 15, 20}}};
  for (const auto& [cut, begins] : cases) {
    const std::vector<Token> tokens(lexed.tokens.begin(), lexed.tokens.begin() + static_cast<std::ptrdiff_t>(cut));
    size_t rest = 0;
    std::vector<size_t> got;
    for (const StatementRange& range : BatchSplitter::SplitComplete(tokens, 0, rest)) got.push_back(range.begin);
    std::vector<size_t> complete(begins.begin(), begins.end() - 1);
    EXPECT_EQ(got, complete) << cut;
    EXPECT_EQ(rest, begins.back()) << cut;
  }
}

// A long batch is read a stretch of tokens at a time, and each ELSE still
// belongs to its IF.
TEST(BatchSplitter, LongBatchKeepsEachElseWithItsIf) {
  std::string batch;
  for (int i = 0; i < 1500; ++i)
    batch += "if exists (select 1 from t where a = " + std::to_string(i) +
             ") update t set b = 1 where a = 2 else if 1 = 0 insert into t values (1, 'x') else delete from t ";
  const std::vector<TranslatedStatement> whole = TranslateBatch(batch);
  const std::vector<ParameterizedStatement> read = LiteralParameterizer::Translate(batch);
  ASSERT_EQ(read.size(), whole.size());
  ASSERT_EQ(whole.size(), 4500u);
  for (size_t i = 0; i < whole.size(); ++i) {
    EXPECT_EQ(read[i].otherwise, i % 3 != 0) << i;
    EXPECT_EQ(whole[i].otherwise, i % 3 != 0) << i;
  }
}

TEST(BatchSplitter, EmptyTextIsNotACommand) {
  for (const char* empty : {"", "   ", "\r\r", " -- nothing\n", ";"}) {
    try {
      TranslateBatch(empty);
      ADD_FAILURE() << "accepted empty text";
    } catch (const ComError& e) {
      EXPECT_EQ(e.Number(), ErrorNumber::CommandTextNotSet);
    }
  }
}

// A syntax error anywhere means nothing of the batch runs.
TEST(BatchSplitter, ASyntaxErrorInAnyStatementRunsNothing) {
  DialectDb db;
  db.Native("CREATE TABLE t(a int, b float)");
  // The broken updates end their SET list in a qualified name cut short.
  for (const char* broken : {"insert into t(a,b) values (2,,3)", "update t set t.", "update t set a = 1, t."}) {
    EXPECT_THROW(db.Execute(std::string(" insert into t(a,b) values (1,2) ") + broken), ComError) << broken;
    EXPECT_EQ(db.Value("select count(*) from t"), "0") << broken;
  }
}

// A CASE inside a CASE, neither closed: the typing of CASE results once
// wrapped around to the start of the statement and never came back.
TEST(BatchSplitter, UnclosedNestedCasesEndInAnAnswer) {
  for (const std::string batch : {"select case when 1 = 1 then case when 2 = 2 then 'x' else 'y'",
                                  "select isnull(case when 'a' like 'a' then case 1 when 1 then 2, 0) from t"}) {
    try {
      TranslateBatch(batch);
    } catch (const ComError& e) {
      EXPECT_EQ(e.Number(), ErrorNumber::ErrorsInCommand) << batch;
    }
  }
}

}  // namespace
}  // namespace fabrikon::dialect::test
