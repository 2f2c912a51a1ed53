// CollateLiteralRule: SQL Server compares text without regard to case and
// ignores trailing blanks. Text columns are declared COLLATE TSQL, and SQLite
// compares a column with a literal by the column's collation. A string
// literal compared with anything other than a plain column (an expression
// such as "isnull(c,'') = 'x'", or another literal as in "'A' = 'a '") gets
// COLLATE TSQL so that it compares the same way. Literals compared with a
// column are left alone: an explicit collation would win over the column's
// and keep SQLite from using the column's index. The same holds for the
// operand before a BETWEEN with text bounds.
#pragma once
#include "data/dialect/RewriteRule.h"

namespace fabrikon::dialect {

class CollateLiteralRule : public RewriteRule {
 public:
  void Apply(TokenList& tokens, const RuleContext& context) const override;

 private:
  static bool ComparedWithColumn(const TokenList& tokens, size_t literal);
  static bool CollateBetween(TokenList& tokens, size_t between);
};

}  // namespace fabrikon::dialect
