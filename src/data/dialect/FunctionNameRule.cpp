// FunctionNameRule: see the header.
#include "data/dialect/FunctionNameRule.h"

#include <string>

namespace fabrikon::dialect {

namespace {

void QuoteDatePart(TokenList& tokens, size_t part) {
  const Token& t = tokens.At(part);
  if (t.kind != TokenKind::Word) return;
  Token literal = TokenList::Make(TokenKind::String, tokens.Store("'" + std::string(t.text) + "'"));
  literal.blankBefore = t.blankBefore;
  tokens[part] = literal;
}

}  // namespace

void FunctionNameRule::Apply(TokenList& tokens, const RuleContext&) const {
  for (size_t i = 0; i < tokens.size(); ++i) {
    Token& t = tokens[i];
    if (t.kind != TokenKind::Word) continue;
    if (t.IsWord("@@identity")) {
      t.text = "scope_identity";
      tokens.Insert(i + 1, {TokenList::Open(), TokenList::Close()});
      continue;
    }
    if (t.IsWord("current_timestamp") && !tokens.At(i + 1).Is(TokenKind::LParen)) {
      t.text = "getdate";
      tokens.Insert(i + 1, {TokenList::Open(), TokenList::Close()});
      continue;
    }
    if (!tokens.At(i + 1).Is(TokenKind::LParen) || (i > 0 && tokens[i - 1].kind == TokenKind::Dot)) continue;
    if (t.IsWord("left")) {
      t.text = "tsql_left";
    } else if (t.IsWord("right")) {
      t.text = "tsql_right";
    } else if (t.IsWord("datediff") || t.IsWord("dateadd") || t.IsWord("datepart") || t.IsWord("datename")) {
      t.text = t.IsWord("datediff") ? "tsql_datediff"
               : t.IsWord("dateadd") ? "tsql_dateadd"
               : t.IsWord("datepart") ? "tsql_datepart"
                                      : "tsql_datename";
      QuoteDatePart(tokens, i + 2);
    }
  }
}

}  // namespace fabrikon::dialect
