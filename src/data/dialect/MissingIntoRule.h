// MissingIntoRule: T-SQL lets INSERT go without INTO ("INSERT t VALUES ...");
// SQLite needs the keyword.
#pragma once
#include "data/dialect/RewriteRule.h"

namespace fabrikon::dialect {

class MissingIntoRule : public RewriteRule {
 public:
  void Apply(TokenList& tokens, const RuleContext& context) const override;
};

}  // namespace fabrikon::dialect
