// TopRule: "SELECT [DISTINCT] TOP n ..." becomes "SELECT [DISTINCT] ... LIMIT n",
// the LIMIT going to the end of that SELECT (after its ORDER BY), also inside
// parentheses. TOP n PERCENT and WITH TIES have no SQLite form and are refused.
#pragma once
#include "data/dialect/RewriteRule.h"

namespace fabrikon::dialect {

class TopRule : public RewriteRule {
 public:
  void Apply(TokenList& tokens, const RuleContext& context) const override;

 private:
  static void Rewrite(TokenList& tokens, size_t select);
};

}  // namespace fabrikon::dialect
