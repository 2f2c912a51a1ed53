// CreateIndexRule: indexes on temporary tables. SQL Server names indexes per
// table and puts the schema on the table; SQLite names them per schema and
// puts the schema on the index. "create index IX ON temp.X(c)" therefore
// becomes "CREATE INDEX temp."IX_X" ON X(c)", so every list table can have
// its IX_IDOrder. CLUSTERED / NONCLUSTERED are dropped everywhere.
#pragma once
#include "data/dialect/RewriteRule.h"

namespace fabrikon::dialect {

class CreateIndexRule : public RewriteRule {
 public:
  void Apply(TokenList& tokens, const RuleContext& context) const override;
};

}  // namespace fabrikon::dialect
