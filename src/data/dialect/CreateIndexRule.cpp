// CreateIndexRule: see the header. Runs after ObjectNameRule, which has
// already turned TempDB..X into temp.X.
#include "data/dialect/CreateIndexRule.h"

#include <string>

namespace fabrikon::dialect {

namespace {

std::string Unquoted(std::string_view name) {
  if (name.size() >= 2 && (name.front() == '[' || name.front() == '"')) name = name.substr(1, name.size() - 2);
  return std::string(name);
}

}  // namespace

void CreateIndexRule::Apply(TokenList& tokens, const RuleContext&) const {
  if (tokens.empty() || !tokens[0].IsWord("create")) return;
  size_t i = 1;
  if (tokens.At(i).IsWord("unique")) ++i;
  if (tokens.At(i).IsWord("clustered") || tokens.At(i).IsWord("nonclustered")) tokens.Erase(i, i + 1);
  if (!tokens.At(i).IsWord("index")) return;
  const size_t name = i + 1;
  const size_t on = name + 1;
  if (!tokens.At(on).IsWord("on")) return;
  // temp . X
  if (!tokens.At(on + 1).IsWord("temp") || !tokens.At(on + 2).Is(TokenKind::Dot)) return;
  const Token table = tokens.At(on + 3);
  const std::string indexName = "\"" + Unquoted(tokens[name].text) + "_" + Unquoted(table.text) + "\"";
  Token schema = TokenList::Word("temp");
  tokens.Replace(name, on + 4,
                 {schema, TokenList::Make(TokenKind::Dot, "."),
                  TokenList::Make(TokenKind::QuotedName, tokens.Store(indexName)), TokenList::Word("ON"),
                  TokenList::Make(TokenKind::QuotedName, tokens.Store("\"" + Unquoted(table.text) + "\""))});
}

}  // namespace fabrikon::dialect
