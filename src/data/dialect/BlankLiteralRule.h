// BlankLiteralRule: T-SQL converts a string literal compared with a number
// column to a number, and the empty (or all-blank) text becomes 0: "id < ''"
// means "id < 0". SQLite never converts '' and then orders every number
// below any text. Which columns are numbers is only known when the statement
// runs, so "col <op> ''" becomes "col <op> tsql_blank(col)", which yields 0
// for a number and '' for text. Non-blank literals need nothing: SQLite's
// column affinity already converts '12' for a number column.
#pragma once
#include "data/dialect/RewriteRule.h"

namespace fabrikon::dialect {

class BlankLiteralRule : public RewriteRule {
 public:
  void Apply(TokenList& tokens, const RuleContext& context) const override;

 private:
  static void Replace(TokenList& tokens, size_t literal, TokenList::Range column);
};

}  // namespace fabrikon::dialect
