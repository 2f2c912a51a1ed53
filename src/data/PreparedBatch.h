// PreparedBatch: one T-SQL batch, translated and compiled as a whole before
// any of it runs (a batch that does not compile changes nothing, as on SQL
// Server; a statement that only names an object created earlier in the batch
// is compiled when its turn comes), then run statement by statement with
// ADO's records-affected rules.
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
  // catalog: the connection's declared column types (may be null).
  PreparedBatch(sqlite3* db, StatementCache& cache, const std::string& tsql,
                const dialect::SchemaCatalog* catalog = nullptr);

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
  // A compiled statement, or the text of one that names an object an
  // earlier statement of the batch creates: it is compiled when its turn
  // comes, as SQL Server resolves such names.
  struct Compiled {
    StatementHandle statement;  // null: nothing to run (or not yet compiled)
    std::string deferred;
    sqlite3_stmt* Get(StatementCache& cache, const dialect::SqlParameters& parameters);
  };
  struct Step {
    Compiled compiled;
    bool changesSchema = false;
    dialect::SqlParameters parameters;  // the literals, bound just before it runs
  };
  struct Statement {
    dialect::StatementKind kind = dialect::StatementKind::Other;
    Compiled condition;  // empty: unconditional
    dialect::SqlParameters conditionParameters;
    std::vector<Step> steps;
    std::vector<std::string> resultTypes;  // of the computed date columns
  };

  Compiled Compile(std::string_view sql, bool schemaChangedBefore, const dialect::SqlParameters& parameters) const;
  bool ConditionHolds(sqlite3_stmt* condition, const dialect::SqlParameters& parameters) const;
  void RunStep(sqlite3_stmt* statement, const dialect::SqlParameters& parameters, RecordsetBuilder* rows,
               const std::vector<std::string>& resultTypes) const;

  sqlite3* db_;
  StatementCache& cache_;
  std::vector<Statement> statements_;
};

}  // namespace fabrikon
