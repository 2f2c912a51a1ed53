// RewriteRule: one step of the T-SQL to SQLite translation. Each rule looks
// for one T-SQL construct in a statement's tokens and rewrites it in place;
// the StatementTranslator runs them in a fixed order.
#pragma once
#include <string>

#include "data/dialect/TokenList.h"

namespace fabrikon::dialect {

class SchemaCatalog;

struct RuleContext {
  bool guarded = false;  // the statement is the body of an IF
  const SchemaCatalog* catalog = nullptr;  // the declared column types; null: unknown
  bool condition = false;  // the tokens are an IF condition behind a made-up SELECT
  // Set when the engine numbers rows by rowid: SELECT ... INTO may then leave
  // its identity column empty and put here the assignment that numbers the
  // new table after it is filled ("n = rowid"). Null: number in the query.
  std::string* rowidNumbering = nullptr;
  // The embedded engine: a number stored where its column's conversion
  // would give it back unchanged is stored bare (see StoreRule).
  bool embedded = false;
};

class RewriteRule {
 public:
  virtual ~RewriteRule() = default;
  virtual void Apply(TokenList& tokens, const RuleContext& context) const = 0;
};

}  // namespace fabrikon::dialect
