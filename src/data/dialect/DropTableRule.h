// DropTableRule: a DROP guarded by IF EXISTS must still compile when the
// object is missing, because the whole batch is prepared before anything
// runs (SQLite checks the object when it prepares a DROP). The guarded DROP
// therefore gets SQLite's own IF EXISTS; the guard keeps the T-SQL meaning.
#pragma once
#include "data/dialect/RewriteRule.h"

namespace fabrikon::dialect {

class DropTableRule : public RewriteRule {
 public:
  void Apply(TokenList& tokens, const RuleContext& context) const override;
};

}  // namespace fabrikon::dialect
