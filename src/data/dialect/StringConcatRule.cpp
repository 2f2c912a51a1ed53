// StringConcatRule: see the header.
#include "data/dialect/StringConcatRule.h"

#include <memory>
#include <string_view>

#include "data/dialect/ExpressionTyper.h"
#include "data/dialect/LiteralContext.h"

namespace fabrikon::dialect {

namespace {

bool InList(const Token& t, std::initializer_list<std::string_view> names) {
  for (std::string_view n : names)
    if (t.IsWord(n)) return true;
  return false;
}

bool IsTextFunction(const Token& t) {
  return InList(t, {"tsql_str", "tsql_money_str", "tsql_char_money2", "tsql_rowversion", "tsql_left", "tsql_right",
                    "ltrim", "rtrim", "trim", "upper", "lower", "substring", "substr", "replace", "replicate",
                    "space", "char", "nchar", "tsql_datename", "quotename", "concat", "stuff", "str"});
}

bool IsNumberFunction(const Token& t) {
  return InList(t, {"tsql_as", "tsql_int", "tsql_decimal", "tsql_float", "tsql_money", "tsql_money_rv", "tsql_bit", "count",
                    "sum", "avg", "len", "datalength", "charindex", "abs", "round", "floor", "ceiling", "year",
                    "month", "day", "tsql_datediff", "tsql_datepart", "row_number", "isnumeric", "patindex", "ascii", "unicode"});
}

}  // namespace

void StringConcatRule::Apply(TokenList& tokens, const RuleContext& context) const {
  // A join inside parentheses that come after the "+" is only found on the
  // next pass: y + (',' + x).
  bool changed = true;
  for (int pass = 0; changed && pass < 4; ++pass) changed = Pass(tokens);
  std::unique_ptr<ExpressionTyper> typer;
  if (context.catalog != nullptr) typer = std::make_unique<ExpressionTyper>(tokens, context.catalog);
  DeferToRunTime(tokens, typer.get());
}

// Two operands the catalog types as numbers add as they are, so the rules
// after this one see their types.
void StringConcatRule::DeferToRunTime(TokenList& tokens, const ExpressionTyper* typer) {
  auto bindsTighter = [](const Token& t) {
    return t.IsOp("*") || t.IsOp("/") || t.IsOp("%") || t.IsOp("||") || t.IsOp("&") || t.IsOp("|") ||
           t.IsOp("^") || t.kind == TokenKind::Dot || t.kind == TokenKind::LParen || t.IsWord("collate");
  };
  for (size_t i = 1; i + 1 < tokens.size(); ++i) {
    if (!tokens[i].IsOp("+") || IsUnary(tokens, i) || tokens[i + 1].kind == TokenKind::Operator) continue;
    const size_t first = tokens.OperandStart(i - 1);
    const size_t end = tokens.OperandEnd(i + 1);
    if (Classify(tokens, first, i) != Type::Unknown || Classify(tokens, i + 1, end) != Type::Unknown) continue;
    if (typer != nullptr && typer->TypeOf(first, i).IsNumber() && typer->TypeOf(i + 1, end).IsNumber()) continue;
    if (first > 0 && (LiteralContext::IsArithmetic(tokens[first - 1]) || tokens[first - 1].kind == TokenKind::Dot ||
                      tokens[first - 1].IsWord("collate")))
      continue;
    if (bindsTighter(tokens.At(end)) || TokenList::IsReserved(tokens[first]) || TokenList::IsReserved(tokens[i + 1]))
      continue;
    std::vector<Token> call{TokenList::Word("tsql_add"), TokenList::Open()};
    for (size_t k = first; k < i; ++k) call.push_back(tokens[k]);
    call.push_back(TokenList::Comma());
    const size_t right = call.size();
    for (size_t k = i + 1; k < end; ++k) call.push_back(tokens[k]);
    call[right].blankBefore = true;
    call.push_back(TokenList::Close());
    call[0].blankBefore = tokens[first].blankBefore;
    call[2].blankBefore = false;
    tokens.Replace(first, end, std::move(call));
    i = first;  // the call is the left operand of a "+" that follows
  }
}

bool StringConcatRule::Pass(TokenList& tokens) {
  bool changed = false;
  for (size_t i = 1; i + 1 < tokens.size(); ++i) {
    if (!tokens[i].IsOp("+") || IsUnary(tokens, i)) continue;
    const size_t leftStart = tokens.OperandStart(i - 1);
    Type left = Classify(tokens, leftStart, i);
    if (leftStart > 0 && tokens[leftStart - 1].IsOp("||")) left = Type::Text;  // 'a' + x + y
    Type right = Type::Unknown;
    const Token& next = tokens[i + 1];
    if ((next.IsOp("-") || next.IsOp("+")) && tokens.At(i + 2).kind == TokenKind::Number)
      right = Type::Number;
    else
      right = Classify(tokens, i + 1, tokens.OperandEnd(i + 1));
    const bool text = left == Type::Text || right == Type::Text;
    const bool number = left == Type::Number || right == Type::Number;
    if (text && !number) {
      tokens[i].text = "||";
      changed = true;
    } else if (text && number) {
      ConvertTextOperand(tokens, i, left == Type::Text);
      changed = true;
    }
  }
  return changed;
}

// Text + number: the number's type outranks the text, so the text (a whole
// join before the "+" included) is converted, and fails when it is no number.
void StringConcatRule::ConvertTextOperand(TokenList& tokens, size_t plus, bool textOnLeft) {
  size_t first = plus + 1, end = tokens.OperandEnd(plus + 1), number = plus - 1;
  if (textOnLeft) {
    first = tokens.OperandStart(plus - 1);
    while (first >= 2 && tokens[first - 1].IsOp("||")) first = tokens.OperandStart(first - 2);
    end = plus;
    number = plus + 1;
  }
  const bool integral = IsIntegral(tokens, number, tokens.OperandEnd(number));
  std::vector<Token> call{TokenList::Word(integral ? "tsql_int" : "tsql_float"), TokenList::Open()};
  call[0].blankBefore = tokens[first].blankBefore;
  for (size_t k = first; k < end; ++k) call.push_back(tokens[k]);
  call[2].blankBefore = false;
  if (integral) {
    call.push_back(TokenList::Comma());
    call.push_back(TokenList::Make(TokenKind::Number, "32"));
  }
  call.push_back(TokenList::Close());
  tokens.Replace(first, end, std::move(call));
}

// An int operand: an integer literal or a function that yields int.
bool StringConcatRule::IsIntegral(const TokenList& tokens, size_t first, size_t last) {
  const Token& head = tokens.At(first);
  if (head.kind == TokenKind::Number)
    return last == first + 1 && head.text.find_first_of(".eE") == std::string_view::npos;
  return InList(head, {"tsql_int", "count", "len", "charindex", "year", "month", "day", "tsql_datediff",
                       "tsql_datepart", "isnumeric", "row_number", "datalength", "patindex",
                       "ascii", "unicode"});
}

StringConcatRule::Type StringConcatRule::Classify(const TokenList& tokens, size_t first, size_t last) {
  if (first >= last || last > tokens.size()) return Type::Unknown;
  const Token& head = tokens[first];
  if (last == first + 1) {
    if (head.kind == TokenKind::String) return Type::Text;
    if (head.kind == TokenKind::Number) return Type::Number;
    return Type::Unknown;
  }
  if (tokens[last - 1].kind != TokenKind::RParen) return Type::Unknown;
  if (head.kind == TokenKind::Word && tokens[first + 1].kind == TokenKind::LParen &&
      tokens.MatchParen(first + 1) == last - 1) {
    if (IsTextFunction(head)) return Type::Text;
    if (IsNumberFunction(head)) return Type::Number;
    return Type::Unknown;
  }
  if (head.kind == TokenKind::LParen && tokens.MatchParen(first) == last - 1) {
    int depth = 0;
    for (size_t i = first + 1; i + 1 < last; ++i) {
      if (tokens[i].kind == TokenKind::LParen) ++depth;
      if (tokens[i].kind == TokenKind::RParen) --depth;
      if (depth == 0 && tokens[i].IsOp("||")) return Type::Text;
    }
    return Classify(tokens, first + 1, last - 1);
  }
  return Type::Unknown;
}

bool StringConcatRule::IsUnary(const TokenList& tokens, size_t plus) {
  const Token& prev = tokens[plus - 1];
  if (prev.kind == TokenKind::Operator || prev.kind == TokenKind::LParen || prev.kind == TokenKind::Comma) return true;
  return TokenList::IsReserved(prev) && !prev.IsWord("end") && !prev.IsWord("null");
}

}  // namespace fabrikon::dialect
