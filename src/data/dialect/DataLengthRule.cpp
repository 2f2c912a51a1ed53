// DataLengthRule: see the header. It runs after ConvertRule, so conversions
// to dates are already tsql_datetime and tsql_date calls, and after the rules
// that take datalength for a number.
#include "data/dialect/DataLengthRule.h"

#include "data/dialect/ExpressionTyper.h"

namespace fabrikon::dialect {

void DataLengthRule::Apply(TokenList& tokens, const RuleContext& context) const {
  for (size_t i = 0; i + 1 < tokens.size(); ++i) {
    if (!tokens[i].IsWord("datalength") || tokens[i + 1].kind != TokenKind::LParen) continue;
    const size_t close = tokens.MatchParen(i + 1);
    if (close == TokenList::npos) continue;
    if (close == i + 3 && tokens[i + 2].kind == TokenKind::String && tokens[i + 2].national) {
      tokens[i].text = "tsql_national_length";
      continue;
    }
    const int bytes = DateBytes(tokens, i + 2, close);
    if (bytes == 0) {
      // nchar and nvarchar values (the host schema's text columns) take two
      // bytes a character, whatever characters they hold.
      if (context.catalog != nullptr && ExpressionTyper(tokens, context.catalog).TypeOf(i + 2, close).IsUnicode())
        tokens[i].text = "tsql_national_length";
      continue;
    }
    tokens[i].text = "tsql_fixed_length";
    Token size = TokenList::Make(TokenKind::Number, bytes == 3 ? "3" : "8");
    size.blankBefore = true;
    tokens.Insert(close, {TokenList::Comma(), size});
  }
}

int DataLengthRule::DateBytes(const TokenList& tokens, size_t first, size_t last) {
  if (last < first + 3 || tokens[first + 1].kind != TokenKind::LParen || tokens.MatchParen(first + 1) != last - 1)
    return 0;
  const Token& head = tokens[first];
  if (head.IsWord("tsql_date")) return 3;
  for (const char* name : {"getdate", "getutcdate", "sysdatetime", "tsql_datetime", "tsql_dateadd", "eomonth"})
    if (head.IsWord(name)) return 8;
  return 0;
}

}  // namespace fabrikon::dialect
