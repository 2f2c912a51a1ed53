// PreparedBatch: the compile-all-then-run pipeline behind Execute and Open.
// Errors: SQL Server ends only the statement for a constraint violation or a
// value too long and goes on with the batch (ADO may not even report the
// error); the embedded connection goes on too, but always raises the first
// such error once the batch is done, so that no failure goes unnoticed.
// Inside the caller's transaction every error stops the batch at once: the
// caller rolls back, and nothing runs after a failed step of a save.
#include "data/PreparedBatch.h"

#include <sqlite3.h>

#include <cctype>
#include <optional>

#include "data/RecordsetBuilder.h"
#include "data/SqliteErrorMapper.h"
#include "data/dialect/TSqlSession.h"
#include "fabrikon/Connection.h"

namespace fabrikon {

namespace {

// The schema-changing statements, by their first word.
bool ChangesSchema(std::string_view sql) {
  size_t begin = sql.find_first_not_of(" \t\r\n(");
  if (begin == std::string::npos) return false;
  size_t end = begin;
  while (end < sql.size() && std::isalpha(static_cast<unsigned char>(sql[end]))) ++end;
  const std::string_view word = sql.substr(begin, end - begin);
  const auto is = [word](std::string_view upper) {
    if (word.size() != upper.size()) return false;
    for (size_t i = 0; i < word.size(); ++i)
      if (std::toupper(static_cast<unsigned char>(word[i])) != upper[i]) return false;
    return true;
  };
  return is("CREATE") || is("DROP") || is("ALTER");
}

// Resets the statement when the step leaves scope, so that no statement
// stays pending (a pending read blocks DROP TABLE and keeps a read snapshot).
class ResetOnExit {
 public:
  explicit ResetOnExit(sqlite3_stmt* statement) : statement_(statement) {}
  ~ResetOnExit() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);  // the bound texts belong to the batch
  }
  ResetOnExit(const ResetOnExit&) = delete;
  ResetOnExit& operator=(const ResetOnExit&) = delete;

 private:
  sqlite3_stmt* statement_;
};

}  // namespace

PreparedBatch::PreparedBatch(sqlite3* db, StatementCache& cache, const std::string& tsql,
                             const dialect::SchemaCatalog* catalog)
    : db_(db), cache_(cache), catalog_(catalog) {
  // Translation errors come before compile errors, as when every statement
  // was translated before the first was compiled.
  dialect::LiteralParameterizer::Translate(tsql, catalog_, [this](dialect::ParameterizedStatement&& source) {
    Add(std::move(source));
  });
  previous_ = dialect::ParameterizedStatement();
  if (compileError_) throw *compileError_;
}

void PreparedBatch::Add(dialect::ParameterizedStatement&& source) {
  Statement& statement = statements_.emplace_back();
  statement.kind = source.kind;
  statement.otherwise = source.otherwise;
  if (!source.resultTypes.empty() || !source.unnamed.empty() || !source.condition.empty() ||
      !source.conditionParameters.empty()) {
    statement.extras = std::make_unique<Extras>();
    statement.extras->resultTypes = std::move(source.resultTypes);
    statement.extras->unnamed = std::move(source.unnamed);
    statement.extras->conditionParameters = std::move(source.conditionParameters);
  }
  statement.firstStep = steps_.size();
  statement.stepCount = source.sql.size();
  for (size_t i = 0; i < source.sql.size(); ++i)
    steps_.push_back(Step{Compiled{}, ChangesSchema(source.sql[i]), std::move(source.parameters[i])});
  if (!compileError_) CompileStatement(statement, source);
  // Swapped rather than moved: the caller may fill the same statement again, in the storage it held.
  std::swap(previous_, source);
}

// Compiles the statement's condition and steps, or notes the batch's first
// compile error, which is raised once the whole batch is translated.
void PreparedBatch::CompileStatement(Statement& statement, const dialect::ParameterizedStatement& source) {
  try {
    if (!source.condition.empty())
      statement.extras->condition = Compile(source.condition, schemaChanged_, statement.extras->conditionParameters);
    // The statement before, when it is one step.
    const Statement* before = statements_.size() > 1 ? &statements_[statements_.size() - 2] : nullptr;
    const Step* single = before != nullptr && before->stepCount == 1 ? &steps_[before->firstStep] : nullptr;
    for (size_t i = 0; i < source.sql.size(); ++i) {
      Step& step = steps_[statement.firstStep + i];
      const std::string_view sql = source.sql[i];
      // The same text as the single step before (a save's rows): the same compiled statement.
      const bool again = i == 0 && source.sql.size() == 1 && single != nullptr && previous_.sql.size() == 1 &&
                         single->compiled.statement && !single->changesSchema &&
                         ((previous_.sql[0].data() == sql.data() && previous_.sql[0].size() == sql.size()) ||
                          previous_.sql[0] == sql);
      step.compiled = again ? Compiled{single->compiled.statement, nullptr}
                            : Compile(sql, schemaChanged_, step.parameters);
      schemaChanged_ = schemaChanged_ || step.changesSchema;
    }
  } catch (const ComError& error) {
    compileError_ = error;
  }
}

// A name the schema does not know yet may be one an earlier statement of
// the batch creates (and one it knows, one an earlier statement drops);
// anything else (syntax above all) fails the batch now.
PreparedBatch::Compiled PreparedBatch::Compile(std::string_view sql, bool schemaChangedBefore,
                                               const dialect::SqlParameters& parameters) const {
  try {
    return Compiled{cache_.Prepare(sql), {}};
  } catch (const ComError& error) {
    const std::string& text = error.Description();
    const bool missing = text.rfind("Invalid object name", 0) == 0;
    const bool resolution = text.rfind("Invalid column name", 0) == 0 ||
                            text.rfind("There is already an object named", 0) == 0;
    if (!missing && (!schemaChangedBefore || !resolution)) throw ComError(error.Number(), parameters.NameLiterals(text));
    return Compiled{nullptr, std::make_unique<std::string>(sql)};
  }
}

