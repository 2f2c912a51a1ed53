// LiteralParameterizer: the embedded connection's way into the dialect.
// Translates a batch statement by statement, each statement shape once (its
// literals set aside, see LiteralShape), and hands back SQLite texts whose
// literals are numbered parameters with the values to bind. Statements that
// differ only in their values so share one translation and one compiled
// statement, and a batch whose values never recur leaves nothing behind.
#pragma once
#include <forward_list>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/dialect/SqlParameters.h"
#include "data/dialect/TSqlDialect.h"

namespace fabrikon::dialect {

struct ShapeTranslation;

// The texts are views: into the shape's templates (which `shape` keeps) or
// into `written`; text parameters may view the batch text, which the caller
// keeps until the statements have run.
struct ParameterizedStatement {
  StatementKind kind = StatementKind::Other;
  bool otherwise = false;  // the ELSE of the IF before it (see TranslatedStatement)
  std::vector<bool> unnamed;  // see TranslatedStatement
  std::string_view condition;  // empty: unconditional
  SqlParameters conditionParameters;
  std::vector<std::string_view> sql;
  std::vector<SqlParameters> parameters;  // one per sql
  std::vector<std::string> resultTypes;   // as TranslatedStatement's
  std::shared_ptr<const ShapeTranslation> shape;
  std::forward_list<std::string> written;  // texts of this statement alone
};

class LiteralParameterizer {
 public:
  // Same errors as TranslateBatch.
  // catalog: as TranslateBatch's.
  static std::vector<ParameterizedStatement> Translate(const std::string& tsql,
                                                       const SchemaCatalog* catalog = nullptr);
  // The same statements handed to `each` in order as they are translated, so
  // that a long batch never holds all of them at once; an error raised after
  // some were handed over still fails the whole batch.
  using Consumer = std::function<void(ParameterizedStatement&&)>;
  static void Translate(const std::string& tsql, const SchemaCatalog* catalog, const Consumer& each);
  // What TranslateBatch gives for the batch, text for text, each shape
  // translated once and its literals written back in (for a connection that
  // rewrites the texts further, as the PostgreSQL one does). Same errors.
  static std::vector<TranslatedStatement> TranslateWritten(const std::string& tsql, const SchemaCatalog* catalog,
                                                           Engine engine);
};

}  // namespace fabrikon::dialect
