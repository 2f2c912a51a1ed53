// VariableRule: local variables and @@ROWCOUNT. DECLARE @n int [= x] becomes
// VALUES (tsql_declare('@n', 'int', x)), SET @n = x becomes
// VALUES (tsql_set('@n', x)) (statements without a count or a result), a
// variable read anywhere else becomes tsql_var('@n') and @@ROWCOUNT
// tsql_rowcount(). The session behind these functions converts values to the
// variable's declared type (see TSqlSession).
#pragma once
#include "data/dialect/RewriteRule.h"

namespace fabrikon::dialect {

class VariableRule : public RewriteRule {
 public:
  void Apply(TokenList& tokens, const RuleContext& context) const override;

 private:
  static void RewriteDeclare(TokenList& tokens);
  static void RewriteSet(TokenList& tokens);
  static void RewriteReads(TokenList& tokens, size_t from);
  static void RefuseAssignments(const TokenList& tokens);
};

}  // namespace fabrikon::dialect
