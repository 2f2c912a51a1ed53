// CollateLiteralRule: see the header.
#include "data/dialect/CollateLiteralRule.h"

#include "data/dialect/LiteralContext.h"

namespace fabrikon::dialect {

void CollateLiteralRule::Apply(TokenList& tokens, const RuleContext&) const {
  for (size_t i = 0; i < tokens.size(); ++i) {
    if (tokens[i].kind != TokenKind::String || tokens.At(i + 1).IsWord("collate")) continue;
    if (!LiteralContext::IsRightOfComparison(tokens, i) && !LiteralContext::IsLeftOfComparison(tokens, i)) continue;
    if (LiteralContext::IsArithmetic(tokens.At(i + 1)) || (i > 0 && LiteralContext::IsArithmetic(tokens[i - 1])))
      continue;
    if (ComparedWithColumn(tokens, i)) continue;
    tokens.Insert(i + 1, {TokenList::Word("COLLATE"), TokenList::Word("TSQL")});
    i += 2;
  }
}

bool CollateLiteralRule::ComparedWithColumn(const TokenList& tokens, size_t i) {
  if (i >= 2 && tokens[i - 1].IsComparison()) {
    const size_t first = tokens.OperandStart(i - 2);
    return LiteralContext::IsColumn(tokens, first, i - 1) &&
           (first == 0 || (!LiteralContext::IsArithmetic(tokens[first - 1]) && !tokens[first - 1].IsWord("collate")));
  }
  const size_t last = tokens.OperandEnd(i + 2);
  return LiteralContext::IsColumn(tokens, i + 2, last) && !LiteralContext::IsArithmetic(tokens.At(last));
}

}  // namespace fabrikon::dialect