bool PreparedBatch::ReadsOnly() const {
  const auto reads = [](const Compiled& compiled) {
    return compiled.statement && sqlite3_stmt_readonly(compiled.statement.get()) != 0;
  };
  for (const Statement& statement : statements_) {
    if (statement.kind != dialect::StatementKind::Select) return false;
    const Compiled* condition = statement.extras ? &statement.extras->condition : nullptr;
    if (condition != nullptr && (condition->deferred || (condition->statement && !reads(*condition)))) return false;
    for (size_t i = 0; i < statement.stepCount; ++i)
      if (!reads(steps_[statement.firstStep + i].compiled)) return false;
  }
  return !statements_.empty();
}

sqlite3_stmt* PreparedBatch::Compiled::Get(StatementCache& cache, const dialect::SqlParameters& parameters) {
  if (!statement && deferred) {
    try {
      statement = cache.Prepare(*deferred);
    } catch (const ComError& error) {
      throw ComError(error.Number(), parameters.NameLiterals(error.Description()));
    }
  }
  return statement.get();
}

std::vector<long> PreparedBatch::Run(RecordsetBuilder* rows, const std::function<void()>& onSchemaChange) {
  return Run([rows]() { return rows != nullptr && !rows->HasResult() ? rows : nullptr; }, onSchemaChange);
}

std::vector<long> PreparedBatch::Run(const RowsTarget& rows, const std::function<void()>& onSchemaChange) {
  session_ = dialect::TSqlSession::Of(db_);
  if (session_ != nullptr) session_->BeginBatch();
  const bool ownTransaction = sqlite3_get_autocommit(db_) != 0;
  std::optional<ComError> ended;  // the first statement-ending error
  std::vector<long> counts;
  counts.reserve(statements_.size());
  bool elseDue = false;  // the statement before was an IF whose condition was false
  for (auto& statement : statements_) {
    if (statement.otherwise && !elseDue) {
      counts.push_back(kNoCount);
      elseDue = false;
      continue;
    }
    try {
      elseDue = !RunStatement(statement, rows, onSchemaChange);
      counts.push_back(elseDue ? kNoCount : CountOf(statement));
    } catch (const ComError& error) {
      if (!ownTransaction || !SqliteErrorMapper::EndsStatementOnly(error)) throw;
      if (!ended) ended = error;
      counts.push_back(kNoCount);
      elseDue = false;
    }
  }
  if (ended) throw *ended;
  return counts;
}

bool PreparedBatch::RunStatement(Statement& statement, const RowsTarget& rows,
                                 const std::function<void()>& onSchemaChange) {
  if (statement.extras) {
    Extras& extras = *statement.extras;
    sqlite3_stmt* condition = extras.condition.Get(cache_, extras.conditionParameters);
    if (condition != nullptr && !ConditionHolds(condition, extras.conditionParameters)) return false;
  }
  const bool select = statement.kind == dialect::StatementKind::Select;
  int64_t returned = 0;
  for (size_t i = 0; i < statement.stepCount; ++i) {
    Step& step = steps_[statement.firstStep + i];
    sqlite3_stmt* compiled = step.compiled.Get(cache_, step.parameters);
    if (compiled == nullptr) continue;
    returned = RunStep(compiled, step.parameters, select ? rows() : nullptr, statement);
    if (step.changesSchema && onSchemaChange) onSchemaChange();
  }
  if (session_ != nullptr) {
    const long count = CountOf(statement);
    if (select) session_->NoteRowCount(returned);
    if (count >= 0) session_->NoteRowCount(count);
  }
  return true;
}

long PreparedBatch::CountOf(const Statement& statement) const {
  switch (statement.kind) {
    case dialect::StatementKind::Select:
      return -1;
    case dialect::StatementKind::Insert:
    case dialect::StatementKind::Update:
    case dialect::StatementKind::Delete:
      return static_cast<long>(sqlite3_changes64(db_));
    default:
      return kNoCount;
  }
}

bool PreparedBatch::ConditionHolds(sqlite3_stmt* condition, const dialect::SqlParameters& parameters) const {
  ResetOnExit reset(condition);
  parameters.Bind(condition);
  int rc = sqlite3_step(condition);
  if (rc == SQLITE_DONE) return false;
  if (rc != SQLITE_ROW) SqliteErrorMapper::Raise(db_, rc, SqliteErrorMapper::Phase::Run);
  return sqlite3_column_type(condition, 0) != SQLITE_NULL && sqlite3_column_double(condition, 0) != 0.0;
}

int64_t PreparedBatch::RunStep(sqlite3_stmt* statement, const dialect::SqlParameters& parameters,
                               RecordsetBuilder* rows, const Statement& owner) const {
  ResetOnExit reset(statement);
  parameters.Bind(statement);
  if (rows != nullptr && sqlite3_column_count(statement) > 0) {
    static const Extras kNone;
    const Extras& extras = owner.extras ? *owner.extras : kNone;
    rows->Unname(extras.unnamed);
    rows->Read(db_, statement, extras.resultTypes);
    return static_cast<int64_t>(rows->RowCount());
  }
  int64_t returned = 0;
  int rc;
  while ((rc = sqlite3_step(statement)) == SQLITE_ROW) ++returned;
  if (rc != SQLITE_DONE) SqliteErrorMapper::RaiseFrom(db_, statement, rc);
  return returned;
}

}  // namespace fabrikon
