// OperatorRule: T-SQL's "not less than" and "not greater than" operators
// (!< and !>) are >= and <= in SQLite.
#pragma once
#include "data/dialect/RewriteRule.h"

namespace fabrikon::dialect {

class OperatorRule : public RewriteRule {
 public:
  void Apply(TokenList& tokens, const RuleContext& context) const override;
};

}  // namespace fabrikon::dialect
