// OrderByPositionRule: see the header. Only the statement's own query (its
// first SELECT at the top level) and its last top-level ORDER BY are checked.
#include "data/dialect/OrderByPositionRule.h"

#include <charconv>
#include <string>

#include "fabrikon/ComError.h"

namespace fabrikon::dialect {

namespace {

// Words that end a select list at its depth.
bool EndsList(const Token& t) {
  return t.IsWord("from") || t.IsWord("into") || t.IsWord("where") || t.IsWord("group") || t.IsWord("having") ||
         t.IsWord("order") || t.IsWord("union") || t.IsWord("except") || t.IsWord("intersect") ||
         t.Is(TokenKind::Semicolon);
}

}  // namespace

void OrderByPositionRule::Apply(TokenList& tokens, const RuleContext&) const {
  const size_t select = tokens.FindWord("select", 0, tokens.size());
  if (select == TokenList::npos) return;
  size_t order = TokenList::npos;
  for (size_t i = tokens.FindWord("order", select, tokens.size()); i != TokenList::npos;
       i = tokens.FindWord("order", i + 1, tokens.size()))
    order = i;
  if (order == TokenList::npos || !tokens.At(order + 1).IsWord("by")) return;
  const size_t items = ListSize(tokens, select);
  if (items == 0) return;
  bool entryStart = true;
  int depth = 0;
  for (size_t i = order + 2; i < tokens.size(); ++i) {
    const Token& t = tokens[i];
    if (t.Is(TokenKind::LParen)) ++depth;
    if (t.Is(TokenKind::RParen) && --depth < 0) return;
    if (depth == 0 && t.Is(TokenKind::Comma)) {
      entryStart = true;
      continue;
    }
    const Token& next = tokens.At(i + 1);
    const bool alone = next.Is(TokenKind::Comma) || next.Is(TokenKind::Semicolon) || next.IsWord("asc") ||
                       next.IsWord("desc") || next.IsWord("offset") || next.IsWord("collate");
    if (entryStart && depth == 0 && t.Is(TokenKind::Number) && alone) {
      long position = 0;
      const auto [end, error] = std::from_chars(t.text.data(), t.text.data() + t.text.size(), position);
      const bool whole = error == std::errc() && end == t.text.data() + t.text.size();
      if (whole && (position < 1 || static_cast<size_t>(position) > items))
        throw ComError(ErrorNumber::ErrorsInCommand, "The ORDER BY position number " + std::string(t.text) +
                                                         " is out of range of the number of items in the select list.");
    }
    entryStart = false;
  }
}

size_t OrderByPositionRule::ListSize(const TokenList& tokens, size_t select) {
  size_t i = select + 1;
  if (tokens.At(i).IsWord("distinct") || tokens.At(i).IsWord("all")) ++i;
  if (tokens.At(i).IsWord("top")) {
    ++i;
    i = tokens.At(i).Is(TokenKind::LParen) ? tokens.MatchParen(i) + 1 : i + 1;
    if (i == 0) return 0;
    if (tokens.At(i).IsWord("percent")) ++i;
    if (tokens.At(i).IsWord("with") && tokens.At(i + 1).IsWord("ties")) i += 2;
  }
  size_t count = 1;
  int depth = 0;
  for (; i < tokens.size(); ++i) {
    const Token& t = tokens[i];
    if (t.Is(TokenKind::LParen)) ++depth;
    if (t.Is(TokenKind::RParen)) --depth;
    if (depth != 0) continue;
    if (EndsList(t)) break;
    if (t.IsOp("*") && (i == select + 1 || tokens[i - 1].Is(TokenKind::Comma) || tokens[i - 1].Is(TokenKind::Dot) ||
                        tokens[i - 1].IsWord("distinct") || tokens[i - 1].IsWord("all") ||
                        tokens[i - 1].Is(TokenKind::RParen) || tokens[i - 1].Is(TokenKind::Number)))
      return 0;
    if (t.Is(TokenKind::Comma)) ++count;
  }
  return count;
}

}  // namespace fabrikon::dialect
