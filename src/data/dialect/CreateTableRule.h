// CreateTableRule: tables made through T-SQL behave like the host schema's.
// Every text column without a collation of its own gets COLLATE TSQL (case
// and trailing blanks ignored), and an IDENTITY(seed, increment) column is
// numbered by triggers: one refuses an explicit value as SQL Server does,
// the other gives each new row the next number after the column's highest
// (lowest, for a negative increment).
#pragma once
#include <string>
#include <vector>

#include "data/dialect/RewriteRule.h"

namespace fabrikon::dialect {

class CreateTableRule : public RewriteRule {
 public:
  // Adds the collations; the identity columns are left for TakeIdentity.
  void Apply(TokenList& tokens, const RuleContext& context) const override;
  // Strips IDENTITY(...) (and the NOT NULL the trigger makes redundant) from
  // a rewritten CREATE TABLE and returns the statements that number it.
  static std::vector<std::string> TakeIdentity(TokenList& tokens);
  // The "(" of a CREATE TABLE's column list; npos for none.
  static size_t ColumnListOpen(const TokenList& tokens);
};

}  // namespace fabrikon::dialect
