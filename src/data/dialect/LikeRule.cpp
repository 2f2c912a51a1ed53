// LikeRule: see the header.
#include "data/dialect/LikeRule.h"

#include "data/dialect/LiteralContext.h"

namespace fabrikon::dialect {

namespace {

std::vector<Token> PaddedMark() {
  return {TokenList::Word("char"), TokenList::Open(), TokenList::Make(TokenKind::Number, "1"), TokenList::Close()};
}

}  // namespace

void LikeRule::Apply(TokenList& tokens, const RuleContext&) const {
  for (size_t i = 1; i < tokens.size(); ++i) {
    if (!tokens[i].IsWord("like")) continue;
    const size_t value = tokens[i - 1].IsWord("not") ? i - 2 : i - 1;
    if (value >= i || tokens[value].kind != TokenKind::String || tokens[value].national) continue;
    if (value > 0 && (LiteralContext::IsArithmetic(tokens[value - 1]) || tokens[value - 1].kind == TokenKind::Dot))
      continue;
    const size_t end = ExpressionEnd(tokens, i + 1);
    if (end == TokenList::npos || IsUnicode(tokens, i + 1, end)) continue;
    if (tokens.At(end).IsWord("escape")) {
      if (ExpressionEnd(tokens, end + 1) == TokenList::npos) continue;
      std::vector<Token> mark = PaddedMark();
      mark[0].blankBefore = true;
      Token join = TokenList::Op("||");
      join.blankBefore = true;
      mark.push_back(join);
      tokens[end + 1].blankBefore = true;
      tokens.Insert(end + 1, std::move(mark));
    } else {
      std::vector<Token> escape = PaddedMark();
      escape.insert(escape.begin(), TokenList::Word("ESCAPE"));
      escape[0].blankBefore = escape[1].blankBefore = true;
      tokens.Insert(end, std::move(escape));
    }
  }
}

// A pattern that reads a column or an N'...' literal is Unicode text, and so
// is the match.
bool LikeRule::IsUnicode(const TokenList& tokens, size_t first, size_t last) {
  for (size_t j = first; j < last; ++j) {
    const Token& t = tokens[j];
    if (t.IsWord("collate")) {
      ++j;
    } else if (t.kind == TokenKind::String && t.national) {
      return true;
    } else if ((t.kind == TokenKind::Word || t.kind == TokenKind::QuotedName) && !t.IsWord("null") &&
               tokens.At(j + 1).kind != TokenKind::LParen) {
      return true;
    }
  }
  return false;
}

size_t LikeRule::ExpressionEnd(const TokenList& tokens, size_t first) {
  int depth = 0;
  size_t j = first;
  for (; j < tokens.size(); ++j) {
    const Token& t = tokens[j];
    if (t.kind == TokenKind::LParen) ++depth;
    if (t.kind == TokenKind::RParen && --depth < 0) break;
    if (depth > 0) continue;
    if (t.IsWord("case") || t.IsWord("select")) return TokenList::npos;  // not read
    if (t.IsWord("collate")) {
      if (j + 1 < tokens.size()) ++j;  // the collation's name
      continue;
    }
    if (t.kind == TokenKind::Comma || t.kind == TokenKind::Semicolon || t.IsComparison() ||
        (TokenList::IsReserved(t) && !t.IsWord("null")))
      break;
  }
  return j == first ? TokenList::npos : j;
}

}  // namespace fabrikon::dialect
