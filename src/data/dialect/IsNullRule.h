// IsNullRule: T-SQL's isnull(a, b) is SQLite's ifnull(a, b). (ISNULL is a
// postfix operator keyword in SQLite, so neither the call nor a function of
// that name would compile.) "x IS NULL" is left alone.
#pragma once
#include "data/dialect/RewriteRule.h"

namespace fabrikon::dialect {

class IsNullRule : public RewriteRule {
 public:
  void Apply(TokenList& tokens, const RuleContext& context) const override;
};

}  // namespace fabrikon::dialect
