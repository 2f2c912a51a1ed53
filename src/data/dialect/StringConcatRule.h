// StringConcatRule: T-SQL's "+" joins strings when its operands are
// character data and adds numbers otherwise; SQLite's "+" always adds (so
// ','+cast(17 as varchar)+',' would give 17). A "+" becomes "||" when one
// operand is known to be text (a string literal, a conversion to a character
// type, a text function, or the result of a join before it) and neither is
// known to be a number (a numeric literal or a numeric function, where T-SQL
// converts the text to a number). Column operands are of unknown type and
// leave the decision to the other side; two columns keep "+".
#pragma once
#include "data/dialect/RewriteRule.h"

namespace fabrikon::dialect {

class StringConcatRule : public RewriteRule {
 public:
  enum class Type { Unknown, Text, Number };
  void Apply(TokenList& tokens, const RuleContext& context) const override;
  // The type of the operand [first, last) as far as the text tells.
  static Type Classify(const TokenList& tokens, size_t first, size_t last);

 private:
  static bool Pass(TokenList& tokens);
  static bool IsUnary(const TokenList& tokens, size_t plus);
};

}  // namespace fabrikon::dialect
