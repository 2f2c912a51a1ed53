// ImplicitConversionRule: see the header. Every pass walks the tokens once;
// after a rewrite it goes on behind the tokens it wrote.
#include "data/dialect/ImplicitConversionRule.h"

#include <string>

#include "data/dialect/DateLiteralRule.h"
#include "fabrikon/ComError.h"

namespace fabrikon::dialect {

namespace {

bool Matters(const SqlType& t) { return t.IsNumber() || t.IsDate(); }

bool IsMultiplicative(const Token& t) { return t.IsOp("*") || t.IsOp("/") || t.IsOp("%"); }

bool EndsOperand(const Token& t) {
  return t.kind == TokenKind::QuotedName || t.kind == TokenKind::Number || t.kind == TokenKind::String ||
         t.kind == TokenKind::RParen || t.IsWord("end") || t.IsWord("null") ||
         (t.kind == TokenKind::Word && !TokenList::IsReserved(t));
}

// A canonical date text the literal rules write as the stored form anyway.
bool IsPlainDateLiteral(const TokenList& tokens, size_t first, size_t last) {
  std::string canonical;
  return last == first + 1 && tokens[first].kind == TokenKind::String &&
         DateLiteralRule::Canonical(tokens[first].text, canonical);
}

// "name = expression" as a select item names the column; it compares nothing.
bool IsSelectAlias(const TokenList& tokens, size_t first, size_t equals) {
  if (equals != first + 1 || first == 0) return false;
  const Token& before = tokens[first - 1];
  if (before.IsWord("select") || before.IsWord("distinct")) return true;
  if (before.kind != TokenKind::Comma) return false;
  int depth = 0;
  for (size_t j = first - 1; j-- > 0;) {
    const Token& t = tokens[j];
    if (t.kind == TokenKind::RParen) ++depth;
    if (t.kind == TokenKind::LParen && --depth < 0) return false;
    if (depth != 0) continue;
    if (t.IsWord("select")) return true;
    if (t.IsWord("from") || t.IsWord("where") || t.IsWord("set") || t.IsWord("on") || t.IsWord("having") ||
        t.IsWord("by") || t.IsWord("values"))
      return false;
  }
  return false;
}

// A number column compared with a text literal.
bool IsKeyLookup(const TokenList& tokens, TokenList::Range column, TokenList::Range literal, const SqlType& type) {
  if (!type.IsNumber() || literal.second != literal.first + 1 || tokens[literal.first].kind != TokenKind::String)
    return false;
  for (size_t k = column.first; k < column.second; ++k) {
    const Token& t = tokens[k];
    const bool name = t.kind == TokenKind::QuotedName || (t.kind == TokenKind::Word && !TokenList::IsReserved(t));
    if (!name && t.kind != TokenKind::Dot) return false;
  }
  return true;
}

void RefuseNullCoalesce(const TokenList& tokens) {
  for (size_t i = 0; i + 1 < tokens.size(); ++i) {
    if (!tokens[i].IsWord("coalesce") || tokens[i + 1].kind != TokenKind::LParen) continue;
    const size_t close = tokens.MatchParen(i + 1);
    if (close == TokenList::npos) continue;
    bool allNull = true;
    for (const TokenList::Range& r : tokens.Arguments(i + 1, close))
      allNull = allNull && r.second == r.first + 1 && tokens[r.first].IsWord("null");
    if (allNull)
      throw ComError(ErrorNumber::ErrorsInCommand,
                     "At least one of the arguments to COALESCE must be an expression that is not the NULL constant.");
  }
}

// Arithmetic is not defined on bit: with a bit on both sides nothing is
// converted, and SQL Server refuses the operator (a bit beside an int
// becomes an int).
[[noreturn]] void RefuseBitArithmetic(const Token& op) {
  const char* name = op.IsOp("+")   ? "add"
                     : op.IsOp("-") ? "subtract"
                     : op.IsOp("*") ? "multiply"
                     : op.IsOp("/") ? "divide"
                                    : "modulo";
  throw ComError(ErrorNumber::ErrorsInCommand,
                 std::string("Operand data type bit is invalid for ") + name + " operator.");
}

}  // namespace

void ImplicitConversionRule::Apply(TokenList& tokens, const RuleContext& context) const {
  RefuseNullCoalesce(tokens);
  const ExpressionTyper typer(tokens, context.catalog);
  ConvertArguments(tokens, typer);
  ConvertArithmetic(tokens, typer);
  ConvertComparisons(tokens, typer);
}

size_t ImplicitConversionRule::Convert(TokenList& tokens, size_t first, size_t last, const SqlType& from,
                                       const SqlType& to, bool lenient) {
  std::vector<Token> call;
  // An int from varchar: the overflow-checked conversion the int rules read.
  if (to.IsIntegral() && !from.IsUnicode() && !lenient) {
    const char* bits = to.kind == SqlType::Kind::TinyInt   ? "8"
                       : to.kind == SqlType::Kind::SmallInt ? "16"
                       : to.kind == SqlType::Kind::BigInt   ? "64"
                                                            : "32";
    call = {TokenList::Word("tsql_int"), TokenList::Open()};
    for (size_t k = first; k < last; ++k) call.push_back(tokens[k]);
    call.push_back(TokenList::Comma());
    call.push_back(TokenList::Make(TokenKind::Number, bits));
  } else {
    call = {TokenList::Word("tsql_as"), TokenList::Open()};
    for (size_t k = first; k < last; ++k) call.push_back(tokens[k]);
    call.push_back(TokenList::Comma());
    call.push_back(TokenList::Make(TokenKind::String, tokens.Store("'" + std::string(to.ConversionName()) + "'")));
    call.push_back(TokenList::Comma());
    call.push_back(TokenList::Make(TokenKind::String, from.IsUnicode() ? "'nvarchar'" : "'varchar'"));
    if (lenient) {
      call.push_back(TokenList::Comma());
      call.push_back(TokenList::Make(TokenKind::Number, "1"));
    }
  }
  call.push_back(TokenList::Close());
  call[0].blankBefore = tokens[first].blankBefore;
  call[2].blankBefore = false;
  const size_t size = call.size();
  tokens.Replace(first, last, std::move(call));
  return first + size;
}

void ImplicitConversionRule::ConvertArguments(TokenList& tokens, const ExpressionTyper& typer) {
  for (size_t i = tokens.size(); i-- > 0;) {
    const Token& t = tokens[i];
    std::vector<TokenList::Range> parts;
    SqlType target;
    if ((t.IsWord("ifnull") || t.IsWord("isnull") || t.IsWord("coalesce")) &&
        tokens.At(i + 1).kind == TokenKind::LParen) {
      const size_t close = tokens.MatchParen(i + 1);
      if (close == TokenList::npos) continue;
      parts = tokens.Arguments(i + 1, close);
      target = typer.TypeOf(i, close + 1);
      if (!t.IsWord("coalesce") && !parts.empty()) parts.erase(parts.begin());
    } else if (t.IsWord("case")) {
      const size_t end = typer.CaseEnd(i);
      if (end == TokenList::npos) continue;
      parts = typer.CaseResults(i, end + 1);
      target = typer.TypeOf(i, end + 1);
    } else {
      continue;
    }
    if (target.IsText() && t.IsWord("ifnull") && parts.size() == 1) FitText(tokens, parts[0], target);
    if (!Matters(target)) continue;
    for (size_t k = parts.size(); k-- > 0;) {
      const SqlType type = typer.TypeOf(parts[k].first, parts[k].second);
      if (type.IsText()) Convert(tokens, parts[k].first, parts[k].second, type, target);
    }
  }
}

// x BETWEEN a AND b: the bounds take x's type.
void ImplicitConversionRule::ConvertBounds(TokenList& tokens, const ExpressionTyper& typer, size_t between) {
  const size_t first = typer.ComparandStart(between - 1);
  const size_t low = between + 1;
  const size_t andWord = typer.ComparandEnd(low);
  if (first >= between || !tokens.At(andWord).IsWord("and")) return;
  const SqlType type = typer.TypeOf(first, between);
  if (!Matters(type)) return;
  const size_t high = andWord + 1, highEnd = typer.ComparandEnd(high);
  for (const TokenList::Range& bound : {TokenList::Range{high, highEnd}, TokenList::Range{low, andWord}}) {
    const SqlType boundType = typer.TypeOf(bound.first, bound.second);
    if (!boundType.IsText() || (type.IsDate() && IsPlainDateLiteral(tokens, bound.first, bound.second))) continue;
    Convert(tokens, bound.first, bound.second, boundType, type);
  }
}

void ImplicitConversionRule::ConvertComparisons(TokenList& tokens, const ExpressionTyper& typer) {
  for (size_t i = tokens.size(); i-- > 1;)
    if (tokens[i].IsWord("between")) ConvertBounds(tokens, typer, i);
  for (size_t i = 1; i + 1 < tokens.size(); ++i) {
    if (!tokens[i].IsComparison() || tokens.IsAssignment(i)) continue;
    const size_t first = typer.ComparandStart(i - 1), last = typer.ComparandEnd(i + 1);
    if (first >= i || last <= i + 1 || IsSelectAlias(tokens, first, i)) continue;
    const SqlType left = typer.TypeOf(first, i), right = typer.TypeOf(i + 1, last);
    if (Matters(left) && right.IsText()) {
      if (left.IsDate() && IsPlainDateLiteral(tokens, i + 1, last)) continue;
      Convert(tokens, i + 1, last, right, left, IsKeyLookup(tokens, {first, i}, {i + 1, last}, left));
    } else if (Matters(right) && left.IsText()) {
      if (right.IsDate() && IsPlainDateLiteral(tokens, first, i)) continue;
      const size_t before = tokens.size();
      Convert(tokens, first, i, left, right, IsKeyLookup(tokens, {i + 1, last}, {first, i}, right));
      i += tokens.size() - before;
    }
  }
}

// ISNULL's replacement takes the length of the first argument's type: a
// longer text literal is cut (and a char one padded) to it.
void ImplicitConversionRule::FitText(TokenList& tokens, TokenList::Range value, const SqlType& target) {
  const Token& literal = tokens[value.first];
  if (value.second != value.first + 1 || literal.kind != TokenKind::String || target.precision <= 0) return;
  const bool padded = target.kind == SqlType::Kind::Char || target.kind == SqlType::Kind::NChar;
  if (!padded && literal.text.size() - 2 <= static_cast<size_t>(target.precision)) return;
  std::vector<Token> call{TokenList::Word("tsql_str"), TokenList::Open(), literal, TokenList::Comma(),
                          TokenList::Make(TokenKind::Number, tokens.Store(std::to_string(target.precision))),
                          TokenList::Comma(), TokenList::Make(TokenKind::Number, "0"), TokenList::Comma(),
                          TokenList::Make(TokenKind::Number, padded ? "1" : "0"), TokenList::Close()};
  call[0].blankBefore = literal.blankBefore;
  call[2].blankBefore = false;
  tokens.Replace(value.first, value.second, std::move(call));
}

// The right operand of a + or - that begins at first: a product binds tighter.
size_t ImplicitConversionRule::RightOperandEnd(const TokenList& tokens, size_t first) {
  size_t i = first;
  while (tokens.At(i).IsOp("-") || tokens.At(i).IsOp("+")) ++i;
  while (true) {
    size_t end = tokens.OperandEnd(i);
    if (tokens.At(i).IsWord("case")) return TokenList::npos;
    if (!IsMultiplicative(tokens.At(end))) return end;
    i = end + 1;
  }
}

void ImplicitConversionRule::ConvertArithmetic(TokenList& tokens, const ExpressionTyper& typer) {
  for (size_t i = 1; i + 1 < tokens.size(); ++i) {
    const Token& op = tokens[i];
    const bool additive = op.IsOp("+") || op.IsOp("-");
    if ((!additive && !IsMultiplicative(op)) || !EndsOperand(tokens[i - 1])) continue;
    const bool plus = op.IsOp("+");
    const size_t first = additive ? typer.ComparandStart(i - 1) : tokens.OperandStart(i - 1);
    const size_t last = additive ? RightOperandEnd(tokens, i + 1) : tokens.OperandEnd(i + 1);
    if (first >= i || last == TokenList::npos || last <= i + 1) continue;
    if (!additive && first > 0 && tokens[first - 1].kind == TokenKind::Operator) continue;
    const SqlType left = typer.TypeOf(first, i), right = typer.TypeOf(i + 1, last);
    if (!left.known() || !right.known()) continue;
    if (left.kind == SqlType::Kind::Bit && right.kind == SqlType::Kind::Bit) RefuseBitArithmetic(op);
    if (additive && (left.IsDate() || right.IsDate())) {
      const bool dateFirst = left.IsDate();
      if (!dateFirst && !plus) continue;
      const Token* sign = plus ? nullptr : &op;
      std::vector<Token> call{TokenList::Word("tsql_date_add"), TokenList::Open()};
      const TokenList::Range date = dateFirst ? TokenList::Range{first, i} : TokenList::Range{i + 1, last};
      const TokenList::Range days = dateFirst ? TokenList::Range{i + 1, last} : TokenList::Range{first, i};
      for (size_t k = date.first; k < date.second; ++k) call.push_back(tokens[k]);
      call.push_back(TokenList::Comma());
      for (size_t k = days.first; k < days.second; ++k) call.push_back(tokens[k]);
      call.push_back(TokenList::Comma());
      call.push_back(TokenList::Make(TokenKind::Number, sign != nullptr ? "-1" : "1"));
      call.push_back(TokenList::Close());
      call[0].blankBefore = tokens[first].blankBefore;
      call[2].blankBefore = false;
      const size_t size = call.size();
      tokens.Replace(first, last, std::move(call));
      i = first + size - 1;
    } else if (left.IsText() && right.IsText()) {
      if (plus) tokens[i].text = "||";
    } else if (left.IsText() && right.IsNumber()) {
      const size_t before = tokens.size();
      Convert(tokens, first, i, left, right);
      i += tokens.size() - before;
    } else if (right.IsText() && left.IsNumber()) {
      i = Convert(tokens, i + 1, last, right, left) - 1;
    }
  }
}

}  // namespace fabrikon::dialect
