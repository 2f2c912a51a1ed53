// DecimalArithmeticRule: see the header. Expressions are read where one may
// begin, from the right, so an expression in parentheses or in a call's
// arguments is rewritten before the one around it, which then finds a typed
// call in its place.
#include "data/dialect/DecimalArithmeticRule.h"

#include <string>

#include <memory>

#include "data/dialect/ExpressionTyper.h"
#include "data/dialect/NumericType.h"
#include "fabrikon/ComError.h"

namespace fabrikon::dialect {

namespace {

constexpr int kMaxDepth = 64;  // deeper nesting is left to the engine

using Kind = NumericType::Kind;
using Tokens = std::vector<Token>;

// One operand or expression read: its tokens as rewritten, its type, and
// whether anything in it was rewritten.
struct Operand {
  Tokens out;
  NumericType type;
};

class Reader {
 public:
  Reader(TokenList& tokens, const ExpressionTyper* typer) : t_(tokens), typer_(typer) {}

  bool Sum(size_t& i, int depth, Operand& into) { return Chain(i, depth, into, true); }
  bool changed = false;

 private:
  bool Chain(size_t& i, int depth, Operand& into, bool sum);
  bool Unary(size_t& i, int depth, Operand& into);
  bool Primary(size_t& i, int depth, Operand& into);
  void Combine(Operand& left, const Token& op, Operand& right);
  Tokens Call(std::string_view name, std::vector<Tokens> args, bool blankBefore);
  Token Number(int n) { return TokenList::Make(TokenKind::Number, t_.Store(std::to_string(n))); }

