// MissingIntoRule: see the header.
#include "data/dialect/MissingIntoRule.h"

namespace fabrikon::dialect {

void MissingIntoRule::Apply(TokenList& tokens, const RuleContext&) const {
  if (tokens.size() < 2 || !tokens[0].IsWord("insert") || tokens[1].IsWord("into")) return;
  tokens.Insert(1, {TokenList::Word("INTO")});
}

}  // namespace fabrikon::dialect
