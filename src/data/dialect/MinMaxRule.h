// MinMaxRule: "SELECT MAX(k) AS a, MIN(k) AS b FROM ..." makes SQLite scan
// every row, while MAX or MIN alone is one step along an index on k. The
// statement becomes one subquery per aggregate, "SELECT (SELECT MAX(k) FROM
// ...) AS a, (SELECT MIN(k) FROM ...) AS b": still exactly one row, the same
// values (NULL over no rows), the same column names.
#pragma once
#include "data/dialect/RewriteRule.h"

namespace fabrikon::dialect {

class MinMaxRule : public RewriteRule {
 public:
  void Apply(TokenList& tokens, const RuleContext& context) const override;
};

}  // namespace fabrikon::dialect
