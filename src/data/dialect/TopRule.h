// TopRule: "SELECT [DISTINCT] TOP n ..." becomes "SELECT [DISTINCT] ... LIMIT n",
// the LIMIT going to the end of that SELECT (after its ORDER BY), also inside
// parentheses. TOP n PERCENT limits to the query's row count times n / 100,
// rounded up. WITH TIES has no SQLite form and is refused.
#pragma once
#include "data/dialect/RewriteRule.h"

namespace fabrikon::dialect {

class TopRule : public RewriteRule {
 public:
  void Apply(TokenList& tokens, const RuleContext& context) const override;

 private:
  static void Rewrite(TokenList& tokens, size_t select);
  static std::vector<Token> PercentLimit(TokenList& tokens, size_t select, size_t end, const Token& count);
};

}  // namespace fabrikon::dialect
