// NumberTextRule: the text T-SQL makes of a number depends on its type: a
// decimal keeps its scale (12.50 is "12.50"), money shows two decimals, a
// float at most six digits; the engine holds all three as doubles and would
// write "12.5". Where the text tells the type (NumericType):
//   tsql_str(x, ...) of a decimal -> tsql_numeric_str(x, scale, length, flags)
//                    of money     -> tsql_money_str(x, length, style, padded)
//                    of a float   -> tsql_float_str(x, length, style, flags)
// and a decimal, money or float argument of a function that takes text
// (concat, replace, left, right, len, ...) is given that text first. A
// round of a decimal keeps the decimal's type, so a result that needs more
// digits overflows: round(x, n) -> tsql_numeric(round(x, n), p, s).
#pragma once
#include "data/dialect/RewriteRule.h"

namespace fabrikon::dialect {

class NumberTextRule : public RewriteRule {
 public:
  void Apply(TokenList& tokens, const RuleContext& context) const override;
};

}  // namespace fabrikon::dialect
