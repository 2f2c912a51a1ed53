// GroupByCollationRule: a GROUP BY item computed from columns (upper(code),
// code + name) groups text as the columns compare it, case-insensitively and
// without trailing blanks, as SQL Server groups by the collation: the item
// gets COLLATE TSQL. A plain column keeps its own collation; numbers are
// unaffected.
#pragma once
#include "data/dialect/RewriteRule.h"

namespace fabrikon::dialect {

class GroupByCollationRule : public RewriteRule {
 public:
  void Apply(TokenList& tokens, const RuleContext& context) const override;

 private:
  static void Rewrite(TokenList& tokens, size_t first);
};

}  // namespace fabrikon::dialect
