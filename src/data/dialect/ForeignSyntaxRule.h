// ForeignSyntaxRule: refuses what only the embedded engine would accept
// (LIMIT, ==, ||, GLOB, IS other than IS [NOT] NULL, WHERE 1, IN (),
// RETURNING, ON CONFLICT, INSERT OR ..., CREATE TEMP/VIRTUAL TABLE,
// CREATE ... IF NOT EXISTS, ALTER TABLE ... RENAME, PRAGMA and the like, the
// engine's own functions and catalogue tables). Host SQL that runs here must
// run on SQL Server too, so such text is a syntax error (0x80040E14) with
// SQL Server's wording. It runs first, on the statement as the caller wrote it.
#pragma once
#include "data/dialect/RewriteRule.h"

namespace fabrikon::dialect {

class ForeignSyntaxRule : public RewriteRule {
 public:
  void Apply(TokenList& tokens, const RuleContext& context) const override;

 private:
  static void CheckToken(const TokenList& tokens, size_t i);
  static void CheckStatementStart(const TokenList& tokens);
  static void CheckFunction(const TokenList& tokens, size_t i);
  static void CheckPredicate(const TokenList& tokens, size_t i);
};

}  // namespace fabrikon::dialect
