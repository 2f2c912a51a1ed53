// DropTableRule: see the header.
#include "data/dialect/DropTableRule.h"

namespace fabrikon::dialect {

void DropTableRule::Apply(TokenList& tokens, const RuleContext& context) const {
  if (!context.guarded || tokens.size() < 3 || !tokens[0].IsWord("drop")) return;
  const Token& what = tokens[1];
  if (!what.IsWord("table") && !what.IsWord("view") && !what.IsWord("index") && !what.IsWord("trigger")) return;
  if (tokens[2].IsWord("if")) return;
  tokens.Insert(2, {TokenList::Word("IF"), TokenList::Word("EXISTS")});
}

}  // namespace fabrikon::dialect
