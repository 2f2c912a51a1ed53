// PreparedBatch: one T-SQL batch, translated and compiled as a whole before
// any of it runs (a batch that does not compile changes nothing, as on SQL
// Server), then run statement by statement with ADO's records-affected rules.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "data/StatementCache.h"
#include "data/dialect/LiteralParameterizer.h"
#include "data/dialect/TSqlDialect.h"

struct sqlite3;

namespace fabrikon {

class RecordsetBuilder;

class PreparedBatch {
 public:
  // Translates and compiles every statement, conditions included. Raises
  // (ComError) when any part fails; nothing has run then.
  PreparedBatch(sqlite3* db, StatementCache& cache, const std::string& tsql);

  // Runs the statements in order and returns each one's count: -1 for a
  // row-returning statement, the rows changed by an INSERT, UPDATE or DELETE,
  // kNoCount for DDL and for a statement whose IF condition was false.
  // The first row-returning result goes to rows (when given); the others are
  // stepped to their end so that their errors surface. Stops at the first
  // failing statement and raises its error; what ran before stays done.
  // onSchemaChange is called after a statement that changed the schema ran.
  std::vector<long> Run(RecordsetBuilder* rows, const std::function<void()>& onSchemaChange);

  size_t Size() const { return statements_.size(); }

 private:
  struct Step {
    StatementHandle statement;  // null: nothing to run
    bool changesSchema = false;
    dialect::SqlParameters parameters;  // the literals, bound just before it runs
  };
  struct Statement {
    dialect::StatementKind kind = dialect::StatementKind::Other;
    StatementHandle condition;  // null: unconditional
    dialect::SqlParameters conditionParameters;
    std::vector<Step> steps;
  };

  bool ConditionHolds(const Statement& statement) const;
  void RunStep(const Step& step, RecordsetBuilder* rows) const;

  sqlite3* db_;
  std::vector<Statement> statements_;
};

}  // namespace fabrikon
