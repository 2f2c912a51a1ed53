// DecimalArithmeticRule: T-SQL computes with decimals of a precision and
// scale that follow from the operands' (NumericType); the embedded engine
// computes in doubles. Where the text tells both operands' types and the
// result is a decimal or money:
//   a / b  -> tsql_numeric_div(a, b, p, s)  rounded to the result's scale
//             (money: tsql_money(tsql_numeric_div(a, b, 19, 4)))
//   a * b  -> tsql_numeric(a * b, p, s)     (money: tsql_money(a * b))
// and % of anything but two ints becomes tsql_mod(a, b), the remainder of
// decimals (the engine's % truncates them to integers); % of a float and
// another known type is refused as T-SQL refuses it. An avg of an int is an
// int: avg(x) -> tsql_int(avg(x), bits). Sums and differences
// are exact in doubles as far as their digits go and stay as they are.
// Columns are typed through the catalog the context carries (unknown
// without one).
#pragma once
#include "data/dialect/NumericType.h"
#include "data/dialect/RewriteRule.h"

namespace fabrikon::dialect {

class ExpressionTyper;

class DecimalArithmeticRule : public RewriteRule {
 public:
  void Apply(TokenList& tokens, const RuleContext& context) const override;
  // The type of the expression [first, last) (after this rule ran), its
  // arithmetic included: 1.0e0 / 3 is a float; columns as the typer tells
  // (null: unknown).
  static NumericType TypeOf(TokenList& tokens, size_t first, size_t last, const ExpressionTyper* typer);
};

}  // namespace fabrikon::dialect
