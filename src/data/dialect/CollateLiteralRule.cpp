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
  for (size_t i = 1; i < tokens.size(); ++i)
    if (tokens[i].IsWord("between") && CollateBetween(tokens, i)) i += 2;
}

// x [NOT] BETWEEN a AND b compares by the collation of x, else of a or b;
// a literal x, or a literal bound of anything but a column, takes the TSQL
// collation before the BETWEEN.
bool CollateLiteralRule::CollateBetween(TokenList& tokens, size_t between) {
  const size_t end = tokens[between - 1].IsWord("not") ? between - 1 : between;
  if (end == 0 || tokens[end - 1].IsWord("collate") || (end >= 2 && tokens[end - 2].IsWord("collate"))) return false;
  const size_t first = tokens.OperandStart(end - 1);
  if (first == TokenList::npos || first >= end || LiteralContext::IsColumn(tokens, first, end)) return false;
  if (first > 0 && LiteralContext::IsArithmetic(tokens[first - 1])) return false;
  if (tokens[first].kind != TokenKind::String && tokens.At(between + 1).kind != TokenKind::String) return false;
  tokens.Insert(end, {TokenList::Word("COLLATE"), TokenList::Word("TSQL")});
  return true;
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
