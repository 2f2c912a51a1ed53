// DmlTopRule: see the header.
#include "data/dialect/DmlTopRule.h"

#include <string>

#include "data/dialect/TSqlKeywords.h"
#include "fabrikon/ComError.h"

namespace fabrikon::dialect {

namespace {

[[noreturn]] void FailNear(const Token& t) {
  if (t.Is(TokenKind::Semicolon)) throw ComError(ErrorNumber::ErrorsInCommand, "Incorrect syntax near the end of the command.");
  throw ComError(ErrorNumber::ErrorsInCommand, TSqlKeywords::IncorrectSyntaxNear(t.text));
}

bool IsName(const Token& t) {
  return (t.Is(TokenKind::Word) && !TokenList::IsReserved(t)) || t.Is(TokenKind::QuotedName);
}

// The table name starting at first (schema parts included); returns its end.
size_t NameEnd(const TokenList& tokens, size_t first) {
  if (!IsName(tokens.At(first))) FailNear(tokens.At(first));
  size_t i = first + 1;
  while (tokens.At(i).Is(TokenKind::Dot)) {
    ++i;
    if (IsName(tokens.At(i))) ++i;  // TempDB..x: an empty part
  }
  return i;
}

}  // namespace

void DmlTopRule::Apply(TokenList& tokens, const RuleContext&) const {
  const bool update = tokens.At(0).IsWord("update");
  if (!(update || tokens.At(0).IsWord("delete")) || !tokens.At(1).IsWord("top")) return;
  // TOP (n) [PERCENT]
  size_t after = 2;
  if (tokens.At(after).Is(TokenKind::LParen)) {
    after = tokens.MatchParen(after);
    if (after == TokenList::npos) FailNear(tokens.At(2));
    ++after;
  } else if (tokens.At(after).Is(TokenKind::Number)) {
    ++after;
  } else {
    FailNear(tokens.At(1));
  }
  if (tokens.At(after).IsWord("percent")) ++after;
  const std::vector<Token> top = tokens.Slice(1, after);
  size_t name = after;
  if (!update && tokens.At(name).IsWord("from")) ++name;
  const size_t nameEnd = NameEnd(tokens, name);
  const std::vector<Token> table = tokens.Slice(name, nameEnd);
  size_t where = tokens.FindWord("where", nameEnd, tokens.size());
  if (tokens.FindWord("from", nameEnd, tokens.size()) != TokenList::npos) FailNear(tokens[1]);
  if (!update && nameEnd != tokens.size() && where != nameEnd) FailNear(tokens[nameEnd]);
  if (where == TokenList::npos) where = tokens.size();

  std::vector<Token> out{TokenList::Word(update ? "UPDATE" : "DELETE")};
  if (!update) out.push_back(TokenList::Word("FROM"));
  const std::vector<Token> target = tokens.Slice(name, where);  // the table (and an UPDATE's SET clause)
  out.insert(out.end(), target.begin(), target.end());
  for (Token t : {TokenList::Word("WHERE"), TokenList::Word("rowid"), TokenList::Word("IN"),
                  TokenList::Make(TokenKind::LParen, "("), TokenList::Word("SELECT")})
    out.push_back(t);
  out.insert(out.end(), top.begin(), top.end());
  out.push_back(TokenList::Word("rowid"));
  out.push_back(TokenList::Word("FROM"));
  out.insert(out.end(), table.begin(), table.end());
  const std::vector<Token> condition = tokens.Slice(where, tokens.size());
  out.insert(out.end(), condition.begin(), condition.end());
  out.push_back(TokenList::Close());
  tokens.Replace(0, tokens.size(), std::move(out));
}

}  // namespace fabrikon::dialect
