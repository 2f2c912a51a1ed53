// TopRule: see the header. SELECTs are handled from the last to the first, so
// an inner SELECT is done before the one around it and indices stay valid.
#include "data/dialect/TopRule.h"

#include <string>

#include "fabrikon/ComError.h"

namespace fabrikon::dialect {

void TopRule::Apply(TokenList& tokens, const RuleContext&) const {
  for (size_t i = tokens.size(); i-- > 0;)
    if (tokens[i].IsWord("select")) Rewrite(tokens, i);
}

void TopRule::Rewrite(TokenList& tokens, size_t select) {
  size_t top = select + 1;
  if (tokens.At(top).IsWord("distinct") || tokens.At(top).IsWord("all")) ++top;
  if (!tokens.At(top).IsWord("top")) return;
  size_t after = top + 1;
  Token count = tokens.At(after);
  if (count.kind == TokenKind::LParen && tokens.At(after + 1).kind == TokenKind::Number &&
      tokens.At(after + 2).kind == TokenKind::RParen) {
    count = tokens[after + 1];
    after += 3;
  } else if (count.kind == TokenKind::Number) {
    after += 1;
  } else {
    throw ComError(ErrorNumber::ErrorsInCommand, "Incorrect syntax near 'TOP'.");
  }
  if (tokens.At(after).IsWord("percent") || (tokens.At(after).IsWord("with") && tokens.At(after + 1).IsWord("ties")))
    throw ComError(ErrorNumber::ErrorsInCommand, "TOP ... " + std::string(tokens.At(after).text) +
                                                     " is not supported by the embedded database.");
  // The SELECT ends where its parenthesis closes, or with the statement.
  int depth = 0;
  size_t end = after;
  for (; end < tokens.size(); ++end) {
    if (tokens[end].kind == TokenKind::LParen) ++depth;
    if (tokens[end].kind == TokenKind::RParen && --depth < 0) break;
  }
  count.blankBefore = true;
  tokens.Insert(end, {TokenList::Word("LIMIT"), count});
  const bool blank = tokens[top].blankBefore;
  tokens.Erase(top, after);
  tokens[top].blankBefore = blank;
}

}  // namespace fabrikon::dialect
