// StringConcatRule: T-SQL's "+" joins strings when its operands are
// character data and adds numbers otherwise; SQLite's "+" always adds (so
// ','+cast(17 as varchar)+',' would give 17). A "+" becomes "||" when one
// operand is known to be text (a string literal, a conversion to a character
// type, a text function, or the result of a join before it) and neither is
// known to be a number (a numeric literal or a numeric function, where T-SQL
// converts the text to a number: the text operand becomes tsql_int(x, 32) or
// tsql_float(x), which fail on text that is no number). When neither side is known (two columns,
// say), "a + b" becomes tsql_add(a, b), which decides by the values' types
// when the statement runs; that is only done where the call keeps T-SQL's
// grouping (no *, / or % binding one of the operands, no - or + before a),
// and not for two columns the catalog declares numbers.
#pragma once
#include "data/dialect/RewriteRule.h"

namespace fabrikon::dialect {

class ExpressionTyper;

class StringConcatRule : public RewriteRule {
 public:
  enum class Type { Unknown, Text, Number };
  void Apply(TokenList& tokens, const RuleContext& context) const override;
  // The type of the operand [first, last) as far as the text tells.
  static Type Classify(const TokenList& tokens, size_t first, size_t last);

 private:
  static bool Pass(TokenList& tokens);
  static void DeferToRunTime(TokenList& tokens, const ExpressionTyper* typer);
  static bool IsUnary(const TokenList& tokens, size_t plus);
  static void ConvertTextOperand(TokenList& tokens, size_t plus, bool textOnLeft);
  static bool IsIntegral(const TokenList& tokens, size_t first, size_t last);
};

}  // namespace fabrikon::dialect
