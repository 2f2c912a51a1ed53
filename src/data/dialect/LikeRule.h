// LikeRule: SQL Server's LIKE ignores the trailing blanks of a non-Unicode
// value ('a ' LIKE 'a' is true) but not those of Unicode text, which the
// text columns of the schema hold. A string literal (not N'...') matched
// against a pattern that reads neither a column nor N'...' is non-Unicode
// text: its LIKE gets an ESCAPE that begins with TSqlLike's padded mark
// (ESCAPE char(1), or char(1) || the escape written), which asks the
// connection's like() for the padded match.
#pragma once
#include "data/dialect/RewriteRule.h"

namespace fabrikon::dialect {

class LikeRule : public RewriteRule {
 public:
  void Apply(TokenList& tokens, const RuleContext& context) const override;

 private:
  // Where the pattern (or escape) expression that begins at first ends;
  // npos when it cannot tell.
  static size_t ExpressionEnd(const TokenList& tokens, size_t first);
  static bool IsUnicode(const TokenList& tokens, size_t first, size_t last);
};

}  // namespace fabrikon::dialect
