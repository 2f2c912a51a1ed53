// PreparedBatch: one T-SQL batch, translated and compiled as a whole before
// any of it runs (a batch that does not compile changes nothing, as on SQL
// Server; a statement that names an object the database does not have yet is
// compiled when its turn comes, as SQL Server resolves names late), then run
// statement by statement with ADO's records-affected rules.
#pragma once
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "data/StatementCache.h"
#include "data/dialect/LiteralParameterizer.h"
#include "data/dialect/TSqlDialect.h"
#include "fabrikon/ComError.h"

struct sqlite3;

namespace fabrikon {

namespace dialect {
class TSqlSession;
}
class RecordsetBuilder;

class PreparedBatch {
 public:
  // Translates and compiles every statement, conditions included. Raises
  // (ComError) when any part fails; nothing has run then.
  // catalog: the connection's declared column types (may be null).
  PreparedBatch(sqlite3* db, StatementCache& cache, const std::string& tsql,
                const dialect::SchemaCatalog* catalog = nullptr);

  // Where the rows of a SELECT go: the builder to read them into, or null
  // (they are stepped to their end so that their errors surface).
  using RowsTarget = std::function<RecordsetBuilder*()>;

  // Runs the statements in order and returns each one's count: -1 for a
  // SELECT, the rows changed by an INSERT, UPDATE or DELETE, kNoCount for
  // DDL, for a statement that did not run (its IF condition was false, or
  // it is the ELSE of a true one) and for a failed one.
  // A statement-ending error (a constraint, a value too long) outside a
  // transaction ends only its statement, as on SQL Server: the batch goes on
  // and the first such error is raised at its end. Any other error, and any
  // error inside the caller's transaction, stops the batch and is raised
  // at once. What ran stays done either way.
  // onSchemaChange is called after a statement that changed the schema ran.
  std::vector<long> Run(const RowsTarget& rows, const std::function<void()>& onSchemaChange);
  // The first SELECT's rows go to rows (when given).
  std::vector<long> Run(RecordsetBuilder* rows, const std::function<void()>& onSchemaChange);

  size_t Size() const { return statements_.size(); }
  // Whether every statement is a SELECT that reads the database only.
  bool ReadsOnly() const;

 private:
  // A compiled statement, or the text of one that names an object an
  // earlier statement of the batch creates: it is compiled when its turn
  // comes, as SQL Server resolves such names.
  struct Compiled {
    StatementHandle statement;  // null: nothing to run (or not yet compiled)
    std::unique_ptr<std::string> deferred;  // rare: kept apart to keep the common step small
    sqlite3_stmt* Get(StatementCache& cache, const dialect::SqlParameters& parameters);
  };
  struct Step {
    Compiled compiled;
    bool changesSchema = false;
    dialect::SqlParameters parameters;  // the literals, bound just before it runs
  };
  // What few statements have, held apart: a long batch holds thousands of
  // statements at once, nearly all without any of it.
  struct Extras {
    std::vector<bool> unnamed;  // its result columns that SQL Server leaves unnamed
    std::vector<std::string> resultTypes;  // of the computed date and bit columns
    Compiled condition;  // empty: unconditional
    dialect::SqlParameters conditionParameters;
  };
  struct Statement {
    dialect::StatementKind kind = dialect::StatementKind::Other;
    bool otherwise = false;  // the ELSE of the statement before
    std::unique_ptr<Extras> extras;  // null: none of them
    size_t firstStep = 0;  // its steps in steps_
    size_t stepCount = 0;
  };

  // Takes one translated statement: compiles it, or notes the batch's first
  // compile error, which is raised once the whole batch is translated.
  void Add(dialect::ParameterizedStatement&& source);
  void CompileStatement(Statement& statement, const dialect::ParameterizedStatement& source);
  Compiled Compile(std::string_view sql, bool schemaChangedBefore, const dialect::SqlParameters& parameters) const;
  bool ConditionHolds(sqlite3_stmt* condition, const dialect::SqlParameters& parameters) const;
  // Runs the statement's steps; false when its IF condition was false.
  bool RunStatement(Statement& statement, const RowsTarget& rows, const std::function<void()>& onSchemaChange);
  // Runs one step; returns the rows it returned. owner: the statement it
  // belongs to, whose column names and types its rows take.
  int64_t RunStep(sqlite3_stmt* statement, const dialect::SqlParameters& parameters, RecordsetBuilder* rows,
                  const Statement& owner) const;
  long CountOf(const Statement& statement) const;

  sqlite3* db_;
  StatementCache& cache_;
  const dialect::SchemaCatalog* catalog_;
  // Deques: a long batch's statements are never moved, nor held twice while its storage grows.
  std::deque<Statement> statements_;
  std::deque<Step> steps_;  // of every statement in order (most have one)
  // While compiling: whether a statement before changed the schema, the
  // first compile error, and the statement before (its texts stay valid, so
  // that a step of the same text takes its compiled statement at once).
  bool schemaChanged_ = false;
  std::optional<ComError> compileError_;
  dialect::ParameterizedStatement previous_;
  dialect::TSqlSession* session_ = nullptr;  // the connection's variables and @@ROWCOUNT
};

}  // namespace fabrikon
