// RightJoinFilterRule: see the header. The statement is matched token by
// token from its start; the filter is checked word by word.
#include "data/dialect/RightJoinFilterRule.h"

#include "data/dialect/SchemaCatalog.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fabrikon::dialect {

namespace {

bool SameName(const Token& a, const Token& b) { return a.Is(TokenKind::Word) && b.IsWord(a.text); }

// A table or alias name: a word that is no keyword.
bool IsName(const Token& t) { return t.Is(TokenKind::Word) && !TokenList::IsReserved(t); }

// "table [AS] alias" from `at`; returns the index after it (0: no match).
size_t TableAndAlias(const TokenList& tokens, size_t at, size_t& alias) {
  if (!IsName(tokens.At(at))) return 0;
  alias = tokens.At(at + 1).IsWord("as") ? at + 2 : at + 1;
  return IsName(tokens.At(alias)) ? alias + 1 : 0;
}

// "x.c" at `at` whose qualifier is one of the two aliases; which one in `b`.
bool QualifiedColumn(const TokenList& tokens, size_t at, const Token& a, const Token& bAlias, bool& b) {
  const Token& qualifier = tokens.At(at);
  if (!tokens.At(at + 1).Is(TokenKind::Dot) || !IsName(tokens.At(at + 2))) return false;
  b = SameName(bAlias, qualifier);
  return b || SameName(a, qualifier);
}

// The filter from `first` to the end names B's columns only, through its
// alias, besides functions, literals and operators (no subquery, no other
// clause).
bool FiltersOnly(const TokenList& tokens, size_t first, const Token& alias) {
  static constexpr std::string_view kWords[] = {"and", "or", "not", "is", "null", "collate"};
  for (size_t i = first; i < tokens.size(); ++i) {
    const Token& t = tokens[i];
    switch (t.kind) {
      case TokenKind::LParen: case TokenKind::RParen: case TokenKind::Comma: case TokenKind::Dot:
      case TokenKind::String: case TokenKind::Number: case TokenKind::Operator:
        continue;
      case TokenKind::Word:
        break;
      default:
        return false;
    }
    if (tokens.At(i + 1).Is(TokenKind::Dot)) {
      if (!SameName(alias, t)) return false;
    } else if (i > first && tokens[i - 1].Is(TokenKind::Dot)) {
      continue;  // the column of a qualified name
    } else if (tokens.At(i + 1).Is(TokenKind::LParen) && !TokenList::IsReserved(t)) {
      continue;  // a function
    } else if (i > first && tokens[i - 1].IsWord("collate")) {
      continue;  // the collation's name
    } else {
      bool known = false;
      for (std::string_view word : kWords) known = known || t.IsWord(word);
      if (!known) return false;
    }
  }
  return true;
}

// A's rows come in rowid order when it is a table with rowids and no column
// of that name.
bool LeftTableHasRowids(const TokenList& tokens, const RuleContext& context) {
  if (context.catalog == nullptr || !context.catalog->RowidTable(tokens[5].text)) return false;
  const SchemaCatalog::Columns* columns = context.catalog->Table(tokens[5].text);
  return columns != nullptr && columns->count("rowid") == 0;
}

// B b LEFT JOIN A a ON a.x = b.y WHERE <filter> ORDER BY a.rowid IS NULL, a.rowid:
// B's rows that pass the filter find their A rows through A's index, and the
// order puts A's rows back into the order of A's scan, with the rows of B that
// found none (all NULL, so alike) after them.
void Reverse(TokenList& tokens, size_t aAlias, size_t table, size_t on) {
  const std::string alias(tokens[aAlias].text);
  std::vector<Token> out = tokens.Slice(table, on);
  out.push_back(TokenList::Word("LEFT"));
  out.push_back(TokenList::Word("JOIN"));
  for (Token t : tokens.Slice(5, aAlias + 1)) out.push_back(t);
  for (Token t : tokens.Slice(on, tokens.size())) out.push_back(t);
  out.push_back(TokenList::Word("ORDER"));
  out.push_back(TokenList::Word("BY"));
  out.push_back(tokens.Text(alias + ".rowid IS NULL,"));
  out.push_back(tokens.Text(alias + ".rowid"));
  out.front().blankBefore = true;
  tokens.Replace(5, tokens.size(), std::move(out));
}

}  // namespace

void RightJoinFilterRule::Apply(TokenList& tokens, const RuleContext& context) const {
  if (context.rowidNumbering == nullptr) return;  // not the embedded engine
  if (!tokens.At(0).IsWord("select") || !IsName(tokens.At(1)) || !tokens.At(2).Is(TokenKind::Dot) ||
      !tokens.At(3).IsOp("*") || !tokens.At(4).IsWord("from"))
    return;
  size_t aAlias = 0, bAlias = 0;
  size_t at = TableAndAlias(tokens, 5, aAlias);
  if (at == 0 || !SameName(tokens[1], tokens[aAlias]) || !tokens.At(at).IsWord("right")) return;
  at += tokens.At(at + 1).IsWord("outer") ? 2 : 1;
  if (!tokens.At(at).IsWord("join")) return;
  const size_t table = at + 1;
  const size_t on = TableAndAlias(tokens, table, bAlias);
  if (on == 0 || !tokens.At(on).IsWord("on") || SameName(tokens[aAlias], tokens[bAlias])) return;
  bool leftIsB = false, rightIsB = false;
  if (!QualifiedColumn(tokens, on + 1, tokens[aAlias], tokens[bAlias], leftIsB) || !tokens.At(on + 4).IsOp("=") ||
      !QualifiedColumn(tokens, on + 5, tokens[aAlias], tokens[bAlias], rightIsB) || leftIsB == rightIsB)
    return;
  const size_t where = on + 8;
  if (!tokens.At(where).IsWord("where") || where + 1 >= tokens.size() || !FiltersOnly(tokens, where + 1, tokens[bAlias]))
    return;

  if (LeftTableHasRowids(tokens, context)) return Reverse(tokens, aAlias, table, on);
  // ( SELECT * FROM B b WHERE <filter> ) b ON a.x = b.y
  std::vector<Token> joined{TokenList::Make(TokenKind::LParen, "("), TokenList::Word("SELECT"), TokenList::Op("*"),
                            TokenList::Word("FROM")};
  for (Token t : tokens.Slice(table, on)) joined.push_back(t);
  for (Token t : tokens.Slice(where, tokens.size())) joined.push_back(t);
  joined.push_back(TokenList::Close());
  Token alias = tokens[bAlias];
  alias.blankBefore = true;
  joined.push_back(alias);
  for (Token t : tokens.Slice(on, where)) joined.push_back(t);
  joined[1].blankBefore = false;
  tokens.Replace(table, tokens.size(), std::move(joined));
}

}  // namespace fabrikon::dialect
