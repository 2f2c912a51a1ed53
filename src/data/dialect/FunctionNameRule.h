// FunctionNameRule: T-SQL functions whose name or arguments SQLite cannot
// read as they stand. left( and right( are join keywords in SQLite; the date
// functions take a bare date part (day, mm, ...) that SQLite would read as a
// column; CURRENT_TIMESTAMP is UTC in SQLite but local time in T-SQL. They
// become calls of the emulations that RegisterFunctions installs.
#pragma once
#include "data/dialect/RewriteRule.h"

namespace fabrikon::dialect {

class FunctionNameRule : public RewriteRule {
 public:
  void Apply(TokenList& tokens, const RuleContext& context) const override;
};

}  // namespace fabrikon::dialect
