// DataLengthRule: see the header. It runs after ConvertRule, so conversions
// to dates are already tsql_datetime and tsql_date calls, and after the rules
// that take datalength for a number.
#include "data/dialect/DataLengthRule.h"

#include <memory>
#include <string>

#include "data/dialect/ExpressionTyper.h"

namespace fabrikon::dialect {

namespace {

using K = SqlType::Kind;

// The bytes SQL Server keeps for every value of a fixed-size type; 0 for the
// types whose values differ in size.
int FixedBytes(const SqlType& type) {
  switch (type.kind) {
    case K::Bit:
    case K::TinyInt: return 1;
    case K::SmallInt: return 2;
    case K::Int:
    case K::SmallMoney:
    case K::Real:
    case K::SmallDateTime: return 4;
    case K::BigInt:
    case K::Money:
    case K::Float:
    case K::DateTime: return 8;
    case K::Date: return 3;
    case K::Decimal: return type.precision <= 9 ? 5 : type.precision <= 19 ? 9 : type.precision <= 28 ? 13 : 17;
    case K::Char: return type.precision > 0 ? type.precision : 0;
    case K::NChar: return type.precision > 0 ? 2 * type.precision : 0;
    default: return 0;
  }
}

}  // namespace

void DataLengthRule::Apply(TokenList& tokens, const RuleContext& context) const {
  std::unique_ptr<ExpressionTyper> typer;
  if (context.catalog != nullptr) typer = std::make_unique<ExpressionTyper>(tokens, context.catalog);
  for (size_t i = 0; i + 1 < tokens.size(); ++i) {
    if (!tokens[i].IsWord("datalength") || tokens[i + 1].kind != TokenKind::LParen) continue;
    const size_t close = tokens.MatchParen(i + 1);
    if (close == TokenList::npos) continue;
    if (close == i + 3 && tokens[i + 2].kind == TokenKind::String && tokens[i + 2].national) {
      tokens[i].text = "tsql_national_length";
      continue;
    }
    int bytes = DateBytes(tokens, i + 2, close);
    if (bytes == 0 && typer != nullptr) {
      // A column (or such of one) the catalog types.
      const SqlType type = typer->TypeOf(i + 2, close);
      if (type.kind == K::NVarChar) {
        tokens[i].text = "tsql_national_length";
        continue;
      }
      bytes = FixedBytes(type);
    }
    if (bytes == 0) continue;
    tokens[i].text = "tsql_fixed_length";
    Token size = TokenList::Make(TokenKind::Number, tokens.Store(std::to_string(bytes)));
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
