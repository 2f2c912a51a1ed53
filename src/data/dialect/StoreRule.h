// StoreRule: every value an INSERT or UPDATE stores goes through
// tsql_store(value, 'table', column) (see StoreConversion), which converts
// it to the column's declared type when the statement runs:
//   INSERT t (a, b) VALUES (x, y)  -> ... VALUES (tsql_store(x, 't', 'a'), ...)
//   INSERT t VALUES (x, y)         -> ... VALUES (tsql_store(x, 't', 0), ...)
//   INSERT t (a) SELECT x FROM u   -> ... SELECT tsql_store(x, 't', 'a') FROM u
//   UPDATE t SET a = x             -> UPDATE t SET a = tsql_store(x, 't', 'a')
// The conversion happens at run time so that a translation does not depend
// on the schema it was made for (translations are cached and shared by every
// connection, and a table may be created later in the same batch). Forms
// whose values cannot be told apart in the text (SELECT * or DISTINCT or a
// UNION feeding an INSERT, a column count that does not match) are left as
// they are.
#pragma once
#include <string>
#include <vector>

#include "data/dialect/RewriteRule.h"

namespace fabrikon::dialect {

class StoreRule : public RewriteRule {
 public:
  void Apply(TokenList& tokens, const RuleContext& context) const override;

 private:
  static void Insert(TokenList& tokens);
  static void InsertSelect(TokenList& tokens, size_t select, const std::string& table,
                           const std::vector<std::string>& columns);
  static void Update(TokenList& tokens);
  // Wraps tokens [first, last); column is a name or, when empty, position.
  static void Wrap(TokenList& tokens, size_t first, size_t last, const std::string& table,
                   const std::string& column, size_t position);
};

}  // namespace fabrikon::dialect