  TokenList& t_;
  const ExpressionTyper* typer_;
};

Tokens Reader::Call(std::string_view name, std::vector<Tokens> args, bool blankBefore) {
  Tokens call{TokenList::Word(name), TokenList::Open()};
  call[0].blankBefore = blankBefore;
  for (size_t k = 0; k < args.size(); ++k) {
    if (k > 0) call.push_back(TokenList::Comma());
    if (!args[k].empty()) args[k][0].blankBefore = k > 0;
    call.insert(call.end(), args[k].begin(), args[k].end());
  }
  call.push_back(TokenList::Close());
  return call;
}

void Reader::Combine(Operand& left, const Token& op, Operand& right) {
  const bool blank = !left.out.empty() && left.out[0].blankBefore;
  Tokens plain = left.out;
  plain.push_back(op);
  plain.insert(plain.end(), right.out.begin(), right.out.end());
  if (op.IsOp("+") || op.IsOp("-")) {
    left.type = NumericType::Add(left.type, right.type);
    left.out = std::move(plain);
    return;
  }
  if (op.IsOp("%")) {
    const bool floats = left.type.Is(Kind::Float) || right.type.Is(Kind::Float);
    if (floats && left.type.Known() && right.type.Known())
      throw ComError(ErrorNumber::ErrorsInCommand, "The data types " + left.type.Name() + " and " +
                                                       right.type.Name() + " are incompatible in the modulo operator.");
    const NumericType result = NumericType::Modulo(left.type, right.type);
    if (!result.Is(Kind::Int)) {
      left.out = Call("tsql_mod", {std::move(left.out), std::move(right.out)}, blank);
      changed = true;
    } else {
      left.out = std::move(plain);
    }
    left.type = result;
    return;
  }
  const bool divide = op.IsOp("/");
  const NumericType result =
      divide ? NumericType::Divide(left.type, right.type) : NumericType::Multiply(left.type, right.type);
  if (result.Is(Kind::Decimal) && divide) {
    left.out = Call("tsql_numeric_div", {std::move(left.out), std::move(right.out), {Number(result.precision)},
                                         {Number(result.scale)}}, blank);
  } else if (result.Is(Kind::Money) && divide) {
    left.out = Call("tsql_money", {Call("tsql_numeric_div", {std::move(left.out), std::move(right.out),
                                                             {Number(19)}, {Number(4)}}, false)}, blank);
  } else if (result.Is(Kind::Decimal)) {
    plain[0].blankBefore = false;
    left.out = Call("tsql_numeric", {std::move(plain), {Number(result.precision)}, {Number(result.scale)}}, blank);
  } else if (result.Is(Kind::Money)) {
    plain[0].blankBefore = false;
    left.out = Call("tsql_money", {std::move(plain)}, blank);
  } else {
    left.out = std::move(plain);
    left.type = result;
    return;
  }
  left.type = result;
  changed = true;
}

// A chain of * / % (sum false) or of + - (sum true), left to right.
bool Reader::Chain(size_t& i, int depth, Operand& into, bool sum) {
  auto operand = [&](Operand& o) { return sum ? Chain(i, depth, o, false) : Unary(i, depth, o); };
  auto isOp = [sum](const Token& op) {
    return sum ? op.IsOp("+") || op.IsOp("-") : op.IsOp("*") || op.IsOp("/") || op.IsOp("%");
  };
  if (!operand(into)) return false;
  while (isOp(t_.At(i))) {
    const Token op = t_[i++];
    Operand right;
    if (!operand(right)) return false;
    Combine(into, op, right);
  }
  return true;
}

bool Reader::Unary(size_t& i, int depth, Operand& into) {
  if (!t_.At(i).IsOp("-") && !t_.At(i).IsOp("+")) return Primary(i, depth, into);
  if (depth >= kMaxDepth) return false;
  const Token sign = t_[i++];
  Operand operand;
  if (!Unary(i, depth + 1, operand)) return false;
  into.out.push_back(sign);
  into.out.insert(into.out.end(), operand.out.begin(), operand.out.end());
  into.type = operand.type;
  return true;
}

// A literal, a name, a call, a CASE, or a parenthesised expression.
bool Reader::Primary(size_t& i, int depth, Operand& into) {
  const Token& head = t_.At(i);
  if (head.kind == TokenKind::LParen) {
    if (depth >= kMaxDepth) return false;
    const Token open = t_[i++];
    Operand inner;
    if (!Sum(i, depth + 1, inner) || t_.At(i).kind != TokenKind::RParen) return false;
    into.out.push_back(open);
    into.out.insert(into.out.end(), inner.out.begin(), inner.out.end());
    into.out.push_back(t_[i++]);
    into.type = inner.type;
    return true;
  }
  size_t end = TokenList::npos;
  if (head.IsWord("case")) {
    end = t_.CaseEnd(i);
    if (end != TokenList::npos) ++end;
  } else if (head.kind == TokenKind::Number || head.kind == TokenKind::String ||
             head.kind == TokenKind::QuotedName || (head.kind == TokenKind::Word && !TokenList::IsReserved(head))) {
    end = t_.OperandEnd(i);
  } else if (head.IsWord("null")) {
    end = i + 1;
  }
  if (end == TokenList::npos || end > t_.size()) return false;
  into.out = t_.Slice(i, end);
  into.type = NumericType::Of(t_, i, end, typer_);
  i = end;
  return true;
}

bool HasArithmetic(const TokenList& tokens) {
  for (size_t i = 0; i < tokens.size(); ++i)
    if (tokens[i].IsOp("*") || tokens[i].IsOp("/") || tokens[i].IsOp("%")) return true;
  return false;
}

// avg of an int is an int: the engine's average keeps the fraction, so it is
// cut off by the int conversion (toward zero, as T-SQL's int division).
void IntAverages(TokenList& tokens, const ExpressionTyper* typer) {
  for (size_t i = tokens.size(); i-- > 0;) {
    if (!tokens[i].IsWord("avg") || !tokens.At(i + 1).Is(TokenKind::LParen)) continue;
    const size_t close = tokens.MatchParen(i + 1);
    if (close == TokenList::npos) continue;
    const NumericType type = NumericType::Average(DecimalArithmeticRule::TypeOf(tokens, i + 2, close, typer));
    if (!type.Is(Kind::Int)) continue;
    Tokens call{TokenList::Word("tsql_int"), TokenList::Open()};
    call[0].blankBefore = tokens[i].blankBefore;
    Tokens average = tokens.Slice(i, close + 1);
    average[0].blankBefore = false;
    call.insert(call.end(), average.begin(), average.end());
    call.push_back(TokenList::Comma());
    call.push_back(TokenList::Make(TokenKind::Number, tokens.Store(std::to_string(type.bits))));
    call.push_back(TokenList::Close());
    tokens.Replace(i, close + 1, std::move(call));
  }
}

}  // namespace

NumericType DecimalArithmeticRule::TypeOf(TokenList& tokens, size_t first, size_t last,
                                          const ExpressionTyper* typer) {
  Reader reader(tokens, typer);
  Operand expression;
  size_t end = first;
  if (!reader.Sum(end, 0, expression) || end != last) return NumericType::Of(tokens, first, last, typer);
  return expression.type;
}

void DecimalArithmeticRule::Apply(TokenList& tokens, const RuleContext& context) const {
  std::unique_ptr<ExpressionTyper> typer;
  if (context.catalog != nullptr) typer = std::make_unique<ExpressionTyper>(tokens, context.catalog);
  IntAverages(tokens, typer.get());
  if (!HasArithmetic(tokens)) return;
  for (size_t start = tokens.size(); start-- > 0;) {
    if (!tokens.StartsExpression(start)) continue;
    Reader reader(tokens, typer.get());
    Operand expression;
    size_t end = start;
    if (reader.Sum(end, 0, expression) && reader.changed && tokens.EndsExpression(end))
      tokens.Replace(start, end, std::move(expression.out));
  }
}

}  // namespace fabrikon::dialect
