// NumberTextRule: see the header. Calls are looked at from the last to the
// first, so a call's arguments are final when the call is.
#include "data/dialect/NumberTextRule.h"

#include <memory>
#include <string>

#include "data/dialect/DecimalArithmeticRule.h"
#include "data/dialect/ExpressionTyper.h"

namespace fabrikon::dialect {

namespace {

using Kind = NumericType::Kind;
using Tokens = std::vector<Token>;

// The arguments of a text function that are read as text (-1: all).
int TextArguments(const Token& name, bool& all) {
  all = false;
  if (name.IsWord("concat")) {
    all = true;
    return 0;
  }
  if (name.IsWord("replace")) return 0b111;
  if (name.IsWord("charindex")) return 0b11;
  if (name.IsWord("stuff")) return 0b1001;
  if (name.IsWord("patindex")) return 0b10;
  for (std::string_view f : {"tsql_left", "tsql_right", "len", "ltrim", "rtrim", "trim", "upper", "lower", "reverse",
                             "replicate"})
    if (name.IsWord(f)) return 0b1;
  return 0;
}

Token Number(TokenList& tokens, long n) { return TokenList::Make(TokenKind::Number, tokens.Store(std::to_string(n))); }

bool ReadNumber(const TokenList& tokens, TokenList::Range r, long& out) {
  if (r.second != r.first + 1 || tokens[r.first].kind != TokenKind::Number) return false;
  try {
    out = std::stol(std::string(tokens[r.first].text));
  } catch (...) {
    return false;
  }
  return true;
}

// function(value, extra...) in place of the tokens [first, last).
void Wrap(TokenList& tokens, size_t first, size_t last, std::string_view function, const Tokens& extra) {
  Tokens call{TokenList::Word(function), TokenList::Open()};
  call[0].blankBefore = tokens[first].blankBefore;
  Tokens value = tokens.Slice(first, last);
  value[0].blankBefore = false;
  call.insert(call.end(), value.begin(), value.end());
  for (const Token& t : extra) {
    call.push_back(TokenList::Comma());
    call.push_back(t);
    call.back().blankBefore = true;
  }
  call.push_back(TokenList::Close());
  tokens.Replace(first, last, std::move(call));
}

// A decimal, money or float argument read as text: its text first.
void TextOf(TokenList& tokens, TokenList::Range arg, const ExpressionTyper* typer) {
  const NumericType type = DecimalArithmeticRule::TypeOf(tokens, arg.first, arg.second, typer);
  if (type.Is(Kind::Decimal))
    Wrap(tokens, arg.first, arg.second, "tsql_numeric_str",
         {Number(tokens, type.scale), Number(tokens, -1), Number(tokens, 0)});
  else if (type.Is(Kind::Money))
    Wrap(tokens, arg.first, arg.second, "tsql_money_str", {Number(tokens, -1), Number(tokens, 0), Number(tokens, 0)});
  else if (type.Is(Kind::Float))
    Wrap(tokens, arg.first, arg.second, "tsql_float_str", {Number(tokens, -1), Number(tokens, 0), Number(tokens, 0)});
}

// tsql_str(x, length, style, flags) of a typed number.
void TypedString(TokenList& tokens, size_t head, const std::vector<TokenList::Range>& args,
                 const ExpressionTyper* typer) {
  if (args.size() != 4) return;
  const NumericType type = DecimalArithmeticRule::TypeOf(tokens, args[0].first, args[0].second, typer);
  long length = 0, style = 0, flags = 0;
  if (!ReadNumber(tokens, args[1], length) || !ReadNumber(tokens, args[2], style) ||
      !ReadNumber(tokens, args[3], flags))
    return;
  Token& name = tokens[head];
  if (type.Is(Kind::Decimal)) {
    name.text = "tsql_numeric_str";
    tokens[args[1].first] = Number(tokens, type.scale);
    tokens[args[2].first] = Number(tokens, length);
  } else if (type.Is(Kind::Money)) {
    name.text = "tsql_money_str";
    tokens[args[3].first] = Number(tokens, flags & 1);
  } else if (type.Is(Kind::Float)) {
    name.text = "tsql_float_str";
  } else {
    return;
  }
  for (size_t k = 1; k < 4; ++k) tokens[args[k].first].blankBefore = true;
}

}  // namespace

void NumberTextRule::Apply(TokenList& tokens, const RuleContext& context) const {
  std::unique_ptr<ExpressionTyper> typer;
  if (context.catalog != nullptr) typer = std::make_unique<ExpressionTyper>(tokens, context.catalog);
  for (size_t i = tokens.size(); i-- > 0;) {
    const Token& name = tokens[i];
    if (name.kind != TokenKind::Word || !tokens.At(i + 1).Is(TokenKind::LParen) ||
        (i > 0 && tokens[i - 1].kind == TokenKind::Dot))
      continue;
    const size_t close = tokens.MatchParen(i + 1);
    if (close == TokenList::npos) continue;
    const std::vector<TokenList::Range> args = tokens.Arguments(i + 1, close);
    if (name.IsWord("tsql_str")) {
      TypedString(tokens, i, args, typer.get());
      continue;
    }
    if (name.IsWord("round") && !args.empty()) {
      const NumericType type = DecimalArithmeticRule::TypeOf(tokens, args[0].first, args[0].second, typer.get());
      if (type.Is(Kind::Decimal))
        Wrap(tokens, i, close + 1, "tsql_numeric", {Number(tokens, type.precision), Number(tokens, type.scale)});
      continue;
    }
    bool all = false;
    const int mask = TextArguments(name, all);
    for (size_t k = args.size(); k-- > 0;)
      if (all || (k < 31 && (mask >> k & 1) != 0)) TextOf(tokens, args[k], typer.get());
  }
}

}  // namespace fabrikon::dialect
