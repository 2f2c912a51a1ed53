// OffsetFetchRule: "ORDER BY ... OFFSET m ROWS [FETCH {FIRST|NEXT} n {ROW|ROWS}
// ONLY]" becomes "ORDER BY ... LIMIT n OFFSET m" (LIMIT -1 without FETCH), at
// any depth. OFFSET needs the ORDER BY, as on SQL Server.
#pragma once
#include "data/dialect/RewriteRule.h"

namespace fabrikon::dialect {

class OffsetFetchRule : public RewriteRule {
 public:
  void Apply(TokenList& tokens, const RuleContext& context) const override;

 private:
  static void Rewrite(TokenList& tokens, size_t offset);
};

}  // namespace fabrikon::dialect
