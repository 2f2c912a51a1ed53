// DmlTopRule: UPDATE TOP (n) and DELETE TOP (n), which SQLite lacks.
// "UPDATE TOP (n) t SET ... [WHERE w]" becomes "UPDATE t SET ... WHERE rowid IN
// (SELECT TOP (n) rowid FROM t [WHERE w])", and "DELETE TOP (n) [FROM] t
// [WHERE w]" the same DELETE; TopRule then turns the inner TOP (PERCENT
// too) into the engine's form. Joined forms with TOP are refused.
#pragma once
#include "data/dialect/RewriteRule.h"

namespace fabrikon::dialect {

class DmlTopRule : public RewriteRule {
 public:
  void Apply(TokenList& tokens, const RuleContext& context) const override;
};

}  // namespace fabrikon::dialect
