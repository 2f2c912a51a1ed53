// SelectIntoRule: "SELECT [IDENTITY(int,1,1) AS n,] list INTO X FROM ... [ORDER BY o]"
// becomes "CREATE TABLE X AS SELECT [row_number() OVER (ORDER BY o) AS n,] list
// FROM ... [ORDER BY o]": the identity column numbers the rows in the order
// the query delivers them, as the paged list expects.
#pragma once
#include "data/dialect/RewriteRule.h"

namespace fabrikon::dialect {

class SelectIntoRule : public RewriteRule {
 public:
  void Apply(TokenList& tokens, const RuleContext& context) const override;

 private:
  static std::vector<Token> OrderList(const TokenList& tokens, size_t from,
                                      const std::vector<TokenList::Range>& items);
  static std::vector<Token> IdentityColumn(TokenList& tokens, TokenList::Range item,
                                           const std::vector<Token>& order);
};

}  // namespace fabrikon::dialect
