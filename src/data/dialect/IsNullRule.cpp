// IsNullRule: see the header.
#include "data/dialect/IsNullRule.h"

namespace fabrikon::dialect {

void IsNullRule::Apply(TokenList& tokens, const RuleContext&) const {
  for (size_t i = 0; i + 1 < tokens.size(); ++i)
    if (tokens[i].IsWord("isnull") && tokens[i + 1].kind == TokenKind::LParen) tokens[i].text = "ifnull";
}

}  // namespace fabrikon::dialect
