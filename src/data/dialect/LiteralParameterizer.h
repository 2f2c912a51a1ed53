// LiteralParameterizer: the embedded connection's way into the dialect.
// Translates a batch statement by statement, each statement shape once (its
// literals set aside, see LiteralShape), and hands back SQLite texts whose
// literals are numbered parameters with the values to bind. Statements that
// differ only in their values so share one translation and one compiled
// statement, and a batch whose values never recur leaves nothing behind.
#pragma once
#include <string>
#include <vector>

#include "data/dialect/SqlParameters.h"
#include "data/dialect/TSqlDialect.h"

namespace fabrikon::dialect {

struct ParameterizedStatement {
  StatementKind kind = StatementKind::Other;
  std::string condition;  // empty: unconditional
  SqlParameters conditionParameters;
  std::vector<std::string> sql;
  std::vector<SqlParameters> parameters;  // one per sql
};

class LiteralParameterizer {
 public:
  // Same errors as TranslateBatch.
  static std::vector<ParameterizedStatement> Translate(const std::string& tsql);
};

}  // namespace fabrikon::dialect
