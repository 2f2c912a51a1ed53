// TruncateTableRule: see the header.
#include "data/dialect/TruncateTableRule.h"

#include "data/dialect/TSqlKeywords.h"
#include "fabrikon/ComError.h"

namespace fabrikon::dialect {

void TruncateTableRule::Apply(TokenList& tokens, const RuleContext&) const {
  if (!tokens.At(0).IsWord("truncate")) return;
  const Token& table = tokens.At(1);
  if (!table.IsWord("table") || tokens.size() < 3) {
    const Token& near = table.IsWord("table") ? tokens.At(2) : table;
    if (near.Is(TokenKind::Semicolon)) throw ComError(ErrorNumber::ErrorsInCommand, "Incorrect syntax near the end of the command.");
    throw ComError(ErrorNumber::ErrorsInCommand, TSqlKeywords::IncorrectSyntaxNear(near.text));
  }
  tokens.Replace(0, 2, {TokenList::Word("DELETE"), TokenList::Word("FROM")});
}

}  // namespace fabrikon::dialect
