// GroupByCollationRule: see the header. Lists are handled from the last to
// the first, so indices before the one rewritten stay valid.
#include "data/dialect/GroupByCollationRule.h"

namespace fabrikon::dialect {

namespace {

// Words that end a GROUP BY list at its depth.
bool EndsList(const Token& t) {
  return t.IsWord("having") || t.IsWord("order") || t.IsWord("union") || t.IsWord("except") ||
         t.IsWord("intersect") || t.IsWord("limit") || t.IsWord("window") || t.Is(TokenKind::Semicolon);
}

bool IsName(const Token& t) { return t.Is(TokenKind::Word) || t.Is(TokenKind::QuotedName); }

// A column reference (a, t.a) or a literal: nothing to collate.
bool IsPlain(const TokenList& tokens, size_t first, size_t last) {
  if (last - first == 1) return IsName(tokens[first]) || !tokens[first].Is(TokenKind::LParen);
  if (last - first == 3) return IsName(tokens[first]) && tokens[first + 1].Is(TokenKind::Dot) && IsName(tokens[first + 2]);
  return false;
}

}  // namespace

void GroupByCollationRule::Apply(TokenList& tokens, const RuleContext&) const {
  for (size_t i = tokens.size(); i-- > 1;)
    if (tokens[i].IsWord("by") && tokens[i - 1].IsWord("group")) Rewrite(tokens, i + 1);
}

void GroupByCollationRule::Rewrite(TokenList& tokens, size_t first) {
  int depth = 0;
  size_t start = first;
  for (size_t i = first; i <= tokens.size(); ++i) {
    const bool atEnd = i == tokens.size();
    if (!atEnd && tokens[i].Is(TokenKind::LParen)) ++depth;
    if (!atEnd && tokens[i].Is(TokenKind::RParen) && --depth < 0) depth = -1;
    const bool endsItem = atEnd || depth < 0 || (depth == 0 && (tokens[i].Is(TokenKind::Comma) || EndsList(tokens[i])));
    if (!endsItem) continue;
    const bool collated = tokens.FindWord("collate", start, i) != TokenList::npos;
    if (i > start && !collated && !IsPlain(tokens, start, i)) {
      tokens.Insert(i, {TokenList::Word("COLLATE"), TokenList::Word("TSQL")});
      i += 2;
    }
    if (atEnd || depth < 0 || !tokens[i].Is(TokenKind::Comma)) return;
    start = i + 1;
  }
}

}  // namespace fabrikon::dialect
