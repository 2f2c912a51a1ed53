// SelectIntoRule: "SELECT [IDENTITY(int,1,1) AS n,] list INTO X FROM ... [ORDER BY o]"
// becomes "CREATE TABLE X AS SELECT [row_number() OVER (ORDER BY o) AS n,] list
// FROM ... [ORDER BY o]": the identity column numbers the rows in the order
// the query delivers them, as the paged list expects. Where the engine
// numbers rows by rowid (RuleContext::rowidNumbering) and the rows go into
// the table one for one (no DISTINCT, no UNION), the identity column is left
// NULL instead and numbered from the rowids after the fill: a window function
// over the whole list costs more than copying it.
#pragma once
#include <string>
#include <vector>

#include "data/dialect/RewriteRule.h"

namespace fabrikon::dialect {

class SelectIntoRule : public RewriteRule {
 public:
  void Apply(TokenList& tokens, const RuleContext& context) const override;

 private:
  static std::vector<Token> OrderList(const TokenList& tokens, size_t from,
                                      const std::vector<TokenList::Range>& items);
  struct Identity {
    std::string seed = "1", increment = "1";
    size_t alias = 0;  // the token naming the column
  };
  static Identity ReadIdentity(const TokenList& tokens, TokenList::Range item);
  static std::vector<Token> IdentityColumn(TokenList& tokens, const Identity& id, const std::vector<Token>& order);
  static bool NumberableByRowid(const TokenList& tokens, size_t from, const std::vector<TokenList::Range>& items,
                                const std::vector<Token>& order);
  static std::string RowidNumbering(const TokenList& tokens, const Identity& id);
};

}  // namespace fabrikon::dialect
