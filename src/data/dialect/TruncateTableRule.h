// TruncateTableRule: "TRUNCATE TABLE t" empties the table: "DELETE FROM t"
// (the statement reports no count, as SQL Server's does not).
#pragma once
#include "data/dialect/RewriteRule.h"

namespace fabrikon::dialect {

class TruncateTableRule : public RewriteRule {
 public:
  void Apply(TokenList& tokens, const RuleContext& context) const override;
};

}  // namespace fabrikon::dialect
