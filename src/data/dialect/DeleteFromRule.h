// DeleteFromRule: the T-SQL forms of DELETE that SQLite lacks. "DELETE t
// WHERE ..." gets its FROM; "DELETE t FROM t JOIN u ON ... WHERE ..." (delete
// through a join) becomes a DELETE of the rows the join selects, by rowid.
#pragma once
#include "data/dialect/RewriteRule.h"

namespace fabrikon::dialect {

class DeleteFromRule : public RewriteRule {
 public:
  void Apply(TokenList& tokens, const RuleContext& context) const override;

 private:
  static void RewriteJoinedDelete(TokenList& tokens, size_t from);
};

}  // namespace fabrikon::dialect
