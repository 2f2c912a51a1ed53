// MinMaxRule: see the header. Only the plain form is rewritten: two named
// aggregates of the same expression, one MAX and one MIN, over a FROM clause
// without grouping, ordering or set operators.
#include "data/dialect/MinMaxRule.h"

namespace fabrikon::dialect {

namespace {

struct Aggregate {
  size_t first = 0;  // MAX or MIN
  size_t close = 0;  // its ")"
  size_t end = 0;    // past the alias
};

// The named aggregate starting at i: MAX(...) AS name or MIN(...) AS name.
bool ReadAggregate(const TokenList& tokens, size_t i, Aggregate& out) {
  if (!(tokens.At(i).IsWord("max") || tokens.At(i).IsWord("min")) || tokens.At(i + 1).kind != TokenKind::LParen)
    return false;
  const size_t close = tokens.MatchParen(i + 1);
  if (close == TokenList::npos || close == i + 2 || !tokens.At(close + 1).IsWord("as")) return false;
  const Token& alias = tokens.At(close + 2);
  if (alias.kind != TokenKind::Word && alias.kind != TokenKind::QuotedName) return false;
  out = Aggregate{i, close, close + 3};
  return true;
}

bool SameTokens(const TokenList& tokens, size_t a, size_t b, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const Token& x = tokens[a + i];
    const Token& y = tokens[b + i];
    if (x.kind != y.kind) return false;
    if (x.kind == TokenKind::Word ? !x.IsWord(y.text) : x.text != y.text) return false;
  }
  return true;
}

bool PlainFromClause(const TokenList& tokens, size_t from) {
  if (from + 1 >= tokens.size()) return false;
  for (const char* word : {"group", "having", "order", "union", "except", "intersect", "select", "into"})
    if (tokens.FindWord(word, from + 1, tokens.size()) != TokenList::npos) return false;
  return true;
}

}  // namespace

void MinMaxRule::Apply(TokenList& tokens, const RuleContext&) const {
  Aggregate a, b;
  if (!tokens.At(0).IsWord("select") || !ReadAggregate(tokens, 1, a) || tokens.At(a.end).kind != TokenKind::Comma ||
      !ReadAggregate(tokens, a.end + 1, b) || tokens[a.first].IsWord(tokens[b.first].text))
    return;
  const size_t from = b.end;
  const size_t argument = a.close - a.first - 2;
  if (!tokens.At(from).IsWord("from") || b.close - b.first - 2 != argument ||
      !SameTokens(tokens, a.first + 2, b.first + 2, argument) || !PlainFromClause(tokens, from))
    return;
  const std::vector<Token> source = tokens.Slice(from, tokens.size());
  // ( SELECT MAX(k) FROM ... ) AS name, for one aggregate.
  auto subquery = [&](const Aggregate& aggregate) {
    std::vector<Token> out{TokenList::Make(TokenKind::LParen, "("), TokenList::Word("SELECT")};
    out[1].blankBefore = false;
    const std::vector<Token> call = tokens.Slice(aggregate.first, aggregate.close + 1);
    out.insert(out.end(), call.begin(), call.end());
    out.insert(out.end(), source.begin(), source.end());
    out.push_back(TokenList::Close());
    const std::vector<Token> alias = tokens.Slice(aggregate.close + 1, aggregate.end);
    out.insert(out.end(), alias.begin(), alias.end());
    return out;
  };
  std::vector<Token> columns = subquery(a);
  columns.push_back(TokenList::Comma());
  const std::vector<Token> second = subquery(b);
  columns.insert(columns.end(), second.begin(), second.end());
  tokens.Replace(1, tokens.size(), std::move(columns));
}

}  // namespace fabrikon::dialect
