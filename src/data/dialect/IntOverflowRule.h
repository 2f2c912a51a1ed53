// IntOverflowRule: in T-SQL an expression of two ints is an int and fails
// with "Arithmetic overflow error converting expression to data type int."
// when its value leaves int's range; the embedded engine computes in 64 bits
// and would answer 2147483648 for 2147483647+1. Where the text shows that
// both operands are ints (integer literals within int's range, conversions to
// int, columns the catalog declares int, parenthesised expressions of them), every +, -, *, / and % (and a
// minus before such an expression) becomes tsql_int(a op b, 32), which checks
// the range. The other types of the family are checked alike: the result has
// the wider operand's type (tinyint + tinyint is a tinyint, smallint + int an
// int, bigint + int a bigint: tsql_int(a op b, 8 | 16 | 64)). Only expressions that stand alone (no operator binds them to a
// neighbour of unknown type) are rewritten; a literal beyond int's range is
// numeric in T-SQL and makes the expression numeric, so it is left alone.
#pragma once
#include "data/dialect/RewriteRule.h"

namespace fabrikon::dialect {

class IntOverflowRule : public RewriteRule {
 public:
  void Apply(TokenList& tokens, const RuleContext& context) const override;
  // The operand [first, last) is a T-SQL int (not another of the family) as
  // far as the text tells.
  static bool IsInt(const TokenList& tokens, size_t first, size_t last);
  // An integer literal within int's range.
  static bool IsIntLiteral(const Token& token);
};

}  // namespace fabrikon::dialect
