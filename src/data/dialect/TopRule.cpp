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
  const bool percent = tokens.At(after).IsWord("percent");
  if (percent) ++after;
  if (tokens.At(after).IsWord("with") && tokens.At(after + 1).IsWord("ties"))
    throw ComError(ErrorNumber::ErrorsInCommand, "TOP ... WITH TIES is not supported by the embedded database.");
  const bool blank = tokens[top].blankBefore;
  tokens.Erase(top, after);
  tokens[top].blankBefore = blank;
  // The SELECT ends where its parenthesis closes, or with the statement.
  int depth = 0;
  size_t end = top;
  for (; end < tokens.size(); ++end) {
    if (tokens[end].kind == TokenKind::LParen) ++depth;
    if (tokens[end].kind == TokenKind::RParen && --depth < 0) break;
  }
  count.blankBefore = true;
  std::vector<Token> limit{TokenList::Word("LIMIT"), count};
  if (percent) limit = PercentLimit(tokens, select, end, count);
  tokens.Insert(end, std::move(limit));
}

// TOP n PERCENT: the rows the query gives, times n / 100, rounded up:
// LIMIT (SELECT CAST(x AS INTEGER) + (x > CAST(x AS INTEGER)) FROM (query))
// with x = count(*) * n / 100.0.
std::vector<Token> TopRule::PercentLimit(TokenList& tokens, size_t select, size_t end, const Token& count) {
  const Token share = tokens.Text("(count(*) * " + std::string(count.text) + " / 100.0)");
  const std::vector<Token> whole{TokenList::Word("CAST"), TokenList::Open(), share, TokenList::Word("AS"),
                                 TokenList::Word("INTEGER"), TokenList::Close()};
  std::vector<Token> out{TokenList::Word("LIMIT"), TokenList::Make(TokenKind::LParen, "("), TokenList::Word("SELECT")};
  out.insert(out.end(), whole.begin(), whole.end());
  out.push_back(TokenList::Op("+"));
  out.push_back(TokenList::Make(TokenKind::LParen, "("));
  out.push_back(share);
  out.push_back(TokenList::Op(">"));
  out.insert(out.end(), whole.begin(), whole.end());
  out.push_back(TokenList::Close());
  out.push_back(TokenList::Word("FROM"));
  out.push_back(TokenList::Make(TokenKind::LParen, "("));
  const std::vector<Token> query = tokens.Slice(select, end);
  out.insert(out.end(), query.begin(), query.end());
  out.push_back(TokenList::Close());
  out.push_back(TokenList::Close());
  return out;
}

}  // namespace fabrikon::dialect
