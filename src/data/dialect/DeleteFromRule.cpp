// DeleteFromRule: see the header.
#include "data/dialect/DeleteFromRule.h"

#include <string>

#include "fabrikon/ComError.h"

namespace fabrikon::dialect {

namespace {

bool SameName(std::string_view a, std::string_view b) {
  auto strip = [](std::string_view s) {
    if (s.size() >= 2 && (s.front() == '[' || s.front() == '"')) return s.substr(1, s.size() - 2);
    return s;
  };
  Token t;
  t.text = strip(a);
  return t.IsWord(strip(b));
}

}  // namespace

void DeleteFromRule::Apply(TokenList& tokens, const RuleContext&) const {
  if (tokens.size() < 2 || !tokens[0].IsWord("delete")) return;
  if (!tokens[1].IsWord("from")) tokens.Insert(1, {TokenList::Word("FROM")});
  // DELETE FROM target FROM sources ...
  const size_t second = tokens.FindWord("from", 2, tokens.size());
  if (second != TokenList::npos) RewriteJoinedDelete(tokens, second);
}

// DELETE FROM x FROM sources [WHERE w]  ->
// DELETE FROM table WHERE rowid IN (SELECT x.rowid FROM sources [WHERE w])
// where x is the target's name or its alias among the sources.
void DeleteFromRule::RewriteJoinedDelete(TokenList& tokens, size_t from) {
  if (from != 3) throw ComError(ErrorNumber::ErrorsInCommand, "Incorrect syntax near 'FROM'.");
  const std::string_view target = tokens[2].text;
  std::string table(target);
  // An alias among the sources names the real table just before it.
  for (size_t i = from + 1; i < tokens.size(); ++i) {
    if (!SameName(tokens[i].text, target) || tokens.At(i + 1).Is(TokenKind::Dot)) continue;
    size_t name = i - 1;
    if (tokens[name].IsWord("as")) --name;
    if (name > from && (tokens[name].kind == TokenKind::Word || tokens[name].kind == TokenKind::QuotedName) &&
        !TokenList::IsReserved(tokens[name]))
      table = std::string(tokens[name].text);
    break;
  }
  std::vector<Token> head{TokenList::Word("DELETE"), TokenList::Word("FROM"), tokens.Text(table),
                          TokenList::Word("WHERE"),  TokenList::Word("rowid"), TokenList::Word("IN"),
                          TokenList::Make(TokenKind::LParen, "("),         TokenList::Word("SELECT"), tokens[2],
                          TokenList::Make(TokenKind::Dot, "."), TokenList::Word("rowid")};
  head[8].blankBefore = true;
  std::vector<Token> rest = tokens.Slice(from, tokens.size());
  rest.push_back(TokenList::Close());
  head.insert(head.end(), rest.begin(), rest.end());
  tokens.Replace(0, tokens.size(), std::move(head));
}

}  // namespace fabrikon::dialect
