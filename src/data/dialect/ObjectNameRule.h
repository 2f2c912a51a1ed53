// ObjectNameRule: SQL Server object names that SQLite reads differently.
// "dbo." before a table is dropped (dbo.t.c would be database.table.column),
// tempdb..X and #X become the connection's temp schema, and the sysobjects
// catalogue becomes a view of sqlite_temp_master / sqlite_master so that the
// library's existence tests run unchanged.
#pragma once
#include "data/dialect/RewriteRule.h"

namespace fabrikon::dialect {

class ObjectNameRule : public RewriteRule {
 public:
  void Apply(TokenList& tokens, const RuleContext& context) const override;

 private:
  static bool StripDbo(TokenList& tokens, size_t i);
  static bool MapTempDb(TokenList& tokens, size_t i);
  static bool MapSysObjects(TokenList& tokens, size_t i, size_t end, bool temp);
  static bool MapHashTable(TokenList& tokens, size_t i);
};

}  // namespace fabrikon::dialect
