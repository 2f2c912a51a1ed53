// DivisionRule: T-SQL fails on a division or modulo by zero where the
// embedded engine yields NULL, so the right operand of "/" and "%" becomes
// tsql_divisor(operand), which raises "Divide by zero error encountered."
// for zero and passes every other value through. A non-zero numeric literal
// (x/100) needs no check and is left as it is.
#pragma once
#include "data/dialect/RewriteRule.h"

namespace fabrikon::dialect {

class DivisionRule : public RewriteRule {
 public:
  void Apply(TokenList& tokens, const RuleContext& context) const override;

 private:
  // Where the divisor that begins at first ends (exclusive), npos when the
  // text is not an operand the rule can wrap.
  static size_t DivisorEnd(const TokenList& tokens, size_t first);
};

}  // namespace fabrikon::dialect
