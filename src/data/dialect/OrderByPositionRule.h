// OrderByPositionRule: refuses an ORDER BY position beyond the select list of
// the statement's query ("order by 2" over one column) with SQL Server's
// message; the engine's own message names the term, not the position.
// A select list with * is left to the engine.
#pragma once
#include "data/dialect/RewriteRule.h"

namespace fabrikon::dialect {

class OrderByPositionRule : public RewriteRule {
 public:
  void Apply(TokenList& tokens, const RuleContext& context) const override;

 private:
  // The number of items of the select list at select; 0 when it has a *.
  static size_t ListSize(const TokenList& tokens, size_t select);
};

}  // namespace fabrikon::dialect
